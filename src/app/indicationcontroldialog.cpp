#include "indicationcontroldialog.h"
#include "ui_indicationcontroldialog.h"

#include "dialogflags.h"
#include "settings.h"

IndicationControlDialog::IndicationControlDialog(QWidget *parent)
    : QDialog(parent), ui(new Ui::IndicationControlDialog)
{
    ui->setupUi(this);
    setCloseButtonOnly(this);

    // A stored index that is not one of the modes (an edited or damaged
    // store) falls back to the first mode, so an invalid mode is never sent.
    int last = appSettings.value(QLatin1String(SettingsKey::IndicationModeLast), 0).toInt();
    if (last < 0 || last >= ui->cbMode->count())
        last = 0;
    ui->cbMode->setCurrentIndex(-1);
    ui->cbMode->setCurrentIndex(last);

    connect(this, &QDialog::accepted, this, [this] {
        appSettings.setValue(QLatin1String(SettingsKey::IndicationModeLast), ui->cbMode->currentIndex());
    });
}

IndicationControlDialog::~IndicationControlDialog()
{
    delete ui;
}

quint8 IndicationControlDialog::mode() const
{
    return quint8(ui->cbMode->currentIndex() + 1);
}
