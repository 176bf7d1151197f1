#include "addressdelegate.h"

#include "addresscombobox.h"
#include "appglobals.h"
#include "deviceitem.h"
#include "devicetableitemdelegate.h"
#include "devicetablemodel.h"
#include "messageboxes.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QPainter>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QTimer>

namespace {
QString trDelegate(const char *text)
{
    return QCoreApplication::translate("AddressDelegate", text);
}

// The refusal is shown once the view has finished committing: no event
// loop runs while the editor and its cell are in the view's hands.
void showOccupied(const QString &text)
{
    QTimer::singleShot(0, QCoreApplication::instance(), [text] {
        showWarningDetails(text, trDelegate("Can't change device address"), trDelegate("Address occupied"));
    });
}
} // namespace

int addressEditorLimit(MasterType masterType, const QModelIndex &index)
{
    if (masterType != MasterTrombel)
        return 128;
    // The master keeps the narrow range; every radio device has the bus's.
    const bool masterRow = masterDeviceTypes.contains(index.data(DeviceRole::DeviceType).toInt());
    return (!masterRow || index.column() == 2) ? 255 : 128;
}

ComboBox *createAddressEditor(const DeviceSourceRef &source, QWidget *parent, const QModelIndex &index)
{
    auto *editor = new ComboBox(addressEditorLimit(source.masterType(), index), source, parent);
    editor->setProperty("address", index.data(DeviceRole::RadioAddress));
    return editor;
}

bool setAddressEditorData(QWidget *editor, const QModelIndex &index)
{
    auto *combo = qobject_cast<QComboBox *>(editor);
    if (!combo)
        return false;
    const bool choosing = combo->view()->isVisible()
                          || (combo->window()->isActiveWindow() && combo->currentIndex() > 0);
    if (choosing)
        return true;
    const int address = int(DeviceTableModel::addressFromValue(index.data(Qt::EditRole)));
    combo->setCurrentIndex(address >= 1 && address <= combo->count() ? address - 1 : -1);
    return true;
}

bool checkAddressRange(const DeviceSourceRef &ref, QWidget *editor, QAbstractItemModel *model,
                       const QModelIndex &index)
{
    QPointer<QComboBox> combo = qobject_cast<QComboBox *>(editor);
    if (!combo) {
        qWarning(" qobject_cast<QComboBox *>(editor) = nullptr ");
        return false;
    }
    const QPersistentModelIndex cell(index);
    const QString chosen = combo->currentText();
    const int start = int(DeviceTableModel::addressFromValue(chosen));
    const int end = start + index.data(DeviceRole::ExtraAddresses).toInt() + 1;
    const bool wiredBus = ref.wiredBus();
    const int role = wiredBus ? int(DeviceRole::KastrelAddress) : int(DeviceRole::WireloopAddress);
    const int current = index.data(role).toInt();
    const QString identity = index.data(DeviceRole::SerialText).toString();

    if (start == current || start == 0)
        return true;

    if (DeviceItem *master = ref.master()) {
        const int masterAddress = wiredBus ? master->kastrelAddress() : master->address();
        const bool editingMaster = master->data(DeviceRole::SerialText).toString() == identity;
        if (!editingMaster && start <= masterAddress && masterAddress < end) {
            showOccupied(trDelegate("Selected address range is already occupied by %1.").arg(master->typeName()));
            return true;
        }
    }

    const auto devices = ref.devices();
    for (DeviceItem *device : devices) {
        if (!device || device->data(DeviceRole::SerialText).toString() == identity)
            continue;
        const int a = device->data(role).toInt();
        const int deviceEnd = a + device->data(DeviceRole::ExtraAddresses).toInt() + 1;
        if (a != 0 && a < end && deviceEnd > start) {
            showOccupied(trDelegate("Selected address range is already occupied by device: %1").arg(device->typeName()));
            return true;
        }
    }

    if (model && cell.isValid())
        model->setData(cell, chosen, Qt::EditRole);
    return true;
}

AddressDelegate::AddressDelegate(DeviceSource *source, QObject *parent)
    : MeasuredItemDelegate(parent)
    , m_source(source)
{
}

void AddressDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (!(option.state & QStyle::State_Selected)) {
        paintCell(painter, option, index);
        return;
    }
    QStyleOptionViewItem plain(option);
    plain.state &= ~QStyle::State_Selected;
    QStyledItemDelegate::paint(painter, plain, index);
    paintSelectionMark(painter, option.rect);
}

QWidget *AddressDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const
{
    ComboBox *editor = createAddressEditor(m_source, parent, index);
    connect(editor, &ComboBox::hidden, this, &AddressDelegate::editorHidden);
    return editor;
}

void AddressDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (!setAddressEditorData(editor, index))
        QStyledItemDelegate::setEditorData(editor, index);
}

void AddressDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    if (!checkAddressRange(m_source, editor, model, index))
        QStyledItemDelegate::setModelData(editor, model, index);
}

void AddressDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &) const
{
    editor->setGeometry(option.rect);
}

void AddressDelegate::destroyEditor(QWidget *editor, const QModelIndex &index) const
{
    QStyledItemDelegate::destroyEditor(editor, index);
    DeviceTableModel::finishEditLater(index);
}

void AddressDelegate::editorHidden()
{
    // The list closed: commit the choice and close the editor, unless
    // storing has let the editor go meanwhile.
    QPointer<QWidget> editor = qobject_cast<QWidget *>(sender());
    if (!editor)
        return;
    emit commitData(editor);
    if (editor)
        emit closeEditor(editor, QAbstractItemDelegate::SubmitModelCache);
}
