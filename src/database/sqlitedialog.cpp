#include "sqlitedialog.h"

#include "appglobals.h"
#include "deviceitem.h"
#include "hubroitem.h"
#include "messageboxes.h"
#include "styleditemdelegate.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDebug>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int RowKindRole = StyledItemDelegate::RowKindRole;
int s_answerTimeout = 30000;

QString modelName(int type)
{
    return deviceModelNames.value(type);
}

bool isMasterType(int type)
{
    return masterDeviceTypes.contains(type);
}

QSpinBox *counter(QWidget *parent, const char *name)
{
    auto *box = new QSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setEnabled(false);
    box->setReadOnly(true);
    box->setButtonSymbols(QAbstractSpinBox::NoButtons);
    box->setRange(0, 2147483647);
    box->setValue(0);
    return box;
}

bool byRowDescending(const QModelIndex &a, const QModelIndex &b)
{
    return a.row() > b.row();
}

} // namespace

// ---------------------------------------------------------------- graph tree

QColor pendingColour()
{
    return QColor(200, 200, 200);
}

bool isPendingRow(const QModelIndex &index)
{
    return index.data(Qt::DecorationRole) == QVariant(pendingColour());
}

QString parameterTitleFor(int type, const QString &key, const HubroItem *master)
{
    if (isMasterType(type) && master)
        return master->parameterTitle(key);
    return DeviceItem::parameterTitleForType(type, key);
}

QString parameterKeyFor(int type, const QString &title, const HubroItem *master)
{
    if (isMasterType(type) && master)
        return master->parameterKey(title);
    return DeviceItem::parameterKeyForType(type, title);
}

QModelIndex findChildByValue(const QVariant &value, const QModelIndex &parent, const QAbstractItemModel *model)
{
    if (!model)
        return QModelIndex();
    const QString text = value.toString();
    for (int row = 0; row < model->rowCount(parent); ++row) {
        const QModelIndex child = model->index(row, 0, parent);
        const QVariant display = child.data(Qt::DisplayRole);
        if (display == value || display.toString() == text)
            return child;
    }
    return QModelIndex();
}

void appendTypeRow(const QModelIndex &index, const QVariantList &values, QAbstractItemModel *model)
{
    const QModelIndex parent = index.isValid() ? index.parent() : QModelIndex();
    const int row = index.isValid() ? index.row() + 1 + model->rowCount(index) : model->rowCount(QModelIndex());
    if (!model->insertRow(row, parent) || values.isEmpty() || model->columnCount(parent) < 1)
        return;
    const QModelIndex added = model->index(row, 0, parent);
    model->setData(added, values.at(0), Qt::DisplayRole);
    model->setData(added, 0, RowKindRole);
    if (values.size() > 1)
        model->setData(added, values.at(1), Qt::UserRole);
}

void appendChildRow(int kind, const QModelIndex &parent, const QVariantList &values, QTreeView *view)
{
    QAbstractItemModel *model = view->model();
    if (model->columnCount(parent) == 0 && !model->insertColumn(0, parent))
        return;
    const int row = model->rowCount(parent);
    if (!model->insertRow(row, parent))
        return;
    for (int column = 0; column < values.size() && column < model->columnCount(parent); ++column) {
        const QModelIndex cell = model->index(row, column, parent);
        model->setData(cell, values.at(column), Qt::DisplayRole);
        model->setData(cell, pendingColour(), Qt::DecorationRole);
        model->setData(cell, kind, RowKindRole);
    }
    view->selectionModel()->setCurrentIndex(model->index(row, 0, parent), QItemSelectionModel::ClearAndSelect);
}

void updateSerialRowState(const QModelIndex &deviceRow, QTreeView *view)
{
    QAbstractItemModel *model = view->model();
    if (!deviceRow.isValid())
        return;
    const int children = model->rowCount(deviceRow);
    int confirmed = 0;
    for (int row = 0; row < children; ++row) {
        if (!isPendingRow(model->index(row, 0, deviceRow)))
            ++confirmed;
    }
    model->setData(deviceRow, QIcon(QStringLiteral(":/icons/images/icons/png/add.png")), Qt::DecorationRole);
    model->setData(deviceRow, confirmed == children ? QColor(Qt::white) : pendingColour(), Qt::BackgroundRole);
}

QModelIndex addGraphRow(const GraphSettings_t &graph, QTreeView *view)
{
    QAbstractItemModel *model = view->model();
    const QModelIndex root = view->rootIndex();
    const QString typeName = modelName(graph.type);
    QModelIndex typeRow = findChildByValue(typeName, root, model);
    if (!typeRow.isValid()) {
        // Appended after the root's last row.
        const int rows = model->rowCount(root);
        if (!model->insertRow(rows, root))
            return QModelIndex();
        typeRow = model->index(rows, 0, root);
        model->setData(typeRow, typeName, Qt::DisplayRole);
        model->setData(typeRow, 0, RowKindRole);
        model->setData(typeRow, graph.type, Qt::UserRole);
    }
    QModelIndex deviceRow = findChildByValue(QString::number(graph.serial), typeRow, model);
    if (!deviceRow.isValid()) {
        appendChildRow(1, typeRow, {uint(graph.serial), graph.type}, view);
        deviceRow = model->index(model->rowCount(typeRow) - 1, 0, typeRow);
    }
    QModelIndex parameterRow = findChildByValue(graph.field, deviceRow, model);
    if (!parameterRow.isValid()) {
        appendChildRow(2, deviceRow, {graph.field, uint(graph.serial)}, view);
        parameterRow = model->index(model->rowCount(deviceRow) - 1, 0, deviceRow);
    }
    updateSerialRowState(deviceRow, view);
    return parameterRow;
}

QModelIndex findGraphRow(const GraphSettings_t &graph, QTreeView *view)
{
    const QAbstractItemModel *model = view->model();
    const QModelIndex typeRow = findChildByValue(modelName(graph.type), view->rootIndex(), model);
    if (!typeRow.isValid())
        return typeRow;
    const QModelIndex deviceRow = findChildByValue(uint(graph.serial), typeRow, model);
    if (!deviceRow.isValid())
        return deviceRow;
    return findChildByValue(graph.field, deviceRow, model);
}

QModelIndexList selectedRowIndexes(QTreeView *view)
{
    QModelIndexList rows;
    for (const QModelIndex &index : view->selectionModel()->selectedIndexes()) {
        if (index.isValid() && index.column() == 0)
            rows << index;
    }
    return rows;
}

void selectChildrenOfSelected(QTreeView *view)
{
    QAbstractItemModel *model = view->model();
    for (const QModelIndex &index : view->selectionModel()->selectedIndexes()) {
        for (int row = 0; row < model->rowCount(index); ++row)
            view->selectionModel()->select(model->index(row, 0, index),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

QString graphName(const GraphSettings_t &graph)
{
    const QString name = modelName(graph.type);
    return name + (name.size() < 11 ? QStringLiteral("\t") : QStringLiteral(" ")) + QString::number(graph.serial)
           + QLatin1Char('\t') + graph.field;
}

void NoCheckIndicatorDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    option->features &= ~QStyleOptionViewItem::HasCheckIndicator;
}

// ---------------------------------------------------------------- dialog

void SQLiteDialog::setAnswerTimeout(int ms)
{
    s_answerTimeout = ms;
}

int SQLiteDialog::answerTimeout()
{
    return s_answerTimeout;
}

SQLiteDialog::SQLiteDialog(QAbstractItemModel *model, QWidget *parent) : QWidget(parent), m_model(model)
{
    setObjectName(QStringLiteral("SQLiteDialog"));
    resize(800, 600);
    setWindowTitle(tr("Select parameters"));
    auto *gridLayout = new QGridLayout(this);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("splitter"));
    gridLayout->addWidget(splitter, 0, 0);

    auto *layoutWidget = new QWidget(splitter);
    layoutWidget->setObjectName(QStringLiteral("layoutWidget"));
    auto *verticalLayout = new QVBoxLayout(layoutWidget);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel(tr("Select device type"), layoutWidget);
    label->setObjectName(QStringLiteral("label"));
    label->setMinimumHeight(24);
    lwType = new QListWidget(layoutWidget);
    lwType->setObjectName(QStringLiteral("lwType"));
    lwType->setMinimumWidth(120);
    auto *label_2 = new QLabel(tr("Select device"), layoutWidget);
    label_2->setObjectName(QStringLiteral("label_2"));
    lwSerial = new QListWidget(layoutWidget);
    lwSerial->setObjectName(QStringLiteral("lwSerial"));
    lwSerial->setMinimumWidth(120);
    lwSerial->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto *horizontalLayout_2 = new QHBoxLayout;
    horizontalLayout_2->setObjectName(QStringLiteral("horizontalLayout_2"));
    cbSelectAllSerials = new QCheckBox(tr("Select all"), layoutWidget);
    cbSelectAllSerials->setObjectName(QStringLiteral("cbSelectAllSerials"));
    cbSelectAllSerials->setEnabled(false);
    cbSelectAllSerials->setMinimumHeight(25);
    sbDeviceCount = counter(layoutWidget, "sbDeviceCount");
    sbDeviceCount->setMinimumHeight(30);
    horizontalLayout_2->addWidget(cbSelectAllSerials, 1);
    horizontalLayout_2->addWidget(sbDeviceCount);
    verticalLayout->addWidget(label);
    verticalLayout->addWidget(lwType);
    verticalLayout->addWidget(label_2);
    verticalLayout->addWidget(lwSerial, 1);
    verticalLayout->addLayout(horizontalLayout_2);

    auto *layoutWidget1 = new QWidget(splitter);
    layoutWidget1->setObjectName(QStringLiteral("layoutWidget1"));
    auto *verticalLayout_3 = new QVBoxLayout(layoutWidget1);
    verticalLayout_3->setObjectName(QStringLiteral("verticalLayout_3"));
    verticalLayout_3->setContentsMargins(0, 0, 0, 0);
    auto *label_3 = new QLabel(tr("Select parameters"), layoutWidget1);
    label_3->setObjectName(QStringLiteral("label_3"));
    label_3->setMinimumHeight(24);
    lwParameter = new QListWidget(layoutWidget1);
    lwParameter->setObjectName(QStringLiteral("lwParameter"));
    lwParameter->setMinimumWidth(120);
    auto *horizontalLayout_4 = new QHBoxLayout;
    horizontalLayout_4->setObjectName(QStringLiteral("horizontalLayout_4"));
    cbSelectAllParameters = new QCheckBox(tr("Select all"), layoutWidget1);
    cbSelectAllParameters->setObjectName(QStringLiteral("cbSelectAllParameters"));
    cbSelectAllParameters->setEnabled(false);
    cbSelectAllParameters->setMinimumHeight(25);
    sbParameterCount = counter(layoutWidget1, "sbParameterCount");
    sbParameterCount->setMinimumHeight(30);
    horizontalLayout_4->addWidget(cbSelectAllParameters, 1);
    horizontalLayout_4->addWidget(sbParameterCount);
    verticalLayout_3->addWidget(label_3);
    verticalLayout_3->addWidget(lwParameter);
    verticalLayout_3->addLayout(horizontalLayout_4);

    auto *layoutWidget2 = new QWidget(splitter);
    layoutWidget2->setObjectName(QStringLiteral("layoutWidget2"));
    auto *verticalLayout_4 = new QVBoxLayout(layoutWidget2);
    verticalLayout_4->setObjectName(QStringLiteral("verticalLayout_4"));
    verticalLayout_4->setContentsMargins(0, 0, 0, 0);
    auto *horizontalLayout_3 = new QHBoxLayout;
    horizontalLayout_3->setObjectName(QStringLiteral("horizontalLayout_3"));
    sbSelectedCount = counter(layoutWidget2, "sbSelectedCount");
    sbRemoveCount = counter(layoutWidget2, "sbRemoveCount");
    pbRemoveSelected = new QPushButton(tr("Remove"), layoutWidget2);
    pbRemoveSelected->setObjectName(QStringLiteral("pbRemoveSelected"));
    horizontalLayout_3->addWidget(sbSelectedCount);
    horizontalLayout_3->addWidget(sbRemoveCount);
    horizontalLayout_3->addWidget(pbRemoveSelected, 1);
    tvSelected = new QTreeView(layoutWidget2);
    tvSelected->setObjectName(QStringLiteral("tvSelected"));
    tvSelected->setMinimumWidth(280);
    tvSelected->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tvSelected->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tvSelected->setSelectionBehavior(QAbstractItemView::SelectItems);
    tvSelected->setIconSize(QSize(16, 16));
    auto *horizontalLayout = new QHBoxLayout;
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    pbClose = new QPushButton(QIcon(QStringLiteral(":/icons/images/icons/png/cancel.png")), tr("Close"), layoutWidget2);
    pbClose->setObjectName(QStringLiteral("pbClose"));
    pbClose->setMinimumHeight(30);
    pbAdd = new QPushButton(QIcon(QStringLiteral(":/icons/images/icons/png/add.png")), tr("Add"), layoutWidget2);
    pbAdd->setObjectName(QStringLiteral("pbAdd"));
    pbAdd->setMinimumHeight(30);
    horizontalLayout->addWidget(pbClose);
    horizontalLayout->addWidget(pbAdd);
    verticalLayout_4->addLayout(horizontalLayout_3);
    verticalLayout_4->addWidget(tvSelected);
    verticalLayout_4->addLayout(horizontalLayout);

    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    setListsEnabled(false);
    pbRemoveSelected->setEnabled(false);

    m_answerTimer = new QTimer(this);
    m_answerTimer->setSingleShot(true);
    connect(m_answerTimer, &QTimer::timeout, this, [this] {
        if (m_nextGraph == -1)
            return;
        endHandOver();
        showWarningMessage(tr("No answer from the database. The remaining graphs were not added."),
                           tr("Parameter selection"));
    });

    tvSelected->setModel(model);
    tvSelected->setItemDelegate(new NoCheckIndicatorDelegate(tvSelected));
    tvSelected->setColumnHidden(1, true);
    pbAdd->setText(model->rowCount(tvSelected->rootIndex()) > 0 ? tr("Edit") : tr("Add"));

    connect(lwType, &QListWidget::currentItemChanged, this, &SQLiteDialog::onTypeChanged);
    connect(lwSerial->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &SQLiteDialog::onSelectionChanged);
    m_treeSelectionConnection = connect(tvSelected->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                                        &SQLiteDialog::onSelectionChanged);
    connectParameterHandler();
    connect(pbClose, &QPushButton::clicked, this, &QWidget::close);
    connect(pbAdd, &QPushButton::clicked, this, &SQLiteDialog::addChosenGraphs);
    connect(pbRemoveSelected, &QPushButton::clicked, this, &SQLiteDialog::removeSelected);
    connect(cbSelectAllParameters, &QCheckBox::toggled, this, &SQLiteDialog::onSelectAllParametersToggled);
    connect(cbSelectAllSerials, &QCheckBox::toggled, this, &SQLiteDialog::onSelectAllSerialsToggled);
}

SQLiteDialog::~SQLiteDialog() = default;

void SQLiteDialog::connectParameterHandler()
{
    m_parameterConnection = connect(lwParameter, &QListWidget::itemChanged, this, &SQLiteDialog::onParameterChanged);
}

void SQLiteDialog::disconnectParameterHandler()
{
    disconnect(m_parameterConnection);
}

void SQLiteDialog::setMaster(HubroItem *master)
{
    m_master = master;
}

void SQLiteDialog::setDevices(const QList<DeviceItem *> &devices)
{
    m_devices.clear();
    for (DeviceItem *device : devices)
        m_devices << QPointer<DeviceItem>(device);
}

void SQLiteDialog::setCollector(DeviceInfoCollector *collector)
{
    for (const auto &connection : qAsConst(m_collectorConnections))
        disconnect(connection);
    m_collectorConnections.clear();
    m_collector = collector;
    if (!collector)
        return;
    m_collectorConnections << connect(collector, &DeviceInfoCollector::tableSizeReceived, this,
                                      [this](int) { askTypes(); });
    m_collectorConnections << connect(collector, &DeviceInfoCollector::columnContentReceived, this,
                                      &SQLiteDialog::onColumnContentReceived);
    collector->getTableSize(QStringLiteral("UsedField"));
}

void SQLiteDialog::setListsEnabled(bool enabled)
{
    lwType->setEnabled(enabled);
    lwSerial->setEnabled(enabled);
    lwParameter->setEnabled(enabled);
    tvSelected->setEnabled(enabled);
}

bool SQLiteDialog::isConnectedSerial(quint32 serial) const
{
    if (m_master && m_master->serialNumber() == serial)
        return true;
    for (const QPointer<DeviceItem> &device : m_devices) {
        if (device && device->serialNumber() == serial)
            return true;
    }
    return false;
}

void SQLiteDialog::askTypes()
{
    if (m_collector)
        m_collector->getColumnContent(QStringLiteral("Device"), QStringLiteral("type"), QString(), QVariant(-1));
}

void SQLiteDialog::onColumnContentReceived(const QString &column, const ColumnContent &content,
                                           const QVariant &cbValue)
{
    if (column == QLatin1String("type")) {
        for (int type = 0; type < DeviceModelCount; ++type) {
            const QString name = modelName(type);
            if (name.isEmpty())
                continue;
            const bool present = std::any_of(content.cbegin(), content.cend(),
                                             [type](const QVariant &value) { return value.toInt() == type; });
            if (!present)
                continue;
            auto *item = new QListWidgetItem(name);
            item->setData(Qt::UserRole, type);
            lwType->addItem(item);
            if (m_collector)
                m_collector->getColumnContent(QStringLiteral("Device"), QStringLiteral("serial"),
                                              QStringLiteral("type = %1").arg(type), QVariant(type));
        }
        lwType->sortItems(Qt::AscendingOrder);
        lwType->setCurrentRow(-1);
    } else if (column == QLatin1String("serial")) {
        for (const QVariant &value : content) {
            const QString serial = QString::number(value.toULongLong());
            auto *item = new QListWidgetItem(serial);
            item->setData(Qt::UserRole, cbValue.toInt());
            lwSerial->addItem(item);
            item->setHidden(true);
            if (m_collector)
                m_collector->getColumnContent(QStringLiteral("UsedField"), QStringLiteral("name"),
                                              QStringLiteral("device = %1").arg(serial),
                                              QVariantList{value, cbValue});
        }
        lwSerial->sortItems(Qt::AscendingOrder);
        lwSerial->setCurrentRow(-1, QItemSelectionModel::NoUpdate);
        sbDeviceCount->setValue(content.size());
        cbSelectAllSerials->setChecked(false);
    } else if (column == QLatin1String("name")) {
        const QVariantList tag = cbValue.toList();
        if (tag.size() != 2)
            return;
        // Serial numbers are unsigned 32-bit.
        const quint32 serial = quint32(tag.at(0).toULongLong());
        const int type = tag.at(1).toInt();
        const QModelIndex typeRow = findChildByValue(modelName(type), tvSelected->rootIndex(), m_model);
        const QModelIndex deviceRow =
            typeRow.isValid() ? findChildByValue(QString::number(serial), typeRow, m_model) : QModelIndex();
        QSet<QString> names;
        for (const QVariant &value : content)
            names.insert(value.toString());
        // Late items come without running the tick handler.
        disconnectParameterHandler();
        for (const QString &key : DeviceItem::fieldNamesForType(type)) {
            if (names.contains(key))
                addParameterItem(DeviceItem::parameterTitleForType(type, key), QString::number(serial), deviceRow);
        }
        connectParameterHandler();
        tvSelected->expandAll();
        setListsEnabled(true);
        lwParameter->setCurrentRow(-1, QItemSelectionModel::NoUpdate);
    }
}

void SQLiteDialog::addParameterItem(const QString &title, const QString &serial, const QModelIndex &deviceRow)
{
    auto *item = new QListWidgetItem(title);
    item->setData(Qt::UserRole, serial);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    bool checked = false;
    if (deviceRow.isValid() && findChildByValue(title, deviceRow, m_model).isValid())
        checked = true;
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    lwParameter->addItem(item);
    item->setHidden(true);
    if (checked)
        sbSelectedCount->setValue(sbSelectedCount->value() + 1);
}

void SQLiteDialog::onTypeChanged(QListWidgetItem *current, QListWidgetItem *)
{
    if (!current)
        return;
    lwSerial->selectionModel()->reset();
    const int type = current->data(Qt::UserRole).toInt();
    int shown = 0;
    QListWidgetItem *first = nullptr;
    for (int row = 0; row < lwSerial->count(); ++row) {
        QListWidgetItem *item = lwSerial->item(row);
        const bool show = item->data(Qt::UserRole).toInt() == type;
        item->setHidden(!show);
        if (show) {
            ++shown;
            if (!first)
                first = item;
        }
    }
    sbDeviceCount->setValue(shown);
    cbSelectAllSerials->setChecked(false);
    if (first)
        lwSerial->setCurrentItem(first, QItemSelectionModel::ClearAndSelect);
    cbSelectAllSerials->setEnabled(shown > 1);
}

void SQLiteDialog::onSelectionChanged(const QItemSelection &selected, const QItemSelection &)
{
    if (sender() == lwSerial->selectionModel())
        onSerialSelectionChanged(selected);
    else if (sender() == tvSelected->selectionModel())
        onTreeSelectionChanged();
    cbSelectAllParameters->setEnabled(lwParameter->count() > 0);
}

void SQLiteDialog::onSerialSelectionChanged(const QItemSelection &added)
{
    {
        const QSignalBlocker blocker(cbSelectAllParameters);
        cbSelectAllParameters->setChecked(false);
    }
    const QModelIndexList selected = lwSerial->selectionModel()->selectedIndexes();
    const QStringList common = commonParameterTitles(selected);
    if (common.isEmpty()) {
        for (int row = 0; row < lwParameter->count(); ++row)
            lwParameter->item(row)->setHidden(true);
        return;
    }
    const QString firstSerial = selected.first().data().toString();
    int shown = 0;
    bool allChecked = true;
    for (int row = 0; row < lwParameter->count(); ++row) {
        QListWidgetItem *item = lwParameter->item(row);
        const bool show = item->data(Qt::UserRole).toString() == firstSerial && common.contains(item->text());
        item->setHidden(!show);
        if (show) {
            ++shown;
            allChecked = allChecked && item->checkState() == Qt::Checked;
        }
    }
    sbParameterCount->setValue(shown);
    lwParameter->setCurrentRow(-1, QItemSelectionModel::NoUpdate);
    {
        const QSignalBlocker blocker(cbSelectAllParameters);
        cbSelectAllParameters->setChecked(shown > 0 && allChecked);
    }
    int serialsShown = 0;
    int serialsSelected = 0;
    for (int row = 0; row < lwSerial->count(); ++row) {
        if (lwSerial->item(row)->isHidden())
            continue;
        ++serialsShown;
        if (lwSerial->item(row)->isSelected())
            ++serialsSelected;
    }
    {
        const QSignalBlocker blocker(cbSelectAllSerials);
        cbSelectAllSerials->setChecked(serialsShown > 0 && serialsShown == serialsSelected);
    }
    carryTicksTo(added);
}

// Devices added to a selection take the parameters ticked on every device
// selected before, so that the same graphs are chosen whether the devices or
// the parameters were chosen first. A selection replaced by another keeps
// its own ticks.
void SQLiteDialog::carryTicksTo(const QItemSelection &added)
{
    QStringList addedSerials;
    for (const QModelIndex &index : added.indexes())
        addedSerials << index.data().toString();
    QStringList keptSerials;
    for (const QModelIndex &index : lwSerial->selectionModel()->selectedIndexes())
        if (!added.contains(index))
            keptSerials << index.data().toString();
    if (addedSerials.isEmpty() || keptSerials.isEmpty())
        return;
    QHash<QString, int> tickCounts;
    for (int row = 0; row < lwParameter->count(); ++row) {
        const QListWidgetItem *item = lwParameter->item(row);
        if (item->checkState() == Qt::Checked && keptSerials.contains(item->data(Qt::UserRole).toString()))
            ++tickCounts[item->text()];
    }
    // Each tick runs the parameter handler, which ticks the title on every
    // selected device and adds its rows.
    for (int row = 0; row < lwParameter->count(); ++row) {
        QListWidgetItem *item = lwParameter->item(row);
        if (item->checkState() != Qt::Checked && addedSerials.contains(item->data(Qt::UserRole).toString())
            && tickCounts.value(item->text()) == keptSerials.size())
            item->setCheckState(Qt::Checked);
    }
}

void SQLiteDialog::onTreeSelectionChanged()
{
    m_onlyPendingSelected = true;
    selectChildrenOfSelected(tvSelected);
    int count = 0;
    for (const QModelIndex &index : tvSelected->selectionModel()->selectedIndexes()) {
        if (index.column() != 0 || m_model->rowCount(index) > 0)
            continue;
        ++count;
        if (!isPendingRow(index))
            m_onlyPendingSelected = false;
    }
    sbRemoveCount->setValue(count);
    pbRemoveSelected->setEnabled(count > 0);
}

void SQLiteDialog::onParameterChanged(QListWidgetItem *item)
{
    QListWidgetItem *typeItem = lwType->currentItem();
    if (!typeItem)
        return;
    const int type = typeItem->data(Qt::UserRole).toInt();
    QStringList selected;
    for (QListWidgetItem *serial : lwSerial->selectedItems())
        selected << serial->text();
    const Qt::CheckState state = item->checkState();
    for (int row = 0; row < lwParameter->count(); ++row) {
        QListWidgetItem *other = lwParameter->item(row);
        if (other != item && other->text() == item->text() && selected.contains(other->data(Qt::UserRole).toString())
            && other->checkState() != state)
            other->setCheckState(state);
    }
    disconnect(m_treeSelectionConnection);
    if (state == Qt::Unchecked) {
        for (const QString &serial : qAsConst(selected)) {
            GraphSettings_t graph;
            graph.type = type;
            graph.serial = serial.toUInt();
            graph.field = item->text();
            emit removeGraph(findGraphRow(graph, tvSelected));
        }
        {
            const QSignalBlocker blocker(cbSelectAllParameters);
            cbSelectAllParameters->setChecked(false);
        }
        sbSelectedCount->setValue(sbSelectedCount->value() - 1);
        if (sbSelectedCount->value() <= 30)
            m_limitWarned = false;
    } else if (state == Qt::Checked) {
        for (const QString &serial : qAsConst(selected)) {
            GraphSettings_t graph;
            graph.type = type;
            graph.serial = serial.toUInt();
            graph.field = item->text();
            addGraphRow(graph, tvSelected);
        }
        sbSelectedCount->setValue(sbSelectedCount->value() + 1);
        if (sbSelectedCount->value() > 30 && !m_limitWarned) {
            m_limitWarned = true;
            showWarningMessage(tr("Not recommended add more than 30 parameters"), tr("Parameter selection"));
        }
    }
    int shown = 0;
    int checked = 0;
    for (int row = 0; row < lwParameter->count(); ++row) {
        if (lwParameter->item(row)->isHidden())
            continue;
        ++shown;
        if (lwParameter->item(row)->checkState() == Qt::Checked)
            ++checked;
    }
    if (shown > 0 && checked == shown)
        cbSelectAllParameters->setChecked(true);
    else if (checked == 0)
        cbSelectAllParameters->setChecked(false);
    m_treeSelectionConnection = connect(tvSelected->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                                        &SQLiteDialog::onSelectionChanged);
    tvSelected->selectionModel()->reset();
}

void SQLiteDialog::onSelectAllSerialsToggled(bool checked)
{
    for (int row = 0; row < lwSerial->count(); ++row) {
        QListWidgetItem *item = lwSerial->item(row);
        if (!item->isHidden())
            item->setSelected(checked);
    }
}

void SQLiteDialog::onSelectAllParametersToggled(bool checked)
{
    setListsEnabled(false);
    const QModelIndexList selected = lwSerial->selectionModel()->selectedIndexes();
    const QStringList common = commonParameterTitles(selected);
    if (!common.isEmpty()) {
        const QString firstSerial = selected.first().data().toString();
        for (int row = 0; row < lwParameter->count(); ++row) {
            QListWidgetItem *item = lwParameter->item(row);
            if (item->data(Qt::UserRole).toString() == firstSerial && common.contains(item->text()))
                item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
            else
                item->setHidden(true);
        }
    }
    setListsEnabled(true);
}

QStringList SQLiteDialog::commonParameterTitles(const QModelIndexList &indexes) const
{
    QStringList common;
    if (indexes.isEmpty())
        return common;
    QHash<QString, int> counts;
    QStringList order;
    for (const QModelIndex &index : indexes) {
        const QString serial = index.data().toString();
        for (int row = 0; row < lwParameter->count(); ++row) {
            const QListWidgetItem *item = lwParameter->item(row);
            if (item->data(Qt::UserRole).toString() != serial)
                continue;
            if (!counts.contains(item->text()))
                order << item->text();
            ++counts[item->text()];
        }
    }
    for (const QString &title : qAsConst(order)) {
        if (counts.value(title) == indexes.size())
            common << title;
    }
    return common;
}

void SQLiteDialog::addChosenGraphs()
{
    m_offline = false;
    m_pendingGraphs.clear();
    const QModelIndex root = tvSelected->rootIndex();
    for (int t = 0; t < m_model->rowCount(root); ++t) {
        const QModelIndex typeRow = m_model->index(t, 0, root);
        for (int d = 0; d < m_model->rowCount(typeRow); ++d) {
            const QModelIndex deviceRow = m_model->index(d, 0, typeRow);
            const quint32 serial = deviceRow.data().toString().toUInt();
            for (int p = 0; p < m_model->rowCount(deviceRow); ++p) {
                const QModelIndex parameterRow = m_model->index(p, 0, deviceRow);
                if (!isPendingRow(parameterRow))
                    continue;
                GraphSettings_t graph;
                graph.type = typeRow.data(Qt::UserRole).toInt();
                graph.serial = serial;
                graph.field = parameterRow.data().toString();
                m_pendingGraphs << graph;
            }
            if (!isConnectedSerial(serial))
                m_offline = true;
        }
    }
    setEnabled(false);
    m_nextGraph = 0;
    emitNextGraph();
}

void SQLiteDialog::emitNextGraph()
{
    if (m_nextGraph >= 0 && m_nextGraph < m_pendingGraphs.size()) {
        const GraphSettings_t graph = m_pendingGraphs.at(m_nextGraph);
        ++m_nextGraph;
        m_answerTimer->start(s_answerTimeout);
        QPointer<SQLiteDialog> self(this);
        emit addGraph(graph);
        Q_UNUSED(self)
        return;
    }
    endHandOver();
}

void SQLiteDialog::endHandOver()
{
    m_answerTimer->stop();
    m_nextGraph = -1;
    setEnabled(true);
}

void SQLiteDialog::onGraphAdded(const GraphSettings_t &graph)
{
    m_answerTimer->stop();
    auto fail = [this](const char *what, const QString &value) {
        qWarning() << what << value;
        endHandOver();
    };
    const QModelIndex typeRow = findChildByValue(modelName(graph.type), tvSelected->rootIndex(), m_model);
    if (!typeRow.isValid())
        return fail("Not found type", QString::number(graph.type));
    const QModelIndex deviceRow = findChildByValue(QString::number(graph.serial), typeRow, m_model);
    if (!deviceRow.isValid())
        return fail("Not found serial", QString::number(graph.serial));
    const QString title = parameterTitleFor(graph.type, graph.field, m_master);
    const QModelIndex parameterRow = findChildByValue(title, deviceRow, m_model);
    if (!parameterRow.isValid())
        return fail("Not found field", title);
    m_model->setData(parameterRow, graph.pen.color(), Qt::DecorationRole);
    m_model->setData(parameterRow, QColor(Qt::black), Qt::ForegroundRole);
    tvSelected->setCurrentIndex(parameterRow);
    updateSerialRowState(deviceRow, tvSelected);
    if (m_nextGraph != -1)
        emitNextGraph();
}

void SQLiteDialog::removeSelected()
{
    if (!m_onlyPendingSelected
        && askQuestion(tr("Are you sure to remove selected items?"), tr("Remove items"),
                       QMessageBox::Yes | QMessageBox::No)
               != QMessageBox::Yes)
        return;
    lwType->setEnabled(false);
    lwSerial->setEnabled(false);
    lwParameter->setEnabled(false);
    tvSelected->setEnabled(false);
    const QModelIndex root = tvSelected->rootIndex();

    QList<QPersistentModelIndex> typeRows;
    {
        QModelIndexList rows = selectedRowIndexes(tvSelected);
        std::sort(rows.begin(), rows.end(), byRowDescending);
        for (const QModelIndex &row : qAsConst(rows)) {
            if (row.parent() == root)
                typeRows << row;
        }
    }
    for (const QPersistentModelIndex &typeRow : qAsConst(typeRows)) {
        if (!typeRow.isValid())
            continue;
        for (int d = m_model->rowCount(typeRow) - 1; d >= 0; --d) {
            const QPersistentModelIndex deviceRow = m_model->index(d, 0, typeRow);
            for (int p = m_model->rowCount(deviceRow) - 1; p >= 0; --p) {
                if (deviceRow.isValid())
                    removeGraphRow(m_model->index(p, 0, deviceRow));
            }
            if (!typeRow.isValid())
                break;
        }
    }
    if (m_model->rowCount(root) > 0) {
        QList<QPersistentModelIndex> parents;
        {
            QModelIndexList rows = selectedRowIndexes(tvSelected);
            std::sort(rows.begin(), rows.end(), byRowDescending);
            for (const QModelIndex &row : qAsConst(rows)) {
                if (m_model->rowCount(row) > 0)
                    parents << row;
            }
        }
        for (const QPersistentModelIndex &row : qAsConst(parents)) {
            if (!row.isValid())
                continue;
            const QPersistentModelIndex parent = row.parent();
            for (int c = m_model->rowCount(row) - 1; c >= 0 && row.isValid(); --c)
                removeGraphRow(m_model->index(c, 0, row));
            if (row.isValid())
                removeGraphRow(row);
            if (parent.isValid() && m_model->rowCount(parent) == 0)
                m_model->removeRow(parent.row(), parent.parent());
        }
        QList<QPersistentModelIndex> leaves;
        {
            QModelIndexList rows = selectedRowIndexes(tvSelected);
            std::sort(rows.begin(), rows.end(), byRowDescending);
            for (const QModelIndex &row : qAsConst(rows)) {
                if (m_model->rowCount(row) == 0)
                    leaves << row;
            }
        }
        for (const QPersistentModelIndex &row : qAsConst(leaves)) {
            if (row.isValid())
                removeGraphRow(row);
        }
    }
    lwType->setEnabled(true);
    lwSerial->setEnabled(true);
    lwParameter->setEnabled(true);
    tvSelected->setEnabled(true);
}

void SQLiteDialog::removeGraphRow(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    const QString title = index.data().toString();
    const QString serialText = index.parent().data().toString();
    disconnectParameterHandler();
    for (int row = 0; row < lwParameter->count(); ++row) {
        QListWidgetItem *item = lwParameter->item(row);
        if (item->text() == title && item->data(Qt::UserRole).toString() == serialText)
            item->setCheckState(Qt::Unchecked);
    }
    connectParameterHandler();
    sbSelectedCount->setValue(sbSelectedCount->value() - 1);
    if (sbSelectedCount->value() <= 30)
        m_limitWarned = false;
    {
        const QSignalBlocker blocker(cbSelectAllParameters);
        cbSelectAllParameters->setChecked(false);
    }
    emit removeGraph(index);
}

void SQLiteDialog::closeEvent(QCloseEvent *event)
{
    const QModelIndex root = tvSelected->rootIndex();
    for (int t = m_model->rowCount(root) - 1; t >= 0; --t) {
        const QModelIndex typeRow = m_model->index(t, 0, root);
        for (int d = m_model->rowCount(typeRow) - 1; d >= 0; --d) {
            const QModelIndex deviceRow = m_model->index(d, 0, typeRow);
            for (int p = m_model->rowCount(deviceRow) - 1; p >= 0; --p) {
                if (isPendingRow(m_model->index(p, 0, deviceRow)))
                    m_model->removeRow(p, deviceRow);
            }
            if (m_model->rowCount(deviceRow) == 0)
                m_model->removeRow(d, typeRow);
        }
        if (m_model->rowCount(typeRow) == 0)
            m_model->removeRow(t, root);
    }
    m_answerTimer->stop();
    m_nextGraph = -1;
    event->accept();
    emit closing(m_offline);
}

void SQLiteDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete)
        removeSelected();
    event->accept();
}
