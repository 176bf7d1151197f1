#pragma once

#include <QIcon>
#include <QImage>
#include <QObject>

class QWidget;

// The window's taskbar button: an overlay picture and a progress value.
// This platform's taskbar shows neither, so the indicator only keeps what it
// is given; the window drives it exactly as it would a real one.
class TaskbarIndicator : public QObject
{
    Q_OBJECT
public:
    explicit TaskbarIndicator(QObject *parent = nullptr);

    void setWindow(QWidget *window) { m_window = window; }
    QWidget *window() const { return m_window; }

    void setOverlayIcon(const QIcon &icon);
    void clearOverlayIcon() { setOverlayIcon(QIcon()); }
    QIcon overlayIcon() const;
    bool hasOverlay() const { return !m_overlay.isNull() || m_overlayCount >= 0; }
    // The count drawn on the overlay last; -1 when it shows none.
    int overlayCount() const { return m_overlayCount; }
    // Draws the count as the overlay. The picture is drawn when it is asked
    // for, so a count that changes with every arriving device costs nothing.
    void setOverlayCount(int count);

    void setProgressVisible(bool visible) { m_progressVisible = visible; }
    bool isProgressVisible() const { return m_progressVisible; }
    // Clamped to 0..100.
    void setProgressValue(int value);
    int progressValue() const { return m_progressValue; }

private:
    QWidget *m_window = nullptr;
    mutable QIcon m_overlay; // of the count, once drawn
    int m_overlayCount = -1;
    bool m_progressVisible = false;
    int m_progressValue = 0;
};

// The round 64 x 64 badge with a number in its middle: a disc with a light
// blue radial gradient and a black outline on a transparent background.
QImage taskbarBadgeImage(int count);
