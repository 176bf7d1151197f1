// Address allocation of the automatic addressing: the block for chosen
// devices and the step for devices that joined without an address.
#include "autonumbering.h"

#include <QtTest>

using AutoNumbering::BlockPlan;
using AutoNumbering::Occupant;

Q_DECLARE_METATYPE(QList<Occupant>)

class AutoNumberingTest : public QObject
{
    Q_OBJECT
private slots:
    void block_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("step");
        QTest::addColumn<QList<int>>("extras");
        QTest::addColumn<int>("masterAddress");
        QTest::addColumn<QList<Occupant>>("others");
        QTest::addColumn<int>("result");
        QTest::addColumn<QList<int>>("addresses");
        QTest::addColumn<int>("end");

        const QList<Occupant> none;
        QTest::newRow("three from 1, step 1") << 1 << 1 << QList<int>{0, 0, 0} << 0 << none
                                             << int(BlockPlan::Accepted) << QList<int>{1, 2, 3} << 4;
        QTest::newRow("extra zones push the next device") << 10 << 2 << QList<int>{2, 0} << 0 << none
                                                          << int(BlockPlan::Accepted) << QList<int>{10, 14} << 16;
        QTest::newRow("extra above capacity counts one") << 1 << 1 << QList<int>{200, 0} << 0 << none
                                                         << int(BlockPlan::Accepted) << QList<int>{1, 3} << 4;
        QTest::newRow("step 0 is taken as 1") << 5 << 0 << QList<int>{0, 0, 0} << 0 << none
                                              << int(BlockPlan::Accepted) << QList<int>{5, 6, 7} << 8;
        QTest::newRow("start 0 is out of space") << 0 << 1 << QList<int>{0} << 0 << none
                                                 << int(BlockPlan::OutOfAddressSpace) << QList<int>{0} << 1;
        QTest::newRow("ending on 127 is refused") << 125 << 1 << QList<int>{0, 0, 0} << 0 << none
                                                  << int(BlockPlan::OutOfAddressSpace) << QList<int>{125, 126, 127}
                                                  << 128;
        QTest::newRow("running address 127 is accepted") << 124 << 1 << QList<int>{0, 0, 0} << 0 << none
                                                         << int(BlockPlan::Accepted) << QList<int>{124, 125, 126}
                                                         << 127;
        QTest::newRow("master inside the block") << 5 << 1 << QList<int>{0, 0} << 6 << none
                                                 << int(BlockPlan::TakenByMaster) << QList<int>{5, 6} << 7;
        QTest::newRow("master at the running end is free") << 5 << 1 << QList<int>{0, 0} << 7 << none
                                                           << int(BlockPlan::Accepted) << QList<int>{5, 6} << 7;
        QTest::newRow("zones of another device reach in")
            << 10 << 1 << QList<int>{0, 0} << 0 << QList<Occupant>{{50, 0}, {8, 2}} << int(BlockPlan::TakenByDevice)
            << QList<int>{10, 11} << 12;
        QTest::newRow("devices without an address do not count")
            << 1 << 1 << QList<int>{0} << 0 << QList<Occupant>{{0, 3}} << int(BlockPlan::Accepted) << QList<int>{1}
            << 2;
    }
    void block()
    {
        QFETCH(int, start);
        QFETCH(int, step);
        QFETCH(QList<int>, extras);
        QFETCH(int, masterAddress);
        QFETCH(QList<Occupant>, others);
        QFETCH(int, result);
        QFETCH(QList<int>, addresses);
        QFETCH(int, end);

        const BlockPlan plan = AutoNumbering::planBlock(start, step, extras, 125, masterAddress, others);
        QCOMPARE(int(plan.result), result);
        QCOMPARE(plan.addresses, addresses);
        QCOMPARE(plan.end, end);
        if (result == BlockPlan::TakenByDevice)
            QCOMPARE(plan.conflict, 1);
    }

    void step_data()
    {
        QTest::addColumn<int>("startNumber");
        QTest::addColumn<QList<Occupant>>("occupied");
        QTest::addColumn<QList<int>>("queuedExtras");
        QTest::addColumn<QList<int>>("addresses");

        QTest::newRow("past an occupied range") << 10 << QList<Occupant>{{10, 2}} << QList<int>{0} << QList<int>{13};
        // Without counting what the step hands out, the second device would
        // also land on 13.
        QTest::newRow("handed-out addresses are taken")
            << 10 << QList<Occupant>{{10, 2}} << QList<int>{0, 0, 0} << QList<int>{13, 14, 15};
        QTest::newRow("with their extra zones")
            << 1 << QList<Occupant>{} << QList<int>{2, 0, 1} << QList<int>{1, 4, 5};
        QTest::newRow("own zones may not run into a range")
            << 1 << QList<Occupant>{{3, 0}} << QList<int>{2} << QList<int>{4};
        QTest::newRow("start number 0 starts at 1") << 0 << QList<Occupant>{} << QList<int>{0, 0} << QList<int>{1, 2};
        QTest::newRow("stops above 127, the rest stays queued")
            << 125 << QList<Occupant>{{126, 0}} << QList<int>{0, 0, 0} << QList<int>{125, 127};
        QTest::newRow("zones past 127 stop") << 126 << QList<Occupant>{} << QList<int>{2} << QList<int>{};
        QTest::newRow("devices without an address are free")
            << 5 << QList<Occupant>{{0, 0}} << QList<int>{0} << QList<int>{5};
    }
    void step()
    {
        QFETCH(int, startNumber);
        QFETCH(QList<Occupant>, occupied);
        QFETCH(QList<int>, queuedExtras);
        QFETCH(QList<int>, addresses);
        QCOMPARE(AutoNumbering::stepAddresses(startNumber, occupied, queuedExtras), addresses);
    }
};

QTEST_GUILESS_MAIN(AutoNumberingTest)
#include "tst_autonumbering.moc"
