#pragma once

#include <QGroupBox>
#include <QPixmap>
#include <QStyleOptionGroupBox>

class QStyle;

// A group box that keeps the picture of its frame. A child that is not
// opaque (rounded corners, a transparent label) makes its parent paint under
// it on every repaint of its own, and the style's group box costs the frame's
// image loaded again, the title laid out again and the geometry computed
// again. Here a repaint inside the frame and below the title is one blit of
// a picture drawn by the style, drawn anew when anything that can change the
// look does (size, state, title, palette, font, style, pixel ratio). Other
// repaints, all of a box styled by a style sheet and all at a fractional
// pixel ratio are the style's own work, as in QGroupBox.
class CachedGroupBox : public QGroupBox
{
public:
    explicit CachedGroupBox(QWidget *parent = nullptr);
    explicit CachedGroupBox(const QString &title, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    bool sameLook(const QStyleOptionGroupBox &option, qreal ratio) const;
    QRect insideRect(const QStyleOptionGroupBox &option) const;
    void drawPicture(const QStyleOptionGroupBox &option, qreal ratio);

    // What the picture and the inside were made for.
    bool m_known = false;
    QStyleOptionGroupBox m_option;
    QFont m_font;
    const QStyle *m_style = nullptr;
    qreal m_ratio = 0;

    // Where repaints are blits of the picture, and the picture of it: inside
    // the frame, below the title.
    QRect m_inside;
    QPixmap m_picture;
};
