// The device views, the device filter and the property window.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "appglobals.h"
#include "devicetablemodel.h"
#include "hubroitem.h"
#include "qteditorfactory.h"
#include "qtpropertymanager.h"
#include "rssitestdock.h"
#include "statisticsdock.h"
#include "updatestatusdock.h"
#include "qttreepropertybrowser.h"
#include "settings.h"
#include "sorteddevicemodel.h"
#include "widgetdevicewritesettings.h"

#include <QDebug>
#include <QHeaderView>
#include <QSet>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>

namespace {
// Background of the rows whose values the user may edit.
const QColor EditableRowColour(196, 196, 255, 255);

bool isEditable(const QtProperty *property)
{
    const QtAbstractPropertyManager *manager = property ? property->propertyManager() : nullptr;
    return manager && manager->isEditable();
}

// Titles of the groups and rows that stay expanded when the item comes from a
// configuration file; the rest is collapsed there.
QStringList expandedTitles(int deviceType)
{
    QStringList titles{
        MainWindow::tr("WD Type"),
        MainWindow::tr("S/N"),
        MainWindow::tr("Wireloop address"),
        MainWindow::tr("Radio address"),
        MainWindow::tr("Interval"),
        MainWindow::tr("Radio channel"),
        MainWindow::tr("Power"),
        MainWindow::tr("Wireloop as supply"),
        MainWindow::tr("IR Sensor"),
        MainWindow::tr("Test mode"),
        MainWindow::tr("Sensitivity"),
        MainWindow::tr("Relay"),
        MainWindow::tr("Main source"),
        MainWindow::tr("Cable mode", "fotra"),
        MainWindow::tr("TIRUN Cable", "tirun"),
        MainWindow::tr("Enabled"),
        MainWindow::tr("Shift sensor", "yolvik"),
        MainWindow::tr("Settings"),
        MainWindow::tr("Shift detection"),
        MainWindow::tr("Shift sensitivity"),
        MainWindow::tr("Tilt detection"),
        MainWindow::tr("Tilt sensitivity"),
        MainWindow::tr("Auto fixate"),
        MainWindow::tr("Work mode"),
        MainWindow::tr("Speed mode"),
        MainWindow::tr("Counter mode", "nilvo"),
        MainWindow::tr("Range"),
        MainWindow::tr("Speed"),
        MainWindow::tr("Sensitivity", "near"),
        MainWindow::tr("Sensitivity", "far"),
        MainWindow::tr("IR Sensors"),
        MainWindow::tr("Brightness"),
        MainWindow::tr("Wall Control"),
    };
    if (masterDeviceTypes.contains(deviceType)) {
        titles.removeAll(MainWindow::tr("Main source"));
        titles << MainWindow::tr("Status") << MainWindow::tr("Power adjustment")
               << MainWindow::tr("Firmware information") << MainWindow::tr("Core firmware")
               << MainWindow::tr("Radio firmware");
    }
    if (deviceType == 50 || deviceType == 14)
        titles << MainWindow::tr("Status", "pondra");
    return titles;
}

QtBrowserItem *childItem(QtBrowserItem *parent, QtProperty *property)
{
    for (QtBrowserItem *child : parent->children())
        if (child->property() == property)
            return child;
    return nullptr;
}

// A property window is usable for a device that is online and for the items
// of a configuration file.
bool isUsable(const DeviceItem *item)
{
    return item->isOnline() || item->connectionState() == DeviceFromFile;
}
} // namespace

QAbstractItemView *MainWindow::currentItemView() const
{
    if (ui->cbViewMode->currentIndex() == 0)
        return ui->listView;
    return ui->treeView;
}

QList<DeviceItem *> MainWindow::selectedRadioDevices() const
{
    QList<DeviceItem *> devices;
    QSet<DeviceItem *> taken;
    const QModelIndexList indexes = currentItemView()->selectionModel()->selectedIndexes();
    for (const QModelIndex &index : indexes) {
        if (index.column() != 0)
            continue;
        DeviceItem *device = DeviceTableModel::itemAt(index);
        if (device && !masterDeviceTypes.contains(device->deviceType()) && !taken.contains(device)) {
            taken.insert(device);
            devices.append(device);
        }
    }
    return devices;
}

QList<DeviceItem *> MainWindow::selectedDevices() const
{
    QList<DeviceItem *> devices = selectedRadioDevices();
    std::sort(devices.begin(), devices.end(),
              [](const DeviceItem *a, const DeviceItem *b) { return a->deviceId() < b->deviceId(); });
    return devices;
}

DeviceItem *MainWindow::masterDevice() const
{
    for (DeviceItem *device : deviceModel->devices())
        if (masterDeviceTypes.contains(device->deviceType()))
            return device;
    return nullptr;
}

HubroItem *MainWindow::masterItem() const
{
    return qobject_cast<HubroItem *>(masterDevice());
}

void MainWindow::sortList()
{
    sortedModel->applySortChoice(ui->cbSorting->currentIndex());
}

void MainWindow::viewModeChanged(int mode)
{
    ui->pbCollapseTree->setVisible(mode == 2);
    ui->pbExpandTree->setVisible(mode == 2);
    applyViewMode(mode);
    if (mode == 0)
        sortList();
    else
        sortedModel->setSortRole(Qt::DisplayRole);
}

void MainWindow::applyViewMode(int mode)
{
    ui->treeView->setVisible(mode != 0);
    ui->listView->setVisible(mode == 0);
    ui->lblSort->setVisible(mode == 0);
    ui->cbSorting->setVisible(mode == 0);

    QAbstractItemView *view = currentItemView();
    DeviceItem *device = DeviceTableModel::itemAt(view->currentIndex());
    if (!device) {
        deviceModel->setViewMode(mode);
        return;
    }
    const bool disconnected = disconnect(device, &DeviceItem::updated, this, &MainWindow::updatePropertyWindow);
    qDebug() << "disconnecting updates" << disconnected;
    deviceModel->setViewMode(mode);
    const QModelIndex index = sortedModel->mapFromSource(deviceModel->indexOfItem(device));
    view->setCurrentIndex(index);
    view->scrollTo(index);
}

void MainWindow::setFilter()
{
    const QString text = ui->leFilter->text();
    sortedModel->applyFilterText(text);
    followCurrentIndex();
}

bool MainWindow::sameType(const QModelIndexList &indexes) const
{
    // Equal to the first means equal to each other.
    if (indexes.isEmpty())
        return true;
    const QVariant first = indexes.first().data(DeviceRole::DeviceType);
    for (const QModelIndex &index : indexes)
        if (index.data(DeviceRole::DeviceType) != first)
            return false;
    return true;
}

void MainWindow::disconnectPropertyUpdates(DeviceItem *item)
{
    if (item)
        disconnect(item, &DeviceItem::updated, this, &MainWindow::updatePropertyWindow);
}

void MainWindow::itemViewCurrentItemChanged(const QModelIndex &currentIdx, const QModelIndex &previousIdx)
{
    DeviceItem *item = DeviceTableModel::itemAt(currentIdx);
    disconnectPropertyUpdates(DeviceTableModel::itemAt(previousIdx));
    for (DeviceItem *device : deviceModel->devices())
        disconnectPropertyUpdates(device);

    if (!item) {
        // Forget the item too, so that choosing it again builds its tree anew.
        clearPropertyWindow();
        return;
    }
    connect(item, &DeviceItem::updated, this, &MainWindow::updatePropertyWindow, Qt::UniqueConnection);
    connect(item, &DeviceItem::updateProperties, this, &MainWindow::refresh, Qt::UniqueConnection);

    if (item == currentItem)
        showCurrentItemValues(item);
    else
        refresh(item);

    QAbstractItemView *other = ui->cbViewMode->currentIndex() != 0 ? static_cast<QAbstractItemView *>(ui->listView)
                                                                   : static_cast<QAbstractItemView *>(ui->treeView);
    const QSignalBlocker blocker(other->selectionModel());
    other->setCurrentIndex(currentIdx);
}

void MainWindow::updatePropertyWindow(DeviceItem *item)
{
    if (!item) {
        clearPropertyWindow();
        return;
    }
    if (item != currentItem) {
        refresh(item);
        return;
    }
    showCurrentItemValues(item);
}

void MainWindow::showCurrentItemValues(DeviceItem *item)
{
    item->refreshPropertyBrowser();
    markEditableRows(item);
    ui->propertiesDock->setEnabled(isUsable(item));
}

void MainWindow::markEditableRows(DeviceItem *item)
{
    // Rows with a status colour keep it while the device is online.
    const auto paint = [this, item](QtProperty *property) {
        const quint32 statusMarks = DeviceItem::MarkAlarm | DeviceItem::MarkFault | DeviceItem::MarkHighlight;
        if (!isEditable(property) || (item->isOnline() && (item->propertyLevel(property) & statusMarks)))
            return;
        for (QtBrowserItem *row : propertyBrowser->items(property))
            propertyBrowser->setBackgroundColor(row, EditableRowColour);
    };
    for (QtProperty *property : propertyBrowser->properties()) {
        const QList<QtProperty *> subProperties = property->subProperties();
        if (subProperties.isEmpty())
            paint(property);
        for (QtProperty *sub : subProperties)
            paint(sub);
    }
}

void MainWindow::refresh(DeviceItem *item)
{
    const int scroll = propertyBrowser->scrollPosition();
    const DeviceItem *shownBefore = currentItem;
    propertyBrowser->clear();
    currentItem = item;
    if (!item)
        return;

    const QList<QtProperty *> properties = item->data(DeviceRole::TopProperties).value<QList<QtProperty *>>();
    auto *enumManager = item->data(DeviceRole::EnumManager).value<QtEnumPropertyManager *>();
    auto *intManager = item->data(DeviceRole::IntManager).value<QtIntPropertyManager *>();
    auto *doubleManager = item->data(DeviceRole::DoubleManager).value<QtDoublePropertyManager *>();
    auto *boolManager = item->data(DeviceRole::BoolManager).value<QtBoolPropertyManager *>();

    const int type = item->deviceType();
    const bool fromFile = deviceModel->connectionKind() == File;
    const bool master = masterDeviceTypes.contains(type);
    // A radio device of a file or a simulation has no link that an edit
    // could reach: its values are shown without editors or write panel.
    const bool editable = master ? true : radioDevicesLinked();
    const QStringList titles = expandedTitles(type);

    for (QtProperty *property : properties) {
        QtBrowserItem *row = propertyBrowser->addProperty(property);
        if (!row)
            continue;
        if (fromFile && !titles.contains(property->propertyName()))
            propertyBrowser->setExpanded(row, false);
        for (QtProperty *sub : property->subProperties()) {
            QtBrowserItem *subRow = childItem(row, sub);
            if (subRow && fromFile && !titles.contains(sub->propertyName()))
                propertyBrowser->setExpanded(subRow, false);
        }
    }

    item->refreshPropertyBrowser();
    if (editable)
        markEditableRows(item);
    ui->propertiesDock->setEnabled(isUsable(item));

    if (editable) {
        if (enumManager)
            propertyBrowser->setFactoryForManager(enumManager, enumEditorFactory);
        if (intManager)
            propertyBrowser->setFactoryForManager(intManager, spinBoxFactory);
        if (doubleManager)
            propertyBrowser->setFactoryForManager(doubleManager, doubleSpinBoxFactory);
        if (boolManager)
            propertyBrowser->setFactoryForManager(boolManager, checkBoxFactory);
    }

    removeWritePanel();
    if (!master && editable) {
        if (auto *panel = item->data(DeviceRole::WritePanel).value<QWidget *>()) {
            if (auto *writeSettings = qobject_cast<WidgetDeviceWriteSettings *>(panel)) {
                if (HubroItem *hubro = masterItem())
                    writeSettings->setTimeout(3 * (hubro->exchangeInterval() / 1000));
            }
            ui->vLayPropHandlers->addWidget(panel);
            panel->show();
        }
    }

    fitTitleColumn(item != shownBefore);
    propertyBrowser->setScrollPosition(scroll);
}

void MainWindow::fitTitleColumn(bool newItem)
{
    // Once per item shown, so that a width the user dragged holds while it
    // updates; a new width of the window fits the columns again.
    if (newItem)
        fitPropertyColumns();
    if (!dockWidthChosen && isVisible()) {
        // A first start: the dock as wide as its titles and values need; once
        // more after the first layout of the docks, which a file opened at the
        // start comes before.
        dockWidthChosen = true;
        widenPropertyDock();
        QTimer::singleShot(0, this, &MainWindow::widenPropertyDock);
    }
}

void MainWindow::fitPropertyColumns()
{
    QTreeView *tree = propertyBrowser->treeWidget();
    const QAbstractItemView *rows = tree;
    const int width = tree->viewport()->width();
    if (width <= 0 || tree->model()->rowCount() == 0)
        return;
    const int titles = std::max(rows->sizeHintForColumn(0), tree->header()->sectionSizeHint(0));
    // The values keep at least a third of the width.
    tree->header()->resizeSection(0, std::min(titles, width - width / 3));
}

void MainWindow::widenPropertyDock()
{
    QTreeView *tree = propertyBrowser->treeWidget();
    const QAbstractItemView *rows = tree;
    const int frame = propertyBrowser->width() - tree->viewport()->width();
    const QMargins margins = ui->verticalLayout_3->contentsMargins();
    const int titles = std::max(rows->sizeHintForColumn(0), tree->header()->sectionSizeHint(0));
    const int wanted = titles + rows->sizeHintForColumn(1) + frame + margins.left() + margins.right()
                       + tree->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    // The device list keeps the larger part of the window.
    const int dock = std::min(wanted, width() * 2 / 5);
    if (ui->propertiesDock->width() < dock)
        resizeDocks({ui->propertiesDock}, {dock}, Qt::Horizontal);
}

void MainWindow::fitDeviceColumns()
{
    QHeaderView *header = ui->treeView->header();
    const QAbstractItemView *rows = ui->treeView;
    // A device filter hides rows for a while: the columns keep their width.
    const bool filtered = !ui->leFilter->text().isEmpty();
    // The last, the status, takes the rest of the width.
    for (int section = 0; section < std::min(header->count(), 7); ++section) {
        if (header->isSectionHidden(section))
            continue;
        const int wanted = std::max(rows->sizeHintForColumn(section), header->sectionSizeHint(section));
        if (wanted > header->sectionSize(section) || (!filtered && wanted != header->sectionSize(section)))
            header->resizeSection(section, wanted);
    }
}

bool MainWindow::radioDevicesLinked() const
{
    const int kind = deviceModel->connectionKind();
    return kind != File && kind != Simulation;
}

void MainWindow::removeWritePanel()
{
    if (QLayoutItem *previous = ui->vLayPropHandlers->itemAt(1)) {
        if (QWidget *panel = previous->widget()) {
            panel->hide();
            ui->vLayPropHandlers->removeWidget(panel);
        }
    }
}

void MainWindow::clearPropertyWindow()
{
    if (currentItem)
        disconnectPropertyUpdates(currentItem);
    currentItem = nullptr;
    propertyBrowser->clear();
    removeWritePanel();
}

void MainWindow::followCurrentIndex()
{
    // The property window shows the view's current device, selected, or nothing.
    QAbstractItemView *view = currentItemView();
    const QModelIndex current = view->currentIndex();
    DeviceItem *item = current.isValid() && view->selectionModel()->isSelected(current)
                           ? DeviceTableModel::itemAt(current)
                           : nullptr;
    if (item != currentItem)
        itemViewCurrentItemChanged(item ? current : QModelIndex(), QModelIndex());
}

void MainWindow::unlockMainwindow(bool state)
{
    ui->centralWidget->setEnabled(state);
    ui->menuBar->setEnabled(state);
    ui->toolBar->setEnabled(state);
    propertyBrowser->setEnabled(state);
    for (QDockWidget *dock : {static_cast<QDockWidget *>(updateDock), static_cast<QDockWidget *>(rssiTestDock),
                              static_cast<QDockWidget *>(statisticsDock)})
        if (dock && dock->widget())
            dock->widget()->setEnabled(state);
}

