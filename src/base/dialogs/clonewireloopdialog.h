#pragma once

#include <QDialog>

namespace Ui {
class CloneWireloopDialog;
}

// Asks into how many further Wireloop addresses a device is to be cloned.
// A device whose address leaves too little room ends the dialog rejected with
// an error box as soon as the dialog runs.
class CloneWireloopDialog : public QDialog
{
    Q_OBJECT
public:
    CloneWireloopDialog(int wireloopAddress, const QString &modelName, QWidget *parent = nullptr);
    ~CloneWireloopDialog() override;

    // The number of copies chosen.
    int count() const;
    // Whether the device's address leaves room for cloning at all.
    bool canClone() const;

    // Accepting a device that cannot be cloned ends the dialog rejected.
    void done(int result) override;

private:
    void refuseIfTooBig();

    Ui::CloneWireloopDialog *ui;
};
