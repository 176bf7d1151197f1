#include "setpreferredrsdialog.h"
#include "ui_setpreferredrsdialog.h"

#include "dialogflags.h"

SetPreferredRSDialog::SetPreferredRSDialog(QWidget *parent)
    : QDialog(parent), ui(new Ui::SetPreferredRSDialog)
{
    ui->setupUi(this);
    setCloseButtonOnly(this);
    connect(ui->lwRS, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

SetPreferredRSDialog::~SetPreferredRSDialog()
{
    delete ui;
}

void SetPreferredRSDialog::setRows(const QList<DeviceItem *> &items, const QStringList &texts)
{
    ui->lwRS->clear();
    if (items.isEmpty())
        return;
    repeaters = items;
    for (QString text : texts)
        ui->lwRS->addItem(text.replace(QLatin1Char('\n'), QLatin1Char(' ')));
    ui->lwRS->setCurrentRow(0);
}

DeviceItem *SetPreferredRSDialog::selectedRepeater() const
{
    const QModelIndexList selected = ui->lwRS->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return nullptr;
    return repeaters.value(selected.first().row(), nullptr);
}
