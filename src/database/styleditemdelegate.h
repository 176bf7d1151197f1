#pragma once

#include <QStyledItemDelegate>

// Paints the rows of the measurement trees by the row kind kept under
// RowKindRole: 0 icon and text, 1 and 2 check box, icon and text, 3 check
// box and text. A QColor decoration is drawn as a filled square.
class StyledItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    static constexpr int RowKindRole = Qt::UserRole + 10;
    static constexpr int IconLeft = 18;

    explicit StyledItemDelegate(QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // Where the text of a row of that kind starts, from the cell's left edge.
    static int textLeft(int kind);
};
