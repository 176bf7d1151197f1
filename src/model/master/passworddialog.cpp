#include "passworddialog.h"
#include "ui_passworddialog.h"

#include "keystate.h"
#include "passwordhash.h"

#include <QAbstractButton>
#include <QDialogButtonBox>

namespace {
constexpr int CapsLockPollMs = 200;

bool isResultButton(int result)
{
    return result == QDialogButtonBox::Ok || result == QDialogButtonBox::Close
        || result == QDialogButtonBox::Reset;
}
} // namespace

PasswordDialog::PasswordDialog(QWidget *parent)
    : QDialog(parent), ui(new Ui::PasswordDialog), capsLockTimer(this)
{
    ui->setupUi(this);
    setWindowModality(Qt::ApplicationModal);
    resize(350, 130);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::MSWindowsFixedSizeDialogHint);

    connect(ui->buttons, &QDialogButtonBox::clicked, this, &PasswordDialog::buttonClicked);
    capsLockTimer.setInterval(CapsLockPollMs);
    connect(&capsLockTimer, &QTimer::timeout, this, &PasswordDialog::updateCapsLockHint);

    ui->lePassword->setFocus();
    updateCapsLockHint();
}

PasswordDialog::~PasswordDialog()
{
    delete ui;
}

quint64 PasswordDialog::passwordHash() const
{
    return hashPassword(ui->lePassword->text(), 0);
}

void PasswordDialog::done(int result)
{
    if (!isResultButton(result))
        result = result == QDialog::Accepted ? QDialogButtonBox::Ok : QDialogButtonBox::Close;
    QDialog::done(result);
}

void PasswordDialog::buttonClicked(QAbstractButton *button)
{
    done(ui->buttons->standardButton(button));
}

void PasswordDialog::updateCapsLockHint()
{
    const bool on = KeyState::capsLockOn();
    const QString hint = on ? tr("Warning: Caps Lock is on") : QString();
    ui->lePassword->setToolTip(hint);
    ui->label->setText(hint);
    ui->label->setVisible(on);
    ui->lblCapsLock->setVisible(on);
}

void PasswordDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    updateCapsLockHint();
    capsLockTimer.start();
}

void PasswordDialog::hideEvent(QHideEvent *event)
{
    capsLockTimer.stop();
    QDialog::hideEvent(event);
}
