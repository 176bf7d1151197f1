#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

// Follows one file path through every kind of save: an editor that writes
// the file in place, and one that writes a new file and renames it over the
// path (the watch on the old file then ends). After each change the path is
// watched anew; while it is missing (between a removal and the new file) or
// names no regular file (a folder took its name), it is looked for again and
// again: quickly at first, then, once it is reported lost, at a slower pace
// until it is back. A burst of changes is reported once.
class FileFollower : public QObject
{
    Q_OBJECT
public:
    explicit FileFollower(QObject *parent = nullptr);

    // Starts following `path`; false when it cannot be watched (missing).
    bool follow(const QString &path);
    void stop();

    QString path() const { return m_path; }
    bool isWatching() const;
    // The path was missing after a change and is being looked for.
    bool isRetrying() const { return m_retry.isActive(); }
    // Missing for longer than the quick retries: reported by lostChanged().
    bool isLost() const { return m_lost; }

    // How often and how long a missing path is looked for quickly (defaults:
    // every 100 ms, 50 times); after that it is looked for at ten times the
    // interval. Tests shorten them.
    static void setRetryTiming(int intervalMs, int attempts);

signals:
    // The file's contents may have changed; the path is watched again.
    void changed();
    // The path has been missing for longer than the quick retries (true), or
    // is back after that (false).
    void lostChanged(bool lost);

private:
    void onFileChanged();
    void settle();
    bool watchAgain();
    bool watchPath();
    void retry();
    void setLost(bool lost);

    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QTimer m_retry;
    QString m_path;
    int m_attempts = 0;
    bool m_lost = false;
};
