#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

// Follows one file path through every kind of save: an editor that writes
// the file in place, and one that writes a new file and renames it over the
// path (the watch on the old file then ends). After each change the path is
// watched anew; while it is missing (between a removal and the new file),
// watching is retried for a while. A burst of changes is reported once.
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

    // How often and how long a missing path is looked for (defaults: every
    // 100 ms, 50 times). Tests shorten them.
    static void setRetryTiming(int intervalMs, int attempts);

signals:
    // The file's contents may have changed; the path is watched again.
    void changed();

private:
    void onFileChanged();
    void settle();
    bool watchAgain();
    void retry();

    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QTimer m_retry;
    QString m_path;
    int m_attempts = 0;
};
