#pragma once

#include <QDialog>

namespace Ui {
class AutoNumberDialog;
}

// Asks for the first address and the step of the automatic addressing of
// radio devices. The values stay in the dialog between uses.
class AutoNumberDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AutoNumberDialog(QWidget *parent = nullptr);
    ~AutoNumberDialog() override;

    int start() const;
    int step() const;

private:
    Ui::AutoNumberDialog *ui;
};
