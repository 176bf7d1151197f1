#include "devicetableitemdelegate.h"

#include "devicetablemodel.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace {
// Past this many kinds of cells the remembered sizes start anew.
constexpr int MostSizesKept = 4096;
} // namespace

bool MeasuredItemDelegate::SizeKey::operator==(const SizeKey &other) const
{
    return text == other.text && font == other.font && decorationSize == other.decorationSize
           && rectSize == other.rectSize && features == other.features
           && decorationPosition == other.decorationPosition && displayAlignment == other.displayAlignment
           && state == other.state && viewItemPosition == other.viewItemPosition && checkState == other.checkState
           && direction == other.direction && style == other.style && widget == other.widget;
}

uint qHash(const MeasuredItemDelegate::SizeKey &key, uint salt)
{
    return qHash(key.text, salt) ^ uint(key.features) ^ (uint(key.decorationSize.width()) << 8)
           ^ (uint(key.rectSize.width()) << 16) ^ (uint(key.state) << 4);
}

QSize MeasuredItemDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // As QStyledItemDelegate::sizeHint() measures.
    const QVariant given = index.data(Qt::SizeHintRole);
    if (given.isValid())
        return qvariant_cast<QSize>(given);
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    SizeKey key;
    key.text = opt.text;
    key.font = opt.font;
    key.decorationSize = opt.decorationSize;
    key.rectSize = opt.rect.size();
    key.features = int(opt.features);
    key.decorationPosition = int(opt.decorationPosition);
    key.displayAlignment = int(opt.displayAlignment);
    key.state = int(opt.state);
    key.viewItemPosition = int(opt.viewItemPosition);
    key.checkState = int(opt.checkState);
    key.direction = int(opt.direction);
    key.style = style;
    key.widget = widget;
    const auto known = m_sizes.constFind(key);
    if (known != m_sizes.cend())
        return known.value();
    const QSize size = style->sizeFromContents(QStyle::CT_ItemViewItem, &opt, QSize(), widget);
    if (m_sizes.size() >= MostSizesKept)
        m_sizes.clear();
    m_sizes.insert(key, size);
    return size;
}

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
    QSize size = MeasuredItemDelegate::sizeHint(option, index);
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
