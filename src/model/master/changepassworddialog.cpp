#include "changepassworddialog.h"
#include "ui_changepassworddialog.h"

#include "passwordhash.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {
quint64 fieldHash(const QLineEdit *field)
{
    if (!field->isEnabled() || field->text().isEmpty())
        return 0;
    return hashPassword(field->text(), 0);
}

void showTextWhileChecked(QPushButton *button, QLineEdit *field)
{
    QObject::connect(button, &QPushButton::toggled, field, [field](bool checked) {
        field->setEchoMode(checked ? QLineEdit::Normal : QLineEdit::Password);
    });
}
} // namespace

ChangePasswordDialog::ChangePasswordDialog(bool passwordEnabled, QWidget *parent)
    : QDialog(parent), ui(new Ui::ChangePasswordDialog)
{
    ui->setupUi(this);
    // Each hint is read whole: the fields are as wide as their hints, which
    // are their tooltips too.
    for (QLineEdit *field : {ui->leCurrentPassword, ui->leNewPassword, ui->leNewPassword2}) {
        QStyleOptionFrame option;
        option.initFrom(field);
        const QSize text(field->fontMetrics().horizontalAdvance(field->placeholderText()) + 2 * field->fontMetrics().averageCharWidth(),
                         field->sizeHint().height());
        field->setMinimumWidth(field->style()->sizeFromContents(QStyle::CT_LineEdit, &option, text, field).width());
        field->setToolTip(field->placeholderText());
    }
    resize(420, 150);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    ui->leCurrentPassword->setEnabled(passwordEnabled);
    ui->lblCurrentPassword->setEnabled(passwordEnabled);

    connect(ui->buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui->buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    showTextWhileChecked(ui->pbShowPass, ui->leNewPassword);
    showTextWhileChecked(ui->pbShowPass2, ui->leNewPassword2);
    connect(ui->leNewPassword, &QLineEdit::textChanged, this, &ChangePasswordDialog::passwordEdited);
    connect(ui->leNewPassword2, &QLineEdit::textChanged, this, &ChangePasswordDialog::passwordEdited);
}

ChangePasswordDialog::~ChangePasswordDialog()
{
    delete ui;
}

quint64 ChangePasswordDialog::currentPasswordHash() const
{
    return fieldHash(ui->leCurrentPassword);
}

quint64 ChangePasswordDialog::newPasswordHash() const
{
    return fieldHash(ui->leNewPassword);
}

void ChangePasswordDialog::done(int result)
{
    if (result == Accepted && !passwordsMatch())
        result = Rejected;
    QDialog::done(result);
}

void ChangePasswordDialog::passwordEdited(const QString &password2)
{
    // Called for either field: both are compared whatever the argument.
    Q_UNUSED(password2)
    const bool match = passwordsMatch();
    ui->buttons->button(QDialogButtonBox::Ok)->setEnabled(match);
    QPalette palette = QApplication::palette();
    if (!match)
        palette.setColor(QPalette::Text, Qt::red);
    ui->leNewPassword2->setPalette(palette);
}

bool ChangePasswordDialog::passwordsMatch() const
{
    return ui->leNewPassword->text() == ui->leNewPassword2->text();
}
