#include "autonumberdialog.h"
#include "ui_autonumberdialog.h"

AutoNumberDialog::AutoNumberDialog(QWidget *parent) : QDialog(parent), ui(new Ui::AutoNumberDialog)
{
    ui->setupUi(this);
    // A title bar with only the close button; it stays a window of its own
    // although it has a parent.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(true);
    connect(ui->pbOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->pbCancel, &QPushButton::clicked, this, &QDialog::reject);
}

AutoNumberDialog::~AutoNumberDialog()
{
    delete ui;
}

int AutoNumberDialog::start() const
{
    return ui->sbStart->value();
}

int AutoNumberDialog::step() const
{
    return ui->sbStep->value();
}
