#pragma once

#include <QDialog>

namespace Ui {
class ChangePasswordDialog;
}

// Sets, changes or clears a master's password. An empty new password clears
// the protection. The dialog cannot be accepted while the two new-password
// fields differ.
class ChangePasswordDialog : public QDialog
{
    Q_OBJECT
public:
    // passwordEnabled: whether the master has a password now; without one the
    // current-password field is disabled.
    explicit ChangePasswordDialog(bool passwordEnabled, QWidget *parent = nullptr);
    ~ChangePasswordDialog() override;

    // 0 for an empty (or disabled) field, else the hash of its text.
    quint64 currentPasswordHash() const;
    quint64 newPasswordHash() const;

    // An accept while the new passwords differ ends the dialog rejected.
    void done(int result) override;

public slots:
    void passwordEdited(const QString &password2);

private:
    bool passwordsMatch() const;

    Ui::ChangePasswordDialog *ui;
};
