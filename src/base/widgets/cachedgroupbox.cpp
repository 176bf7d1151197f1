#include "cachedgroupbox.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>

#include <algorithm>
#include <cmath>

CachedGroupBox::CachedGroupBox(QWidget *parent) : QGroupBox(parent) {}

CachedGroupBox::CachedGroupBox(const QString &title, QWidget *parent) : QGroupBox(title, parent) {}

bool CachedGroupBox::sameLook(const QStyleOptionGroupBox &option, qreal ratio) const
{
    const QStyleOptionGroupBox &old = m_option;
    return m_known && m_style == style() && m_ratio == ratio && old.rect == option.rect && old.state == option.state
           && old.direction == option.direction && old.subControls == option.subControls
           && old.activeSubControls == option.activeSubControls && old.text == option.text
           && old.textAlignment == option.textAlignment && old.textColor == option.textColor
           && old.features == option.features && old.lineWidth == option.lineWidth
           && old.midLineWidth == option.midLineWidth
           && (old.palette.isCopyOf(option.palette) || old.palette == option.palette)
           && (m_font.isCopyOf(font()) || m_font == font())
           && old.fontMetrics.fontDpi() == option.fontMetrics.fontDpi();
}

QRect CachedGroupBox::insideRect(const QStyleOptionGroupBox &option) const
{
    // A style sheet's rounded borders reach into the contents.
    if (testAttribute(Qt::WA_StyleSheet))
        return QRect();
    QRect title;
    for (const QStyle::SubControl part : {QStyle::SC_GroupBoxLabel, QStyle::SC_GroupBoxCheckBox}) {
        const QRect rect = style()->subControlRect(QStyle::CC_GroupBox, &option, part, this);
        if (!rect.isEmpty())
            title |= rect;
    }
    QRect inside = style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxContents, this);
    // Clear of the focus frame around the title and of glyphs that reach out of their box.
    if (!title.isEmpty())
        inside.setTop(std::max(inside.top(), title.bottom() + 1 + option.fontMetrics.height() / 2 + 2));
    return inside;
}

void CachedGroupBox::drawPicture(const QStyleOptionGroupBox &option, qreal ratio)
{
    m_picture = QPixmap(m_inside.size() * ratio);
    m_picture.setDevicePixelRatio(ratio);
    m_picture.fill(Qt::transparent);
    QPainter painter(&m_picture);
    painter.translate(-m_inside.topLeft());
    painter.setPen(QPen(palette().brush(foregroundRole()), 1));
    painter.setFont(font());
    style()->drawComplexControl(QStyle::CC_GroupBox, &option, &painter, this);
}

void CachedGroupBox::paintEvent(QPaintEvent *event)
{
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    const qreal ratio = devicePixelRatioF();
    if (!sameLook(option, ratio)) {
        m_known = true;
        m_option = option;
        m_font = font();
        m_style = style();
        m_ratio = ratio;
        // A picture scaled by a fractional ratio lands between the pixels.
        m_inside = ratio == std::floor(ratio) ? insideRect(option) : QRect();
        m_picture = QPixmap();
    }
    // Only what lies inside the frame comes from the picture: edges smoothed
    // into a picture and then blended onto the window may come out a shade
    // off, and text may be smoothed otherwise than on the window.
    if (!m_inside.contains(event->rect())) {
        QGroupBox::paintEvent(event);
        return;
    }
    if (m_picture.isNull())
        drawPicture(option, ratio);
    QPainter(this).drawPixmap(m_inside.topLeft(), m_picture);
}

void CachedGroupBox::changeEvent(QEvent *event)
{
    // A new style may take the place of the old one at its address.
    if (event->type() == QEvent::StyleChange)
        m_known = false;
    QGroupBox::changeEvent(event);
}
