#include "testsupport.h"

#include "resources.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

void initTestResources()
{
    initTandrelResources();
}

// ---------------------------------------------------------------- MessageBoxRecorder

MessageBoxRecorder::MessageBoxRecorder() : m_previous(UiSeams::messageBoxHook())
{
    UiSeams::setMessageBoxHook([this](const UiSeams::MessageBoxRequest &request) {
        m_requests.append(request);
        if (!request.modal)
            return 0;
        return m_answers.isEmpty() ? defaultAnswer(request) : m_answers.dequeue();
    });
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    UiSeams::setMessageBoxHook(m_previous);
}

MessageBoxRecorder &MessageBoxRecorder::answer(int value)
{
    m_answers.enqueue(value);
    return *this;
}

int MessageBoxRecorder::defaultAnswer(const UiSeams::MessageBoxRequest &request)
{
    using Request = UiSeams::MessageBoxRequest;
    switch (request.kind) {
    case Request::Question:
    case Request::User:
    case Request::WarningQuestion:
        for (const auto button : {QMessageBox::Yes, QMessageBox::Ok, QMessageBox::Cancel, QMessageBox::Close,
                                  QMessageBox::No, QMessageBox::Abort}) {
            if (request.buttons.testFlag(button))
                return button;
        }
        for (uint bit = QMessageBox::FirstButton; bit <= QMessageBox::LastButton; bit <<= 1) {
            if (request.buttons & bit)
                return int(bit);
        }
        return QMessageBox::Ok;
    case Request::Choice:
        return qMin(2, request.choices.size() - 1);
    case Request::Critical:
    case Request::Information:
    case Request::Warning:
    case Request::WarningDetails:
        break;
    }
    return QMessageBox::Ok;
}

// ---------------------------------------------------------------- FileDialogScript

FileDialogScript::FileDialogScript() : m_previous(UiSeams::fileDialogHook())
{
    UiSeams::setFileDialogHook([this](const UiSeams::FileDialogRequest &request) {
        m_requests.append(request);
        return m_answers.isEmpty() ? QStringList() : m_answers.dequeue();
    });
}

FileDialogScript::~FileDialogScript()
{
    UiSeams::setFileDialogHook(m_previous);
}

FileDialogScript &FileDialogScript::answer(const QStringList &paths)
{
    m_answers.enqueue(paths);
    return *this;
}

// ---------------------------------------------------------------- DialogScript

DialogScript::DialogScript() : m_previous(UiSeams::dialogHook())
{
    UiSeams::setDialogHook([this](QDialog *dialog) {
        m_records.append(
            {dialog->objectName(), QString::fromLatin1(dialog->metaObject()->className()), dialog->windowTitle()});
        if (m_steps.isEmpty())
            return int(QDialog::Rejected);
        const Step step = m_steps.dequeue();
        return step(dialog);
    });
}

DialogScript::~DialogScript()
{
    UiSeams::setDialogHook(m_previous);
}

DialogScript &DialogScript::then(Step step)
{
    m_steps.enqueue(std::move(step));
    return *this;
}

// ---------------------------------------------------------------- ModalAction

namespace {
constexpr int PollMs = 5;
}

ModalAction::ModalAction(std::function<void(QWidget *)> action, int giveUpMs)
    : m_action(std::move(action)), m_timer(new QTimer(this)), m_giveUpMs(giveUpMs)
{
    connect(m_timer, &QTimer::timeout, this, &ModalAction::poll);
    m_timer->start(PollMs);
}

ModalAction::~ModalAction() = default;

void ModalAction::poll()
{
    if (!m_ran) {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        m_ran = true;
        m_target = modal;
        m_action(modal);
        return;
    }
    if (!m_target || !m_target->isVisible()) {
        m_timer->stop();
        return;
    }
    m_elapsedAfterAction += PollMs;
    if (m_elapsedAfterAction < m_giveUpMs)
        return;
    m_stuck = true;
    m_timer->stop();
    if (auto *dialog = qobject_cast<QDialog *>(m_target.data()))
        dialog->done(QDialog::Rejected);
    else
        m_target->close();
}
