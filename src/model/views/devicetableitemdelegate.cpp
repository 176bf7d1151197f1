#include "devicetableitemdelegate.h"

#include "devicetablemodel.h"

#include <QPainter>

void paintSelectionMark(QPainter *painter, const QRect &rect)
{
    painter->save();
    painter->fillRect(rect, QColor(160, 160, 255, 32));
    painter->setPen(QColor(70, 90, 200));
    painter->drawLine(rect.topLeft(), rect.topRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    painter->restore();
}

void DeviceTableItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                    const QModelIndex &index) const
{
    QStyleOptionViewItem plain(option);
    plain.state &= ~QStyle::State_Selected;
    QStyledItemDelegate::paint(painter, plain, index);
    if (option.state & QStyle::State_Selected)
        paintSelectionMark(painter, option.rect);
}

QSize DeviceTableItemDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.rheight() += 6;
    return size;
}

void DeviceTableItemDelegate::destroyEditor(QWidget *editor, const QModelIndex &index) const
{
    QStyledItemDelegate::destroyEditor(editor, index);
    DeviceTableModel::finishEditLater(index);
}

QWidget *DeviceStatusDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                            const QModelIndex &index) const
{
    m_editorCreated = true;
    return DeviceTableItemDelegate::createEditor(parent, option, index);
}

void DeviceStatusDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (!m_editorCreated)
        return;
    m_editorCreated = false;
    DeviceTableItemDelegate::setEditorData(editor, index);
}
