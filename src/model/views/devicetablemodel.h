#pragma once

#include "connectiontypes.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QList>
#include <QSet>
#include <QTimer>

class DeviceItem;
class DI_AbstractRepeater;

// The devices of the current connection (the master and the radio devices)
// as one flat list (tile and table views) or as a tree in which each device
// hangs below the repeater through which the master hears it (tree view).
// Placement follows each device's route value (RL). The model does not own
// the items; an item that is destroyed leaves the model.
//
// The child lists of the repeaters are kept in ascending device-number
// order at all times, so every insertion and move is announced at the row
// the item really takes.
class DeviceTableModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    enum ViewMode { TileMode = 0, TableMode = 1, TreeMode = 2 };
    enum Column {
        TypeColumn = 0,
        AddressColumn = 1,
        SerialColumn = 2,
        FirmwareColumn = 3,
        HardwareColumn = 4,
        RssiColumn = 5,
        ChargeColumn = 6,
        StatusColumn = 7,
        RadioColumn = 9,
        RouteColumn = 10,
        BuildColumn = 11,
        Value2Column = 12,
    };
    static constexpr int ColumnCount = 8;
    static constexpr int LastHeaderSection = 12;
    static constexpr int RefreshIntervalMs = 5000;

    explicit DeviceTableModel(QObject *parent = nullptr);
    ~DeviceTableModel() override;

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &index) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool insertRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;
    bool insertColumns(int column, int count, const QModelIndex &parent = QModelIndex()) override;
    bool removeColumns(int column, int count, const QModelIndex &parent = QModelIndex()) override;
    // Takes the devices out of the model (the objects stay alive); the
    // children of a removed repeater are placed anew.
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;

    // The index of an item as index() gives it in the current view mode.
    QModelIndex indexOfItem(DeviceItem *item) const;
    // The index of the item's repeater in tree mode; invalid at the top.
    QModelIndex parentIndex(DeviceItem *item) const;
    DeviceItem *itemFromIndex(const QModelIndex &index) const;
    // The display text of a column of the table, columns 9 to 12 included
    // (which the views do not show).
    QVariant columnText(DeviceItem *item, int column) const;
    // The device behind an index of this model or of proxies over it.
    static DeviceItem *itemAt(const QModelIndex &index);
    static DeviceTableModel *sourceModelOf(const QAbstractItemModel *model);
    // For the delegates: the editor of a cell of this model (or of a proxy
    // over it) has closed; editFinished() follows on the next event-loop
    // turn, when the view is done with the editor.
    static void finishEditLater(const QModelIndex &index);

    // The items listed now; one that is being taken out is no longer among them.
    QList<DeviceItem *> devices() const;
    bool contains(DeviceItem *item) const { return m_members.contains(item); }
    DI_AbstractRepeater *rootItem() const { return m_root; }
    // The repeater the item hangs below (the root item at the top).
    DeviceItem *parentOf(DeviceItem *item) const;

    int viewMode() const { return m_viewMode; }
    void setViewMode(const int &mode);
    int connectionKind() const { return m_connectionKind; }
    void setConnectionKind(int kind) { m_connectionKind = kind; }
    MasterType masterType() const { return m_masterType; }
    void setMasterType(MasterType type) { m_masterType = type; }
    // Not started by the model.
    QTimer *refreshTimer() { return &m_refreshTimer; }

    // Devices that relay others: only these have children in the tree.
    static bool isRepeaterType(int type);
    // Masters under which devices without a repeater hang.
    static bool isPlacementMasterType(int type);
    // The route without its last hop.
    static quint32 parentRoute(quint32 rl);
    // The route as the RL column shows it: byte-swapped hexadecimal.
    static QString routeText(quint32 rl);
    // The address in an edit value: a number, or the number that starts a
    // text such as "12" or "12. Zentar-TIRUN"; 0 when there is none.
    static uint addressFromValue(const QVariant &value);

public slots:
    void deviceConnected(DeviceItem *item);
    void removeDevice(DeviceItem *item);
    void itemUpdated(DeviceItem *device);
    void itemParentChanged(DeviceItem *item);
    void itemRssiChanged(DeviceItem *item);
    // The address or status editor of the item closed: its row follows the
    // device again, and updates held back meanwhile are shown.
    void editFinished(DeviceItem *item);
    void clear();
    void refresh();

signals:
    void errorReceived(int errorCode);
    void errorOccuried(QString msg);

private:
    bool isTree() const { return m_viewMode == TreeMode; }
    DeviceItem *itemPointer(const QModelIndex &index) const;
    int rowOf(DeviceItem *item) const;
    QModelIndex holderIndex(DeviceItem *holder) const;
    void emitRowChanged(DeviceItem *item, int firstColumn, int lastColumn);
    quint32 placementKey(DeviceItem *item) const;
    DeviceItem *placementTarget(DeviceItem *item) const;
    bool isInSubtree(DeviceItem *candidate, DeviceItem *top) const;
    void placeItem(DeviceItem *item);
    void adoptChildren(DeviceItem *repeater);
    void moveItem(DeviceItem *item, DeviceItem *target);
    int insertPosition(DeviceItem *holder, DeviceItem *item) const;
    void insertChild(DeviceItem *holder, DeviceItem *item);
    void removeChild(DeviceItem *holder, DeviceItem *item);
    // The repeater whose own child list follows the holder's, if any.
    DI_AbstractRepeater *followingList(DeviceItem *holder) const;
    // Rebuilds that list from ours, when a step of its own went astray.
    void syncChildList(DeviceItem *holder);
    void takeOut(DeviceItem *item, bool alive);
    void itemDestroyed(DeviceItem *item);
    void release(DeviceItem *item);
    QString typeText(DeviceItem *item) const;
    quint8 modelAddress(DeviceItem *item) const;
    int addressSpan(DeviceItem *item) const;

    QList<DeviceItem *> m_devices;
    DI_AbstractRepeater *m_root = nullptr;
    QSet<DeviceItem *> m_pendingUpdates;
    int m_viewMode = TableMode;
    QTimer m_refreshTimer;
    int m_connectionKind = 0;
    MasterType m_masterType = MasterOrdinary;

    // The tree as the views know it, kept by pointer only, so it still
    // answers while an item is being destroyed. The repeaters' own child
    // lists follow it. The root item is a holder too.
    QSet<DeviceItem *> m_members;                      // items whose data may be read
    QHash<DeviceItem *, DeviceItem *> m_parents;       // null: not placed at the moment
    QHash<DeviceItem *, QList<DeviceItem *>> m_children; // the holders' children
    QHash<DeviceItem *, DI_AbstractRepeater *> m_holders; // repeaters, decided on arrival
};
