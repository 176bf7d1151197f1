// The radio-device update queue on a scripted link: each request is answered
// by the test, in order, and the queue's requests and signals are checked.
#include "appglobals.h"
#include "deviceitem.h"
#include "firmwarereplies.h"
#include "masterbench.h"
#include "updatemanager.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>
#include <vector>

namespace {

constexpr quint16 FirmwareType = 13; // NILVO meters among them

QByteArray busy(quint32 remaining)
{
    return busyReply(PT_FW_UPDATE_BUSY, remaining);
}

HUBRO32BootSectionHeader_t headerFor(quint16 type)
{
    HUBRO32BootSectionHeader_t header;
    header.deviceType = type;
    return header;
}

QList<DeviceItem *> devicesOf(const QVariant &list)
{
    return list.value<QList<DeviceItem *>>();
}

} // namespace

class UpdateManagerTest : public QObject
{
    Q_OBJECT

    struct Bench
    {
        Bench()
        {
            FirmwareTimings t;
            t.updatePing = 0;
            manager.setTimings(t);
        }
        // A device of the firmware's type unless told otherwise; a meter on
        // the 60-minute interval when `hourly`.
        DeviceItem *add(quint8 id, int type = FirmwareType, bool hourly = false)
        {
            deviceInfo_t info;
            info.radioAddress = id;
            info.wireloopAddress = id;
            info.deviceType = quint8(type);
            info.linkState = 2;
            info.serialNumber = 1000u + id;
            devices.push_back(std::make_unique<DeviceItem>(info, false));
            DeviceItem *device = devices.back().get();
            device->updateState(info, QByteArray(1, hourly ? '\x00' : '\x02'));
            return device;
        }
        bool reply(const QByteArray &answer)
        {
            const ScriptedLink::Request request = link.pending.takeFirst();
            return request.cb(link.packet(answer, request.data));
        }
        quint8 oldestType() const { return quint8(link.pending.constFirst().data.at(0)); }
        // The device numbers of the start requests sent.
        QList<int> starts() const
        {
            QList<int> ids;
            for (const QByteArray &start : link.sentOfType(PT_FW_UPDATE_START))
                ids << quint8(start.at(1));
            return ids;
        }
        // Waits for the next request, which must be of this type, and answers it.
        bool expectAndReply(quint8 type, const QByteArray &answer)
        {
            if (!QTest::qWaitFor([this] { return !link.pending.isEmpty(); }, 2000) || oldestType() != type
                || link.pending.size() != 1)
                return false;
            reply(answer);
            return true;
        }
        // A whole device update from its start: accepted, one busy reply, done.
        bool runDevice()
        {
            return expectAndReply(PT_FW_UPDATE_START, plainReply(PT_FW_UPDATE_START_ACK))
                && expectAndReply(PT_FW_UPDATE_PING, busy(0)) && expectAndReply(PT_FW_UPDATE_PING, plainReply(PT_FW_UPDATE_ACK));
        }
        // Two devices queued, the first accepted: a ping is due.
        QPair<DeviceItem *, DeviceItem *> startTwo()
        {
            DeviceItem *a = add(1);
            DeviceItem *b = add(2);
            manager.update({a, b}, headerFor(FirmwareType));
            reply(plainReply(PT_FW_UPDATE_START_ACK));
            return {a, b};
        }
        static void settle()
        {
            for (int i = 0; i < 3; ++i)
                QCoreApplication::processEvents();
        }

        std::vector<std::unique_ptr<DeviceItem>> devices;
        UpdateManager manager;
        ScriptedLink link{&manager};
        QSignalSpy started{&manager, &UpdateManager::updateStarted};
        QSignalSpy finished{&manager, &UpdateManager::updateFinished};
        QSignalSpy deviceStarted{&manager, &UpdateManager::deviceUpdateStarted};
        QSignalSpy progress{&manager, &UpdateManager::deviceUpdateProgress};
        QSignalSpy deviceFinished{&manager, &UpdateManager::deviceUpdateFinished};
        QSignalSpy failed{&manager, &UpdateManager::deviceUpdateFailed};
        QSignalSpy removed{&manager, &UpdateManager::deviceRemoved};
    };

private slots:
    void initTestCase() { registerDeviceModelNames(); }

    void queuesOnlineDevicesOfTheTypeHourlyMetersLast()
    {
        Bench bench;
        DeviceItem *a = bench.add(1);
        DeviceItem *hourly = bench.add(2, FirmwareType, true);
        DeviceItem *b = bench.add(3);
        DeviceItem *offline = bench.add(4);
        offline->setOffline();
        DeviceItem *other = bench.add(5, 20);
        bench.manager.update({a, hourly, b, offline, other}, headerFor(FirmwareType));
        QCOMPARE(bench.manager.queue(), (QList<DeviceItem *>{a, b, hourly}));
        QCOMPARE(bench.started.size(), 1);
        QCOMPARE(devicesOf(bench.started.at(0).at(0)), (QList<DeviceItem *>{a, b, hourly}));
        QCOMPARE(bench.link.sent, QList<QByteArray>{QByteArray::fromHex("4001")});
        QCOMPARE(UpdateManager::stateOf(a)->attempts, 1);
        QCOMPARE(UpdateManager::stateOf(hourly)->attempts, 0);

        // A second run is refused while this one goes on.
        QTest::ignoreMessage(QtCriticalMsg, "Update manager is busy!");
        bench.manager.update({other}, headerFor(20));
        QCOMPARE(bench.manager.queue().size(), 3);
        QCOMPARE(bench.link.sent.size(), 1);

        // The whole run, the hourly meter last.
        QVERIFY(bench.runDevice());
        QVERIFY(bench.runDevice());
        QVERIFY(bench.runDevice());
        QCOMPARE(bench.starts(), (QList<int>{1, 3, 2}));
        QCOMPARE(bench.finished.size(), 1);
        QCOMPARE(devicesOf(bench.finished.at(0).at(0)), (QList<DeviceItem *>{a, b, hourly}));
        QVERIFY(devicesOf(bench.finished.at(0).at(1)).isEmpty());
        QVERIFY(!bench.manager.isBusy());
    }

    void progress_data()
    {
        QTest::addColumn<quint32>("size");
        QTest::addColumn<QList<QByteArray>>("busyReplies");
        QTest::addColumn<QList<unsigned>>("expected");
        QTest::newRow("size 1000") << 1000u << QList<QByteArray>{busy(500), busy(250), busy(0)}
                                   << QList<unsigned>{50, 75, 100};
        QTest::newRow("size unknown: first amount") << 0u << QList<QByteArray>{busy(800), busy(200)}
                                                    << QList<unsigned>{0, 75};
        QTest::newRow("size and amount 0") << 0u << QList<QByteArray>{busy(0)} << QList<unsigned>{100};
        QTest::newRow("amount above the size") << 100u << QList<QByteArray>{busy(200)} << QList<unsigned>{0};
        // Type, amount and check byte make 6 bytes: a shorter busy reply has no amount.
        QTest::newRow("no amount") << 1000u << QList<QByteArray>{QByteArray::fromHex("4401")} << QList<unsigned>{};
    }
    void progress()
    {
        QFETCH(quint32, size);
        QFETCH(QList<QByteArray>, busyReplies);
        QFETCH(QList<unsigned>, expected);
        Bench bench;
        DeviceItem *a = bench.add(1);
        bench.manager.setFirmwareSize(size);
        bench.manager.update({a}, headerFor(FirmwareType));
        QVERIFY(bench.expectAndReply(PT_FW_UPDATE_START, plainReply(PT_FW_UPDATE_START_ACK)));
        QCOMPARE(bench.deviceStarted.size(), 1);
        QCOMPARE(UpdateManager::stateOf(a)->step, 1);
        for (const QByteArray &reply : busyReplies)
            QVERIFY(bench.expectAndReply(PT_FW_UPDATE_PING, reply));
        QCOMPARE(UpdateManager::stateOf(a)->step, 2);
        QVERIFY(bench.expectAndReply(PT_FW_UPDATE_PING, plainReply(PT_FW_UPDATE_ACK)));
        QList<unsigned> reported;
        for (const QList<QVariant> &p : bench.progress)
            reported << p.at(0).toUInt();
        QCOMPARE(reported, expected);
        QCOMPARE(bench.deviceFinished.size(), 1);
        QCOMPARE(bench.finished.size(), 1);
    }

    void errorsRestartThenFail_data()
    {
        QTest::addColumn<quint8>("error");
        QTest::addColumn<int>("starts");
        QTest::newRow("update error") << quint8(PT_FW_UPDATE_ERROR) << 3;
        QTest::newRow("data error") << quint8(PT_FW_UPDATE_DATA_ERROR) << 3;
        QTest::newRow("task create error") << quint8(PT_FW_UPDATE_TASK_CREATE_ERROR) << 3;
        QTest::newRow("radio link back") << quint8(PT_FW_UPDATE_RF_RETURN) << 4;
        QTest::newRow("time-out") << quint8(PT_FW_UPDATE_TIMEOUT) << 4;
    }
    void errorsRestartThenFail()
    {
        QFETCH(quint8, error);
        QFETCH(int, starts);
        Bench bench;
        DeviceItem *a = bench.add(1);
        DeviceItem *b = bench.add(2);
        bench.manager.update({a, b}, headerFor(FirmwareType));
        // The first start is accepted, the device then fails in progress.
        QVERIFY(bench.expectAndReply(PT_FW_UPDATE_START, plainReply(PT_FW_UPDATE_START_ACK)));
        QVERIFY(bench.expectAndReply(PT_FW_UPDATE_PING, plainReply(error)));
        for (int i = 1; i < starts; ++i)
            QVERIFY(bench.expectAndReply(PT_FW_UPDATE_START, plainReply(error)));
        QCOMPARE(bench.failed.size(), 1);
        QCOMPARE(bench.failed.at(0).at(0).value<DeviceItem *>(), a);
        // The next device is started at once.
        QCOMPARE(bench.link.pending.size(), 1);
        QCOMPARE(bench.link.pending.constFirst().data, QByteArray::fromHex("4002"));
        QVERIFY(bench.runDevice());
        QCOMPARE(bench.starts().count(1), starts);
        QCOMPARE(bench.finished.size(), 1);
        QCOMPARE(devicesOf(bench.finished.at(0).at(0)), QList<DeviceItem *>{b});
        QCOMPARE(devicesOf(bench.finished.at(0).at(1)), QList<DeviceItem *>{a});
    }

    // A head found offline at a ping is failed and the run goes on; the next
    // device, refused three times, ends the run.
    void offlineHeadDoesNotStallTheRun()
    {
        Bench bench;
        const auto [a, b] = bench.startTwo();
        a->setOffline();
        for (int i = 0; i < 3; ++i)
            QVERIFY(bench.expectAndReply(PT_FW_UPDATE_START, plainReply(PT_FW_UPDATE_TASK_CREATE_ERROR)));
        QCOMPARE(bench.starts(), (QList<int>{1, 2, 2, 2}));
        QCOMPARE(bench.failed.size(), 2);
        QCOMPARE(bench.finished.size(), 1);
        QCOMPARE(devicesOf(bench.finished.at(0).at(1)), (QList<DeviceItem *>{a, b}));
        QVERIFY(!bench.manager.isBusy());
        DeviceItem *c = bench.add(3);
        bench.manager.update({c}, headerFor(FirmwareType));
        QCOMPARE(bench.starts().constLast(), 3);
    }

    void stopCancelsAndReports()
    {
        Bench bench;
        DeviceItem *a = bench.add(1);
        DeviceItem *b = bench.add(2);
        bench.manager.update({a, b}, headerFor(FirmwareType));
        QVERIFY(bench.runDevice());
        QVERIFY(bench.expectAndReply(PT_FW_UPDATE_START, plainReply(PT_FW_UPDATE_START_ACK))); // a ping is due
        bench.manager.stop();
        QCOMPARE(bench.link.pending.size(), 1);
        QCOMPARE(bench.oldestType(), quint8(PT_FW_UPDATE_CANCEL));
        QCOMPARE(bench.finished.size(), 1);
        QCOMPARE(devicesOf(bench.finished.at(0).at(0)), QList<DeviceItem *>{a});
        QVERIFY(devicesOf(bench.finished.at(0).at(1)).isEmpty());
        QVERIFY(!bench.manager.isBusy());
        QTest::ignoreMessage(QtDebugMsg, "Update stopped");
        bench.reply(plainReply(PT_FW_UPDATE_CANCEL_ACK));
        Bench::settle();
        QVERIFY(bench.link.pending.isEmpty());
        // Stop with nothing queued does nothing.
        bench.manager.stop();
        QVERIFY(bench.link.pending.isEmpty());
        QCOMPARE(bench.finished.size(), 1);
    }

    void removeDevice_data()
    {
        QTest::addColumn<int>("removed"); // index among three queued devices; 3: a look-alike of the head
        QTest::addColumn<QList<int>>("starts");
        QTest::addColumn<int>("failed");
        QTest::newRow("head: the next is started") << 0 << QList<int>{1, 2} << 0;
        QTest::newRow("another: the head is started again") << 2 << QList<int>{1, 1} << 0;
        QTest::newRow("same number, other item") << 3 << QList<int>{1, 2} << 0;
    }
    void removeDevice()
    {
        QFETCH(int, removed);
        QFETCH(QList<int>, starts);
        QFETCH(int, failed);
        Bench bench;
        const QList<DeviceItem *> queued{bench.add(1), bench.add(2), bench.add(3)};
        DeviceItem *lookAlike = bench.add(1);
        bench.manager.update(queued, headerFor(FirmwareType));
        bench.reply(plainReply(PT_FW_UPDATE_START_ACK)); // a ping is due
        DeviceItem *gone = removed == 3 ? lookAlike : queued.at(removed);
        bench.manager.removeDevice(gone);
        QCOMPARE(bench.removed.size(), 1);
        QCOMPARE(bench.removed.at(0).at(0).value<DeviceItem *>(), gone);
        Bench::settle();
        QCOMPARE(bench.starts(), starts);
        QCOMPARE(bench.link.countOf(PT_FW_UPDATE_PING), 0);
        QCOMPARE(bench.failed.size(), failed);
        QCOMPARE(bench.manager.queue().size(), 2);
        // A device not queued changes nothing.
        bench.manager.removeDevice(bench.add(9));
        QCOMPARE(bench.removed.size(), 1);
    }

    void removingTheLastDeviceEndsTheRun()
    {
        Bench bench;
        DeviceItem *a = bench.add(1);
        bench.manager.update({a}, headerFor(FirmwareType));
        bench.reply(plainReply(PT_FW_UPDATE_START_ACK));
        bench.manager.removeDevice(a);
        QCOMPARE(bench.failed.size(), 1);
        QCOMPARE(bench.finished.size(), 1);
        QVERIFY(!bench.manager.isBusy());
        Bench::settle();
        QVERIFY(bench.link.pending.isEmpty());
    }

    // Removals while a ping is due or in flight leave one ping chain.
    void onePingChainAfterRemovals()
    {
        Bench bench;
        const QList<DeviceItem *> queued{bench.add(1), bench.add(2), bench.add(3)};
        bench.manager.update(queued, headerFor(FirmwareType));
        QVERIFY(bench.expectAndReply(PT_FW_UPDATE_START, plainReply(PT_FW_UPDATE_START_ACK)));
        QTRY_COMPARE(bench.link.pending.size(), 1); // a ping in flight
        QCOMPARE(bench.oldestType(), quint8(PT_FW_UPDATE_PING));
        bench.manager.removeDevice(queued.at(2));
        QCOMPARE(bench.link.pending.size(), 2);
        QVERIFY(!bench.reply(busy(100))); // answers the ping: stale
        Bench::settle();
        QCOMPARE(bench.link.pending.size(), 1);
        QVERIFY(bench.reply(plainReply(PT_FW_UPDATE_START_ACK)));
        bench.manager.removeDevice(queued.at(1)); // the ping now due is cancelled
        QVERIFY(bench.reply(plainReply(PT_FW_UPDATE_START_ACK)));
        for (int i = 0; i < 4; ++i)
            QVERIFY(bench.expectAndReply(PT_FW_UPDATE_PING, busy(100)));
        Bench::settle();
        QCOMPARE(bench.link.pending.size(), 1);
        QCOMPARE(bench.link.countOf(PT_FW_UPDATE_PING), 6);
    }

    void repliesOfAnEarlierRunAreDropped()
    {
        Bench bench;
        DeviceItem *a = bench.add(1);
        DeviceItem *b = bench.add(2);
        bench.manager.update({a}, headerFor(FirmwareType));
        bench.manager.stop();
        bench.manager.update({b}, headerFor(FirmwareType));
        QCOMPARE(bench.link.pending.size(), 3); // start of a, cancel, start of b
        QVERIFY(!bench.reply(plainReply(PT_FW_UPDATE_START_ACK)));
        QVERIFY(!bench.reply(plainReply(PT_FW_UPDATE_CANCEL_ACK)));
        QCOMPARE(bench.deviceStarted.size(), 0);
        QVERIFY(bench.reply(plainReply(PT_FW_UPDATE_START_ACK)));
        QCOMPARE(bench.deviceStarted.size(), 1);
        QCOMPARE(bench.deviceStarted.at(0).at(0).value<DeviceItem *>(), b);
    }

    void forgetIsSilent()
    {
        Bench bench;
        bench.startTwo();
        const int sent = bench.link.sent.size();
        bench.manager.forget();
        Bench::settle();
        QVERIFY(!bench.manager.isBusy());
        QCOMPARE(bench.link.sent.size(), sent);
        QCOMPARE(bench.finished.size(), 0);
        QCOMPARE(bench.failed.size(), 0);
        // The devices go; nothing of the run refers to them.
        bench.devices.clear();
        Bench::settle();
        QCOMPARE(bench.link.sent.size(), sent);
    }

    void attachPollsADeviceAlreadyUpdating()
    {
        Bench bench;
        DeviceItem *a = bench.add(1);
        bench.manager.setFirmwareSize(1000);
        bench.manager.attach(a);
        QCOMPARE(bench.started.size(), 1);
        QCOMPARE(bench.deviceStarted.size(), 1);
        QCOMPARE(UpdateManager::stateOf(a)->step, 1);
        QCOMPARE(UpdateManager::stateOf(a)->attempts, 1);
        QVERIFY(bench.expectAndReply(PT_FW_UPDATE_PING, busy(250)));
        QVERIFY(bench.expectAndReply(PT_FW_UPDATE_PING, plainReply(PT_FW_UPDATE_ACK)));
        QCOMPARE(bench.progress.at(0).at(0).toUInt(), 75u);
        QCOMPARE(bench.finished.size(), 1);
        QVERIFY(bench.link.sentOfType(PT_FW_UPDATE_START).isEmpty());
    }

    // The state belongs to the item: replaced by the next run, gone with the item.
    void stateIsOwnedByTheItem()
    {
        Bench bench;
        DeviceItem *a = bench.add(1);
        bench.manager.update({a}, headerFor(FirmwareType));
        QPointer<UpdateState> first = UpdateManager::stateOf(a);
        QVERIFY(first);
        QCOMPARE(a->property("update_state").value<UpdateState *>(), first.data());
        bench.manager.stop();
        bench.manager.update({a}, headerFor(FirmwareType));
        QVERIFY(!first);
        QPointer<UpdateState> second = UpdateManager::stateOf(a);
        bench.manager.forget();
        bench.devices.clear();
        QVERIFY(!second);
    }

    void goneDeviceIsDroppedFromTheRun()
    {
        Bench bench;
        DeviceItem *a = bench.add(1);
        DeviceItem *b = bench.add(2);
        DeviceItem *c = bench.add(3);
        bench.manager.update({a, b, c}, headerFor(FirmwareType));
        bench.reply(plainReply(PT_FW_UPDATE_START_ACK)); // a ping is due
        bench.devices[0].reset();                   // the head goes
        bench.devices[2].reset();                   // and one waiting
        QVERIFY(bench.runDevice());
        QCOMPARE(bench.starts(), (QList<int>{1, 2}));
        QCOMPARE(bench.failed.size(), 0);
        QCOMPARE(bench.finished.size(), 1);
        QCOMPARE(devicesOf(bench.finished.at(0).at(0)), QList<DeviceItem *>{b});
        QVERIFY(!bench.manager.isBusy());
    }
};

QTEST_MAIN(UpdateManagerTest)
#include "tst_updatemanager.moc"
