#pragma once

#include "uiseams.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QQueue>
#include <QString>
#include <QStringList>

#include <functional>

class QDialog;
class QTimer;
class QWidget;

// Registers the embedded pictures and translations (safe to repeat).
void initTestResources();

// Installs a message-box hook for its lifetime and restores the previous one
// when destroyed. Every request is recorded; modal boxes are answered from the
// queue of scripted answers, or by default:
//   Critical, Information, Warning, WarningDetails: Ok;
//   Question, User: the first offered of Yes, Ok; else the first offered of
//   Cancel, Close, No, Abort (a retry loop ends); else the lowest offered
//   button; Ok when none is offered;
//   Choice: 2 (the escape answer), or the last position with fewer labels.
// Non-modal requests are recorded but take no answer from the queue.
class MessageBoxRecorder
{
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder &) = delete;
    MessageBoxRecorder &operator=(const MessageBoxRecorder &) = delete;

    // Queues the answer of the next modal box.
    MessageBoxRecorder &answer(int value);
    int pendingAnswers() const { return m_answers.size(); }

    const QList<UiSeams::MessageBoxRequest> &requests() const { return m_requests; }
    int count() const { return m_requests.size(); }
    UiSeams::MessageBoxRequest last() const { return m_requests.value(m_requests.size() - 1); }
    void clear() { m_requests.clear(); }

    static int defaultAnswer(const UiSeams::MessageBoxRequest &request);

private:
    UiSeams::MessageBoxHook m_previous;
    QList<UiSeams::MessageBoxRequest> m_requests;
    QQueue<int> m_answers;
};

// Installs a file-dialog hook for its lifetime: answers from a queue of path
// lists (an empty list, or an empty queue, is a cancelled dialog) and records
// every request.
class FileDialogScript
{
public:
    FileDialogScript();
    ~FileDialogScript();
    FileDialogScript(const FileDialogScript &) = delete;
    FileDialogScript &operator=(const FileDialogScript &) = delete;

    FileDialogScript &answer(const QStringList &paths);
    FileDialogScript &answer(const QString &path) { return answer(QStringList{path}); }
    FileDialogScript &cancel() { return answer(QStringList()); }

    const QList<UiSeams::FileDialogRequest> &requests() const { return m_requests; }

private:
    UiSeams::FileDialogHook m_previous;
    QList<UiSeams::FileDialogRequest> m_requests;
    QQueue<QStringList> m_answers;
};

// Installs a dialog hook for its lifetime: each run dialog is handed to the
// next scripted step, which may fill it and returns the result code; with no
// step left the dialog is rejected. Records each dialog's object name, class
// and window title.
class DialogScript
{
public:
    struct Record
    {
        QString objectName;
        QString className;
        QString title;
    };
    using Step = std::function<int(QDialog *)>;

    DialogScript();
    ~DialogScript();
    DialogScript(const DialogScript &) = delete;
    DialogScript &operator=(const DialogScript &) = delete;

    DialogScript &then(Step step);
    int pendingSteps() const { return m_steps.size(); }
    const QList<Record> &records() const { return m_records; }

private:
    UiSeams::DialogHook m_previous;
    QList<Record> m_records;
    QQueue<Step> m_steps;
};

// For tests of real modal windows: runs the action on the next application-
// modal widget as soon as it shows (polled from the event loop that runs it),
// e.g. to read a real message box and press Escape. Should the window still be
// open some seconds after the action, it is closed by force and stuck() tells,
// so a test never hangs on it.
class ModalAction : public QObject
{
    Q_OBJECT
public:
    explicit ModalAction(std::function<void(QWidget *)> action, int giveUpMs = 5000);
    ~ModalAction() override;

    bool ran() const { return m_ran; }
    bool stuck() const { return m_stuck; }

private:
    void poll();

    std::function<void(QWidget *)> m_action;
    QTimer *m_timer;
    QPointer<QWidget> m_target;
    int m_giveUpMs;
    int m_elapsedAfterAction = 0;
    bool m_ran = false;
    bool m_stuck = false;
};
