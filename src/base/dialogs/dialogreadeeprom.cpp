#include "dialogreadeeprom.h"
#include "ui_dialogreadeeprom.h"

#include "dialogflags.h"
#include "dialoginput.h"
#include "settings.h"

DialogReadEeprom::DialogReadEeprom(QWidget *parent) : QDialog(parent), ui(new Ui::DialogReadEeprom)
{
    ui->setupUi(this);
    setCloseButtonOnly(this);
    ui->cbAddress->setCurrentText(
        appSettings.value(QLatin1String(SettingsKey::EepromReadLastAddress), ui->cbAddress->itemText(0))
            .toString());
    ui->sbLength->setValue(
        appSettings.value(QLatin1String(SettingsKey::EepromReadLastLength), ui->sbLength->value()).toInt());
    connect(ui->pbOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->pbCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->cbAddress, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &DialogReadEeprom::onAddressChanged);
    connect(ui->cbAddress, &QComboBox::editTextChanged, this, &DialogReadEeprom::updateOkButton);
    setModal(true);
    updateOkButton();
}

DialogReadEeprom::~DialogReadEeprom()
{
    appSettings.setValue(QLatin1String(SettingsKey::EepromReadLastAddress), ui->cbAddress->currentText());
    appSettings.setValue(QLatin1String(SettingsKey::EepromReadLastLength), ui->sbLength->value());
    delete ui;
}

int DialogReadEeprom::address() const
{
    return parseMemoryAddress(ui->cbAddress->currentText());
}

bool DialogReadEeprom::hasValidAddress() const
{
    bool ok = false;
    parseMemoryAddress(ui->cbAddress->currentText(), &ok);
    return ok;
}

int DialogReadEeprom::length() const
{
    return ui->sbLength->value();
}

void DialogReadEeprom::done(int result)
{
    if (result == Accepted && !hasValidAddress())
        result = Rejected;
    QDialog::done(result);
}

void DialogReadEeprom::onAddressChanged(int id)
{
    Q_UNUSED(id)
    switch (address()) {
    case 0x3A:
        ui->sbLength->setValue(2);
        break;
    case 0x3B:
        ui->sbLength->setValue(1);
        break;
    case 0x60:
        ui->sbLength->setValue(10);
        break;
    default:
        break;
    }
}

void DialogReadEeprom::updateOkButton()
{
    ui->pbOk->setEnabled(hasValidAddress());
}
