#include "settingsresetprocess.h"

#include "uiseams.h"

#include <QMessageBox>

namespace {
constexpr int CountdownSeconds = 16;
constexpr int RestartReconnectMs = 20000;

} // namespace

SettingsResetProcess::SettingsResetProcess(QObject *parent) : QObject(parent)
{
    countdownTimer.setInterval(m_tickMs);
    connect(&countdownTimer, &QTimer::timeout, this, &SettingsResetProcess::countdownStep);
    pingTimer.setSingleShot(true);
    connect(&pingTimer, &QTimer::timeout, this, &SettingsResetProcess::ping);
}

SettingsResetProcess::~SettingsResetProcess()
{
    // A warning still open would stay on screen with nobody behind it.
    if (QMessageBox *box = confirmBox.data()) {
        disconnect(box, nullptr, this, nullptr);
        delete box;
    }
}

QMessageBox *SettingsResetProcess::confirmationBox() const
{
    return confirmBox.data();
}

void SettingsResetProcess::setTickInterval(int ms)
{
    m_tickMs = ms;
    countdownTimer.setInterval(ms);
}

void SettingsResetProcess::start()
{
    if (m_started || aborted)
        return;
    m_started = true;
    // The link may answer after this object is gone (abort deletes it).
    QPointer<SettingsResetProcess> self(this);
    emit sendPacket(plainRequest(PT_RESET_SETTINGS_REQ), [self](const Packet &reply) {
        if (!self)
            return packetTypeOf(reply) == PT_RESET_SETTINGS_ACK;
        return self->onRequestReply(reply);
    });
}

bool SettingsResetProcess::onRequestReply(const Packet &reply)
{
    if (packetTypeOf(reply) != PT_RESET_SETTINGS_ACK)
        return false;
    if (aborted)
        return true;

    secondsLeft = CountdownSeconds;
    auto *box = new QMessageBox();
    box->setAttribute(Qt::WA_DeleteOnClose);
    confirmBox = box;
    connect(box, &QObject::destroyed, this, &SettingsResetProcess::onConfirmBoxDestroyed);
    box->setText(tr("Warning! Device configuration about to be erased!\n\nConfirm by pressing case button."));
    box->setStandardButtons(QMessageBox::Close);
    box->setIcon(QMessageBox::Warning);
    box->setWindowModality(Qt::NonModal);
    box->show();

    countdownStep();
    countdownTimer.start(m_tickMs);
    pingTimer.start(m_tickMs);
    return true;
}

void SettingsResetProcess::countdownStep()
{
    if (secondsLeft == 0) {
        countdownTimer.stop();
        return;
    }
    if (confirmBox)
        confirmBox->setInformativeText(tr("Exit configuration reset after %1 s").arg(secondsLeft));
    --secondsLeft;
}

void SettingsResetProcess::ping()
{
    if (aborted)
        return;
    QPointer<SettingsResetProcess> self(this);
    emit sendPacket(plainRequest(PT_RESET_SETTINGS_PING), [self](const Packet &reply) {
        if (!self)
            return true;
        return self->onPingReply(reply);
    });
}

bool SettingsResetProcess::onPingReply(const Packet &reply)
{
    if (aborted)
        return true;
    switch (packetTypeOf(reply)) {
    case PT_RESET_SETTINGS_BUSY:
        pingTimer.start(m_tickMs);
        break;
    case PT_RESET_SETTINGS_DONE:
        finish();
        m_outcomeShown = true;
        UiSeams::showNonModalMessage(QMessageBox::Information, tr("Configuration reseted successfully"),
                                     tr("Success"));
        emit restartMaster(RestartReconnectMs);
        break;
    case PT_RESET_SETTINGS_FAIL:
        // After the user closed the warning the refusal is not shown.
        if (confirmBox && confirmBox->isVisible()) {
            finish();
            reportFailure(QString());
            // Last: the owner may delete this object on it.
            emit closeConnection();
        }
        break;
    default:
        break;
    }
    return true;
}

void SettingsResetProcess::onConfirmBoxDestroyed()
{
    // Emitted from the box's destructor, while the guard still points at it.
    confirmBox = nullptr;
    countdownTimer.stop();
    emit closeConnection();
}

void SettingsResetProcess::finish()
{
    if (confirmBox) {
        QMessageBox *box = confirmBox;
        confirmBox = nullptr;
        disconnect(box, nullptr, this, nullptr);
        box->close();
        box->deleteLater();
    }
    countdownTimer.stop();
    pingTimer.stop();
    secondsLeft = 0;
}

void SettingsResetProcess::reportFailure(const QString &text)
{
    m_outcomeShown = true;
    const QString shown = text.isEmpty() ? tr("Configuration reset confirmation timed out") : text;
    UiSeams::showNonModalMessage(QMessageBox::Warning, shown, tr("Failure"));
}

void SettingsResetProcess::abort()
{
    if (aborted)
        return;
    aborted = true;
    finish();
    if (!m_outcomeShown)
        reportFailure(tr("Settings reset process aborted"));
    deleteLater();
}
