#include "outputcontroldialog.h"
#include "ui_outputcontroldialog.h"

#include "dialogflags.h"

OutputControlDialog::OutputControlDialog(QWidget *parent)
    : QDialog(parent), ui(new Ui::OutputControlDialog)
{
    ui->setupUi(this);
    setCloseButtonOnly(this);
    setFixedSize(550, 120);

    for (int mask = 0; mask < 32; ++mask)
        ui->cbMask->addItem(QString::number(mask));

    connect(ui->cbEndless, &QCheckBox::toggled, this, &OutputControlDialog::onEndlessToggled);
}

OutputControlDialog::~OutputControlDialog()
{
    delete ui;
}

quint8 OutputControlDialog::output() const
{
    return quint8(ui->cbOutput->currentIndex() + 1);
}

int OutputControlDialog::mask() const
{
    return ui->cbMask->currentIndex();
}

bool OutputControlDialog::endState() const
{
    return ui->cbEndState->isChecked();
}

int OutputControlDialog::stepIndex() const
{
    return ui->cbStep->currentIndex();
}

quint8 OutputControlDialog::time() const
{
    return ui->cbEndless->isChecked() ? quint8(0xFF) : quint8(ui->sbStep->value());
}

// Devices without a choice of output have only the first one: a choice left
// over from an earlier device must not be sent to them.
void OutputControlDialog::setOutputSelectable(bool selectable)
{
    if (!selectable)
        ui->cbOutput->setCurrentIndex(0);
    ui->cbOutput->setEnabled(selectable);
}

void OutputControlDialog::setStatus(const QString &text)
{
    ui->lblStatus->setText(text);
}

// An endless command runs in the longest steps; its end state and time do
// not apply.
void OutputControlDialog::onEndlessToggled(bool endless)
{
    ui->cbEndState->setEnabled(!endless);
    ui->cbStep->setEnabled(!endless);
    ui->sbStep->setEnabled(!endless);
    if (endless)
        ui->cbStep->setCurrentIndex(ui->cbStep->count() - 1);
}
