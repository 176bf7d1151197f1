#include "measurementslogging.h"

#include "appglobals.h"
#include "deviceitem.h"
#include "hubroitem.h"
#include "measurementstotal.h"
#include "screenfit.h"
#include "styleditemdelegate.h"
#include "treemodel.h"
#include "messageboxes.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDebug>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTreeView>

namespace {

constexpr int RowKindRole = StyledItemDelegate::RowKindRole;

QVariant devicePointer(DeviceItem *device)
{
    return QVariant::fromValue(reinterpret_cast<quintptr>(device));
}

QModelIndex childByText(const QAbstractItemModel *model, const QModelIndex &parent, const QString &text)
{
    for (int row = 0; row < model->rowCount(parent); ++row) {
        const QModelIndex child = model->index(row, 0, parent);
        if (child.data().toString() == text)
            return child;
    }
    return QModelIndex();
}

} // namespace

Qt::ItemFlags MySortFilterProxyModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsUserCheckable;
}

bool MySortFilterProxyModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    const QAbstractItemModel *source = sourceModel();
    const QString title = source->index(sourceRow, 0, sourceParent).data().toString();
    const QString serial = source->index(sourceRow, 1, sourceParent).data().toString();
    // The window sets fixed strings only.
    const QRegExp pattern = filterRegExp();
    return title.contains(pattern) || serial.contains(pattern);
}

bool MySortFilterProxyModel::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    return QString::localeAwareCompare(left.data().toString(), right.data().toString()) < 0;
}

QString MeasurementsLogging::serialText(quint32 serial)
{
    return QStringLiteral("%1").arg(serial, 10, 10, QLatin1Char('0'));
}

MeasurementsLogging::MeasurementsLogging(const QList<DeviceItem *> &devices, HubroItem *master, QWidget *parent)
    : QWidget(parent), m_devices(devices), m_master(master), m_masterGuard(master)
{
    setObjectName(QStringLiteral("MeasurementsLogging"));
    resize(600, 600);
    setWindowTitle(tr("Measurements logging"));
    auto *gridLayout_3 = new QGridLayout(this);
    gridLayout_3->setObjectName(QStringLiteral("gridLayout_3"));
    auto *gridLayout_2 = new QGridLayout;
    gridLayout_2->setObjectName(QStringLiteral("gridLayout_2"));
    auto *label = new QLabel(tr("Available devices"), this);
    label->setObjectName(QStringLiteral("label"));
    cbCollabseAll = new QCheckBox(tr("Collapse all"), this);
    cbCollabseAll->setObjectName(QStringLiteral("cbCollabseAll"));
    cbCollabseAll->setMinimumWidth(80);
    cbCollabseAll->setChecked(true);
    tvDevices = new QTreeView(this);
    tvDevices->setObjectName(QStringLiteral("tvDevices"));
    tvDevices->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tvDevices->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tvDevices->setSelectionBehavior(QAbstractItemView::SelectItems);
    gridLayout_2->addWidget(label, 0, 0);
    gridLayout_2->addWidget(cbCollabseAll, 0, 1);
    gridLayout_2->addWidget(tvDevices, 1, 0, 1, 2);
    gridLayout_2->setColumnStretch(0, 1);
    auto *gridLayout = new QGridLayout;
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    auto *label_2 = new QLabel(tr("Available parameters"), this);
    label_2->setObjectName(QStringLiteral("label_2"));
    cbSelectAll = new QCheckBox(tr("Select all"), this);
    cbSelectAll->setObjectName(QStringLiteral("cbSelectAll"));
    cbSelectAll->setMinimumWidth(80);
    tvParameters = new QTreeView(this);
    tvParameters->setObjectName(QStringLiteral("tvParameters"));
    tvParameters->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tvParameters->setSelectionMode(QAbstractItemView::ExtendedSelection);
    tvParameters->setSelectionBehavior(QAbstractItemView::SelectItems);
    tvParameters->setSortingEnabled(false);
    gridLayout->addWidget(label_2, 0, 0);
    gridLayout->addWidget(cbSelectAll, 0, 1);
    gridLayout->addWidget(tvParameters, 1, 0, 1, 2);
    gridLayout->setColumnStretch(0, 1);
    auto *horizontalLayout_2 = new QHBoxLayout;
    horizontalLayout_2->setObjectName(QStringLiteral("horizontalLayout_2"));
    pbUncheck = new QPushButton(QIcon(QStringLiteral(":/icons/images/icons/png/garbage.png")), tr("Uncheck all"), this);
    pbUncheck->setObjectName(QStringLiteral("pbUncheck"));
    pbUncheck->setMinimumSize(160, 30);
    pbStore = new QPushButton(QIcon(QStringLiteral(":/icons/images/icons/png/database.png")), tr("Store"), this);
    pbStore->setObjectName(QStringLiteral("pbStore"));
    pbStore->setMinimumSize(140, 30);
    pbClose = new QPushButton(QIcon(QStringLiteral(":/icons/images/icons/png/cancel.png")), tr("Close"), this);
    pbClose->setObjectName(QStringLiteral("pbClose"));
    pbClose->setMinimumSize(140, 30);
    horizontalLayout_2->addWidget(pbUncheck);
    horizontalLayout_2->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    horizontalLayout_2->addWidget(pbStore);
    horizontalLayout_2->addWidget(pbClose);
    gridLayout_3->addLayout(gridLayout_2, 0, 0);
    gridLayout_3->addLayout(gridLayout, 0, 1);
    gridLayout_3->addLayout(horizontalLayout_2, 1, 0, 1, 2);

    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);
    qRegisterMetaType<StoringMap>("StoringMap");

    m_tree = new TreeModel({tr("Device")}, this);
    tvDevices->setModel(m_tree);
    tvDevices->setItemDelegate(new StyledItemDelegate(tvDevices));

    m_parameters = new QStandardItemModel(0, 2, this);
    m_parameters->setHorizontalHeaderLabels({tr("Parameter"), tr("Serial", "serial number")});
    m_proxy = new MySortFilterProxyModel(this);
    m_proxy->setSourceModel(m_parameters);
    tvParameters->setModel(m_proxy);

    auto guard = [this](DeviceItem *device) {
        if (device && !m_guards.contains(device))
            m_guards.insert(device, QPointer<DeviceItem>(device));
    };
    if (master) {
        guard(master);
        addDevice(master, master->serialNumber(), master->fieldNames());
    }
    for (DeviceItem *device : devices) {
        if (!device)
            continue;
        guard(device);
        addDevice(device, device->serialNumber(), device->fieldNames());
    }
    for (int column = 0; column < m_proxy->columnCount(); ++column)
        tvParameters->resizeColumnToContents(column);
    tvParameters->setColumnHidden(1, true);
}

MeasurementsLogging::~MeasurementsLogging() = default;

DeviceItem *MeasurementsLogging::liveDevice(const QVariant &value) const
{
    auto *device = reinterpret_cast<DeviceItem *>(value.value<quintptr>());
    const auto it = m_guards.constFind(device);
    return it != m_guards.constEnd() ? it->data() : nullptr;
}

bool MeasurementsLogging::isExpander(const DeviceItem *device) const
{
    return device && masterDeviceTypes.contains(int(quint8(device->deviceType())));
}

QString MeasurementsLogging::titleOf(DeviceItem *device, const QString &key) const
{
    if (isExpander(device))
        return m_masterGuard ? m_masterGuard->parameterTitle(key) : DeviceItem::parameterTitleForType(device->deviceType(), key);
    return device ? device->parameterTitle(key) : QString();
}

QString MeasurementsLogging::keyOf(DeviceItem *device, const QString &title) const
{
    if (isExpander(device))
        return m_masterGuard ? m_masterGuard->parameterKey(title) : DeviceItem::parameterKeyForType(device->deviceType(), title);
    return device ? device->parameterKey(title) : QString();
}

quint32 MeasurementsLogging::serialOf(DeviceItem *device) const
{
    if (isExpander(device)) {
        if (auto *hubro = qobject_cast<HubroItem *>(device))
            return hubro->serialNumber();
        return m_masterGuard ? m_masterGuard->serialNumber() : 0;
    }
    return device ? device->serialNumber() : 0;
}

QModelIndex MeasurementsLogging::addDevice(DeviceItem *device, quint32 serial, const QStringList &keys)
{
    const int type = device->deviceType();
    QString typeText = deviceModelNames.value(type);
    if (typeText.isEmpty())
        typeText = device->itemTypeName();
    QModelIndex typeNode = childByText(m_tree, QModelIndex(), typeText);
    if (!typeNode.isValid()) {
        const int row = m_tree->rowCount();
        m_tree->insertRows(row, 1);
        typeNode = m_tree->index(row, 0);
        m_tree->setData(typeNode, typeText, Qt::DisplayRole);
        m_tree->setData(typeNode, 0, RowKindRole);
    }
    const QString serialString = serialText(serial);
    QModelIndex node = childByText(m_tree, typeNode, serialString);
    if (!node.isValid()) {
        const int row = m_tree->rowCount(typeNode);
        m_tree->insertRows(row, 1, typeNode);
        node = m_tree->index(row, 0, typeNode);
        m_tree->setData(node, serialString, Qt::DisplayRole);
        m_tree->setData(node, 3, RowKindRole);
        m_tree->setData(node, int(Qt::Unchecked), Qt::CheckStateRole);
        tvDevices->selectionModel()->setCurrentIndex(node, QItemSelectionModel::ClearAndSelect);
    }
    m_tree->setData(node, devicePointer(device), Qt::UserRole);
    QStringList rest = keys;
    while (!rest.isEmpty()) {
        const QString key = rest.takeLast();
        auto *title = new QStandardItem(titleOf(device, key));
        title->setData(devicePointer(device), Qt::UserRole);
        m_parameters->insertRow(0, {title, new QStandardItem(serialString)});
    }
    return node;
}

QList<QModelIndex> MeasurementsLogging::deviceNodes() const
{
    QList<QModelIndex> nodes;
    for (int t = 0; t < m_tree->rowCount(); ++t) {
        const QModelIndex type = m_tree->index(t, 0);
        for (int d = 0; d < m_tree->rowCount(type); ++d)
            nodes << m_tree->index(d, 0, type);
    }
    return nodes;
}

void MeasurementsLogging::initMap(const QVariantMap &map)
{
    for (int r = 0; r < m_parameters->rowCount(); ++r) {
        QStandardItem *item = m_parameters->item(r, 0);
        DeviceItem *device = liveDevice(item->data(Qt::UserRole));
        const QString title = item->text();
        int rowState = Qt::Unchecked;
        if (device) {
            for (auto it = map.cbegin(); it != map.cend(); ++it) {
                const QStringList parts = it.key().split(QLatin1Char(':'));
                if (parts.size() != 2) {
                    qWarning() << "Wrong key of SQLite storing initMap";
                    break;
                }
                const QStringList list = it.value().toStringList();
                const uint type = parts.at(0).toUInt();
                const uint serial = parts.at(1).toUInt();
                if (type != uint(quint8(device->deviceType())))
                    continue;
                const QString key = keyOf(device, title);
                if (serial != serialOf(device))
                    continue;
                const QModelIndex typeNode = childByText(m_tree, QModelIndex(), deviceModelNames.value(int(type)));
                const QModelIndex node =
                    typeNode.isValid() ? childByText(m_tree, typeNode, serialText(serial)) : QModelIndex();
                if (node.isValid() && list.contains(key)) {
                    rowState = Qt::Checked;
                    m_tree->setData(node,
                                    int(list.size() == device->fieldNames().size() ? Qt::Checked
                                                                                    : Qt::PartiallyChecked),
                                    Qt::CheckStateRole);
                }
            }
        }
        item->setData(rowState, Qt::CheckStateRole);
    }
    tvDevices->setCurrentIndex(m_tree->index(0, 0));
    tvDevices->selectionModel()->reset();
    m_proxy->setFilterFixedString(QStringLiteral("asdfghjkl;"));
    pbStore->setEnabled(false);
    takeSnapshot();
}

void MeasurementsLogging::connectBoxes()
{
    m_collapseConnection = connect(cbCollabseAll, &QCheckBox::toggled, this, [this](bool checked) {
        if (checked)
            tvDevices->collapseAll();
        else
            tvDevices->expandAll();
    });
    m_selectAllConnection = connect(cbSelectAll, &QCheckBox::clicked, this, &MeasurementsLogging::onSelectAllClicked);
}

void MeasurementsLogging::connectSignals()
{
    connectBoxes();
    connect(pbStore, &QPushButton::clicked, this, &MeasurementsLogging::startStoring);
    connect(tvDevices, &QTreeView::expanded, this, &MeasurementsLogging::onExpanded);
    connect(tvDevices, &QTreeView::collapsed, this, &MeasurementsLogging::onCollapsed);
    m_selectionConnection = connect(tvDevices->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                                    &MeasurementsLogging::onDeviceSelectionChanged);
    m_deviceDataConnection =
        connect(m_tree, &QAbstractItemModel::dataChanged, this, &MeasurementsLogging::onDeviceDataChanged);
    m_parameterDataConnection =
        connect(m_proxy, &QAbstractItemModel::dataChanged, this, &MeasurementsLogging::onParameterDataChanged);
    connect(pbClose, &QPushButton::clicked, this, &QWidget::close);
    connect(pbUncheck, &QPushButton::clicked, this, &MeasurementsLogging::uncheckAll);
}

void MeasurementsLogging::onExpanded()
{
    disconnect(m_collapseConnection);
    disconnect(m_selectAllConnection);
    cbCollabseAll->setChecked(false);
    connectBoxes();
}

void MeasurementsLogging::onCollapsed()
{
    for (int row = 0; row < m_tree->rowCount(); ++row) {
        if (tvDevices->isExpanded(m_tree->index(row, 0)))
            return;
    }
    disconnect(m_collapseConnection);
    disconnect(m_selectAllConnection);
    cbCollabseAll->setChecked(true);
    connectBoxes();
}

void MeasurementsLogging::onDeviceSelectionChanged(const QItemSelection &selected, const QItemSelection &)
{
    QItemSelectionModel *selection = tvDevices->selectionModel();
    QModelIndexList indexes = selection->selectedIndexes();
    if (indexes.isEmpty())
        return;
    const QModelIndex anchor = selected.indexes().isEmpty() ? indexes.first() : selected.indexes().first();
    auto group = [](const QModelIndex &index) { return index.parent().isValid() ? index.parent() : index; };
    const QModelIndex anchorGroup = group(anchor);
    QModelIndexList others;
    for (const QModelIndex &index : qAsConst(indexes)) {
        if (group(index) != anchorGroup)
            others << index;
    }
    if (!others.isEmpty()) {
        disconnect(m_selectionConnection);
        for (const QModelIndex &index : qAsConst(others))
            selection->select(index, QItemSelectionModel::Deselect);
        m_selectionConnection = connect(selection, &QItemSelectionModel::selectionChanged, this,
                                        &MeasurementsLogging::onDeviceSelectionChanged);
        indexes = selection->selectedIndexes();
    }
    if (indexes.isEmpty())
        return;
    const QModelIndex first = indexes.first();
    QString filter = first.data().toString();
    if (m_tree->rowCount(first) > 0) {
        filter = m_tree->index(0, 0, first).data().toString();
        tvDevices->collapseAll();
        tvDevices->expand(first);
        for (const QModelIndex &index : qAsConst(indexes)) {
            for (int row = 0; row < m_tree->rowCount(index); ++row)
                selection->select(m_tree->index(row, 0, index), QItemSelectionModel::Select);
        }
    }
    m_proxy->setFilterFixedString(filter);
    updateSelectAll();
}

void MeasurementsLogging::onDeviceDataChanged(const QModelIndex &topLeft, const QModelIndex &,
                                              const QVector<int> &roles)
{
    if (!roles.contains(Qt::CheckStateRole))
        return;
    tvDevices->setCurrentIndex(topLeft);
    const int state = topLeft.data(Qt::CheckStateRole).toInt();
    cbSelectAll->setCheckState(Qt::CheckState(state));
    onSelectAllClicked(state == Qt::Checked);
    m_unsaved = hasChanges();
    pbStore->setEnabled(m_unsaved);
}

void MeasurementsLogging::onParameterDataChanged(const QModelIndex &topLeft, const QModelIndex &,
                                                 const QVector<int> &roles)
{
    if (!roles.contains(Qt::CheckStateRole))
        return;
    tvParameters->setCurrentIndex(topLeft);
    propagateCheckState(topLeft);
    updateSelectAll();
    setSelectedDevicesCheckState(cbSelectAll->checkState());
    m_unsaved = hasChanges();
    pbStore->setEnabled(m_unsaved);
}

void MeasurementsLogging::propagateCheckState(const QModelIndex &proxyIndex)
{
    const QModelIndex source = m_proxy->mapToSource(proxyIndex);
    if (!source.isValid())
        return;
    QStringList serials;
    for (const QModelIndex &index : tvDevices->selectionModel()->selectedIndexes()) {
        if (m_tree->rowCount(index) > 0) {
            for (int row = 0; row < m_tree->rowCount(index); ++row)
                serials << m_tree->index(row, 0, index).data().toString();
        } else {
            serials << index.data().toString();
        }
    }
    if (serials.size() < 2)
        return;
    const QString title = m_parameters->item(source.row(), 0)->text();
    const QVariant state = m_parameters->item(source.row(), 0)->data(Qt::CheckStateRole);
    disconnect(m_parameterDataConnection);
    for (int row = 0; row < m_parameters->rowCount(); ++row) {
        if (row == source.row())
            continue;
        QStandardItem *item = m_parameters->item(row, 0);
        if (item->text() == title && serials.contains(m_parameters->item(row, 1)->text()))
            item->setData(state, Qt::CheckStateRole);
    }
    m_parameterDataConnection =
        connect(m_proxy, &QAbstractItemModel::dataChanged, this, &MeasurementsLogging::onParameterDataChanged);
}

void MeasurementsLogging::updateSelectAll()
{
    const int shown = m_proxy->rowCount();
    int checked = 0;
    for (int row = 0; row < shown; ++row) {
        if (m_proxy->index(row, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked)
            ++checked;
    }
    cbSelectAll->setCheckState(checked == shown ? Qt::Checked : checked > 0 ? Qt::PartiallyChecked : Qt::Unchecked);
}

void MeasurementsLogging::onSelectAllClicked(bool checked)
{
    const int state = checked ? Qt::Checked : Qt::Unchecked;
    for (int row = 0; row < m_proxy->rowCount(); ++row)
        m_proxy->setData(m_proxy->index(row, 0), state, Qt::CheckStateRole);
    setSelectedDevicesCheckState(state);
}

void MeasurementsLogging::setSelectedDevicesCheckState(int state)
{
    disconnect(m_deviceDataConnection);
    for (const QModelIndex &index : tvDevices->selectionModel()->selectedIndexes())
        m_tree->setData(index, state, Qt::CheckStateRole);
    m_deviceDataConnection =
        connect(m_tree, &QAbstractItemModel::dataChanged, this, &MeasurementsLogging::onDeviceDataChanged);
}

void MeasurementsLogging::uncheckAll()
{
    for (const QModelIndex &node : deviceNodes())
        m_tree->setData(node, int(Qt::Unchecked), Qt::CheckStateRole);
    cbCollabseAll->setChecked(true);
    tvDevices->setCurrentIndex(m_tree->index(0, 0));
    pbStore->setEnabled(true);
    pbStore->click();
}

void MeasurementsLogging::startStoring()
{
    StoringMap map;
    for (const QModelIndex &node : deviceNodes()) {
        if (node.data(Qt::CheckStateRole).toInt() <= 0)
            continue;
        DeviceItem *device = liveDevice(node.data(Qt::UserRole));
        if (!device)
            continue; // gone since the window opened
        m_proxy->setFilterFixedString(node.data().toString());
        QStringList keys;
        for (int row = 0; row < m_proxy->rowCount(); ++row) {
            const QModelIndex index = m_proxy->index(row, 0);
            if (index.data(Qt::CheckStateRole).toInt() != 0)
                keys << keyOf(device, index.data().toString());
        }
        map.insert(device, keys);
    }
    if (map.isEmpty()) {
        showInformationMessage(tr("There is no selected measurements for storing.\nStoring will be "
                                  "stopped.                     "),
                               tr("Start measurements storing"));
        emit resetStoringMap();
        takeSnapshot();
        pbStore->setEnabled(false);
        m_unsaved = false;
        return;
    }
    auto *total = new MeasurementsTotal(m_masterGuard, nullptr);
    total->showStoringMap(map);
    fitOnScreen(total, this);
    total->show();
    connect(total, &MeasurementsTotal::canceled, total, &QWidget::hide);
    QPointer<MeasurementsLogging> self(this);
    connect(total, &MeasurementsTotal::accepted, this, [self, map] {
        if (!self)
            return;
        // Items that went while the summary was open are left out.
        StoringMap live;
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            if (self->m_guards.value(it.key()))
                live.insert(it.key(), it.value());
        }
        emit self->setStoringMap(live);
        self->m_unsaved = false;
        self->close();
    });
    // A summary left cancelled goes with this window.
    connect(this, &QObject::destroyed, total, &QObject::deleteLater);
}

void MeasurementsLogging::takeSnapshot()
{
    m_savedParameterStates.clear();
    for (int row = 0; row < m_parameters->rowCount(); ++row)
        m_savedParameterStates << m_parameters->item(row, 0)->data(Qt::CheckStateRole).toInt();
    m_savedDeviceStates.clear();
    for (const QModelIndex &node : deviceNodes())
        m_savedDeviceStates << node.data(Qt::CheckStateRole).toInt();
}

bool MeasurementsLogging::hasChanges() const
{
    if (m_parameters->rowCount() != m_savedParameterStates.size())
        return true;
    for (int row = 0; row < m_parameters->rowCount(); ++row) {
        if (m_parameters->item(row, 0)->data(Qt::CheckStateRole).toInt() != m_savedParameterStates.at(row))
            return true;
    }
    const QList<QModelIndex> nodes = deviceNodes();
    if (nodes.size() != m_savedDeviceStates.size())
        return true;
    for (int i = 0; i < nodes.size(); ++i) {
        if (nodes.at(i).data(Qt::CheckStateRole).toInt() != m_savedDeviceStates.at(i))
            return true;
    }
    return false;
}

void MeasurementsLogging::closeEvent(QCloseEvent *event)
{
    if (m_unsaved) {
        const int answer = askQuestion(tr("There are unsaved changes. Are you sure you want to exit without saving?"),
                                       tr("Measurements logging"), QMessageBox::Yes | QMessageBox::No);
        if (answer != QMessageBox::Yes) {
            event->ignore();
            return;
        }
    }
    event->accept();
}
