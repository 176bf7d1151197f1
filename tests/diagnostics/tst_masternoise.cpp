// The master's noise window against a scripted link that calls its reply
// callbacks: requests, the spreading and smoothing of samples, Stop and
// Start, replies after Stop or close, the export, and a screenshot.
#include "masternoise.h"
#include "plotcrosshair.h"
#include "plotfixture.h"
#include "packettap.h"
#include "settings.h"
#include "simdiagnostics.h"
#include "testsupport.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {

constexpr qint64 Now0 = 1700000000000; // 2023-11-15 01:13:20 in the test zone

QByteArray ready(const QVector<qint8> &samples)
{
    return QByteArray(1, char(PT_RSSI_TEST_READ_READY)) + noiseSamplesPayload(samples);
}

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// A noise window with its plot set up, the first READY already in (the clock
// running at Now0), the link tapped.
struct Noise
{
    Noise() : clock(Now0), window(new MasterNoise(QStringLiteral("Zentar-HUBRO32"))), tap(window.data())
    {
        window->initPlot();
        window->show();
        // Through the start request's callback: both requests share the handler.
        first = tap.answerLast(PT_RSSI_TEST_READ_REQ, ready({-90}));
    }
    ~Noise() { delete window; }

    QCPGraph *smoothed() const { return window->plot()->graph(0); }
    QCPGraph *raw() const { return window->plot()->graph(1); }
    QPushButton *button(const char *name) const { return child<QPushButton>(window, name); }

    PlotClockScope clock;
    QPointer<MasterNoise> window;
    PacketTap tap;
    bool first = true;
};

QVector<double> values(const QCPGraph *graph)
{
    QVector<double> list;
    for (auto it = graph->data()->constBegin(); it != graph->data()->constEnd(); ++it)
        list << it->value;
    return list;
}

QVector<double> keys(const QCPGraph *graph)
{
    QVector<double> list;
    for (auto it = graph->data()->constBegin(); it != graph->data()->constEnd(); ++it)
        list << it->key;
    return list;
}

} // namespace

class MasterNoiseTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initTestResources(); }

    void smoothing_data()
    {
        QTest::addColumn<double>("average");
        QTest::addColumn<double>("raw");
        QTest::addColumn<double>("next");
        QTest::newRow("from zero: jumps to the sample") << 0.0 << -90.0 << -90.0;
        QTest::newRow("a tenth of the way") << -90.0 << -92.0 << -90.2;
        QTest::newRow("4.5 dB off: follows") << -90.0 << -95.0 << -90.5;
        QTest::newRow("5.4 dB off: resets") << -90.0 << -96.0 << -96.0;
        QTest::newRow("-100 is not deep") << -100.0 << -106.0 << -106.0;
        QTest::newRow("deep: a twentieth of the way") << -110.0 << -119.0 << -110.45;
        QTest::newRow("deep, 10.45 dB off: resets") << -110.0 << -121.0 << -121.0;
    }
    void smoothing()
    {
        QFETCH(double, average);
        QFETCH(double, raw);
        QFETCH(double, next);
        QCOMPARE(MasterNoise::smoothed(average, raw), next);
    }

    void requestsAndForm()
    {
        Noise noise;
        QCOMPARE(noise.tap.requests(), QList<QByteArray>{hex("90ff0201")});
        QCOMPARE(noise.window->windowTitle(), QStringLiteral("Noise level"));
        QCOMPARE(noise.window->windowModality(), Qt::ApplicationModal);
        QCOMPARE(child<QLabel>(noise.window, "lblTested")->text(), QStringLiteral("Zentar-HUBRO32"));
        QCOMPARE(child<QLineEdit>(noise.window, "leCount")->text(), QStringLiteral("2"));
        auto *list = child<QListWidget>(noise.window, "graphs");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->text(), QStringLiteral("RSSI"));
        QCOMPARE(list->item(1)->foreground().color(), QColor(200, 0, 0));
        QCOMPARE(list->item(0)->data(Qt::UserRole).toString(), zoneTime(Now0 / 1000.0, "yyyy-MM-dd hh:mm:ss.zzz"));
        QCOMPARE(noise.smoothed()->pen().widthF(), 4.0);
        QCOMPARE(noise.smoothed()->pen().capStyle(), Qt::SquareCap);
        QCOMPARE(noise.window->plot()->yAxis->label(), QStringLiteral("dBm"));
        QCOMPARE(noise.window->plot()->yAxis->range(), QCPRange(-140.0, 0.0));
        QCOMPARE(noise.window->plot()->xAxis->range().upper, Now0 / 1000.0 + 1.0);
        QVERIFY(noise.window->isPlotting());
        QVERIFY(!noise.button("pbStart")->isEnabled());
        QVERIFY(!child<QSpinBox>(noise.window, "sbInterval")->isEnabled());
        QCOMPARE(child<QSpinBox>(noise.window, "sbInterval")->value(), 1200);

        // An acknowledgement or any other reply is not taken.
        QVERIFY(!noise.tap.answerLast(PT_RSSI_TEST_READ_REQ, hex("91ff")));
        // Each sampling tick pings the master.
        noise.button("pbStop")->click();
        child<QSpinBox>(noise.window, "sbInterval")->setValue(100);
        noise.button("pbStart")->click();
        QTRY_VERIFY(noise.tap.count(PT_RSSI_TEST_READ_PING) >= 2);
        QCOMPARE(noise.tap.ofType(PT_RSSI_TEST_READ_PING).first(), hex("92ff"));
        QCOMPARE(noise.tap.count(PT_RSSI_TEST_READ_REQ), 1); // Start sends no start request

        MessageBoxRecorder boxes;
        noise.button("pbHelp")->click();
        QCOMPARE(boxes.last().title, QStringLiteral("Help"));
        QVERIFY(boxes.last().text.startsWith(QStringLiteral("You can set two markers.\nDouble-clicking")));
    }

    // Samples spread evenly over the time since the previous READY; the
    // first READY and a READY without samples only move the clock.
    void samplesSpreadOverTheGap()
    {
        Noise noise;
        QVERIFY(!noise.first);
        QCOMPARE(noise.raw()->dataCount(), 0);

        noise.clock.advance(4000);
        QVERIFY(noise.tap.answerLast(PT_RSSI_TEST_READ_REQ, ready({-90, -91, -92, -93})));
        // Four samples and the check byte: steps of 4000 / 5 ms.
        const double t0 = Now0 / 1000.0;
        QCOMPARE(keys(noise.raw()), (QVector<double>{t0, t0 + 0.8, t0 + 1.6, t0 + 2.4}));
        QCOMPARE(values(noise.raw()), (QVector<double>{-90, -91, -92, -93}));
        const QVector<double> smoothed = values(noise.smoothed());
        QCOMPARE(smoothed.at(0), -90.0);
        QCOMPARE(smoothed.at(1), -90.1);
        QCOMPARE(keys(noise.smoothed()), keys(noise.raw()));

        // No sample (8 data bytes): nothing added, the clock moves on.
        noise.clock.advance(1000);
        QVERIFY(noise.tap.answerLast(PT_RSSI_TEST_READ_REQ, ready({})));
        QCOMPARE(noise.raw()->dataCount(), 4);
        noise.clock.advance(1000);
        QVERIFY(noise.tap.answerLast(PT_RSSI_TEST_READ_REQ, ready({20})));
        QCOMPARE(noise.raw()->data()->at(4)->key, t0 + 5.0);
        // The value axis grows to show it, never shrinks.
        QCOMPARE(noise.window->plot()->yAxis->range(), QCPRange(-140.0, 22.0));
        QCOMPARE(noise.smoothed()->data()->at(4)->value, 20.0);
    }

    void stopStartAndLateReplies()
    {
        Noise noise;
        noise.clock.advance(2000);
        noise.tap.answerLast(PT_RSSI_TEST_READ_REQ, ready({-80}));
        noise.clock.advance(500);
        noise.button("pbStop")->click();
        QVERIFY(!noise.window->isPlotting());
        QVERIFY(noise.button("pbStart")->isEnabled());
        QVERIFY(!noise.button("pbStop")->isEnabled());
        // Each line breaks at the stop time.
        for (QCPGraph *graph : {noise.smoothed(), noise.raw()}) {
            QCOMPARE(graph->dataCount(), 2);
            QCOMPARE(graph->data()->at(1)->key, (Now0 + 2500) / 1000.0);
            QVERIFY(std::isnan(graph->data()->at(1)->value));
        }
        // A READY still on its way adds nothing.
        noise.clock.advance(500);
        QVERIFY(!noise.tap.answerLast(PT_RSSI_TEST_READ_REQ, ready({-70, -71})));
        QCOMPARE(noise.raw()->dataCount(), 2);

        // Start: the next READY only starts the clock again.
        noise.clock.advance(10000);
        noise.button("pbStart")->click();
        QCOMPARE(noise.tap.count(PT_RSSI_TEST_READ_REQ), 1);
        QVERIFY(!noise.tap.answerLast(PT_RSSI_TEST_READ_REQ, ready({-70})));
        noise.clock.advance(1000);
        QVERIFY(noise.tap.answerLast(PT_RSSI_TEST_READ_REQ, ready({-70})));
        QCOMPARE(noise.raw()->dataCount(), 3);
        QCOMPARE(noise.raw()->data()->at(2)->key, (Now0 + 13000) / 1000.0);

        // After the window is gone a reply is dropped.
        const PacketTap::Sent late = noise.tap.sent.last();
        noise.window->close();
        QTRY_VERIFY(!noise.window);
        noise.clock.advance(1000);
        QVERIFY(!late.cb(PacketTap::packet(ready({-60}))));
        QVERIFY(!appSettings.value(QLatin1String(SettingsKey::GeometryMasterNoise)).toByteArray().isEmpty());
    }

    void zoomLimits()
    {
        Noise noise;
        QCustomPlot *plot = noise.window->plot();
        const double lower = plot->xAxis->range().lower;
        plot->xAxis->setRange(lower + 10.0, lower + 10.5);
        QCOMPARE(plot->xAxis->range(), QCPRange(lower, lower + 1.0));
        plot->xAxis->setRange(lower, lower + 3000000.0);
        QCOMPARE(plot->xAxis->range(), QCPRange(lower, lower + 2592000.0));
    }

    // The export, byte for byte: "." decimals, ";" after every field, an
    // empty field where a graph has no point, and the folder remembered.
    void exportFile()
    {
        QTemporaryDir folder;
        appSettings.setValue(QLatin1String(SettingsKey::LastRssiLogsPath), folder.path());
        Noise noise;
        noise.clock.advance(4000);
        noise.tap.answerLast(PT_RSSI_TEST_READ_REQ, ready({-90, -91, -92, -93}));
        noise.smoothed()->addData(Now0 / 1000.0 + 3.5, 1234.5);

        FileDialogScript files;
        const QString path = folder.filePath(QStringLiteral("sub/noise.csv"));
        QDir(folder.path()).mkdir(QStringLiteral("sub"));
        files.answer(path);
        noise.button("pbSave")->click();
        QCOMPARE(files.requests().size(), 1);
        QCOMPARE(files.requests().first().caption, QStringLiteral("Save as CSV file"));
        QCOMPARE(files.requests().first().filter, QStringLiteral("Excel file (*.csv)"));
        QCOMPARE(files.requests().first().directory, folder.path() + QStringLiteral("/dBm - 15.11.2023 01.13.csv"));
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QFile golden(QStringLiteral(TANDREL_DIAGNOSTICS_DATA "/noise.csv"));
        QVERIFY(golden.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), golden.readAll());
        QCOMPARE(appSettings.value(QLatin1String(SettingsKey::LastRssiLogsPath)).toString(),
                 folder.filePath(QStringLiteral("sub")));

        // A file that cannot be written: a warning, the folder kept.
        MessageBoxRecorder boxes;
        files.answer(folder.filePath(QStringLiteral("missing/noise.csv")));
        noise.button("pbSave")->click();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, QStringLiteral("Failed to save selected file"));
        QCOMPARE(boxes.last().title, QStringLiteral("Error"));
        QCOMPARE(appSettings.value(QLatin1String(SettingsKey::LastRssiLogsPath)).toString(),
                 folder.filePath(QStringLiteral("sub")));
        // Cancelled: nothing.
        files.cancel();
        noise.button("pbSave")->click();
        QCOMPARE(boxes.count(), 1);

        // No folder remembered yet: the bare name is proposed, not the root.
        appSettings.remove(QLatin1String(SettingsKey::LastRssiLogsPath));
        files.cancel();
        noise.button("pbSave")->click();
        QCOMPARE(files.requests().last().directory, QStringLiteral("dBm - 15.11.2023 01.13.csv"));
    }

    // With a graph selected the value label reads that graph and keeps to
    // the pointer: stopped (each move places it) and measuring (the redraw does).
    void valueLabelFollowsTheSelectedGraph_data()
    {
        QTest::addColumn<bool>("measuring");
        QTest::newRow("stopped") << false;
        QTest::newRow("measuring") << true;
    }
    void valueLabelFollowsTheSelectedGraph()
    {
        QFETCH(bool, measuring);
        Noise noise;
        if (!measuring)
            noise.button("pbStop")->click();
        QCOMPARE(noise.window->isPlotting(), measuring);
        QCustomPlot *plot = noise.window->plot();
        const double first = Now0 / 1000.0 - 58.0;
        setPlateaus(noise.raw(), first, 5);
        plot->replot();
        const QPoint onRaw = mouseFor(pixelOf(plot, first + 5.0, plateauValue(0)));
        plotMove(plot, onRaw);
        plotMouse(plot, QEvent::MouseButtonPress, onRaw, Qt::LeftButton);
        plotMouse(plot, QEvent::MouseButtonRelease, onRaw, Qt::LeftButton);
        QCOMPARE(plot->selectedGraphs(), QList<QCPGraph *>{noise.raw()});
        checkValueLabelFollows(plot, noise.window->crosshair()->verticalMarker(), first,
                               {{1, 0.3}, {3, 0.7}, {2, 0.15}, {4, 0.5}});
    }

    void screenshot()
    {
        Noise noise;
        QVector<qint8> samples;
        for (int i = 0; i < 60; ++i)
            samples << qint8(-95 + int(6 * std::sin(i / 4.0)) + (i % 7 == 0 ? 9 : 0));
        for (int batch = 0; batch < 4; ++batch) {
            noise.clock.advance(6000);
            noise.tap.answerLast(PT_RSSI_TEST_READ_REQ, ready(samples));
        }
        noise.button("pbStop")->click();
        QCustomPlot *plot = noise.window->plot();
        plot->xAxis->setRange(Now0 / 1000.0 - 2.0, Now0 / 1000.0 + 26.0);
        plot->yAxis->setRange(-120.0, -70.0);
        plot->replot();
        const auto onRaw = [plot](double seconds) {
            const QCPGraph *raw = plot->graph(1);
            const double key = Now0 / 1000.0 + seconds;
            const double value = raw->data()->findBegin(key)->value;
            return mouseFor(pixelOf(plot, key, value));
        };
        plotMove(plot, onRaw(3.0));
        plotDoubleClick(plot, onRaw(3.0), Qt::LeftButton);
        plotMove(plot, onRaw(15.0));
        plotDoubleClick(plot, onRaw(15.0), Qt::RightButton);
        QVERIFY(noise.window->crosshair()->redTracer() && noise.window->crosshair()->blueTracer());
        plotMove(plot, onRaw(9.0) + QPoint(0, -40));
        plot->replot();
        QDir().mkpath(QStringLiteral(SCREENSHOT_DIR));
        QVERIFY(noise.window->grab().save(QStringLiteral(SCREENSHOT_DIR "/masternoise.png")));
    }
};

QTEST_MAIN(MasterNoiseTest)
#include "tst_masternoise.moc"
