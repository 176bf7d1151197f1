#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

// Holds one existing file open and under an exclusive advisory lock (flock)
// for as long as the program works on it. Other lockers, in this process or
// any other, fail on the file until it is released. The descriptor is not
// inherited by started child processes, so a child never keeps the lock.
//
// replaceContents() writes new contents without ever letting go of the
// lock: the new file is locked before it takes the name, and the old one is
// released only after that.
class FileLocker : public QObject
{
    Q_OBJECT
public:
    enum class Error {
        None,
        Open,       // the file cannot be opened (missing, access denied, ...)
        Busy,       // another locker holds it
        NotRegular, // a folder, device or pipe
        TooLarge,   // above the size limit (MaxFileSize unless the caller names another)
        Read,
        NotHeld,    // replaceContents() with no file held
        LockLost,   // the name now refers to another file, or to none
        Changed,    // another program changed the held file since it was read or written here
        Write,
    };
    Q_ENUM(Error)

    // No configuration reaches this size; larger files are refused, not cut.
    static constexpr qint64 MaxFileSize = 16 * 1024 * 1024;

    explicit FileLocker(QObject *parent = nullptr);
    ~FileLocker() override; // releases the held file

    // Opens the existing file read-write, locks it and returns its whole
    // contents. On failure nothing is held and the result is empty: tell an
    // empty file from a failure by isLocked(). A file held before is released
    // first.
    QByteArray lockFile(const QString &path);

    // Reads a whole regular file without locking it. A pipe, folder or device
    // is refused before anything is read from it (opening never blocks), as
    // is a file above maxSize bytes; on failure the result is empty and *error
    // holds the same text errorString() gives.
    static QByteArray readRegularFile(const QString &path, QString *error, qint64 maxSize = MaxFileSize);

    // Closes the held file, which ends its lock; does nothing when none is held.
    void unlockFile();

    // Replaces the held file's contents: writes them to a new locked file in
    // the same folder, flushes it to disk, renames it over the path and only
    // then releases the old file. On failure the file on disk and the lock
    // stay as they were and false is returned (see error()).
    //
    // The lock keeps out other lockers only: a program that writes the file
    // without asking is caught here. Unless `overwriteChanges`, contents that
    // differ from those last read or written through this locker are not
    // overwritten (Changed).
    bool replaceContents(const QByteArray &contents, bool overwriteChanges = false);

    bool isLocked() const { return m_fd >= 0; }
    // False when the held file was removed or replaced behind the locker's
    // back, i.e. the lock no longer guards the path.
    bool stillHoldsPath() const;
    // The path of the last lockFile() call.
    QString path() const { return m_path; }

    // The outcome of the last lockFile() or replaceContents().
    Error error() const { return m_error; }
    int systemError() const { return m_systemError; } // errno, 0 when none applies
    QString errorString() const;                      // translated, for the user

    // Test seam: replaces write(2) in replaceContents(); an empty function
    // restores it. Returns the bytes written, or -1 with errno set.
    using WriteFunction = std::function<qint64(int fd, const char *data, qint64 size)>;
    static void setWriteFunction(WriteFunction function);
    // Test seam: called in lockFile() between opening the file and locking it.
    static void setOpenedHook(std::function<void()> hook);

private:
    QByteArray failLock(Error error, int systemError, int fd);
    bool failReplace(Error error, int systemError);

    int m_fd = -1;
    QString m_path;
    Error m_error = Error::None;
    int m_systemError = 0;
    qint64 m_sizeLimit = MaxFileSize; // the size above which a file is refused
    // The contents last read or written, shared with the caller's copy: compared
    // whole with the file before it is replaced.
    QByteArray m_heldContents;
};
