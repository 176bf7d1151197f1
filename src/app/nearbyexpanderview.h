#pragma once

#include <QObject>

class NearbyHubroModel;
class QAbstractItemModel;
class QAction;
class QComboBox;
class QLineEdit;
class QTreeView;

// Puts the list of nearby expanders into the window's tree view while the
// master listens for them, with the controls that act on the device list
// locked, and brings the device list back afterwards with the view mode
// chosen before.
class NearbyExpanderView : public QObject
{
    Q_OBJECT
public:
    struct Widgets
    {
        QLineEdit *filter = nullptr;
        QComboBox *sorting = nullptr;
        QComboBox *viewMode = nullptr; // 0 Tile, 1 Table, 2 Tree
        QTreeView *tree = nullptr;
        QAction *detect = nullptr;     // checkable
    };

    NearbyExpanderView(const Widgets &widgets, NearbyHubroModel *nearbyModel, QObject *parent = nullptr);

    // Column of the tree view shown with the nearby list.
    static constexpr int ShownColumn = 10;

    // Keeps the view mode, locks the controls, switches to Table and shows
    // the emptied nearby list.
    void enter();
    // Unlocks the controls, gives the tree view the device model again and
    // restores the view mode kept by enter().
    void leave(QAbstractItemModel *deviceModel);

    bool isActive() const { return m_active; }
    int savedViewMode() const { return m_savedViewMode; }

private:
    void setControlsEnabled(bool enabled);

    Widgets m_widgets;
    NearbyHubroModel *m_nearbyModel;
    int m_savedViewMode = 1;
    bool m_active = false;
};
