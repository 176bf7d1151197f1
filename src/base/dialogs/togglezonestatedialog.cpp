#include "togglezonestatedialog.h"
#include "ui_togglezonestatedialog.h"

#include "dialogflags.h"

ToggleZoneStateDialog::ToggleZoneStateDialog(QWidget *parent)
    : QDialog(parent), ui(new Ui::ToggleZoneStateDialog)
{
    ui->setupUi(this);
    setCloseButtonOnly(this);
}

ToggleZoneStateDialog::~ToggleZoneStateDialog()
{
    delete ui;
}

int ToggleZoneStateDialog::zone() const
{
    return ui->cbZoneNum->currentIndex();
}

int ToggleZoneStateDialog::state() const
{
    return ui->cbState->currentIndex();
}
