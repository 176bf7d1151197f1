#pragma once

#include <QPen>
#include <QWidget>

class QComboBox;
class QCustomPlot;
class QPushButton;
class QSlider;

// The window "Graph editor": colour, line style, width and cap style of one
// graph's pen, with a preview. It knows nothing of the graph: Commit reports
// the edited pen once through penUpdated() and closes; Cancel or closing the
// window reports nothing. Application modal, deleted on close.
class QPenEditor : public QWidget
{
    Q_OBJECT
public:
    explicit QPenEditor(const QPen &pen, QWidget *parent = nullptr);
    ~QPenEditor() override;

    QPen pen() const { return m_pen; }

    // Cap-style list entries: 0 "Square", 1 "Flat", 2 "Round".
    static int capIndex(Qt::PenCapStyle cap);
    static Qt::PenCapStyle capOfIndex(int index);

signals:
    void penUpdated(const QPen &pen);

private:
    void applyPen();
    void selectColour();
    void commit();

    QPen m_pen;
    QPushButton *m_selectColor;
    QComboBox *m_style;
    QSlider *m_width;
    QComboBox *m_cap;
    QCustomPlot *m_plot;
    bool m_committed = false;
};
