// The questions of the window whose Yes risks a device or work: each is asked
// once, Enter and Escape (the close button answers as Escape does) give the
// answer that does nothing, and nothing is done.
#include "containerbuilder.h"
#include "firmwareuploadmanager.h"
#include "hubroitem.h"
#include "packet.h"
#include "progresswidget.h"
#include "senddatamanager.h"
#include "settings.h"
#include "simfirmware.h"
#include "statisticsmanager.h"
#include "updatemanager.h"
#include "windowfixture.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {

// Answers every box as a key press would: Enter with its default answer,
// Escape (or the close button) with its escape answer. Records the boxes.
class KeyAnswers
{
public:
    explicit KeyAnswers(bool enter) : m_previous(UiSeams::messageBoxHook())
    {
        UiSeams::setMessageBoxHook([this, enter](const UiSeams::MessageBoxRequest &request) {
            requests << request;
            if (request.kind == UiSeams::MessageBoxRequest::Choice)
                return enter ? request.defaultChoice : request.escapeChoice;
            const QMessageBox::StandardButton answer = enter ? request.defaultButton : request.escapeButton;
            return int(answer != QMessageBox::NoButton ? answer : QMessageBox::Ok);
        });
    }
    ~KeyAnswers() { UiSeams::setMessageBoxHook(m_previous); }
    QList<UiSeams::MessageBoxRequest> titled(const QString &title) const
    {
        QList<UiSeams::MessageBoxRequest> found;
        for (const UiSeams::MessageBoxRequest &r : requests)
            if (r.title == title)
                found << r;
        return found;
    }
    QList<UiSeams::MessageBoxRequest> requests;

private:
    UiSeams::MessageBoxHook m_previous;
};

// The window on a master with meters at 3, 5 and 7 and a detector at 9.
struct Bench : WindowOnMaster
{
    Bench()
    {
        for (const quint8 radio : {3, 5, 7})
            sim.setDevice(simDevice(radio, 13));
        sim.setDevice(simDevice(9, 4));
    }
    SimFirmware firmware{sim};
    QTemporaryDir dir;
    // What the master item and the command queue sent while a row ran, and
    // the waiting window's stops.
    QList<QByteArray> masterPackets;
    int queuedCommands = 0;
    int stops = 0;
};

QByteArray fileText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

using Step = std::function<void(Bench &)>;
using Check = std::function<bool(Bench &)>;

struct Row
{
    Step prepare; // once, before the questions
    Step ask;     // asks the question once
    Check untouched;
};

bool noRestartOrErase(Bench &b)
{
    for (const QByteArray &packet : qAsConst(b.masterPackets))
        if (!packet.isEmpty() && (quint8(packet.at(0)) == PT_REBOOT))
            return false;
    return b.masterPackets.isEmpty() && b.window->isMasterConnected();
}

} // namespace

Q_DECLARE_METATYPE(Step)
Q_DECLARE_METATYPE(Check)

class SafetyQuestionsTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        prepareWindowDiagnosticsTests();
    }
    void cleanupTestCase() { MainWindow::setDeviceSelection(nullptr); }
    void cleanup()
    {
        UpdateManager::instance()->forget();
        FirmwareUploadManager::instance()->reset();
        UpdateManager::instance()->setTimings(FirmwareTimings());
        FirmwareUploadManager::instance()->setTimings(FirmwareTimings());
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (widget->inherits("MasterLogReaderWidget"))
                widget->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void enterAndEscapeDoNothing_data()
    {
        QTest::addColumn<Step>("prepare");
        QTest::addColumn<Step>("ask");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("safe"); // a standard button, or a choice's position
        QTest::addColumn<Check>("untouched");

        const Step nothing = [](Bench &) {};
        const auto trigger = [](const char *name) {
            return [name](Bench &b) { b.window->findChild<QAction *>(QLatin1String(name))->trigger(); };
        };
        const Check allDevices = [](Bench &b) { return b.connection()->devices().size() == 4; };

        QTest::newRow("restart the device") << nothing << Step(trigger("acRestart")) << "Device restart"
                                            << int(QMessageBox::No) << Check(noRestartOrErase);
        QTest::newRow("erase the master's flash")
            << Step([](Bench &b) { b.select({255}); })
            << Step([](Bench &b) {
                   QAction erase;
                   erase.setProperty("action_code", int(HubroItem::EraseFlashAction));
                   QObject::connect(&erase, &QAction::triggered, b.window.get(), &MainWindow::customDeviceMenuTriggered);
                   erase.trigger();
               })
            << "Flash erasing" << int(QMessageBox::No) << Check(noRestartOrErase);
        QTest::newRow("delete all devices") << nothing << Step(trigger("acDeleteAllDevices")) << "Confirm required"
                                            << int(QMessageBox::Cancel) << allDevices;
        QTest::newRow("delete the selected devices")
            << Step([](Bench &b) { b.select({3, 9}); }) << Step([](Bench &b) { b.window->deleteDevice(); })
            << "Attention!" << int(QMessageBox::No) << allDevices;
        QTest::newRow("deactivate the water meters")
            << nothing << Step(trigger("acDeactivateZelvo")) << "Confirm required" << int(QMessageBox::No)
            << Check([](Bench &b) { return b.queuedCommands == 0; });
        QTest::newRow("replace a configuration file")
            << Step([](Bench &b) {
                   QFile file(b.dir.filePath(QStringLiteral("site.conf")));
                   QVERIFY(file.open(QIODevice::WriteOnly));
                   file.write("kept");
               })
            << Step([](Bench &b) {
                   FileDialogScript files;
                   files.answer(b.dir.filePath(QStringLiteral("site")));
                   b.window->saveConfiguration();
               })
            << "Save configuration" << int(QMessageBox::No)
            << Check([](Bench &b) {
                   return fileText(b.dir.filePath(QStringLiteral("site.conf"))) == "kept"
                          && !(b.window->waitWindow()->isVisible());
               });
        QTest::newRow("replace a report")
            << Step([](Bench &b) {
                   QFile file(b.dir.filePath(QStringLiteral("site.rpt")));
                   QVERIFY(file.open(QIODevice::WriteOnly));
                   file.write("kept");
               })
            << Step([](Bench &b) {
                   FileDialogScript files;
                   files.answer(b.dir.filePath(QStringLiteral("site")));
                   b.window->makeReport();
               })
            << "Save system report file" << int(QMessageBox::No)
            << Check([](Bench &b) { return fileText(b.dir.filePath(QStringLiteral("site.rpt"))) == "kept"; });
        QTest::newRow("restart for another language")
            << Step([](Bench &) { appSettings.setValue(QLatin1String(SettingsKey::Language), "russian"); })
            << Step([](Bench &b) { b.window->changeLanguage(QStringLiteral("english")); }) << "Language change"
            << int(QMessageBox::No)
            << Check([](Bench &) {
                   return appSettings.value(QLatin1String(SettingsKey::Language)).toString() == "russian";
               });
        QTest::newRow("close during an upload into the master")
            << Step([](Bench &) {
                   // Between two busy replies for the whole row.
                   FirmwareTimings t;
                   t.uploadPing = 60000;
                   FirmwareUploadManager::instance()->setTimings(t);
                   FirmwareUploadManager::instance()->upload(
                       ContainerBuilder().type(4).record(recordV1(0x1000, "abcdefgh")).parse());
               })
            << Step([](Bench &b) { b.window->deviceClose(); }) << "Preparations are underway for an upgrade."
            << int(QMessageBox::No)
            << Check([](Bench &b) {
                   return b.window->isMasterConnected() && FirmwareUploadManager::instance()->isUploading();
               });
        QTest::newRow("close during device updates")
            << Step([](Bench &b) {
                   // Between two pings of the first device for the whole row.
                   FirmwareTimings t;
                   t.updatePing = 60000;
                   UpdateManager::instance()->setTimings(t);
                   QSignalSpy started(UpdateManager::instance(), &UpdateManager::deviceUpdateStarted);
                   HUBRO32BootSectionHeader_t header;
                   header.deviceType = 13;
                   UpdateManager::instance()->update({b.device(3), b.device(5)}, header);
                   QVERIFY(started.wait(5000));
               })
            << Step([](Bench &b) { b.window->deviceClose(); }) << QString() << 2
            << Check([](Bench &b) { return b.window->isMasterConnected() && UpdateManager::instance()->isBusy(); });
        QTest::newRow("clear the master's error log")
            << nothing << Step(trigger("acClearErrorLogs")) << "Clear error logs" << int(QMessageBox::No)
            << Check([](Bench &b) { return b.masterPackets.isEmpty() && b.requests(PT_LOG_CLEAR).isEmpty(); });
        QTest::newRow("clear log in the event-log window")
            << Step([](Bench &b) { b.connection()->master()->executeAction(HubroItem::LogReaderAction); })
            << Step([](Bench &) {
                   for (QWidget *widget : QApplication::topLevelWidgets())
                       if (auto *clear = widget->findChild<QPushButton *>(QStringLiteral("pbClearLog")))
                           if (widget->inherits("MasterLogReaderWidget"))
                               clear->click();
               })
            << "Clear error logs" << int(QMessageBox::No)
            << Check([](Bench &b) { return b.requests(PT_LOG_CLEAR).isEmpty(); });
        QTest::newRow("reset the devices' statistics")
            << Step([](Bench &b) { b.select({3, 9}); }) << Step(trigger("acStatisticsReset")) << "Reset statistics"
            << int(QMessageBox::No)
            << Check([](Bench &) { return !StatisticsManager::instance()->isBusy(); });
        QTest::newRow("close the waiting window")
            << Step([](Bench &b) {
                   ProgressWidget *wait = b.window->waitWindow();
                   wait->setClosable(true);
                   wait->show();
                   QObject::connect(wait, &ProgressWidget::stop, [&b] { ++b.stops; });
               })
            << Step([](Bench &b) { b.window->waitWindow()->close(); }) << "Waiting window" << int(QMessageBox::No)
            << Check([](Bench &b) { return b.stops == 0; });
    }

    void enterAndEscapeDoNothing()
    {
        QFETCH(Step, prepare);
        QFETCH(Step, ask);
        QFETCH(QString, title);
        QFETCH(int, safe);
        QFETCH(Check, untouched);

        Bench b;
        QVERIFY(b.open(4));
        prepare(b);
        QObject::connect(b.connection()->master(), &DeviceItem::sendPacket,
                         [&b](const QByteArray &packet) { b.masterPackets << packet; });
        // Only device commands a question guards: the queue also carries the
        // meters' regular reads, which a busy machine may let fall in here.
        QObject::connect(SendDataManager::instance(), &SendDataManager::sendPacket, b.window.get(),
                         [&b](const QByteArray &packet) {
                             const quint8 type = packet.isEmpty() ? 0 : quint8(packet.at(0));
                             if (type == PT_DEVICE_EEPROM_WRITE_REQ || type == PT_REBOOT_DEVICE)
                                 ++b.queuedCommands;
                         });
        for (const bool enter : {true, false}) {
            KeyAnswers keys(enter);
            ask(b);
            const QList<UiSeams::MessageBoxRequest> asked = keys.titled(title);
            QCOMPARE(asked.size(), 1);
            QCOMPARE(keys.requests.size(), 1);
            const UiSeams::MessageBoxRequest &r = asked.first();
            if (r.kind == UiSeams::MessageBoxRequest::Choice) {
                QCOMPARE(r.defaultChoice, safe);
                QCOMPARE(r.escapeChoice, safe);
            } else {
                QCOMPARE(int(r.defaultButton), safe);
                QCOMPARE(int(r.escapeButton), safe);
                QVERIFY(r.buttons.testFlag(QMessageBox::StandardButton(safe)));
            }
            QCoreApplication::processEvents();
            QVERIFY2(untouched(b), enter ? "after Enter" : "after Escape");
        }
    }
};

QTEST_MAIN(SafetyQuestionsTest)
#include "tst_safetyquestions.moc"
