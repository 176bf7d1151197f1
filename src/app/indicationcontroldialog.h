#pragma once

#include <QDialog>

namespace Ui {
class IndicationControlDialog;
}

// Asks for a device's indication mode. Starts at the mode chosen last time
// ("indicationModeLast") and remembers the choice when accepted.
class IndicationControlDialog : public QDialog
{
    Q_OBJECT
public:
    explicit IndicationControlDialog(QWidget *parent = nullptr);
    ~IndicationControlDialog() override;

    // 1 "Auto", 2 "Always on".
    quint8 mode() const;

private:
    Ui::IndicationControlDialog *ui;
};
