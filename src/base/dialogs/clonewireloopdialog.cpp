#include "clonewireloopdialog.h"
#include "ui_clonewireloopdialog.h"

#include "dialogflags.h"
#include "messageboxes.h"

#include <QTimer>

namespace {
constexpr int MinimumCopies = 15;
constexpr int LastWireloopAddress = 126;
} // namespace

CloneWireloopDialog::CloneWireloopDialog(int wireloopAddress, const QString &modelName, QWidget *parent)
    : QDialog(parent), ui(new Ui::CloneWireloopDialog)
{
    ui->setupUi(this);
    setCloseButtonOnly(this);
    ui->lblName->setText(modelName);
    ui->sbCloneNumber->setMinimum(MinimumCopies);
    // A maximum below the minimum lowers the minimum with it.
    ui->sbCloneNumber->setMaximum(LastWireloopAddress - wireloopAddress);
    // Checked once the dialog's event loop runs, so the box shows over it.
    QTimer::singleShot(0, this, &CloneWireloopDialog::refuseIfTooBig);
}

CloneWireloopDialog::~CloneWireloopDialog()
{
    delete ui;
}

int CloneWireloopDialog::count() const
{
    return ui->sbCloneNumber->value();
}

bool CloneWireloopDialog::canClone() const
{
    return ui->sbCloneNumber->maximum() - ui->sbCloneNumber->minimum() >= MinimumCopies;
}

void CloneWireloopDialog::done(int result)
{
    if (result == Accepted && !canClone())
        result = Rejected;
    QDialog::done(result);
}

void CloneWireloopDialog::refuseIfTooBig()
{
    if (canClone())
        return;
    showCriticalMessage(tr("Cannot clone. Wireloop address is too big"), tr("Error"));
    reject();
    close();
}
