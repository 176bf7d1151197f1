// The statistics and link-quality docks following their managers, with
// pictures of both for a person to look at.
#include "appglobals.h"
#include "deviceitem.h"
#include "dialogwriteeeprom.h"
#include "lqitestmanager.h"
#include "masterbench.h"
#include "rssitestdock.h"
#include "screenshot.h"
#include "settings.h"
#include "statisticsdock.h"
#include "statisticsmanager.h"
#include "testsupport.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {
DeviceItem *makeDevice(quint8 number, quint8 wireloop, quint8 type = 4)
{
    deviceInfo_t info;
    info.radioAddress = number;
    info.wireloopAddress = wireloop;
    info.serialNumber = 200000u + number;
    info.firmwareVersion = 0x0105;
    info.hardwareVersion = 0x0201;
    info.deviceType = type;
    info.linkState = 2;
    return new DeviceItem(info, false);
}

statistics_t statsOf(const QList<int> &words)
{
    QByteArray data;
    for (int w : words)
        data.append(char(w & 0xFF)).append(char(w >> 8));
    statistics_t stats;
    statisticsFromBytes(data, &stats);
    return stats;
}

rssiShortTest_t levels(quint8 received, qint8 average, qint8 minimum, qint8 maximum)
{
    rssiShortTest_t result;
    result.first = 1;
    result.received = received;
    result.average = average;
    result.minimum = minimum;
    result.maximum = maximum;
    return result;
}

QString labelText(QWidget *parent, const char *name)
{
    auto *label = parent->findChild<QLabel *>(QLatin1String(name));
    return label ? label->text() : QStringLiteral("<none>");
}

// A picture as the user sees it: after the rows added are shown.
void picture(QWidget *dock, const QString &name)
{
    QCoreApplication::processEvents();
    screenshot(dock, name);
}

template <class T>
T *child(QWidget *parent, const char *name)
{
    return parent->findChild<T *>(QLatin1String(name));
}
} // namespace

class DiagnosticsDocksTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initTestResources();
        registerDeviceModelNames();
        registerPacketMetaTypes();
    }

    void statisticsDockFollowsARun()
    {
        QTemporaryDir dir;
        StatisticsManager manager;
        manager.setStatisticsFolder(dir.path());
        manager.run().setPingInterval(60000);
        ScriptedLink link(manager); // every request waits for an answer by hand
        StatisticsDock dock(nullptr, &manager);
        dock.resize(339, 552);
        dock.show();
        std::unique_ptr<DeviceItem> a(makeDevice(3, 13)), b(makeDevice(5, 15, 6)), c(makeDevice(7, 17));
        auto *stop = child<QPushButton>(&dock, "pbStop");
        auto *clear = child<QPushButton>(&dock, "pbClear");
        auto *progress = child<QProgressBar>(&dock, "pbProgress");
        QVERIFY(!stop->isEnabled() && !clear->isEnabled() && !progress->isVisible());

        manager.read({a.get(), b.get(), c.get()});
        QVERIFY(dock.isRunning());
        QCOMPARE(labelText(&dock, "lblMessage"), QStringLiteral("Statistics reading in process"));
        QVERIFY(progress->isVisible() && stop->isEnabled());
        QCOMPARE(progress->maximum(), 3);

        // The first device answers: a frame with its figures.
        QByteArray answer = QByteArray(1, char(PT_STATISTIC_RECEIVED)) + QByteArray(5, '\0');
        for (int w : {1, 0xFFFF, 3, 4, 100, 100, 60, 30, 10, 0, 0, 0, 0, 0})
            answer.append(char(w & 0xFF)).append(char(w >> 8));
        answer += char(0);
        QVERIFY(link.respond(PT_STATISTIC_READ_REQ, answer));
        QCOMPARE(dock.results().size(), 1);
        QWidget *frame = dock.results().first();
        QCOMPARE(labelText(frame, "lblDeviceName"), QStringLiteral("13. ") + a->itemTypeName());
        QCOMPARE(labelText(frame, "lblHardwareReboots"), QStringLiteral("0"));
        QCOMPARE(labelText(frame, "lblSoftwareReboots"), QStringLiteral("1"));
        QCOMPARE(labelText(frame, "lblTotalPackets"), QStringLiteral("100"));
        QStringList repeats;
        for (const char *name : {"lbl1R", "lbl2R", "lbl3R", "lbl4R", "lbl5R", "lbl8R"})
            repeats << labelText(frame, name);
        QCOMPARE(repeats, (QStringList{"40.00", "30.00", "20.00", "10.00", "0.00", "0.00"}));
        QCOMPARE(progress->value(), 1);

        // The second device goes away while served: the run goes on, and
        // Stop still stops it.
        manager.removeDevice(b.get());
        QVERIFY(manager.isBusy());
        QVERIFY(dock.isRunning());
        QVERIFY(stop->isEnabled());
        picture(&dock, QStringLiteral("statistics-dock-running.png"));
        QTest::mouseClick(stop, Qt::LeftButton);
        QVERIFY(!manager.isBusy());
        QVERIFY(!dock.isRunning());
        QCOMPARE(labelText(&dock, "lblMessage"), QStringLiteral("Statistics reading was stopped"));
        QVERIFY(!progress->isVisible() && !stop->isEnabled() && !clear->isEnabled());
        QCOMPARE(dock.results().size(), 1); // frames survive a stop

        // A new run whose only device fails: finished, full bar, no frame.
        manager.setMaxAttempts(1);
        manager.run().setPingInterval(5);
        link.scriptReplies(PT_STATISTIC_READ_REQ, [](const QByteArray &) { return QList<QByteArray>(); });
        link.scriptReplies(PT_STATISTIC_READ_PING, [](const QByteArray &) { return QList<QByteArray>(); });
        manager.read({c.get()});
        QTRY_VERIFY(!dock.isRunning());
        QCOMPARE(labelText(&dock, "lblMessage"), QStringLiteral("Statistics reading finished"));
        QCOMPARE(progress->value(), progress->maximum());
        QVERIFY(clear->isEnabled() && !stop->isEnabled());
        QCOMPARE(dock.results().size(), 1);
        picture(&dock, QStringLiteral("statistics-dock.png"));

        QTest::mouseClick(clear, Qt::LeftButton);
        QVERIFY(dock.results().isEmpty());
        QVERIFY(!clear->isEnabled());
        dock.resetProgress();
        QCOMPARE(progress->value(), 0);
        QCOMPARE(labelText(&dock, "lblMessage"), QString());
    }

    void linkQualityRows()
    {
        LQITestManager manager;
        RSSITestDock dock(nullptr, &manager);
        dock.resize(308, 454);
        dock.show();
        QCOMPARE(dock.reportInfo(), QString());
        std::unique_ptr<DeviceItem> a(makeDevice(3, 13)), b(makeDevice(5, 0)), c(makeDevice(7, 17));
        auto *stop = child<QPushButton>(&dock, "pbStop");
        auto *clear = child<QPushButton>(&dock, "pbClear");

        emit manager.testsStarted({a.get(), b.get()});
        QCOMPARE(dock.rows().size(), 2);
        const QString heading = QStringLiteral("13. ") + a->itemTypeName();
        QCOMPARE(dock.rows().at(0)->text(),
                 QStringLiteral("<div style=\"color: black;\">%1<br>In queue</div>").arg(heading));
        // No Wireloop address: a star.
        QVERIFY(dock.rows().at(1)->text().contains(QStringLiteral("*. ") + b->itemTypeName()));
        QVERIFY(stop->isEnabled() && !clear->isEnabled());

        emit manager.testStarted(a.get());
        QCOMPARE(dock.rows().at(0)->state(), int(WidgetRSSIResult::Started));
        QVERIFY(dock.rows().at(0)->text().contains(QStringLiteral("color: green;")));
        emit manager.testFinished(a.get(), levels(87, -63, -71, -55));
        WidgetRSSIResult *done = dock.rows().at(0);
        QCOMPARE(done->text(), QStringLiteral("<div style=\"color: blue;\">%1<br>87 of 100 (max: -55 av: -63 min: "
                                              "-71)</div>")
                                   .arg(heading));
        QCOMPARE((QList<int>{done->bar()->averageValue, done->bar()->minValue, done->bar()->maxValue}),
                 (QList<int>{57, 49, 65}));
        QVERIFY(stop->isEnabled() && clear->isEnabled()); // device 5 still queued

        // The bar fills 57 % of its width with the gradient; beyond that only outlines.
        done->bar()->setFixedWidth(200);
        done->bar()->resize(200, done->bar()->height());
        const QImage bar = done->bar()->grab().toImage();
        const QColor background = bar.pixelColor(150, 17);
        QVERIFY(bar.pixelColor(100, 17) != background);
        QCOMPARE(bar.pixelColor(120, 17), background);
        done->bar()->setFixedWidth(110);

        emit manager.testStarted(b.get());
        emit manager.testFinished(b.get(), levels(0, 0, 0, 0)); // nothing received: failed
        QCOMPARE(dock.rows().at(1)->state(), int(WidgetRSSIResult::Failed));
        QVERIFY(dock.rows().at(1)->text().contains(QStringLiteral("color: red;")));
        QCOMPARE(dock.rows().at(1)->bar()->averageValue, 5);
        QVERIFY(!stop->isEnabled());

        QCOMPARE(dock.reportInfo(),
                 QStringLiteral("Radio address: 3.\n%1. Packets: 87/100. Min -71. Avg -63. Max -55\n\n\n"
                                "Radio address: 5.\n%2. Packets: 0/100. Min 0. Avg 0. Max 0\n\n\n")
                     .arg(a->toolTip(), b->toolTip()));
        picture(&dock, QStringLiteral("link-quality-dock.png"));

        // A new run while a row still runs: that row fails first.
        emit manager.testsStarted({c.get()});
        emit manager.testStarted(c.get());
        emit manager.testsStarted({a.get()});
        QCOMPARE(dock.rows().at(2)->state(), int(WidgetRSSIResult::Failed));
        // Stop fails the queued row and offers Clear.
        QSignalSpy stops(&dock, &RSSITestDock::stop);
        QTest::mouseClick(stop, Qt::LeftButton);
        QCOMPARE(stops.size(), 1);
        QCOMPARE(dock.rows().at(3)->state(), int(WidgetRSSIResult::Failed));
        QVERIFY(!stop->isEnabled() && clear->isEnabled());
        QTest::mouseClick(clear, Qt::LeftButton);
        QCOMPARE(stops.size(), 2);
        QVERIFY(dock.rows().isEmpty());
        QCOMPARE(dock.reportInfo(), QString());
    }

    // Rows outlive their devices: the report reads their kept texts, a new
    // item of the same number matches no old row, and a master that goes
    // away fails the queued rows as Stop does.
    void rowsOutliveTheirDevices()
    {
        LQITestManager manager;
        RSSITestDock dock(nullptr, &manager);
        DeviceItem *old = makeDevice(3, 13);
        std::unique_ptr<DeviceItem> other(makeDevice(5, 15));
        const QString toolTip = old->toolTip();
        emit manager.testsStarted({old, other.get()});
        emit manager.testStarted(old);
        emit manager.testFinished(old, levels(90, -60, -70, -50));
        delete old;
        QCOMPARE(dock.reportInfo().section(QStringLiteral("\n\n\n"), 0, 0),
                 QStringLiteral("Radio address: 3.\n%1. Packets: 90/100. Min -70. Avg -60. Max -50").arg(toolTip));

        std::unique_ptr<DeviceItem> again(makeDevice(3, 13));
        emit manager.testStarted(again.get());
        QCOMPARE(dock.rows().at(0)->state(), int(WidgetRSSIResult::Done));
        dock.testFailed(nullptr); // the master disconnected
        QCOMPARE(dock.rows().at(1)->state(), int(WidgetRSSIResult::Failed));
        QCOMPARE(dock.rows().at(0)->state(), int(WidgetRSSIResult::Done));
    }

    // The write dialog takes 1 to 4 address digits and 1 byte up to what one
    // write packet carries; anything else cannot be accepted.
    void writeDialogTakesOnlyWhatAPacketCarries_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("data");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<quint32>("value");
        QTest::addColumn<QByteArray>("bytes");
        const QString full(2 * DialogWriteEeprom::MaxDataBytes, QLatin1Char('a'));
        QTest::newRow("the Part's example") << "185" << "A1B" << true << 0x185u << QByteArray::fromHex("0a1b");
        QTest::newRow("four digits") << "ffff" << "00" << true << 0xFFFFu << QByteArray(1, '\0');
        QTest::newRow("no address") << "" << "01" << false << 0u << QByteArray();
        QTest::newRow("no data") << "10" << "" << false << 0u << QByteArray();
        QTest::newRow("a packet's worth") << "10" << full << true << 0x10u << QByteArray::fromHex(full.toLatin1());
        // A fifth digit or a byte more cannot be typed: the fields stop at their length.
        QTest::newRow("five digits are four") << "12345" << "01" << true << 0x1234u << QByteArray(1, '\1');
        QTest::newRow("a byte too many") << "10" << full + "bb" << true << 0x10u << QByteArray::fromHex(full.toLatin1());
    }
    void writeDialogTakesOnlyWhatAPacketCarries()
    {
        QFETCH(QString, address);
        QFETCH(QString, data);
        QFETCH(bool, accepted);
        QFETCH(quint32, value);
        QFETCH(QByteArray, bytes);
        DialogWriteEeprom dialog;
        dialog.findChild<QLineEdit *>(QStringLiteral("leMemoryAddress"))->setText(address);
        dialog.findChild<QLineEdit *>(QStringLiteral("leData"))->setText(data);
        QCOMPARE(dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->isEnabled(), accepted);
        dialog.done(QDialog::Accepted);
        QCOMPARE(dialog.result(), int(accepted ? QDialog::Accepted : QDialog::Rejected));
        if (!accepted)
            return;
        QCOMPARE(dialog.address(), value);
        QCOMPARE(dialog.data(), bytes);
        // Offered again next time.
        DialogWriteEeprom again;
        QCOMPARE(again.findChild<QLineEdit *>(QStringLiteral("leMemoryAddress"))->text(), address.left(4));
    }

    // Statistics files go to the user's data folder, made when missing, not
    // beside the program.
    void statisticsFilesGoToTheUsersDataFolder()
    {
        QStandardPaths::setTestModeEnabled(true);
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QDir(folder).removeRecursively();
        StatisticsManager manager;
        QCOMPARE(manager.statisticsFolder(), folder);
        QVERIFY(QFileInfo(folder).isDir());
        QVERIFY(folder != QCoreApplication::applicationDirPath());
        QStandardPaths::setTestModeEnabled(false);
    }

    // The write dialog's fields stay readable, however long its labels read
    // in the language in use: room for the address and a stretch of data.
    void writeDialogFieldsAreReadable()
    {
        DialogWriteEeprom dialog;
        for (QLabel *label : dialog.findChildren<QLabel *>())
            label->setText(label->text() + QString(40, QLatin1Char('x')));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *address = dialog.findChild<QLineEdit *>(QStringLiteral("leMemoryAddress"));
        auto *data = dialog.findChild<QLineEdit *>(QStringLiteral("leData"));
        const QFontMetrics metrics = data->fontMetrics();
        QTRY_VERIFY(address->width() >= metrics.horizontalAdvance(QStringLiteral("FFFFFFFF")));
        QVERIFY2(data->width() >= metrics.horizontalAdvance(QString(32, QLatin1Char('F'))),
                 qPrintable(QString::number(data->width())));
    }

    // While a row is tested its marker moves along the bar and wraps.
    void markerMoves()
    {
        WidgetRSSIResult::setMarkerInterval(1);
        std::unique_ptr<DeviceItem> device(makeDevice(3, 13));
        WidgetRSSIResult row(device.get());
        row.setStarted();
        QTRY_VERIFY(row.bar()->progress > 5);
        row.bar()->progress = 119;
        QTRY_VERIFY(row.bar()->progress < 5);
        row.setFailed();
        const float stopped = row.bar()->progress;
        QTest::qWait(20);
        QCOMPARE(row.bar()->progress, stopped);
        WidgetRSSIResult::setMarkerInterval(25);
    }
};

QTEST_MAIN(DiagnosticsDocksTest)
#include "tst_diagnosticsdocks.moc"
