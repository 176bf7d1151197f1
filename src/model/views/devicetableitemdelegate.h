#pragma once

#include <QFont>
#include <QHash>
#include <QStyledItemDelegate>

// Marks a selected cell over its own colours: a light tint and a line above
// and below, so a row keeps its alarm or fault colour when selected.
void paintSelectionMark(QPainter *painter, const QRect &rect);

// A styled item delegate that measures each kind of cell once: the size
// hint of QStyledItemDelegate, remembered by all that decides it (the text,
// font, icon size and features of the style option the delegate makes of
// the cell, and the style). The views ask for the size of every cell of a
// column again and again, and most cells of a column read alike.
class MeasuredItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    struct SizeKey
    {
        QString text;
        QFont font;
        QSize decorationSize;
        QSize rectSize;
        int features = 0;
        int decorationPosition = 0;
        int displayAlignment = 0;
        int state = 0;
        int viewItemPosition = 0;
        int checkState = 0;
        int direction = 0;
        const QStyle *style = nullptr;
        const QWidget *widget = nullptr;
        bool operator==(const SizeKey &other) const;
    };

private:
    mutable QHash<SizeKey, QSize> m_sizes;
};

uint qHash(const MeasuredItemDelegate::SizeKey &key, uint salt = 0);

// The delegate of the table and tree views: rows keep the device's state
// colour when selected (a light tint marks the selection instead) and get
// a little more height than the text needs.
class DeviceTableItemDelegate : public MeasuredItemDelegate
{
    Q_OBJECT
public:
    using MeasuredItemDelegate::MeasuredItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void destroyEditor(QWidget *editor, const QModelIndex &index) const override;
};

// The status column's delegate: its editor is filled once, when it is
// made, so later updates of the row do not overwrite what the user types.
class DeviceStatusDelegate : public DeviceTableItemDelegate
{
    Q_OBJECT
public:
    using DeviceTableItemDelegate::DeviceTableItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;

private:
    mutable bool m_editorCreated = false;
};
