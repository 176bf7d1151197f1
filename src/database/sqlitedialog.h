#pragma once

#include "deviceinfocollector.h"

#include <QColor>
#include <QList>
#include <QModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QVariantList>
#include <QWidget>

class DeviceItem;
class HubroItem;
class QAbstractItemModel;
class QCheckBox;
class QItemSelection;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QSpinBox;
class QTimer;
class QTreeView;

// The graph tree shared by the viewer, its selection dialog and the
// selection window: device-type rows (type code under Qt::UserRole), device
// rows (serial number), parameter rows (title). A parameter row is pending
// while its decoration is pendingColour(), confirmed once the viewer plotted it.
QColor pendingColour();
bool isPendingRow(const QModelIndex &index);
QModelIndex addGraphRow(const GraphSettings_t &graph, QTreeView *view);
void appendTypeRow(const QModelIndex &index, const QVariantList &values, QAbstractItemModel *model);
void appendChildRow(int kind, const QModelIndex &parent, const QVariantList &values, QTreeView *view);
void updateSerialRowState(const QModelIndex &deviceRow, QTreeView *view);
QModelIndex findChildByValue(const QVariant &value, const QModelIndex &parent, const QAbstractItemModel *model);
QModelIndex findGraphRow(const GraphSettings_t &graph, QTreeView *view);
QModelIndexList selectedRowIndexes(QTreeView *view);
void selectChildrenOfSelected(QTreeView *view);
// The plotted graph's name: model name, a tab (one blank for names of 11
// characters or more), serial number, a tab, the field.
QString graphName(const GraphSettings_t &graph);
// The title of a parameter key of a type code (the expander's titles for
// expander codes when its item is given).
QString parameterTitleFor(int type, const QString &key, const HubroItem *master);
QString parameterKeyFor(int type, const QString &title, const HubroItem *master);

// Draws no check boxes, whatever the model holds.
class NoCheckIndicatorDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};

// The choice of graphs of the viewer: types, devices and stored parameters
// read from the database through a collector; ticked parameters become
// pending rows of the viewer's tree, Add hands them over one at a time.
class SQLiteDialog : public QWidget
{
    Q_OBJECT
public:
    explicit SQLiteDialog(QAbstractItemModel *model, QWidget *parent = nullptr);
    ~SQLiteDialog() override;

    void setMaster(HubroItem *master);
    void setDevices(const QList<DeviceItem *> &devices);
    void setCollector(DeviceInfoCollector *collector);

    bool offline() const { return m_offline; }
    bool handingOver() const { return m_nextGraph != -1; }

    // How long a handed-over graph may wait for the viewer's answer.
    static void setAnswerTimeout(int ms);
    static int answerTimeout();

    void onGraphAdded(const GraphSettings_t &graph);

signals:
    void addGraph(const GraphSettings_t &graph);
    void removeGraph(const QModelIndex &index);
    // Closing, before the members are gone: whether the tree holds a device
    // that is not connected.
    void closing(bool offline);

public slots:
    void onSelectionChanged(const QItemSelection &selected, const QItemSelection &deselected);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void askTypes();
    void onColumnContentReceived(const QString &column, const ColumnContent &content, const QVariant &cbValue);
    void addParameterItem(const QString &title, const QString &serial, const QModelIndex &deviceRow);
    void onTypeChanged(QListWidgetItem *current, QListWidgetItem *previous);
    void onSerialSelectionChanged(const QItemSelection &added);
    void carryTicksTo(const QItemSelection &added);
    void onTreeSelectionChanged();
    void onParameterChanged(QListWidgetItem *item);
    void onSelectAllSerialsToggled(bool checked);
    void onSelectAllParametersToggled(bool checked);
    void addChosenGraphs();
    void emitNextGraph();
    void endHandOver();
    void removeSelected();
    void removeGraphRow(const QModelIndex &index);
    QStringList commonParameterTitles(const QModelIndexList &indexes) const;
    void setListsEnabled(bool enabled);
    void connectParameterHandler();
    void disconnectParameterHandler();
    bool isConnectedSerial(quint32 serial) const;

    QListWidget *lwType;
    QListWidget *lwSerial;
    QListWidget *lwParameter;
    QCheckBox *cbSelectAllSerials;
    QCheckBox *cbSelectAllParameters;
    QSpinBox *sbDeviceCount;
    QSpinBox *sbParameterCount;
    QSpinBox *sbSelectedCount;
    QSpinBox *sbRemoveCount;
    QPushButton *pbRemoveSelected;
    QPushButton *pbClose;
    QPushButton *pbAdd;
    QTreeView *tvSelected;

    bool m_offline = false;
    QAbstractItemModel *m_model;
    QPointer<DeviceInfoCollector> m_collector;
    int m_nextGraph = -1;
    QList<GraphSettings_t> m_pendingGraphs;
    bool m_onlyPendingSelected = true;
    bool m_limitWarned = false;
    QPointer<HubroItem> m_master;
    QList<QPointer<DeviceItem>> m_devices;
    QTimer *m_answerTimer;
    QMetaObject::Connection m_parameterConnection;
    QMetaObject::Connection m_treeSelectionConnection;
    QList<QMetaObject::Connection> m_collectorConnections;
};
