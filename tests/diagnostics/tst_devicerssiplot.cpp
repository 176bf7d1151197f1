// A device's RSSI plot against a scripted link that calls its reply
// callbacks: the record decoding, start, polling with its pause after each
// READY, a lost READY, an unsupported device, Stop, close, a device that goes
// away, and a screenshot.
#include "appglobals.h"
#include "customplotview.h"
#include "deviceitem.h"
#include "devicerssiplot.h"
#include "packettap.h"
#include "plotcrosshair.h"
#include "plotfixture.h"
#include "settings.h"
#include "simdiagnostics.h"
#include "testsupport.h"

#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>

#include <array>
#include <cmath>
#include <memory>

namespace {

constexpr qint64 Now0 = 1700000000000;
constexpr quint8 DeviceNumber = 7; // record byte 0
constexpr quint8 Wireloop = 18;    // record byte 9

using Record = std::array<qint8, 5>;

QByteArray ready(const QVector<Record> &records)
{
    return QByteArray(1, char(PT_RSSI_TEST_READ_READY)) + rssiRecordsPayload(DeviceNumber, records);
}

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

deviceInfo_t smokeDetector()
{
    deviceInfo_t info;
    info.radioAddress = DeviceNumber;
    info.wireloopAddress = Wireloop;
    info.serialNumber = 1234567;
    info.deviceType = 4;
    info.linkState = 2;
    return info;
}

// A device, its RSSI plot (opened, its start already run) and the tapped link.
struct Rig
{
    Rig() : clock(Now0), device(new DeviceItem(smokeDetector(), false)), plot(new DeviceRSSIPlot(device))
    {
        tap = std::make_unique<PacketTap>(plot.data());
        plot->show();
    }
    ~Rig()
    {
        delete plot;
        delete device;
    }

    // Waits for the start request, with a sampling interval short for tests.
    void started()
    {
        QTRY_COMPARE(tap->count(PT_RSSI_TEST_READ_REQ), 1);
        QVERIFY(plot->view()->isPlotting());
    }
    QCustomPlot *graphs() const { return plot->view()->plot(); }

    PlotClockScope clock;
    QPointer<DeviceItem> device;
    QPointer<DeviceRSSIPlot> plot;
    std::unique_ptr<PacketTap> tap;
};

} // namespace

class DeviceRssiPlotTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initTestResources();
        registerDeviceModelNames();
        DeviceRSSIPlot::setPollPause(150);
    }

    // Whole records only; the serial check byte or a partial record is left out.
    void decoding_data()
    {
        QTest::addColumn<int>("dataBytes");
        QTest::addColumn<int>("records");
        QTest::newRow("empty") << 0 << 0;
        QTest::newRow("header only") << 6 << 0;
        QTest::newRow("10 bytes: no whole record") << 10 << 0;
        QTest::newRow("one record, no check byte") << 11 << 1;
        QTest::newRow("one record and check byte") << 12 << 1;
        QTest::newRow("14 bytes") << 14 << 1;
        QTest::newRow("15 bytes: one whole record") << 15 << 1;
        QTest::newRow("two records exactly") << 16 << 2;
        QTest::newRow("two records and check byte") << 17 << 2;
    }
    void decoding()
    {
        QFETCH(int, dataBytes);
        QFETCH(int, records);
        QByteArray data(dataBytes, '\0');
        for (int i = 6; i < dataBytes; ++i)
            data[i] = char(-(i * 3));
        const QVector<RssiRecord> decoded = DeviceRSSIPlot::decodeRecords(data);
        QCOMPARE(decoded.size(), records);
        for (int r = 0; r < decoded.size(); ++r) {
            const int at = 6 + 5 * r;
            QCOMPARE(decoded.at(r).device, qint8(data.at(at)));
            QCOMPARE(decoded.at(r).noise, qint8(data.at(at + 1)));
            QCOMPARE(decoded.at(r).maxNoise, qint8(data.at(at + 2)));
            QCOMPARE(decoded.at(r).master, qint8(data.at(at + 3)));
            QCOMPARE(decoded.at(r).rfOffset, qint8(data.at(at + 4)));
        }
    }

    void windowAndStart()
    {
        Rig rig;
        QCOMPARE(rig.plot->windowTitle(), QStringLiteral("Plot RSSI plot"));
        QCOMPARE(rig.plot->windowModality(), Qt::ApplicationModal);
        QCOMPARE(rig.plot->view()->objectName(), QStringLiteral("view"));
        // The title shows the Wireloop address; requests carry the device's number.
        QCOMPARE(rig.plot->findChild<QLabel *>(QStringLiteral("lblTested"))->text(),
                 QStringLiteral("   18. ") + rig.device->itemTypeName());
        const QCustomPlot *plot = rig.graphs();
        QCOMPARE(plot->graphCount(), 6);
        QCOMPARE(plot->graph(5)->name(), QStringLiteral("Signal to noise"));
        QCOMPARE(plot->graph(4)->name(), QStringLiteral("RF offset"));
        QCOMPARE(plot->graph(4)->valueAxis(), plot->yAxis2);
        QCOMPARE(plot->graph(0)->pen().color(), QColor(255, 50, 50));
        QCOMPARE(plot->yAxis->label(), QStringLiteral("dBm"));
        QCOMPARE(plot->yAxis2->label(), QStringLiteral("RF offset"));
        QVERIFY(!rig.plot->isActive());
        rig.started();
        QCOMPARE(rig.tap->requests().first(), hex("90070101"));
        QVERIFY(rig.plot->isActive());
        // An acknowledgement or a busy answer is taken and adds nothing.
        QVERIFY(rig.tap->answerLast(PT_RSSI_TEST_READ_REQ, hex("9107")));
        QVERIFY(rig.tap->answerLast(PT_RSSI_TEST_READ_REQ, hex("9307")));
        QCOMPARE(plot->graph(0)->dataCount(), 0);
    }

    // Polls every tick until a READY comes; after it the gate stays shut for
    // the pause, then polling goes on. A lost READY never stops it.
    void pollingAndThePause()
    {
        Rig rig;
        rig.started();
        QTRY_VERIFY(rig.tap->count(PT_RSSI_TEST_READ_PING) >= 3); // no READY yet: polls on
        QCOMPARE(rig.tap->ofType(PT_RSSI_TEST_READ_PING).first(), hex("9207"));

        rig.clock.advance(3000);
        QVERIFY(rig.tap->answerLast(PT_RSSI_TEST_READ_PING, ready({{-60, -95, -90, -55, 3}, {-61, -94, -89, -56, -2}})));
        QVERIFY(!rig.plot->pollGateOpen());
        const int polls = rig.tap->count(PT_RSSI_TEST_READ_PING);
        QCustomPlot *plot = rig.graphs();
        // Two records spread over the 3 s since the start.
        QCOMPARE(plot->graph(0)->dataCount(), 2);
        QCOMPARE(plot->graph(0)->data()->at(0)->key, Now0 / 1000.0);
        QCOMPARE(plot->graph(0)->data()->at(1)->key, (Now0 + 1500) / 1000.0);
        const double first[] = {-60, -55, -95, -90, 3, 35};
        const double second[] = {-61, -56, -94, -89, -2, 33};
        for (int g = 0; g < 6; ++g) {
            QCOMPARE(plot->graph(g)->data()->at(0)->value, first[g]);
            QCOMPARE(plot->graph(g)->data()->at(1)->value, second[g]);
        }
        // While the gate is shut no poll leaves; the pause opens it again.
        QCOMPARE(rig.tap->count(PT_RSSI_TEST_READ_PING), polls);
        QTRY_VERIFY(rig.plot->pollGateOpen());
        QTRY_VERIFY(rig.tap->count(PT_RSSI_TEST_READ_PING) > polls);

        // The next READY starts where the last one ended.
        rig.clock.advance(1000);
        rig.tap->answerLast(PT_RSSI_TEST_READ_PING, ready({{-70, -90, -88, -65, 0}}));
        QCOMPARE(plot->graph(0)->data()->at(2)->key, (Now0 + 3000) / 1000.0);
        QCOMPARE(plot->graph(5)->data()->at(2)->value, 20.0);
    }

    void unsupportedDevice()
    {
        Rig rig;
        rig.started();
        MessageBoxRecorder boxes;
        // Ten data bytes: no whole record.
        const QByteArray shortReady = hex("940700000000010203");
        QVERIFY(!rig.tap->answerLast(PT_RSSI_TEST_READ_REQ, shortReady));
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().kind, UiSeams::MessageBoxRequest::Warning);
        QCOMPARE(boxes.last().text, QStringLiteral("Device RSSI plot unsupported"));
        QCOMPARE(boxes.last().title, QStringLiteral("Device RSSI plot"));
        QCOMPARE(rig.tap->ofType(PT_RSSI_TEST_READ_REQ).last(), hex("90000100"));
        QTRY_VERIFY(!rig.plot);
        QCOMPARE(rig.tap->count(PT_RSSI_TEST_READ_REQ), 2); // the stop request went once
    }

    void stopThenCloseThenLateReplies()
    {
        Rig rig;
        rig.started();
        const PacketTap::Sent startRequest = rig.tap->sent.first();
        rig.plot->view()->stop();
        QVERIFY(!rig.plot->isActive());
        QCOMPARE(rig.tap->ofType(PT_RSSI_TEST_READ_REQ).last(), hex("90000100"));
        QVERIFY(rig.tap->sent.last().cb(PacketTap::packet(hex("9100")))); // any reply to it is taken
        // A READY after Stop adds nothing (the break point is all there is).
        QVERIFY(startRequest.cb(PacketTap::packet(ready({{-60, -95, -90, -55, 3}}))));
        QCOMPARE(rig.graphs()->graph(0)->dataCount(), 1);
        QVERIFY(std::isnan(rig.graphs()->graph(0)->data()->at(0)->value));

        // Start again, then close: the stop request goes, the geometry is kept.
        rig.plot->view()->start();
        QCOMPARE(rig.tap->count(PT_RSSI_TEST_READ_REQ), 3);
        appSettings.remove(QLatin1String(SettingsKey::GeometryDeviceRSSIPlot));
        rig.plot->close();
        QCOMPARE(rig.tap->ofType(PT_RSSI_TEST_READ_REQ).last(), hex("90000100"));
        QCOMPARE(rig.tap->count(PT_RSSI_TEST_READ_REQ), 4);
        QVERIFY(!appSettings.value(QLatin1String(SettingsKey::GeometryDeviceRSSIPlot)).toByteArray().isEmpty());
        QTRY_VERIFY(!rig.plot);
        // A reply after the window is gone is dropped.
        QVERIFY(!startRequest.cb(PacketTap::packet(ready({{-60, -95, -90, -55, 3}}))));
    }

    void deviceGoesAway()
    {
        Rig rig;
        rig.started();
        delete rig.device;
        const int sent = rig.tap->sent.size();
        QSignalSpy ticks(rig.plot->view()->sampleTimer(), &QTimer::timeout);
        QTRY_VERIFY(ticks.size() >= 3);
        rig.plot->view()->stop();
        rig.plot->view()->start();
        rig.plot->close();
        QCOMPARE(rig.tap->sent.size(), sent);
        QTRY_VERIFY(!rig.plot);
    }

    // With a graph selected the value label reads that graph and keeps to
    // the pointer, plotting or stopped.
    void valueLabelFollowsTheSelectedGraph_data()
    {
        QTest::addColumn<bool>("plotting");
        QTest::newRow("stopped") << false;
        QTest::newRow("plotting") << true;
    }
    void valueLabelFollowsTheSelectedGraph()
    {
        QFETCH(bool, plotting);
        Rig rig;
        rig.started();
        CustomPlotView *view = rig.plot->view();
        if (!plotting)
            view->stop();
        QCOMPARE(view->isPlotting(), plotting);
        QCustomPlot *plot = view->plot();
        const double first = Now0 / 1000.0 - 58.0;
        setPlateaus(plot->graph(0), first, 5);
        plot->replot();
        const QPoint onDevice = mouseFor(pixelOf(plot, first + 5.0, plateauValue(0)));
        plotMove(plot, onDevice);
        plotMouse(plot, QEvent::MouseButtonPress, onDevice, Qt::LeftButton);
        plotMouse(plot, QEvent::MouseButtonRelease, onDevice, Qt::LeftButton);
        QCOMPARE(plot->selectedGraphs(), QList<QCPGraph *>{plot->graph(0)});
        checkValueLabelFollows(plot, view->crosshair()->verticalMarker(), first,
                               {{2, 0.6}, {4, 0.2}, {1, 0.8}, {3, 0.4}});
    }

    void screenshot()
    {
        Rig rig;
        rig.started();
        rig.plot->view()->stop();
        rig.plot->resize(1440, 810);
        CustomPlotView *view = rig.plot->view();
        const double t0 = Now0 / 1000.0;
        for (int i = 0; i < 55; ++i) {
            const double key = t0 - 55.0 + i;
            const int device = -62 + int(5 * std::sin(i / 5.0));
            const int noise = -96 + (i % 9 == 0 ? 6 : 0);
            const int values[] = {device, device + 4, noise, noise + 3, (i % 11) - 5, device - noise};
            for (int g = 0; g < 6; ++g)
                view->addData(g, key, values[g]);
        }
        QCustomPlot *plot = view->plot();
        plot->xAxis->setRange(t0 - 58.0, t0 + 1.0);
        plot->replot();
        const auto onDevice = [plot](double key) {
            const double value = plot->graph(0)->data()->findBegin(key)->value;
            return mouseFor(pixelOf(plot, key, value));
        };
        plotMove(plot, onDevice(t0 - 40.0));
        plotDoubleClick(plot, onDevice(t0 - 40.0), Qt::LeftButton);
        plotMove(plot, onDevice(t0 - 12.0));
        plotDoubleClick(plot, onDevice(t0 - 12.0), Qt::RightButton);
        QVERIFY(view->crosshair()->redTracer() && view->crosshair()->blueTracer());
        plotMove(plot, onDevice(t0 - 25.0) + QPoint(0, -60));
        plot->replot();
        QDir().mkpath(QStringLiteral(SCREENSHOT_DIR));
        QVERIFY(rig.plot->grab().save(QStringLiteral(SCREENSHOT_DIR "/devicerssiplot.png")));
    }
};

QTEST_MAIN(DeviceRssiPlotTest)
#include "tst_devicerssiplot.moc"
