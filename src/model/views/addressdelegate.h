#pragma once

#include "devicesource.h"
#include "devicetableitemdelegate.h"

class ComboBox;
class QAbstractItemModel;

// The address limit of the editor of a cell: 128, or 255 for the radio
// devices of a wired-bus master (master type 1).
int addressEditorLimit(MasterType masterType, const QModelIndex &index);
// The address editor of a cell: a ComboBox with the cell's limit whose
// property "address" is the device's radio address.
ComboBox *createAddressEditor(const DeviceSourceRef &source, QWidget *parent, const QModelIndex &index);
// Selects the entry of the cell's current address, unless the user is
// choosing; false when the editor is no combo box.
bool setAddressEditorData(QWidget *editor, const QModelIndex &index);
// Checks the address range the device would take against the master and
// every other device and stores the choice when it is free, or tells the
// user what occupies it (the box opens on the next event-loop turn, after
// the view has finished with the editor). False only when the editor is no
// combo box (the caller then stores the value itself).
bool checkAddressRange(const DeviceSourceRef &source, QWidget *editor, QAbstractItemModel *model,
                       const QModelIndex &index);

// The delegate of the address cells of the table and tree views; the
// device cards of the tile view edit their address the same way.
class AddressDelegate : public MeasuredItemDelegate
{
    Q_OBJECT
public:
    AddressDelegate(DeviceSource *source, QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void destroyEditor(QWidget *editor, const QModelIndex &index) const override;

public slots:
    void editorHidden();

protected:
    const DeviceSourceRef &source() const { return m_source; }

private:
    DeviceSourceRef m_source;
};
