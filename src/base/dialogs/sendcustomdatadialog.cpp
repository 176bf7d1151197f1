#include "sendcustomdatadialog.h"
#include "ui_sendcustomdatadialog.h"

#include "dialogflags.h"
#include "dialoginput.h"
#include "settings.h"

#include <QPushButton>

SendCustomDataDialog::SendCustomDataDialog(QWidget *parent)
    : QDialog(parent), ui(new Ui::SendCustomDataDialog)
{
    ui->setupUi(this);
    setCloseButtonOnly(this);
    connect(this, &QDialog::accepted, this, &SendCustomDataDialog::onAccept);
    connect(ui->lineEdit, &QLineEdit::textChanged, this, &SendCustomDataDialog::updateOkButton);
    ui->lineEdit->setText(readSetting(QLatin1String(SettingsKey::LastCustomCommand)).toString());
    updateOkButton();
}

SendCustomDataDialog::~SendCustomDataDialog()
{
    delete ui;
}

QByteArray SendCustomDataDialog::data() const
{
    return parseHexBytes(ui->lineEdit->text());
}

bool SendCustomDataDialog::hasValidData() const
{
    bool ok = false;
    parseHexBytes(ui->lineEdit->text(), &ok);
    return ok;
}

void SendCustomDataDialog::done(int result)
{
    if (result == Accepted && !hasValidData())
        result = Rejected;
    QDialog::done(result);
}

void SendCustomDataDialog::onAccept()
{
    appSettings.setValue(QLatin1String(SettingsKey::LastCustomCommand), ui->lineEdit->text());
}

void SendCustomDataDialog::updateOkButton()
{
    if (QPushButton *ok = ui->buttonBox->button(QDialogButtonBox::Ok))
        ok->setEnabled(hasValidData());
}
