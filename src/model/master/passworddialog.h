#pragma once

#include <QDialog>
#include <QTimer>

class QAbstractButton;

namespace Ui {
class PasswordDialog;
}

// Asks the password of a protected master. The dialog ends with the value of
// the standard button pressed: QDialogButtonBox::Ok (a password was entered),
// Close (give up) or Reset (reset the device configuration). Every other way
// of ending it (Escape, a plain accept or reject) ends it the same way as
// those buttons would: an accept as Ok, anything else as Close.
class PasswordDialog : public QDialog
{
    Q_OBJECT
public:
    explicit PasswordDialog(QWidget *parent = nullptr);
    ~PasswordDialog() override;

    // Hash of the typed password, also of an empty one.
    quint64 passwordHash() const;

    void done(int result) override;

public slots:
    void buttonClicked(QAbstractButton *button);
    void updateCapsLockHint();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    Ui::PasswordDialog *ui;
    QTimer capsLockTimer;
};
