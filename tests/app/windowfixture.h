#pragma once

// The main window on a live connection to a fake master with radio devices,
// and helpers to select devices in the view in use.

#include "connectionfixture.h"
#include "devicetablemodel.h"
#include "diagnosticsopeners.h"
#include "mainwindow.h"
#include "mastersim.h"
#include "sorteddevicemodel.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QtTest>

#include <memory>

// Live connections with the diagnostics windows reachable from the items,
// and no device selection dialog at the window's start.
inline void prepareWindowDiagnosticsTests()
{
    prepareConnectionTests();
    registerDiagnosticsOpeners();
    MainWindow::setDeviceSelection([](MainWindow *) {});
}

struct WindowOnMaster
{
    explicit WindowOnMaster(const hubroInfo_t &status = healthyRecord()) : sim(status) {}

    // Opens the window on the master; true once the master and `devices`
    // radio devices have arrived.
    bool open(int devices)
    {
        window = std::make_unique<MainWindow>(QString());
        if (!window->establishConnection(Serial, sim.address()))
            return false;
        return QTest::qWaitFor([this] { return window->isMasterConnected(); }, 10000)
               && QTest::qWaitFor([this, devices] { return connection()->devices().size() == devices; }, 10000);
    }

    Connection *connection() const { return window->currentConnection(); }
    DeviceItem *device(int radio) const { return connection()->device(radio); }

    QModelIndex indexOf(DeviceItem *item) const
    {
        return window->sortedDeviceModel()->mapFromSource(window->deviceTableModel()->indexOfItem(item));
    }

    // Selects the rows of the devices (by radio address, 255 the master) in
    // the view in use, in this order.
    void select(const QList<int> &radios) const
    {
        QItemSelectionModel *selection = window->currentItemView()->selectionModel();
        selection->clearSelection();
        for (const int radio : radios) {
            const QModelIndex index = indexOf(radio == 255 ? connection()->master() : device(radio));
            selection->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }

    // The requests of a type that the fake master received, in order.
    QList<QByteArray> requests(quint8 type) const
    {
        QList<QByteArray> packets;
        for (const FakeMaster::Received &r : sim.fake.received())
            if (r.type() == type)
                packets << r.packet;
        return packets;
    }

    SimMaster sim;
    std::unique_ptr<MainWindow> window;
};
