#pragma once

#include <QBrush>
#include <QCache>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QLocale>
#include <QPalette>
#include <QStyledItemDelegate>

// Marks a selected cell over its own colours: a light tint and a line above
// and below, so a row keeps its alarm or fault colour when selected.
void paintSelectionMark(QPainter *painter, const QRect &rect);

// A styled item delegate that measures each kind of cell once: the size
// hint of QStyledItemDelegate, remembered by all that decides it (the text,
// font, icon size and features of the style option the delegate makes of
// the cell, and the style). The views ask for the size of every cell of a
// column again and again, and most cells of a column read alike. A cell met
// before is known by the few model values that decide its size, read
// straight from the model, without making its whole style option.
class MeasuredItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // What a size depends on in the style option the view gives or the delegate makes.
    struct OptionKey
    {
        QSize decorationSize;
        QSize rectSize;
        int features = 0;
        int decorationPosition = 0;
        int displayAlignment = 0;
        int state = 0;
        int viewItemPosition = 0;
        int direction = 0;
        const QStyle *style = nullptr;
        const QWidget *widget = nullptr;
        explicit OptionKey(const QStyleOptionViewItem &option);
        bool operator==(const OptionKey &other) const;
    };

    struct SizeKey
    {
        QString text;
        QFont font;
        int checkState = 0;
        OptionKey option;
        bool operator==(const SizeKey &other) const;
    };

    // The model values of a cell that decide its size, beside the view's option.
    struct CellKey
    {
        QString text;
        int textType = 0;
        QFont font;
        qint64 decoration = 0;
        int decorationType = 0;
        int alignment = -1;
        int checkState = -1;
        QLocale locale;
        OptionKey option;
        bool operator==(const CellKey &other) const;
    };

    // What a kept picture of a cell was drawn from.
    struct PictureKey
    {
        QString text;
        QFont font;
        qint64 icon = 0;
        int checkState = 0;
        int decorationAlignment = 0;
        int textElideMode = 0;
        QRgb under = 0;
        int hints = 0;
        QBrush background;
        QPalette palette;
        int format = 0;
        OptionKey option;
        bool operator==(const PictureKey &other) const;
    };

    // Whether cells are drawn from kept pictures (true); for comparing both ways.
    static bool picturesKept();
    static void setPicturesKept(bool kept);

protected:
    // Paints the cell as QStyledItemDelegate::paint() does. A cell on the view's
    // plain base (not selected, no alternate colour) is drawn once into a
    // picture of the target's own format, started from that base, and the
    // picture is what is painted while the cell looks the same: rows streaming
    // in repaint the rows around them again and again, and laying out and
    // shaping the texts of every cell each time is most of a repaint.
    void paintCell(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;

private:
    QSize measure(const QStyleOptionViewItem &option, const QModelIndex &index) const;
    // False when a value of the cell cannot be told apart cheaply: measured in full.
    static bool cellKey(const QStyleOptionViewItem &option, const QModelIndex &index, CellKey *key,
                        QVariant *display, QVariant *decoration);
    // The size of a cell met for the first time, from the values cellKey() read: the
    // style option QStyledItemDelegate::initStyleOption() makes, without the colours.
    QSize measureCell(const QStyleOptionViewItem &option, const QModelIndex &index, const CellKey &cell,
                      const QVariant &display, const QVariant &decoration) const;

    mutable QHash<SizeKey, QSize> m_sizes;
    mutable QHash<CellKey, QSize> m_cells;
    mutable QCache<PictureKey, QImage> m_pictures{8 * 1024 * 1024};
};

uint qHash(const MeasuredItemDelegate::SizeKey &key, uint salt = 0);
uint qHash(const MeasuredItemDelegate::CellKey &key, uint salt = 0);
uint qHash(const MeasuredItemDelegate::PictureKey &key, uint salt = 0);

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
