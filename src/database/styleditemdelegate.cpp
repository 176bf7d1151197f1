#include "styleditemdelegate.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>

StyledItemDelegate::StyledItemDelegate(QObject *parent) : QStyledItemDelegate(parent) {}

int StyledItemDelegate::textLeft(int kind)
{
    switch (kind) {
    case 1:
    case 2:
        return 40;
    case 3:
        return 18;
    default:
        return 3;
    }
}

void StyledItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    const bool selected = opt.state & QStyle::State_Selected;
    const bool hovered = opt.state & QStyle::State_MouseOver;
    QColor background(Qt::transparent);
    if (hovered)
        background = selected ? QColor(120, 190, 230) : QColor(231, 231, 231);
    else if (selected)
        background = QColor(148, 200, 234);
    opt.backgroundBrush = QBrush(background);
    if (selected)
        opt.palette.setColor(QPalette::Highlight, background);

    QStyle *style = opt.widget ? opt.widget->style() : QApplication::style();
    // The panel alone: check box, icon and text are drawn below.
    QStyleOptionViewItem panel(opt);
    panel.text.clear();
    panel.icon = QIcon();
    panel.features &= ~(QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDecoration
                        | QStyleOptionViewItem::HasDisplay);
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &panel, painter, opt.widget);
    if (selected || hovered)
        painter->fillRect(opt.rect, background);

    const int kind = index.data(RowKindRole).toInt();
    const QRect cell = opt.rect;
    if (kind > 0) {
        QStyleOptionButton box;
        box.state = QStyle::State_Enabled;
        switch (index.data(Qt::CheckStateRole).toInt()) {
        case Qt::Checked:
            box.state |= QStyle::State_On;
            break;
        case Qt::PartiallyChecked:
            box.state |= QStyle::State_NoChange;
            break;
        default:
            box.state |= QStyle::State_Off;
            break;
        }
        const int side = qMin(16, cell.height());
        box.rect = QRect(cell.left(), cell.top() + (cell.height() - side) / 2, side, side);
        style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, painter, opt.widget);
    }
    if (kind != 3) {
        const QRect icon(cell.left() + IconLeft, cell.top() + (cell.height() - 16) / 2, 16, 16);
        const QVariant decoration = index.data(Qt::DecorationRole);
        if (decoration.userType() == QMetaType::QColor)
            painter->fillRect(icon, decoration.value<QColor>());
        else if (!opt.icon.isNull())
            painter->drawPixmap(icon, opt.icon.pixmap(16, 16));
    }
    const QRect text = cell.adjusted(textLeft(kind), 0, 0, 0);
    painter->save();
    painter->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    const QVariant foreground = index.data(Qt::ForegroundRole);
    if (foreground.canConvert<QBrush>() && foreground.isValid())
        painter->setPen(foreground.value<QBrush>().color());
    painter->setFont(opt.font);
    painter->drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
                      opt.fontMetrics.elidedText(opt.text, opt.textElideMode, text.width()));
    painter->restore();
}
