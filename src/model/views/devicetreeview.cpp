#include "devicetreeview.h"

#include <QEvent>
#include <QHeaderView>

namespace {
int s_fitPeriodMs = 250;
}

DeviceTreeView::DeviceTreeView(QWidget *parent) : QTreeView(parent)
{
    m_clock.start();
    m_refitTimer.setSingleShot(true);
    connect(&m_refitTimer, &QTimer::timeout, this, &DeviceTreeView::refit);
}

int DeviceTreeView::fitPeriod()
{
    return s_fitPeriodMs;
}

void DeviceTreeView::setFitPeriod(int ms)
{
    s_fitPeriodMs = qMax(0, ms);
}

void DeviceTreeView::setModel(QAbstractItemModel *model)
{
    // Widths of another model's columns serve nothing.
    m_fits.clear();
    QTreeView::setModel(model);
}

int DeviceTreeView::sizeHintForColumn(int column) const
{
    const qint64 now = m_clock.elapsed();
    const auto it = m_fits.constFind(column);
    if (it != m_fits.cend() && now - it->measuredMs < s_fitPeriodMs) {
        if (!m_refitTimer.isActive())
            m_refitTimer.start(int(s_fitPeriodMs - (now - it->measuredMs)));
        return it->width;
    }
    const int width = QTreeView::sizeHintForColumn(column);
    m_fits.insert(column, Fit{width, now});
    return width;
}

void DeviceTreeView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        m_fits.clear();
    QTreeView::changeEvent(event);
}

void DeviceTreeView::refit()
{
    m_fits.clear();
    // A protected slot of the header: sizes every section by its mode.
    QMetaObject::invokeMethod(header(), "resizeSections");
}
