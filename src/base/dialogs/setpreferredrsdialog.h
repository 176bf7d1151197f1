#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>

class DeviceItem;

namespace Ui {
class SetPreferredRSDialog;
}

// Lets the user pick one repeater from a list; row i shows repeater i by its
// tooltip text on one line. The first row starts selected; a double click on
// a row accepts the dialog.
class SetPreferredRSDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SetPreferredRSDialog(QWidget *parent = nullptr);
    ~SetPreferredRSDialog() override;

    // Item is DeviceItem or a class derived from it (anything with toolTip()
    // that converts to DeviceItem *); a template so that this library needs
    // only the declaration of DeviceItem. The items are not owned. An empty
    // list clears the rows and keeps the items held before.
    template <typename Item>
    void setRepeaters(const QList<Item *> &repeaters)
    {
        QList<DeviceItem *> items;
        QStringList texts;
        for (Item *item : repeaters) {
            items.append(item);
            texts.append(item ? item->toolTip() : QString());
        }
        setRows(items, texts);
    }
    template <typename Item>
    void setDevices(const QList<Item *> &devices)
    {
        setRepeaters(devices);
    }

    // The repeater of the selected row; null when no row is selected.
    DeviceItem *selectedRepeater() const;
    DeviceItem *selectedDevice() const { return selectedRepeater(); }

private:
    void setRows(const QList<DeviceItem *> &items, const QStringList &texts);

    Ui::SetPreferredRSDialog *ui;
    QList<DeviceItem *> repeaters;
};
