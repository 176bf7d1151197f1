#include "appglobals.h"
#include "nearbyhubromodel.h"

#include <QAbstractItemModelTester>
#include <QtTest>

namespace {
using Tester = QAbstractItemModelTester;

NearbyMasterInfo report(quint32 serial, int rssi = -70, quint32 master = 0, int interval = 6000)
{
    NearbyMasterInfo info;
    info.type = 40;
    info.serial = serial;
    info.master = master;
    info.interval = interval;
    info.rssi = rssi;
    info.time = QDateTime::currentDateTime();
    info.channel = 3;
    info.configEnabled = 0;
    return info;
}

QList<quint32> serials(const NearbyHubroModel &model)
{
    QList<quint32> list;
    for (const NearbyMasterInfo &row : model.rows())
        list << row.serial;
    return list;
}
} // namespace

class NearbyHubroModelTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        registerDeviceModelNames();
        qRegisterMetaType<QList<QPersistentModelIndex>>();
        qRegisterMetaType<QAbstractItemModel::LayoutChangeHint>();
    }

    void reportsMergeBySerial()
    {
        NearbyHubroModel model;
        Tester tester(&model, Tester::FailureReportingMode::QtTest);
        QVERIFY(!model.isTicking());
        model.updateData(report(5));
        QVERIFY(model.isTicking());
        model.updateData(report(9));
        model.updateData(report(7));
        // Column 2, order 0: the greater serial number first.
        QCOMPARE(serials(model), QList<quint32>({9, 7, 5}));

        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        NearbyMasterInfo sameButChannel = report(7);
        sameButChannel.channel = 8;
        model.updateData(sameButChannel);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(model.rows().at(1).channel, 3);

        NearbyMasterInfo louder = report(7, -50);
        louder.channel = 8;
        model.updateData(louder);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).value<QModelIndex>(), model.index(1, 0));
        QCOMPARE(changed.at(0).at(1).value<QModelIndex>(), model.index(1, 7));
        QCOMPARE(model.rows().at(1).channel, 8);
        QCOMPARE(model.rowCount(), 3);

        model.sort(NearbyHubroModel::RssiColumn, Qt::DescendingOrder);
        QCOMPARE(model.rows().first().rssi, -70);
        QCOMPARE(model.rows().last().rssi, -50);
        model.updateData(report(1, -90));
        QCOMPARE(model.rows().first().serial, 1u);

        changed.clear();
        model.refreshTime();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).value<QModelIndex>(), model.index(0, 7));
        QCOMPARE(changed.at(0).at(1).value<QModelIndex>(), model.index(3, 7));

        model.clear();
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(!model.isTicking());
        model.updateData(report(4));
        QCOMPARE(model.rowCount(), 1);
        QVERIFY(model.isTicking());
    }

    void cells_data()
    {
        QTest::addColumn<NearbyMasterInfo>("info");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        NearbyMasterInfo base = report(42, -71, 1234, 6000);
        base.time = QDateTime::currentDateTime().addSecs(-5);
        QTest::newRow("type") << base << 0 << "Zentar-HUBRO125";
        QTest::newRow("channel") << base << 1 << "3";
        QTest::newRow("serial") << base << 2 << "0000000042";
        QTest::newRow("master") << base << 3 << "0000001234";
        QTest::newRow("interval") << base << 4 << "180";
        QTest::newRow("config") << base << 5 << "Disabled";
        QTest::newRow("rssi") << base << 6 << "-71 dBm";
        QTest::newRow("time") << base << 7 << "5 s";
        NearbyMasterInfo info = base;
        info.master = 0;
        QTest::newRow("no master") << info << 3 << "Not selected";
        info.interval = 65535;
        QTest::newRow("unknown interval") << info << 4 << "Unknown";
        info.interval = 150;
        QTest::newRow("short interval") << info << 4 << "3";
        info.configEnabled = 1;
        QTest::newRow("config enabled") << info << 5 << "Enabled";
        info.configEnabled = 2;
        QTest::newRow("config bit 1") << info << 5 << "Disabled";
    }
    void cells()
    {
        QFETCH(NearbyMasterInfo, info);
        QFETCH(int, column);
        QFETCH(QString, text);
        NearbyHubroModel model;
        model.updateData(info);
        QCOMPARE(model.index(0, column).data().toString(), text);
        const QVariant background = model.index(0, column).data(Qt::BackgroundRole);
        if (info.configEnabled & 1)
            QCOMPARE(background.value<QColor>(), QColor(90, 255, 90));
        else
            QVERIFY(!background.isValid());
    }

    void headersAndReport()
    {
        NearbyHubroModel model;
        QCOMPARE(model.reportText(), QString());
        QCOMPARE(model.headerData(8, Qt::Horizontal).toString(), QStringLiteral("Count"));
        QCOMPARE(model.headerData(9, Qt::Horizontal).toString(), QString());
        QCOMPARE(model.headerData(0, Qt::Vertical).toInt(), 1);
        model.updateData(report(42, -71, 1234, 6000));
        const QString text = model.reportText();
        QVERIFY(text.startsWith(QStringLiteral("Type: ") + QStringLiteral("Zentar-HUBRO125").rightJustified(13)
                                + QLatin1Char('\t')));
        QVERIFY(text.contains(QStringLiteral("\ts/n:    0000000042\tMaster: 0000001234\t")));
        QVERIFY(text.contains(QStringLiteral("\tInterval:   180\t")));
        QVERIFY(text.endsWith(QStringLiteral("\t\n")));
        QCOMPARE(text.count(QLatin1Char('\t')), 8);
    }
};

QTEST_MAIN(NearbyHubroModelTest)
#include "tst_nearbyhubromodel.moc"
