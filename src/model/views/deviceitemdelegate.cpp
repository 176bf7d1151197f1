#include "deviceitemdelegate.h"

#include "devicecard.h"
#include "deviceitem.h"
#include "resourcecache.h"

#include <QAbstractItemView>
#include <QFile>
#include <QIcon>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {
const char RssiIconPath[] = ":/icons/images/icons/png/rssi.png";
}

DeviceItemDelegate::DeviceItemDelegate(DeviceSource *source, QObject *parent)
    : AddressDelegate(source, parent)
{
}

void DeviceItemDelegate::paintSignalIcon(QPainter *painter, const QPoint &topLeft) const
{
    if (QFile::exists(QLatin1String(RssiIconPath))) {
        painter->drawPixmap(topLeft, ResourceCache::icon(QLatin1String(RssiIconPath)).pixmap(16, 16));
        return;
    }
    // Without the picture: four rising bars in the same 16 x 16 square.
    painter->save();
    painter->setPen(Qt::NoPen);
    painter->setBrush(QColor(60, 60, 60));
    for (int i = 0; i < 4; ++i) {
        const int h = 4 + 4 * i;
        painter->drawRect(QRect(topLeft.x() + 1 + 4 * i, topLeft.y() + 16 - h, 3, h));
    }
    painter->restore();
}

void DeviceItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QRect r = option.rect;
    const QSize d = option.decorationSize;
    const QFontMetrics f(option.font);
    const DeviceCard::Layout box = DeviceCard::layout(r, d, f);
    const int type = index.data(DeviceRole::DeviceType).toInt();
    const int linkState = index.data(DeviceRole::LinkState).toInt();
    const DeviceCard::Texts texts =
        DeviceCard::splitDisplayText(index.data(Qt::DisplayRole).toString(), type, source().wiredBus());

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setFont(option.font);

    // The card.
    const QVariant background = index.data(Qt::BackgroundRole);
    const QColor cardColour = background.canConvert<QColor>() && background.value<QColor>().isValid()
                                  ? background.value<QColor>()
                                  : QColor(100, 255, 100, 64);
    QLinearGradient cardGradient(r.topLeft(), r.bottomLeft());
    cardGradient.setColorAt(0, Qt::white);
    cardGradient.setColorAt(0.5, cardColour);
    cardGradient.setColorAt(1, cardColour);
    painter->setPen(QPen(Qt::lightGray, 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter->setBrush(cardGradient);
    painter->drawRoundedRect(r, 5, 5);

    // The body lines.
    painter->setPen(QPen(Qt::black, 1));
    painter->setBrush(Qt::NoBrush);
    DeviceCard::drawLines(painter, texts.body, box.text);

    // The picture.
    const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
    if (!icon.isNull())
        painter->drawPixmap(box.icon.topLeft(), icon.pixmap(d, QIcon::Normal, QIcon::On));

    // The address box with its drop-down arrow.
    painter->setPen(QPen(Qt::black, 1));
    painter->setBrush(QColor(255, 255, 255, 200));
    painter->drawRect(box.address);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(box.arrow);
    const QRect a = box.arrow;
    QPainterPath arrow;
    arrow.moveTo(a.left() + 5, a.top() + 8);
    arrow.lineTo(a.right() - 4, a.top() + 8);
    arrow.lineTo(a.left() + a.width() / 2 + 1, a.bottom() - 5);
    arrow.lineTo(a.left() + 5, a.top() + 7);
    painter->fillPath(arrow, Qt::black);
    painter->drawText(box.address.adjusted(3, 0, -box.arrow.width(), 0), Qt::AlignLeft | Qt::AlignVCenter,
                      texts.address);

    // Selection.
    if (option.state & QStyle::State_Selected) {
        painter->fillRect(r, QColor(205, 205, 255, 32));
        painter->setPen(QPen(Qt::black, 1.5));
        painter->setBrush(Qt::NoBrush);
        painter->drawRoundedRect(r.adjusted(1, 1, -1, -1), 5, 5);
    }

    // Signal bar.
    if (DeviceCard::showsSignalBar(type, linkState)) {
        const QRect bar = box.signalBar;
        const int rssi = index.data(DeviceRole::Rssi).toInt();
        QLinearGradient barGradient(bar.topLeft(), bar.bottomRight());
        barGradient.setColorAt(0, Qt::green);
        barGradient.setColorAt(0.2, Qt::green);
        barGradient.setColorAt(0.5, Qt::green);
        barGradient.setColorAt(0.65, Qt::yellow);
        barGradient.setColorAt(0.75, Qt::yellow);
        barGradient.setColorAt(1, Qt::red);
        painter->fillRect(DeviceCard::signalFill(bar, rssi), barGradient);
        painter->setPen(QPen(Qt::black, 1));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(bar);
        paintSignalIcon(painter, QPoint(bar.left() + bar.width() / 2 - 7, bar.bottom() + 5));
    }

    // Readout of a measured value.
    if (DeviceCard::hasReadout(type)) {
        painter->setFont(DeviceCard::readoutFont());
        painter->setPen(Qt::black);
        painter->drawText(box.readout, Qt::AlignRight | Qt::AlignVCenter,
                          DeviceCard::readoutText(linkState, index.data(DeviceRole::ClassValue)));
    }
    painter->restore();
}

QSize DeviceItemDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    return DeviceCard::sizeHint(option.decorationSize, QFontMetrics(option.font));
}

QWidget *DeviceItemDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                          const QModelIndex &index) const
{
    QWidget *editor = AddressDelegate::createEditor(parent, option, index);
    editor->move(128, 3);
    editor->setStyleSheet(QStringLiteral(
        "QComboBox{background-color:white;border:2px solid black;border-radius: 5px;padding:1px;}"));
    return editor;
}

void DeviceItemDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                              const QModelIndex &) const
{
    editor->setGeometry(DeviceCard::layout(option.rect, option.decorationSize, QFontMetrics(option.font)).address);
}

bool DeviceItemDelegate::editorEvent(QEvent *event, QAbstractItemModel *, const QStyleOptionViewItem &option,
                                     const QModelIndex &index)
{
    if (event->type() != QEvent::MouseButtonRelease)
        return false;
    const auto *mouse = static_cast<QMouseEvent *>(event);
    const QRect address =
        DeviceCard::layout(option.rect, option.decorationSize, QFontMetrics(option.font)).address;
    if (!address.contains(mouse->pos()))
        return false;
    auto *view = qobject_cast<QAbstractItemView *>(const_cast<QWidget *>(option.widget));
    if (!view)
        return false;
    view->edit(index);
    return true;
}
