#include "masterpasswordflows.h"

#include "changepassworddialog.h"
#include "hubroitem.h"
#include "messageboxes.h"
#include "uiseams.h"

#include <QCoreApplication>
#include <QPointer>

namespace MasterPasswordFlows {

void changePassword(HubroItem *master, QWidget *parent)
{
    if (!master)
        return;
    const QPointer<HubroItem> guard(master);
    ChangePasswordDialog dialog(master->isPasswordEnabled(), parent);
    if (UiSeams::execDialog(&dialog) != QDialog::Accepted || !guard)
        return;
    guard->changePassword(dialog.currentPasswordHash(), dialog.newPasswordHash(), true);
}

void removePassword(HubroItem *master)
{
    if (master)
        master->removePassword(0);
}

void onChangePasswordFailed(HubroItem *master, QWidget *parent)
{
    const QPointer<HubroItem> guard(master);
    const int answer = askUser(QCoreApplication::translate("MainWindow", "Failed to set new password."),
                               QCoreApplication::translate("MainWindow",
                                                           "Please check if you entered your current password correctly."),
                               QCoreApplication::translate("MainWindow", "Failed"),
                               QMessageBox::Retry | QMessageBox::Close, QMessageBox::Retry, QMessageBox::Close);
    if (answer == QMessageBox::Retry)
        changePassword(guard, parent);
}

} // namespace MasterPasswordFlows
