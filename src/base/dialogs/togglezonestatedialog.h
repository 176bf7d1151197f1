#pragma once

#include <QDialog>

namespace Ui {
class ToggleZoneStateDialog;
}

// Asks which zone of a device to switch and whether to enable or disable it.
// Sends nothing itself: the caller reads zone() and state() after OK.
class ToggleZoneStateDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ToggleZoneStateDialog(QWidget *parent = nullptr);
    ~ToggleZoneStateDialog() override;

    // 0 to 4; 0 is zone 0, the LED.
    int zone() const;
    // 0 disable, 1 enable.
    int state() const;

private:
    Ui::ToggleZoneStateDialog *ui;
};
