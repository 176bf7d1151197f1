// The main window with the offline kinds: a configuration file named on the
// command line is opened and held, a file that cannot be opened is reported,
// the same file opens again in a new connection, and the bundled simulation
// runs.

#include "appglobals.h"
#include "deviceitem.h"
#include "devicetablemodel.h"
#include "fileconnection.h"
#include "qtpropertymanager.h"
#include "qttreepropertybrowser.h"
#include "simulatedconnection.h"
#include "connectionfixture.h"
#include "filefollower.h"
#include "filelocker.h"
#include "hubroitem.h"
#include "mainwindow.h"
#include "masterbench.h"
#include "registerdeviceclasses.h"
#include "testsupport.h"

#include <QAbstractItemView>
#include <QAction>
#include <QItemSelectionModel>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStatusBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {
bool heldByAnother(const QString &path)
{
    FileLocker probe;
    probe.lockFile(path);
    return !probe.isLocked();
}

bool save(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class OfflineWindowTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        prepareConnectionTests();
        MainWindow::setDeviceSelection([](MainWindow *) {});
    }
    void cleanupTestCase() { MainWindow::setDeviceSelection(nullptr); }

    void opensConfigurationFiles()
    {
        MessageBoxRecorder boxes;
        const QString path = dir.filePath(QStringLiteral("demo.conf"));
        QVERIFY(QFile::copy(QStringLiteral(TANDREL_EXAMPLES_DIR "/demo.conf"), path));

        // Named on the command line: opened once the window is up.
        auto window = std::make_unique<MainWindow>(path);
        QTRY_VERIFY(heldByAnother(path));

        // Opened again from the window: the old connection lets go first.
        QVERIFY(window->establishConnection(File, path));
        QVERIFY(heldByAnother(path));

        // A file that does not open is reported, with the reason.
        QSignalSpy failed(window.get(), &MainWindow::establishFailed);
        QVERIFY(!window->establishConnection(File, dir.filePath(QStringLiteral("absent.conf"))));
        QCOMPARE(failed.count(), 1);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().title, QStringLiteral("Configuration file opening"));
        QCOMPARE(boxes.last().text, QStringLiteral("Error while configuration file opening"));
        QVERIFY(boxes.last().informativeText.contains(QLatin1String("absent.conf")));
        QVERIFY(!heldByAnother(path));

        window.reset();
        QVERIFY(!heldByAnother(path));
    }

    void aSimulatedRestartEnds()
    {
        // Restart, configuration loading and the channel scan all end in a
        // master restart: the simulated master comes back from its file, or
        // the window says that it did not.
        MessageBoxRecorder boxes;
        const QString path = dir.filePath(QStringLiteral("restart.sim"));
        QFile::remove(path);
        QVERIFY(QFile::copy(QStringLiteral(TANDREL_EXAMPLES_DIR "/demo.sim"), path));
        SimulatedConnection::setReconnectDelay(50);
        MainWindow window{QString()};
        QVERIFY(window.establishConnection(Simulation, path));
        QTRY_VERIFY(window.isMasterConnected());
        const int rows = window.deviceTableModel()->devices().size();
        QVERIFY(rows > 10);
        auto *restart = window.findChild<QAction *>(QStringLiteral("acRestart"));
        auto *open = window.findChild<QAction *>(QStringLiteral("acOpenDevice"));
        auto *close = window.findChild<QAction *>(QStringLiteral("acCloseDevice"));
        QVERIFY(restart->isEnabled());

        QSignalSpy restarted(window.currentConnection(), &Connection::masterRestarted);
        restart->trigger();
        QCOMPARE(restarted.count(), 1);
        QCOMPARE(window.deviceTableModel()->devices().size(), 0);
        QVERIFY(!open->isEnabled() && !close->isEnabled());
        QVERIFY(!window.statusBar()->currentMessage().isEmpty());
        QTRY_COMPARE(window.deviceTableModel()->devices().size(), rows);
        QTRY_VERIFY(close->isEnabled());
        QVERIFY(restart->isEnabled());
        // The property window shows the current row, and that row is selected.
        QAbstractItemView *view = window.currentItemView();
        QVERIFY(window.propertyWindowItem());
        QCOMPARE(DeviceTableModel::itemAt(view->currentIndex()), window.propertyWindowItem());
        QVERIFY(view->selectionModel()->isSelected(view->currentIndex()));
        // Only the question before the restart, answered Yes.
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().title, QStringLiteral("Device restart"));

        // The file gone meanwhile: no master comes back, and the window says so
        // at once, with the file's trouble as the reason.
        restart->trigger();
        QVERIFY(QFile::remove(path));
        QTRY_VERIFY(open->isEnabled());
        QCOMPARE(boxes.count(), 3);
        QCOMPARE(boxes.last().title, QStringLiteral("Simulation file opening"));
        QCOMPARE(boxes.last().text, QStringLiteral("Error while simulation file opening"));
        QCOMPARE(boxes.last().informativeText, QStringLiteral("The simulation file %1 does not exist").arg(path));
        QVERIFY(!close->isEnabled());
        SimulatedConnection::setReconnectDelay(-1);
    }

    void editsOfAFileMasterGoIntoTheFile()
    {
        // Each editable row of the file's master shows the file's value, and
        // an edit is in the file when it is opened again.
        MessageBoxRecorder boxes;
        const QString path = dir.filePath(QStringLiteral("edits.conf"));
        QFile::remove(path);
        QVERIFY(QFile::copy(QStringLiteral(TANDREL_EXAMPLES_DIR "/demo.conf"), path));
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner);

        const auto rowText = [](HubroItem *master, const QString &title) {
            for (QtProperty *top : master->topProperties())
                for (QtProperty *property : QList<QtProperty *>{top} + top->subProperties())
                    if (property->propertyName() == title)
                        return property->valueText();
            return QString();
        };

        QMap<QString, QString> edited;
        {
            MainWindow window{QString()};
            QVERIFY(window.establishConnection(File, path));
            HubroItem *master = window.currentConnection()->master();
            QVERIFY(master);
            QTRY_COMPARE(rowText(master, QStringLiteral("Power adjustment")), QStringLiteral("Enabled"));
            for (QtProperty *top : master->topProperties()) {
                for (QtProperty *property : QList<QtProperty *>{top} + top->subProperties()) {
                    auto *manager = qobject_cast<QtEnumPropertyManager *>(property->propertyManager());
                    if (!manager || !manager->isEditable())
                        continue;
                    // As the user picks the next entry in the row's editor.
                    auto *factory = window.propertyTreeBrowser()->factoryForManager(manager);
                    QVERIFY2(factory, qPrintable(property->propertyName()));
                    std::unique_ptr<QWidget> editor(factory->createEditor(property, nullptr));
                    auto *combo = qobject_cast<QComboBox *>(editor.get());
                    QVERIFY(combo);
                    combo->setCurrentIndex((combo->currentIndex() + 1) % combo->count());
                    edited.insert(property->propertyName(), property->valueText());
                }
            }
            QApplication::processEvents();
        }
        QVERIFY(edited.contains(QStringLiteral("Power adjustment")));
        QVERIFY(edited.size() >= 3);

        FileConnection reopened;
        QVERIFY(reopened.connectToMaster(File, path, MasterOrdinary));
        // The rows take the record once the master item has started (a
        // channel mode then names the channel it uses: "Auto: 3").
        for (auto it = edited.cbegin(); it != edited.cend(); ++it)
            QTRY_VERIFY2(rowText(reopened.master(), it.key()).startsWith(it.value()), qPrintable(it.key()));
        QCOMPARE(boxes.count(), 0);
    }

    void reloadsAFileChangedByAnotherProgram()
    {
        // The question's default: the file is opened again as the other
        // program left it.
        MessageBoxRecorder boxes;
        const QString path = dir.filePath(QStringLiteral("changed.conf"));
        QFile::remove(path);
        QVERIFY(QFile::copy(QStringLiteral(TANDREL_EXAMPLES_DIR "/demo.conf"), path));
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner);
        MainWindow window{QString()};
        QVERIFY(window.establishConnection(File, path));
        QTRY_VERIFY(window.isMasterConnected());
        const int devices = window.deviceTableModel()->devices().size();
        QVERIFY(devices > 2);

        QJsonObject theirs = QJsonDocument::fromJson(contents(path)).object();
        QJsonObject master = theirs.value(QLatin1String("master")).toObject();
        master.insert(QStringLiteral("serial"), 4242);
        theirs.insert(QStringLiteral("master"), master);
        QJsonArray elements = theirs.value(QLatin1String("devices")).toArray();
        elements.removeLast();
        theirs.insert(QStringLiteral("devices"), elements);
        QVERIFY(save(path, QJsonDocument(theirs).toJson()));
        const QByteArray theirBytes = contents(path);

        emit window.currentConnection()->master()->intervalChanged(600);
        QTRY_COMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().kind, UiSeams::MessageBoxRequest::Choice);
        QTRY_VERIFY(window.currentConnection() && window.currentConnection()->master()
                    && window.currentConnection()->master()->serialNumber() == 4242u);
        QTRY_COMPARE(window.deviceTableModel()->devices().size(), devices - 1);
        QCOMPARE(contents(path), theirBytes);
        QVERIFY(heldByAnother(path));
        QCOMPARE(window.windowTitle(), QStringLiteral("changed.conf"));

        // Edits of the reloaded file are written unasked.
        emit window.currentConnection()->master()->intervalChanged(600);
        QCOMPARE(QJsonDocument::fromJson(contents(path)).object().value("master").toObject().value("interval").toInt(),
                 600);
        QCOMPARE(boxes.count(), 1);
    }

    void savedConfigurationGetsItsSuffix()
    {
        MessageBoxRecorder boxes;
        FileDialogScript files;
        const QString typed = dir.filePath(QStringLiteral("site"));
        files.answer(typed);
        MainWindow window{QString()};
        QVERIFY(window.establishConnection(Simulation, QStringLiteral(TANDREL_EXAMPLES_DIR "/demo.sim")));
        QTRY_VERIFY(window.isMasterConnected());
        window.saveConfiguration();
        const QString written = typed + QStringLiteral(".conf");
        QTRY_VERIFY(QFile::exists(written));
        QVERIFY(!QFile::exists(typed));
        QVERIFY(window.statusBar()->currentMessage().contains(written));
        QCOMPARE(boxes.count(), 0);

        // The dialog asked about "site" only: an existing "site.conf" is
        // replaced only when the question is answered Yes.
        QFile::remove(written);
        QVERIFY(save(written, QByteArrayLiteral("kept")));
        files.answer(typed);
        boxes.answer(QMessageBox::No);
        window.saveConfiguration();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.requests().at(0).kind, UiSeams::MessageBoxRequest::Question);
        QVERIFY(boxes.requests().at(0).text.contains(QDir::toNativeSeparators(written)));
        QCOMPARE(contents(written), QByteArrayLiteral("kept"));
        files.answer(typed);
        boxes.answer(QMessageBox::Yes);
        window.saveConfiguration();
        QTRY_VERIFY(contents(written) != QByteArrayLiteral("kept"));
        QVERIFY(contents(written).startsWith('{'));
    }

    void demoAgreesWithItself()
    {
        // Every row's colour and status text tell the same: an alarm or a
        // fault row names it, a plain row is normal; the demo keeps one
        // device in alarm, one with its case open and one with a fault, and a
        // master whose supplies are good.
        SimulatedConnection demo;
        QVERIFY(demo.connectToMaster(Simulation, QStringLiteral(TANDREL_EXAMPLES_DIR "/demo.sim"), MasterOrdinary));
        const QColor alarmColour(255, 180, 180), faultColour(255, 234, 173);
        const QRegularExpression trouble(QStringLiteral("(?<!no )alarm|fire|fail|case open"),
                                         QRegularExpression::CaseInsensitiveOption);
        const auto troubleIn = [&trouble](const QString &status) { return status.contains(trouble); };
        QStringList alarms, faults, openCases;
        for (DeviceItem *device : demo.devices()) {
            // The security devices at the head of the demo; the meters and
            // sensors further on have rules of their own.
            if (device->deviceId() >= 30)
                continue;
            const QString status = device->data(DeviceRole::StatusText).toString();
            const QVariant colour = device->data(Qt::BackgroundRole);
            const QString what = QStringLiteral("device %1 (%2): %3")
                                     .arg(device->deviceId())
                                     .arg(device->itemTypeName(), status);
            if (colour == QVariant(alarmColour) || colour == QVariant(faultColour)) {
                QVERIFY2(troubleIn(status), qPrintable(what));
                (colour == QVariant(alarmColour) ? alarms : faults) << what;
            } else {
                QVERIFY2(!troubleIn(status), qPrintable(what));
            }
            if (status.contains(QLatin1String("Case open")))
                openCases << what;
        }
        QVERIFY(!alarms.isEmpty());
        QVERIFY(!faults.isEmpty());
        QVERIFY(!openCases.isEmpty());

        HubroItem *master = demo.master();
        QTRY_VERIFY(master->isOnline());
        const QString status = master->data(DeviceRole::StatusText).toString();
        QVERIFY2(!troubleIn(status), qPrintable(status));
        QVERIFY2(!master->data(Qt::BackgroundRole).isValid(), qPrintable(status));

        // The configuration file of the same installation: its master is as sound.
        const QString path = dir.filePath(QStringLiteral("agrees.conf"));
        QFile::remove(path);
        QVERIFY(QFile::copy(QStringLiteral(TANDREL_EXAMPLES_DIR "/demo.conf"), path));
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner);
        FileConnection file;
        QVERIFY(file.connectToMaster(File, path, MasterOrdinary));
        const QString fileStatus = file.master()->data(DeviceRole::StatusText).toString();
        QVERIFY2(!troubleIn(fileStatus), qPrintable(fileStatus));
    }

    void runsTheBundledSimulation()
    {
        MessageBoxRecorder boxes;
        MainWindow window{QString()};
        QVERIFY(window.establishConnection(Simulation, QStringLiteral(TANDREL_EXAMPLES_DIR "/demo.sim")));
        QVERIFY(!window.establishConnection(Simulation, dir.filePath(QStringLiteral("absent.sim"))));
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().title, QStringLiteral("Simulation file opening"));
    }

    // The followed simulation file is gone for longer than the quick retries:
    // the window says so, and stops saying it once the file is back.
    void showsASimulationNoLongerFollowed()
    {
        FileFollower::setRetryTiming(10, 5);
        MessageBoxRecorder boxes;
        const QString path = dir.filePath(QStringLiteral("followed.sim"));
        QVERIFY(QFile::copy(QStringLiteral(TANDREL_EXAMPLES_DIR "/demo.sim"), path));
        MainWindow window{QString()};
        QVERIFY(window.establishConnection(Simulation, path));
        QStatusBar *status = window.statusBar();
        QCOMPARE(status->currentMessage(), QString());

        QVERIFY(QFile::rename(path, path + QStringLiteral(".away")));
        QTRY_VERIFY(status->currentMessage().contains(QStringLiteral("no longer followed")));
        QVERIFY(status->currentMessage().contains(path));
        QVERIFY(QFile::rename(path + QStringLiteral(".away"), path));
        QTRY_COMPARE(status->currentMessage(), QString());
        QCOMPARE(boxes.count(), 0);
        FileFollower::setRetryTiming(100, 50);
    }
};

QTEST_MAIN(OfflineWindowTest)
#include "tst_offlinewindow.moc"
