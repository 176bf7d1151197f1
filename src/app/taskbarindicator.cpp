#include "taskbarindicator.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>
#include <QRadialGradient>

TaskbarIndicator::TaskbarIndicator(QObject *parent) : QObject(parent) {}

void TaskbarIndicator::setOverlayIcon(const QIcon &icon)
{
    m_overlay = icon;
    if (icon.isNull())
        m_overlayCount = -1;
}

void TaskbarIndicator::setOverlayCount(int count)
{
    m_overlay = QIcon();
    m_overlayCount = count;
}

QIcon TaskbarIndicator::overlayIcon() const
{
    if (m_overlay.isNull() && m_overlayCount >= 0)
        m_overlay = QIcon(QPixmap::fromImage(taskbarBadgeImage(m_overlayCount)));
    return m_overlay;
}

void TaskbarIndicator::setProgressValue(int value)
{
    m_progressValue = qBound(0, value, 100);
}

QImage taskbarBadgeImage(int count)
{
    QImage image(64, 64, QImage::Format_ARGB32);
    image.fill(Qt::transparent);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::black);

    QRadialGradient gradient(33, 33, 30);
    gradient.setColorAt(0, QColor(200, 200, 255));
    gradient.setColorAt(0.75, QColor(200, 200, 255));
    gradient.setColorAt(0.87, Qt::white);
    gradient.setColorAt(1.0, Qt::darkGray);
    painter.setBrush(gradient);
    painter.drawEllipse(2, 2, 62, 62);

    const QString text = QString::number(count);
    const QFont font(QStringLiteral("Arial"), 20);
    painter.setFont(font);
    const int width = QFontMetrics(font).horizontalAdvance(text);
    painter.drawText(QRect(33 - width / 2, 0, width, 64), Qt::AlignCenter, text);
    painter.end();
    return image;
}
