#include "logging.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QMutex>
#include <QStandardPaths>
#include <QTextStream>
#include <QThread>

#include <atomic>
#include <climits>

namespace ZorvoLog {

namespace {
std::function<QDateTime()> &clockFunction()
{
    static std::function<QDateTime()> clock;
    return clock;
}

QDateTime now()
{
    const auto &clock = clockFunction();
    return clock ? clock() : QDateTime::currentDateTime();
}

// Parts are joined with "/", a "/" following a part only when it is not empty.
QString joinParts(const QStringList &parts)
{
    QString path;
    for (int i = 0; i < parts.size(); ++i) {
        path += parts.at(i);
        if (!parts.at(i).isEmpty() && i + 1 < parts.size())
            path += QLatin1Char('/');
    }
    return path;
}
// The live filters and their shown levels; `highest` is read by the handler in any thread.
struct Views
{
    QMutex mutex;
    QHash<const EventFilter *, int> levels;
    std::atomic<int> highest{INT_MIN}; // INT_MIN: no filter lives

    void set(const EventFilter *filter, int level)
    {
        QMutexLocker lock(&mutex);
        levels.insert(filter, level);
        update();
    }
    void remove(const EventFilter *filter)
    {
        QMutexLocker lock(&mutex);
        levels.remove(filter);
        update();
    }
    void update()
    {
        int top = INT_MIN;
        for (const int level : qAsConst(levels))
            top = std::max(top, level);
        highest.store(top);
    }
};

Views &views()
{
    static Views *v = new Views; // outlives filters destroyed at exit
    return *v;
}

bool wanted(int level)
{
    const int highest = views().highest.load(std::memory_order_relaxed);
    if (highest != INT_MIN)
        return level <= highest;
    const QCoreApplication *app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}
} // namespace

EventFilter::EventFilter(QObject *parent) : QObject(parent), m_shownLevel(INT_MAX)
{
    views().set(this, m_shownLevel);
}

EventFilter::~EventFilter()
{
    views().remove(this);
}

void EventFilter::setShownLevel(int level)
{
    m_shownLevel = level;
    views().set(this, level);
}

void setClock(std::function<QDateTime()> clock)
{
    clockFunction() = std::move(clock);
}

bool EventFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == Event::EventType) {
        auto *e = static_cast<Event *>(event);
        emit newMessage(e->level, e->message);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

int levelOf(QtMsgType type)
{
    switch (type) {
    case QtCriticalMsg:
    case QtFatalMsg:
        return Error;
    case QtWarningMsg:
        return Warning;
    case QtDebugMsg:
        return Debug;
    case QtInfoMsg:
        return Trace;
    }
    return int(type);
}

QString levelTag(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return QStringLiteral(" DEBUG   ");
    case QtWarningMsg:
        return QStringLiteral(" WARNING ");
    case QtCriticalMsg:
        return QStringLiteral(" CRITICAL");
    case QtFatalMsg:
        return QStringLiteral(" FATAL   ");
    case QtInfoMsg:
        return QStringLiteral(" INFO    ");
    }
    return QString();
}

QString reduceFunctionName(const char *function)
{
    QString f = function ? QString::fromUtf8(function) : QString();
    const int paren = f.indexOf(QLatin1Char('('));
    if (paren >= 0)
        f.truncate(paren);
    const int space = f.lastIndexOf(QLatin1Char(' '));
    if (space >= 0)
        f = f.mid(space + 1);
    return f;
}

QString logDirectory()
{
    const QStringList locations = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    QString organisation = QCoreApplication::organizationName();
    QString application = QCoreApplication::applicationName();
    organisation.remove(QLatin1Char(' '));
    application.remove(QLatin1Char(' '));
    return joinParts({locations.value(0), organisation, application, QStringLiteral("logs")});
}

QString logFilePath(const QDate &day)
{
    return logDirectory() + QLatin1Char('/') + day.toString(Qt::ISODate);
}

namespace {

// logDirectory() found again only when what it is made of changes: working it
// out for every message cost more than writing the message.
QString cachedLogDirectory()
{
    struct Source
    {
        QByteArray configHome;
        QByteArray home;
        QString organisation;
        QString application;
        bool testMode = false;
        bool operator==(const Source &o) const
        {
            return configHome == o.configHome && home == o.home && organisation == o.organisation
                   && application == o.application && testMode == o.testMode;
        }
    };
    struct Cache
    {
        QMutex mutex;
        Source source;
        QString directory;
    };
    static Cache *cache = new Cache; // outlives objects that log while the program ends
    const Source source{qgetenv("XDG_CONFIG_HOME"), qgetenv("HOME"), QCoreApplication::organizationName(),
                        QCoreApplication::applicationName(), QStandardPaths::isTestModeEnabled()};
    QMutexLocker lock(&cache->mutex);
    if (cache->directory.isNull() || !(source == cache->source)) {
        cache->source = source;
        cache->directory = logDirectory();
    }
    return cache->directory;
}

} // namespace

} // namespace ZorvoLog

void logMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    // Messages raised in here go to Qt's default output: Qt does not re-enter a handler
    // from inside itself on the same thread.
    const QDateTime time = ZorvoLog::now();
    const QString dirPath = ZorvoLog::cachedLogDirectory();
    QFile file(dirPath + QLatin1Char('/') + time.date().toString(Qt::ISODate));
    constexpr QIODevice::OpenMode Mode = QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text;
    bool opened = file.open(Mode);
    if (!opened && !QDir(dirPath).exists()) {
        // Made when the first message comes, and again if it was removed meanwhile.
        if (QDir().mkpath(dirPath))
            opened = file.open(Mode);
        else
            qWarning("failed to create logging directory");
    }
    if (!opened)
        qWarning("failed to open logFile");
    QTextStream out(&file);
    out.setCodec("UTF-8");
    if (opened)
        out << time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) << '>' << ZorvoLog::levelTag(type);

    const int level = ZorvoLog::levelOf(type);
    if (QCoreApplication *app = QCoreApplication::instance(); app && ZorvoLog::wanted(level))
        QCoreApplication::postEvent(app, new ZorvoLog::Event(level, message));

    const QString function = ZorvoLog::reduceFunctionName(context.function);
    if (opened)
        out << ": [" << function << "] ";
    qDebug().noquote() << "[" << function << "]" << message;
    if (opened) {
        out << message << Qt::endl;
        out.flush();
        file.close();
    }
}
