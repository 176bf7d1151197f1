#include "nearbyexpanderview.h"

#include "nearbyhubromodel.h"

#include <QAction>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTreeView>

NearbyExpanderView::NearbyExpanderView(const Widgets &widgets, NearbyHubroModel *nearbyModel, QObject *parent)
    : QObject(parent), m_widgets(widgets), m_nearbyModel(nearbyModel)
{
}

namespace {
// A view keeps the selection model of its old model alive: it goes here.
void replaceModel(QTreeView *tree, QAbstractItemModel *model)
{
    QItemSelectionModel *old = tree->selectionModel();
    tree->setModel(model);
    if (old && old != tree->selectionModel())
        old->deleteLater();
}
} // namespace

void NearbyExpanderView::setControlsEnabled(bool enabled)
{
    m_widgets.filter->setEnabled(enabled);
    m_widgets.sorting->setEnabled(enabled);
    m_widgets.viewMode->setEnabled(enabled);
}

void NearbyExpanderView::enter()
{
    // A second start keeps the mode chosen before the first.
    if (!m_active)
        m_savedViewMode = m_widgets.viewMode->currentIndex();
    m_active = true;
    setControlsEnabled(false);
    m_widgets.viewMode->setCurrentIndex(1);
    m_nearbyModel->clear();
    replaceModel(m_widgets.tree, m_nearbyModel);
    m_widgets.detect->setChecked(true);
    m_widgets.tree->setColumnHidden(ShownColumn, false);
}

void NearbyExpanderView::leave(QAbstractItemModel *deviceModel)
{
    setControlsEnabled(true);
    replaceModel(m_widgets.tree, deviceModel);
    m_widgets.detect->setChecked(false);
    m_widgets.viewMode->setCurrentIndex(m_savedViewMode);
    m_active = false;
}
