// The two live plots end to end: opened by their actions on the items of a
// live connection to the simulated master, over the serial link on a
// pseudo-terminal, answered by the level-test scripts.
#include "connectionfixture.h"
#include "deviceitem.h"
#include "devicerssiplot.h"
#include "diagnosticsopeners.h"
#include "customplotview.h"
#include "hubroitem.h"
#include "masternoise.h"
#include "mastersim.h"
#include "simdiagnostics.h"
#include "testsupport.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>

#include <cmath>

namespace {

constexpr quint8 DeviceNumber = 3;

template <class T>
T *openWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<T *>(widget))
            return window;
    return nullptr;
}

// Requests of that type and address the fake master got, in order.
QVector<FakeMaster::Received> requestsOf(const SimMaster &sim, quint8 type, quint8 address)
{
    QVector<FakeMaster::Received> list;
    for (const FakeMaster::Received &r : sim.fake.received())
        if (r.type() == type && r.packet.size() > 1 && quint8(r.packet.at(1)) == address)
            list << r;
    return list;
}

struct Session
{
    Session() : sim(healthyRecord()), levels(sim, LevelTestFamily)
    {
        sim.setDevice(simDevice(DeviceNumber, 4));
    }

    void connect()
    {
        QVERIFY(sim.fake.isValid());
        QVERIFY(connection.connectToMaster(Serial, sim.address(), MasterOrdinary));
        QTRY_COMPARE(masterConnected.size(), 1);
        QTRY_COMPARE(deviceConnected.size(), 1);
        master = masterConnected.first().first().value<HubroItem *>();
        device = deviceConnected.first().first().value<DeviceItem *>();
    }

    SimMaster sim;
    SimDiagnostics levels;
    DeviceConnection connection;
    QSignalSpy masterConnected{&connection, &Connection::masterConnected};
    QSignalSpy deviceConnected{&connection, &Connection::deviceConnected};
    QPointer<HubroItem> master;
    QPointer<DeviceItem> device;
};

} // namespace

class PlotsOverLinkTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        prepareConnectionTests();
        registerDiagnosticsOpeners();
        DeviceRSSIPlot::setPollPause(300);
    }
    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    void noiseWindow()
    {
        Session s;
        // The dip stays within the jump threshold (5 dB) of every level the
        // line can have, whichever answer the plotted ones begin with.
        s.levels.setPayload(0xFF, [](quint8, int index) {
            QVector<qint8> samples;
            for (int i = 0; i < 8; ++i)
                samples << qint8(-100 + (index + i) % 3 - (i == 4 ? 3 : 0));
            return noiseSamplesPayload(samples);
        });
        s.connect();
        s.master->executeAction(HubroItem::PlotNoiseAction);
        QPointer<MasterNoise> noise = openWindow<MasterNoise>();
        QVERIFY(noise);
        QCOMPARE(noise->windowTitle(), QStringLiteral("Noise level"));
        QCOMPARE(noise->findChild<QLabel *>(QStringLiteral("lblTested"))->text(), s.master->itemTypeName());
        QTRY_COMPARE(s.levels.received(0xFF, PT_RSSI_TEST_READ_REQ), 1);
        QCOMPARE(requestsOf(s.sim, PT_RSSI_TEST_READ_REQ, 0xFF).first().packet, QByteArray::fromHex("90ff0201"));

        // Poll quickly for the test.
        noise->findChild<QPushButton *>(QStringLiteral("pbStop"))->click();
        noise->findChild<QSpinBox *>(QStringLiteral("sbInterval"))->setValue(100);
        noise->findChild<QPushButton *>(QStringLiteral("pbStart"))->click();
        QCustomPlot *plot = noise->plot();
        QTRY_VERIFY(plot->graph(1)->dataCount() >= 16);
        QCOMPARE(plot->graph(0)->dataCount(), plot->graph(1)->dataCount());
        // Raw samples as sent; the smoothed line stays near the level while the
        // raw one dips.
        bool dipSmoothed = false;
        for (int i = 0; i < plot->graph(1)->dataCount(); ++i) {
            const double raw = plot->graph(1)->data()->at(i)->value;
            const double smooth = plot->graph(0)->data()->at(i)->value;
            if (std::isnan(raw)) // the break where the window stopped
                continue;
            QVERIFY(raw <= -98.0 && raw >= -103.0);
            if (raw <= -102.0 && smooth > -101.0)
                dipSmoothed = true;
        }
        QVERIFY(dipSmoothed);
        noise->close();
        QTRY_VERIFY(!noise);
    }

    void rssiPlot()
    {
        Session s;
        s.levels.setPayload(DeviceNumber, [](quint8 device, int index) {
            return rssiRecordsPayload(device, {{qint8(-60 - index), -95, -90, -55, 2}, {-61, -94, -89, -56, -1}});
        });
        // The polls get busy, a stranger's answer and an error
        // before their own data come.
        s.levels.queue(DeviceNumber, {SimStep::Ack, SimStep::Busy, SimStep::OtherType, SimStep::Error});
        s.connect();
        s.device->executeAction(DeviceItem::PlotRssiAction);
        QPointer<DeviceRSSIPlot> rssi = openWindow<DeviceRSSIPlot>();
        QVERIFY(rssi);
        QCOMPARE(rssi->windowTitle(), QStringLiteral("Plot RSSI plot"));
        QTRY_COMPARE(s.levels.received(DeviceNumber, PT_RSSI_TEST_READ_REQ), 1);
        QCOMPARE(requestsOf(s.sim, PT_RSSI_TEST_READ_REQ, DeviceNumber).first().packet,
                 QByteArray::fromHex("90030101"));

        QCustomPlot *plot = rssi->view()->plot();
        QTRY_VERIFY_WITH_TIMEOUT(s.levels.dataAnswers(DeviceNumber) >= 3, 10000);
        QTRY_VERIFY(plot->graph(0)->dataCount() >= 6);
        QCOMPARE(plot->graph(5)->data()->at(1)->value, 33.0);

        // Polls went on through the busy, foreign and error answers; after a
        // READY the polls paused and then went on. (Polls sent before a READY
        // was handled may still follow it at once on a slow link.)
        const auto polls = [&s] {
            QVector<SimDiagnostics::Answered> list;
            for (const SimDiagnostics::Answered &a : s.levels.log())
                if (a.type() == PT_RSSI_TEST_READ_PING && a.device() == DeviceNumber)
                    list << a;
            return list;
        };
        QCOMPARE(polls().first().packet, QByteArray::fromHex("9203"));
        QCOMPARE(polls().at(0).step, SimStep::Busy);
        QCOMPARE(polls().at(2).step, SimStep::Error);
        QCOMPARE(polls().at(3).step, SimStep::Data);
        // The poll that ends a pause may not have come yet on a busy machine.
        const auto paused = [&polls] {
            const QVector<SimDiagnostics::Answered> list = polls();
            for (int i = 3; i + 1 < list.size(); ++i)
                if (list.at(i).step == SimStep::Data && list.at(i + 1).receivedNs - list.at(i).receivedNs >= 250000000)
                    return true;
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(paused(), 10000);

        // Closing sends the stop request.
        rssi->close();
        QTRY_COMPARE(s.levels.received(0x00, PT_RSSI_TEST_READ_REQ), 1);
        QCOMPARE(requestsOf(s.sim, PT_RSSI_TEST_READ_REQ, 0x00).first().packet, QByteArray::fromHex("90000100"));
        QTRY_VERIFY(!rssi);
    }
};

QTEST_MAIN(PlotsOverLinkTest)
#include "tst_plotsoverlink.moc"
