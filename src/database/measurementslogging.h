#pragma once

#include "infocollector.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QSortFilterProxyModel>
#include <QVariantMap>
#include <QVector>
#include <QWidget>

class DeviceItem;
class HubroItem;
class QCheckBox;
class QItemSelection;
class QPushButton;
class QStandardItemModel;
class QTreeView;
class TreeModel;

// The parameter list as shown: a substring filter on the title or the
// serial text, every row checkable, locale-aware order.
class MySortFilterProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;
};

// The choice of devices and parameters the collector stores. The devices
// (model, then serial number) on the left, the parameters of the selected
// device on the right. Store asks for confirmation in a summary window; only
// its OK emits setStoringMap. Devices that go away while the window is open
// drop out of the choice.
class MeasurementsLogging : public QWidget
{
    Q_OBJECT
public:
    MeasurementsLogging(const QList<DeviceItem *> &devices, HubroItem *master, QWidget *parent = nullptr);
    ~MeasurementsLogging() override;

    void initMap(const QVariantMap &map);
    void connectSignals();

    // The ten-digit zero-padded serial text of the device tree.
    static QString serialText(quint32 serial);

signals:
    void setStoringMap(const StoringMap &map);
    void resetStoringMap();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QModelIndex addDevice(DeviceItem *device, quint32 serial, const QStringList &keys);
    bool isExpander(const DeviceItem *device) const;
    QString titleOf(DeviceItem *device, const QString &key) const;
    QString keyOf(DeviceItem *device, const QString &title) const;
    quint32 serialOf(DeviceItem *device) const;
    // The item of a device node or parameter row; null once it is gone.
    DeviceItem *liveDevice(const QVariant &value) const;

    void onDeviceSelectionChanged(const QItemSelection &selected, const QItemSelection &deselected);
    void onDeviceDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QVector<int> &roles);
    void onParameterDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                                const QVector<int> &roles);
    void propagateCheckState(const QModelIndex &proxyIndex);
    void updateSelectAll();
    void onSelectAllClicked(bool checked);
    void setSelectedDevicesCheckState(int state);
    void uncheckAll();
    void onExpanded();
    void onCollapsed();
    void connectBoxes();
    void startStoring();
    void takeSnapshot();
    bool hasChanges() const;
    QList<QModelIndex> deviceNodes() const;

    QTreeView *tvDevices;
    QTreeView *tvParameters;
    QCheckBox *cbCollabseAll;
    QCheckBox *cbSelectAll;
    QPushButton *pbUncheck;
    QPushButton *pbStore;
    QPushButton *pbClose;

    QList<DeviceItem *> m_devices;
    HubroItem *m_master;
    // Guards of every item the window was given.
    QHash<DeviceItem *, QPointer<DeviceItem>> m_guards;
    QPointer<HubroItem> m_masterGuard;
    TreeModel *m_tree;
    QStandardItemModel *m_parameters;
    MySortFilterProxyModel *m_proxy;
    bool m_unsaved = false;
    QVector<int> m_savedParameterStates;
    QVector<int> m_savedDeviceStates;
    QMetaObject::Connection m_selectionConnection;
    QMetaObject::Connection m_deviceDataConnection;
    QMetaObject::Connection m_parameterDataConnection;
    QMetaObject::Connection m_collapseConnection;
    QMetaObject::Connection m_selectAllConnection;
};
