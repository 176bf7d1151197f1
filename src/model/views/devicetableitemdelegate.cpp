#include "devicetableitemdelegate.h"

#include "devicetablemodel.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPaintEngine>
#include <QStyle>

#include <cmath>
#include <memory>

namespace {
// Past this many kinds of cells the remembered sizes start anew.
constexpr int MostSizesKept = 4096;

bool keepPictures = true;
} // namespace

bool MeasuredItemDelegate::picturesKept()
{
    return keepPictures;
}

void MeasuredItemDelegate::setPicturesKept(bool kept)
{
    keepPictures = kept;
}

bool MeasuredItemDelegate::PictureKey::operator==(const PictureKey &other) const
{
    return text == other.text && icon == other.icon && checkState == other.checkState
           && decorationAlignment == other.decorationAlignment && textElideMode == other.textElideMode
           && under == other.under && hints == other.hints && format == other.format && option == other.option
           && background == other.background && font == other.font && palette == other.palette;
}

uint qHash(const MeasuredItemDelegate::PictureKey &key, uint salt)
{
    return qHash(key.text, salt) ^ (uint(key.option.rectSize.width()) << 16) ^ uint(key.option.rectSize.height())
           ^ (uint(key.option.state) << 4) ^ uint(key.icon) ^ key.under;
}

void MeasuredItemDelegate::paintCell(QPainter *painter, const QStyleOptionViewItem &option,
                                     const QModelIndex &index) const
{
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    // What lies under the cell: the viewport's own background, nothing the
    // row puts there (a selected or alternate row paints its panel first).
    const auto *area = qobject_cast<const QAbstractScrollArea *>(widget);
    const QWidget *viewport = area ? area->viewport() : nullptr;
    const QBrush under = viewport ? viewport->palette().brush(viewport->backgroundRole()) : QBrush();
    QPaintEngine *engine = painter->paintEngine();
    QPaintDevice *device = engine ? engine->paintDevice() : nullptr;
    auto *target = device && device->devType() == QInternal::Image ? static_cast<QImage *>(device) : nullptr;
    const QTransform transform = painter->deviceTransform();
    const bool keep = keepPictures && target && engine->type() == QPaintEngine::Raster && !opt.rect.isEmpty()
                      && target->devicePixelRatio() == 1.0 && viewport && viewport->autoFillBackground()
                      && under.style() == Qt::SolidPattern && under.color().alpha() == 255
                      && !(opt.state & QStyle::State_Selected) && !(opt.features & QStyleOptionViewItem::Alternate)
                      && (opt.backgroundBrush.style() == Qt::NoBrush
                          || opt.backgroundBrush.style() == Qt::SolidPattern)
                      && transform.type() <= QTransform::TxTranslate && transform.dx() == std::floor(transform.dx())
                      && transform.dy() == std::floor(transform.dy()) && painter->opacity() == 1.0
                      && painter->compositionMode() == QPainter::CompositionMode_SourceOver;
    if (!keep) {
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        return;
    }
    const PictureKey key{opt.text,
                         opt.font,
                         opt.icon.cacheKey(),
                         int(opt.checkState),
                         int(opt.decorationAlignment),
                         int(opt.textElideMode),
                         under.color().rgba(),
                         int(painter->renderHints()),
                         opt.backgroundBrush,
                         opt.palette,
                         int(target->format()),
                         OptionKey(opt)};
    const QImage *picture = m_pictures.object(key);
    if (!picture) {
        auto made = std::make_unique<QImage>(opt.rect.size(), target->format());
        made->fill(under.color());
        QPainter p(made.get());
        p.setRenderHints(painter->renderHints());
        p.translate(-opt.rect.topLeft());
        style->drawControl(QStyle::CE_ItemViewItem, &opt, &p, widget);
        p.end();
        picture = made.get();
        if (!m_pictures.insert(key, made.release(), int(picture->sizeInBytes()))) {
            // Larger than the whole store: drawn straight.
            style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
            return;
        }
    }
    painter->drawImage(opt.rect.topLeft(), *picture);
}

MeasuredItemDelegate::OptionKey::OptionKey(const QStyleOptionViewItem &option)
    : decorationSize(option.decorationSize)
    , rectSize(option.rect.size())
    , features(int(option.features))
    , decorationPosition(int(option.decorationPosition))
    , displayAlignment(int(option.displayAlignment))
    , state(int(option.state))
    , viewItemPosition(int(option.viewItemPosition))
    , direction(int(option.direction))
    , style(option.widget ? option.widget->style() : QApplication::style())
    , widget(option.widget)
{
}

bool MeasuredItemDelegate::OptionKey::operator==(const OptionKey &other) const
{
    return decorationSize == other.decorationSize && rectSize == other.rectSize && features == other.features
           && decorationPosition == other.decorationPosition && displayAlignment == other.displayAlignment
           && state == other.state && viewItemPosition == other.viewItemPosition && direction == other.direction
           && style == other.style && widget == other.widget;
}

bool MeasuredItemDelegate::SizeKey::operator==(const SizeKey &other) const
{
    return text == other.text && checkState == other.checkState && option == other.option && font == other.font;
}

uint qHash(const MeasuredItemDelegate::SizeKey &key, uint salt)
{
    return qHash(key.text, salt) ^ uint(key.option.features) ^ (uint(key.option.decorationSize.width()) << 8)
           ^ (uint(key.option.rectSize.width()) << 16) ^ (uint(key.option.state) << 4);
}

bool MeasuredItemDelegate::CellKey::operator==(const CellKey &other) const
{
    return text == other.text && textType == other.textType && decoration == other.decoration
           && decorationType == other.decorationType && alignment == other.alignment
           && checkState == other.checkState && option == other.option && font == other.font
           && locale == other.locale;
}

uint qHash(const MeasuredItemDelegate::CellKey &key, uint salt)
{
    return qHash(key.text, salt) ^ uint(key.textType) ^ (uint(key.decoration) << 3) ^ (uint(key.alignment) << 9)
           ^ (uint(key.option.rectSize.width()) << 16) ^ (uint(key.option.state) << 4);
}

bool MeasuredItemDelegate::cellKey(const QStyleOptionViewItem &option, const QModelIndex &index, CellKey *key,
                                   QVariant *display, QVariant *decoration)
{
    // The roles QStyledItemDelegate::initStyleOption() reads that bear on the
    // size; colours and brushes do not.
    *display = index.data(Qt::DisplayRole);
    if (display->isValid() && !display->isNull()) {
        key->textType = display->userType();
        switch (key->textType) {
        case QMetaType::QString:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
            key->text = display->toString();
            break;
        default:
            return false;
        }
    }
    *decoration = index.data(Qt::DecorationRole);
    if (decoration->isValid() && !decoration->isNull()) {
        key->decorationType = decoration->userType();
        switch (key->decorationType) {
        case QMetaType::QIcon:
            key->decoration = qvariant_cast<QIcon>(*decoration).cacheKey();
            break;
        case QMetaType::QPixmap:
            key->decoration = qvariant_cast<QPixmap>(*decoration).cacheKey();
            break;
        case QMetaType::QImage:
            key->decoration = qvariant_cast<QImage>(*decoration).cacheKey();
            break;
        default:
            return false;
        }
    }
    const QVariant font = index.data(Qt::FontRole);
    key->font = font.isValid() && !font.isNull() ? qvariant_cast<QFont>(font).resolve(option.font) : option.font;
    const QVariant alignment = index.data(Qt::TextAlignmentRole);
    if (alignment.isValid() && !alignment.isNull())
        key->alignment = alignment.toInt();
    const QVariant check = index.data(Qt::CheckStateRole);
    if (check.isValid() && !check.isNull())
        key->checkState = check.toInt();
    key->locale = option.locale;
    return true;
}

QSize MeasuredItemDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // As QStyledItemDelegate::sizeHint() measures.
    const QVariant given = index.data(Qt::SizeHintRole);
    if (given.isValid())
        return qvariant_cast<QSize>(given);
    CellKey cell{QString(), 0, QFont(), 0, 0, -1, -1, QLocale(), OptionKey(option)};
    QVariant display;
    QVariant decoration;
    if (!cellKey(option, index, &cell, &display, &decoration))
        return measure(option, index);
    const auto known = m_cells.constFind(cell);
    if (known != m_cells.cend())
        return known.value();
    const QSize size = measureCell(option, index, cell, display, decoration);
    if (m_cells.size() >= MostSizesKept)
        m_cells.clear();
    m_cells.insert(cell, size);
    return size;
}

QSize MeasuredItemDelegate::measureCell(const QStyleOptionViewItem &option, const QModelIndex &index,
                                        const CellKey &cell, const QVariant &display,
                                        const QVariant &decoration) const
{
    QStyleOptionViewItem opt(option);
    opt.index = index;
    if (!(cell.font == option.font)) {
        opt.font = cell.font;
        opt.fontMetrics = QFontMetrics(cell.font);
    }
    if (cell.alignment >= 0)
        opt.displayAlignment = Qt::Alignment(cell.alignment);
    if (cell.checkState >= 0) {
        opt.features |= QStyleOptionViewItem::HasCheckIndicator;
        opt.checkState = Qt::CheckState(cell.checkState);
    }
    switch (cell.decorationType) {
    case QMetaType::QIcon: {
        opt.features |= QStyleOptionViewItem::HasDecoration;
        opt.icon = qvariant_cast<QIcon>(decoration);
        const QIcon::Mode mode = !(opt.state & QStyle::State_Enabled) ? QIcon::Disabled
                                 : (opt.state & QStyle::State_Selected) ? QIcon::Selected
                                                                         : QIcon::Normal;
        const QIcon::State state = (opt.state & QStyle::State_Open) ? QIcon::On : QIcon::Off;
        // An icon may offer more than the view's decoration size: never more than that.
        opt.decorationSize = opt.decorationSize.boundedTo(opt.icon.actualSize(opt.decorationSize, mode, state));
        break;
    }
    case QMetaType::QPixmap: {
        const QPixmap pixmap = qvariant_cast<QPixmap>(decoration);
        opt.features |= QStyleOptionViewItem::HasDecoration;
        opt.icon = QIcon(pixmap);
        opt.decorationSize = pixmap.size() / pixmap.devicePixelRatio();
        break;
    }
    case QMetaType::QImage: {
        const QImage image = qvariant_cast<QImage>(decoration);
        opt.features |= QStyleOptionViewItem::HasDecoration;
        opt.icon = QIcon(QPixmap::fromImage(image));
        opt.decorationSize = image.size() / image.devicePixelRatio();
        break;
    }
    default:
        break;
    }
    if (cell.textType != 0) {
        opt.features |= QStyleOptionViewItem::HasDisplay;
        opt.text = displayText(display, opt.locale);
    }
    return cell.option.style->sizeFromContents(QStyle::CT_ItemViewItem, &opt, QSize(), option.widget);
}

QSize MeasuredItemDelegate::measure(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    const SizeKey key{opt.text, opt.font, int(opt.checkState), OptionKey(opt)};
    const auto known = m_sizes.constFind(key);
    if (known != m_sizes.cend())
        return known.value();
    const QSize size = key.option.style->sizeFromContents(QStyle::CT_ItemViewItem, &opt, QSize(), opt.widget);
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
    if (!(option.state & QStyle::State_Selected)) {
        paintCell(painter, option, index);
        return;
    }
    QStyleOptionViewItem plain(option);
    plain.state &= ~QStyle::State_Selected;
    QStyledItemDelegate::paint(painter, plain, index);
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
