// Devices arriving in a burst (a simulation file read at once) reach every
// list that shows them, in order: the device table, the measurement viewer's
// devices and the firmware dock's available devices, and the device count;
// a device removed within a burst is in none of them.

#include "appglobals.h"
#include "connection.h"
#include "connectionfixture.h"
#include "deviceitem.h"
#include "devicetablemodel.h"
#include "hubroitem.h"
#include "mainwindow.h"
#include "registermasterclass.h"
#include "simulatedconnection.h"
#include "sorteddevicemodel.h"
#include "sqliteview.h"
#include "updatestatusdock.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

namespace {
// A simulation of the demo's master with radio devices of these types, by
// radio address (the Wireloop address the same).
bool writeSimulation(const QString &path, const QList<QPair<int, int>> &devices)
{
    QFile demo(QStringLiteral(TANDREL_EXAMPLES_DIR "/demo.sim"));
    if (!demo.open(QIODevice::ReadOnly))
        return false;
    QJsonObject document = QJsonDocument::fromJson(demo.readAll()).object();
    QJsonArray list;
    for (const auto &device : devices) {
        list.append(QJsonObject{{QStringLiteral("id"), device.first},
                                {QStringLiteral("type"), device.second},
                                {QStringLiteral("serial"), 3200000 + device.first * 10 + device.second},
                                {QStringLiteral("address"), device.first},
                                {QStringLiteral("fwVer"), QStringLiteral("1.5")},
                                {QStringLiteral("hwVer"), QStringLiteral("1.0")}});
    }
    document.insert(QStringLiteral("devices"), list);
    QFile file(path);
    const QByteArray bytes = QJsonDocument(document).toJson();
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Radio addresses of the radio devices among the items, in their order.
QList<int> radios(const QList<DeviceItem *> &items)
{
    QList<int> addresses;
    for (DeviceItem *item : items)
        if (!qobject_cast<HubroItem *>(item))
            addresses << item->radioAddress();
    return addresses;
}

// The radio devices as the device table shows them, sorted by address.
QList<int> tableRows(MainWindow &window)
{
    SortedDeviceModel *proxy = window.sortedDeviceModel();
    proxy->sort(DeviceTableModel::AddressColumn, Qt::AscendingOrder);
    QList<DeviceItem *> rows;
    for (int row = 0; row < proxy->rowCount(); ++row)
        rows << DeviceTableModel::itemAt(proxy->index(row, 0));
    return radios(rows);
}

SQLiteView *measurementView()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *view = qobject_cast<SQLiteView *>(widget))
            return view;
    return nullptr;
}
} // namespace

class DeviceListsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        prepareConnectionTests();
        registerMasterClass();
        MainWindow::setDeviceSelection([](MainWindow *) {});
    }
    void cleanupTestCase() { MainWindow::setDeviceSelection(nullptr); }

    void burstsReachEveryList()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("burst.sim"));
        QVERIFY(writeSimulation(path, {{1, 3}, {2, 3}, {3, 4}, {4, 3}, {5, 4}, {6, 3}}));

        MainWindow window{QString()};
        auto *dock = window.findChild<UpdateStatusDock *>();
        auto *count = window.findChild<QLabel *>(QStringLiteral("lblDevCount"));
        auto *showMeasurements = window.findChild<QAction *>(QStringLiteral("acShowMeasurements"));
        QVERIFY(dock && count && showMeasurements);
        QVERIFY(window.establishConnection(Simulation, path));
        Connection *connection = window.currentConnection();
        showMeasurements->setChecked(true);
        QPointer<SQLiteView> view = measurementView();
        QVERIFY(view);

        const QList<int> first{1, 2, 3, 4, 5, 6};
        QCOMPARE(radios(connection->devices()), first);
        QTRY_COMPARE_WITH_TIMEOUT(radios(dock->availableDevices()), first, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(radios(view->devices()), first, 10000);
        QCOMPARE(tableRows(window), first);
        QCOMPARE(count->text(), QStringLiteral("6"));

        // One burst: device 2 goes, device 4 is another device now, 7 and 8 arrive.
        QPointer<DeviceItem> gone = connection->device(2);
        QPointer<DeviceItem> replaced = connection->device(4);
        QVERIFY(writeSimulation(path, {{1, 3}, {3, 4}, {4, 4}, {5, 4}, {6, 3}, {7, 3}, {8, 4}}));
        auto *simulation = qobject_cast<SimulatedConnection *>(connection);
        QVERIFY(simulation);
        // As the file follower reports a change.
        QVERIFY(QMetaObject::invokeMethod(simulation, "fileUpdated", Qt::DirectConnection, Q_ARG(QString, path)));
        // Taken out at once, before the burst's hand-over.
        for (DeviceItem *item : {gone.data(), replaced.data()}) {
            QVERIFY(!dock->availableDevices().contains(item));
            QVERIFY(!view->devices().contains(item));
            QVERIFY(!window.deviceTableModel()->contains(item));
        }

        const QList<int> second{1, 3, 4, 5, 6, 7, 8};
        QTRY_COMPARE_WITH_TIMEOUT(radios(dock->availableDevices()), second, 10000);
        // The viewer lists them as the device model does, in the order they came.
        QTRY_COMPARE_WITH_TIMEOUT(view->devices(), window.deviceTableModel()->devices(), 10000);
        QList<int> viewed = radios(view->devices());
        std::sort(viewed.begin(), viewed.end());
        QCOMPARE(viewed, second);
        QCOMPARE(tableRows(window), second);
        QCOMPARE(count->text(), QStringLiteral("7"));
        QVERIFY(connection->device(4) != replaced);
        QCOMPARE(int(connection->device(4)->deviceType()), 4);
        showMeasurements->setChecked(false);
    }
};

QTEST_MAIN(DeviceListsTest)
#include "tst_devicelists.moc"
