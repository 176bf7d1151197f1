#pragma once

#include "addressdelegate.h"

// Draws each device of the tile view as a card (picture, address box with
// its drop-down arrow, model and version lines, signal bar, readout) and
// edits the address in place: a click on the address box opens the
// address list.
class DeviceItemDelegate : public AddressDelegate
{
    Q_OBJECT
public:
    DeviceItemDelegate(DeviceSource *source, QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

private:
    void paintSignalIcon(QPainter *painter, const QPoint &topLeft) const;
};
