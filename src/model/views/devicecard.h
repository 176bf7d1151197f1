#pragma once

#include <QFont>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVariant>

class QFontMetrics;
class QPainter;

// Geometry and texts of the device cards of the tile view, as plain
// functions of the cell rectangle, the decoration size and the font.
namespace DeviceCard {

// Width samples: the address box and the card's text width.
QString addressSample();
QString widthSample();

struct Texts
{
    QString address; // line 1 of the display text
    QString body;    // the rest, from the first line break on
};
// Cuts the display text; for an expander of a wired-bus master the model
// name line of the body shows "Zentar-TROMBEL" instead.
Texts splitDisplayText(const QString &display, int deviceType, bool wiredBusMaster);

struct Layout
{
    QRect card;
    QRect icon;
    QRect text;
    QRect address;
    QRect arrow;
    QRect signalBar;
    QRect readout;
};
Layout layout(const QRect &rect, const QSize &decoration, const QFontMetrics &metrics);
QSize sizeHint(const QSize &decoration, const QFontMetrics &metrics);

// The signal bar is drawn for online radio devices (not for masters).
bool showsSignalBar(int deviceType, int linkState);
// Signal level 0..99 of an RSSI in dBm.
int signalLevel(int rssi);
// Height of the filled part of a bar (the drawn part is one pixel more).
int signalFillHeight(int barHeight, int rssi);
QRect signalFill(const QRect &bar, int rssi);

// Devices with a measured value shown in the icon box.
bool hasReadout(int deviceType);
QString readoutText(int linkState, const QVariant &tenths);
// The readout's font: the display font when it is installed, else a
// monospaced one of the system.
QFont readoutFont();

struct FittedLine
{
    QString text; // elided to the box width
    int pointSize;
    QRect band;
};
// The body lines as they are drawn into the box: each shrunk by whole
// points while too wide (never below 8 points), then elided; bands of the
// unshrunk font's height from the top while they fit in the box.
QList<FittedLine> fitLines(const QString &text, const QFont &font, const QRect &box);
void drawLines(QPainter *painter, const QString &text, const QRect &box);

} // namespace DeviceCard
