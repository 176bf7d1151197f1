#pragma once

#include <QStyledItemDelegate>

// Marks a selected cell over its own colours: a light tint and a line above
// and below, so a row keeps its alarm or fault colour when selected.
void paintSelectionMark(QPainter *painter, const QRect &rect);

// The delegate of the table and tree views: rows keep the device's state
// colour when selected (a light tint marks the selection instead) and get
// a little more height than the text needs.
class DeviceTableItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

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
