#include "devicecard.h"

#include "appglobals.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

namespace DeviceCard {

QString addressSample()
{
    return QStringLiteral("№123, 123, 123, 123, 1");
}

QString widthSample()
{
    return QStringLiteral("(апп.: 00.00 прог.: 00.00)      ");
}

Texts splitDisplayText(const QString &display, int deviceType, bool wiredBusMaster)
{
    const int lineBreak = display.indexOf(QLatin1Char('\n'));
    if (lineBreak < 0)
        return {display, display};
    Texts texts{display.left(lineBreak), display.mid(lineBreak)};
    if (wiredBusMaster && hubro125DeviceTypes.contains(deviceType)) {
        QString rest = texts.body.mid(1);
        const int next = rest.indexOf(QLatin1Char('\n'));
        rest = next < 0 ? QString() : rest.mid(next);
        texts.body = QLatin1Char('\n') + QCoreApplication::translate("DeviceItemDelegate", "Zentar-TROMBEL") + rest;
    }
    return texts;
}

Layout layout(const QRect &rect, const QSize &decoration, const QFontMetrics &metrics)
{
    Layout l;
    l.card = rect;
    l.icon = QRect(rect.left() + 5, rect.top() + rect.height() / 2 - decoration.height() / 2, decoration.width(),
                   decoration.height());
    l.text = QRect(rect.left() + decoration.width() + 30, rect.top() + 13, rect.width() - 30 - decoration.width(),
                   rect.height());
    l.address = QRect(l.text.left(), rect.top() + 10, metrics.horizontalAdvance(addressSample()), metrics.height());
    l.arrow = QRect(l.address.left() + l.address.width() - metrics.height(), l.address.top(), metrics.height(),
                    metrics.height());
    l.signalBar = QRect(l.text.left() - 20, l.address.top(), 5, rect.height() - 40);
    l.readout = l.icon.adjusted(28, 32, -26, -45);
    return l;
}

QSize sizeHint(const QSize &decoration, const QFontMetrics &metrics)
{
    const int width = decoration.width() + metrics.horizontalAdvance(widthSample());
    const int height = qMax(int(4.5 * metrics.height()), decoration.height() + 20);
    return QSize(width, height);
}

bool showsSignalBar(int deviceType, int linkState)
{
    return !masterDeviceTypes.contains(deviceType) && linkState == 2;
}

int signalLevel(int rssi)
{
    const int level = rssi + 130;
    return level >= 100 ? 99 : qMax(level, 0);
}

int signalFillHeight(int barHeight, int rssi)
{
    return int(barHeight / 100.0 * signalLevel(rssi));
}

QRect signalFill(const QRect &bar, int rssi)
{
    const int h = signalFillHeight(bar.height(), rssi);
    return QRect(bar.left(), bar.bottom() - h, bar.width(), h + 1);
}

bool hasReadout(int deviceType)
{
    return deviceType == 10 || deviceType == 31;
}

QString readoutText(int linkState, const QVariant &tenths)
{
    if (linkState != 2)
        return QCoreApplication::translate("DeviceItemDelegate", "LOST");
    return QString::number(tenths.toDouble() / 10.0, 'g', 3);
}

QFont readoutFont()
{
    const QStringList families = QFontDatabase().families();
    QFont font;
    if (families.contains(QStringLiteral("digital display tfb"), Qt::CaseInsensitive))
        font.setFamily(QStringLiteral("digital display tfb"));
    else if (families.contains(QStringLiteral("DejaVu Sans Mono"), Qt::CaseInsensitive))
        font.setFamily(QStringLiteral("DejaVu Sans Mono"));
    else
        font.setStyleHint(QFont::Monospace);
    font.setPointSize(20);
    return font;
}

QList<FittedLine> fitLines(const QString &text, const QFont &font, const QRect &box)
{
    QList<FittedLine> lines;
    const int basePoints = font.pointSize() > 0 ? font.pointSize() : QFontInfo(font).pointSize();
    const int bandHeight = QFontMetrics(font).height();
    int top = box.top();
    const QStringList parts = text.split(QLatin1Char('\n'));
    for (const QString &part : parts) {
        if (top + bandHeight > box.top() + box.height())
            break;
        QFont sized(font);
        int points = basePoints;
        sized.setPointSize(points);
        while (QFontMetrics(sized).horizontalAdvance(part) + 4 > box.width() && points > 8) {
            --points;
            sized.setPointSize(points);
        }
        const QString elided = QFontMetrics(sized).elidedText(part, Qt::ElideRight, box.width());
        lines << FittedLine{elided, points, QRect(box.left(), top, box.width(), bandHeight)};
        top += bandHeight;
    }
    return lines;
}

void drawLines(QPainter *painter, const QString &text, const QRect &box)
{
    painter->save();
    const QFont base = painter->font();
    const auto lines = fitLines(text, base, box);
    for (const FittedLine &line : lines) {
        QFont sized(base);
        sized.setPointSize(line.pointSize);
        painter->setFont(sized);
        painter->drawText(line.band, Qt::AlignLeft | Qt::AlignVCenter, line.text);
    }
    painter->restore();
}

} // namespace DeviceCard
