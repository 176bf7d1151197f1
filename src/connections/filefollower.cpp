#include "filefollower.h"

#include <QDebug>
#include <QFileInfo>

namespace {
int retryIntervalMs = 100;
int retryAttempts = 50;
} // namespace

void FileFollower::setRetryTiming(int intervalMs, int attempts)
{
    retryIntervalMs = intervalMs;
    retryAttempts = attempts;
}

FileFollower::FileFollower(QObject *parent)
    : QObject(parent)
{
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &FileFollower::onFileChanged);
    m_settle.setSingleShot(true);
    m_settle.setInterval(0);
    connect(&m_settle, &QTimer::timeout, this, &FileFollower::settle);
    connect(&m_retry, &QTimer::timeout, this, &FileFollower::retry);
}

bool FileFollower::follow(const QString &path)
{
    stop();
    m_path = path;
    return !m_path.isEmpty() && watchPath();
}

// Only a regular file is watched: the events of a folder of that name would
// go nowhere.
bool FileFollower::watchPath()
{
    return QFileInfo(m_path).isFile() && m_watcher.addPath(m_path) && m_watcher.files().contains(m_path);
}

void FileFollower::setLost(bool lost)
{
    if (m_lost == lost)
        return;
    m_lost = lost;
    emit lostChanged(lost);
}

void FileFollower::stop()
{
    m_settle.stop();
    m_retry.stop();
    if (!m_watcher.files().isEmpty())
        m_watcher.removePaths(m_watcher.files());
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    m_path.clear();
    m_lost = false;
}

bool FileFollower::isWatching() const
{
    return !m_path.isEmpty() && m_watcher.files().contains(m_path);
}

void FileFollower::onFileChanged()
{
    // Events of one save arrive together: handle them in one pass.
    if (!m_path.isEmpty())
        m_settle.start();
}

void FileFollower::settle()
{
    // A watch may outlive its file (replaced by rename while another
    // program still holds it open): always watch what the path names now.
    if (watchAgain())
        emit changed();
}

bool FileFollower::watchAgain()
{
    if (m_watcher.files().contains(m_path))
        m_watcher.removePath(m_path);
    if (watchPath()) {
        m_retry.stop();
        return true;
    }
    m_attempts = 0;
    m_retry.start(retryIntervalMs);
    return false;
}

void FileFollower::retry()
{
    if (watchPath()) {
        m_retry.stop();
        if (m_lost)
            qDebug().noquote() << QStringLiteral("File (%1) is back, followed again").arg(m_path);
        setLost(false);
        emit changed();
        return;
    }
    // Never given up: after the quick tries the path is looked for slowly.
    if (++m_attempts == retryAttempts) {
        qWarning().noquote() << QStringLiteral("File (%1) is gone, looked for until it is back").arg(m_path);
        m_retry.start(retryIntervalMs * 10);
        setLost(true);
    }
}
