#pragma once

#include <QDateTime>
#include <QEvent>
#include <QObject>
#include <QString>

#include <functional>

// Process-wide message handler: appends each message to the day's log file under
// <generic config>/Zorvo/ZentarConfigurator/logs/<yyyy-MM-dd> and posts a
// ZorvoLog::Event to the application object for the log view: when a live
// EventFilter shows the message's level, or, while none lives, for messages of
// the GUI thread (the lines of the start, for the view made later). Messages no
// view shows wake nobody (a link thread's per-packet lines).
void logMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message);

namespace ZorvoLog {

enum Level { Error = 0, Warning = 1, Debug = 2, Trace = 3 };

class Event : public QEvent
{
public:
    static constexpr QEvent::Type EventType = QEvent::Type(QEvent::User + 1000); // 2000

    Event(int level, const QString &message)
        : QEvent(EventType), level(level), message(message) {}

    const int level;
    const QString message;
};

// Installed on the application object; turns log events into a signal on the GUI thread.
class EventFilter : public QObject
{
    Q_OBJECT
public:
    explicit EventFilter(QObject *parent = nullptr);
    ~EventFilter() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    // The highest level the view shows (every level until set): messages above the
    // highest level of every live filter are written to the file only.
    void setShownLevel(int level);
    int shownLevel() const { return m_shownLevel; }

signals:
    void newMessage(int level, const QString &message);

private:
    int m_shownLevel;
};

// Display level of a message type: critical/fatal 0, warning 1, debug 2, info 3, else the type value.
int levelOf(QtMsgType type);

// Nine-character tag of a message type; empty for unknown types.
QString levelTag(QtMsgType type);

// "void MainWindow::deviceOpen(int)" -> "MainWindow::deviceOpen".
QString reduceFunctionName(const char *function);

// Folder of the daily log files (created by the handler when missing).
QString logDirectory();

// Path of the log file of the given day.
QString logFilePath(const QDate &day);

// Replaces the clock of the handler (tests); an empty function restores the system clock.
void setClock(std::function<QDateTime()> clock);

} // namespace ZorvoLog
