#include "filelocker.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FileLocker::WriteFunction &writeFunction()
{
    static FileLocker::WriteFunction function;
    return function;
}

std::function<void()> &openedHook()
{
    static std::function<void()> hook;
    return hook;
}

// "2 (No such file or directory)"
QString systemText(int error)
{
    return QStringLiteral("%1 (%2)").arg(error).arg(qt_error_string(error));
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// True when `path` names the file open on `fd`.
bool pathNamesFile(const QByteArray &path, int fd)
{
    struct stat held, named;
    return ::fstat(fd, &held) == 0 && ::stat(path.constData(), &named) == 0 && sameFile(held, named);
}

bool writeAll(int fd, const char *data, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const qint64 n = writeFunction() ? writeFunction()(fd, data + done, size - done)
                                         : qint64(::write(fd, data + done, size_t(size - done)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        done += n;
    }
    return true;
}

// Reads the whole file from its start; false with errno set on a read error.
// Stops after maxSize + 1 bytes so that a growing file is caught too.
bool readAll(int fd, qint64 sizeHint, qint64 maxSize, QByteArray *out)
{
    const qint64 limit = maxSize + 1;
    QByteArray data;
    data.resize(int(qBound<qint64>(4096, sizeHint + 1, limit)));
    qint64 done = 0;
    while (done < limit) {
        if (done == data.size())
            data.resize(int(qMin<qint64>(limit, qint64(data.size()) * 2)));
        const ssize_t n = ::pread(fd, data.data() + done, size_t(data.size() - done), off_t(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            break;
        done += n;
    }
    data.resize(int(done));
    *out = data;
    return true;
}

// The whole contents of the open file, refused unless it is a regular file
// of at most maxSize bytes.
FileLocker::Error readRegular(int fd, qint64 maxSize, QByteArray *contents, int *systemError)
{
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        *systemError = errno;
        return FileLocker::Error::Read;
    }
    if (!S_ISREG(info.st_mode))
        return FileLocker::Error::NotRegular;
    if (info.st_size > maxSize)
        return FileLocker::Error::TooLarge;
    if (!readAll(fd, info.st_size, maxSize, contents)) {
        *systemError = errno;
        return FileLocker::Error::Read;
    }
    return contents->size() > maxSize ? FileLocker::Error::TooLarge : FileLocker::Error::None;
}

} // namespace

FileLocker::FileLocker(QObject *parent)
    : QObject(parent)
{
}

FileLocker::~FileLocker()
{
    unlockFile();
}

void FileLocker::setWriteFunction(WriteFunction function)
{
    writeFunction() = std::move(function);
}

void FileLocker::setOpenedHook(std::function<void()> hook)
{
    openedHook() = std::move(hook);
}

QByteArray FileLocker::lockFile(const QString &path)
{
    unlockFile();
    m_path = path;
    m_error = Error::None;
    m_systemError = 0;
    const QByteArray localPath = QFile::encodeName(path);

    // The holder may hand the name over to a new file between our open and
    // our lock; the lock then guards a file that no longer has this name, so
    // open the name again. A live holder keeps the new file locked.
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        fd = ::open(localPath.constData(), O_RDWR | O_CLOEXEC);
        if (fd < 0)
            return failLock(Error::Open, errno, -1);
        if (openedHook())
            openedHook()();
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
            return failLock(errno == EWOULDBLOCK ? Error::Busy : Error::Open, errno, fd);
        if (!pathNamesFile(localPath, fd)) {
            ::close(fd);
            fd = -1;
            if (attempt == 2)
                return failLock(Error::Busy, EWOULDBLOCK, -1);
        }
    }

    QByteArray contents;
    int systemError = 0;
    const Error read = readRegular(fd, MaxFileSize, &contents, &systemError);
    if (read != Error::None)
        return failLock(read, systemError, fd);

    m_fd = fd;
    m_heldContents = contents;
    qDebug().noquote() << QStringLiteral("File (%1) opened and locked").arg(path);
    return contents;
}

QByteArray FileLocker::readRegularFile(const QString &path, QString *error, qint64 maxSize)
{
    FileLocker reader;
    reader.m_path = path;
    reader.m_sizeLimit = maxSize;
    const auto refuse = [&](Error why, int systemError, int fd) {
        reader.failLock(why, systemError, fd);
        if (error)
            *error = reader.errorString();
        return QByteArray();
    };
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return refuse(Error::Open, errno, -1);
    QByteArray contents;
    int systemError = 0;
    const Error read = readRegular(fd, maxSize, &contents, &systemError);
    if (read != Error::None)
        return refuse(read, systemError, fd);
    ::close(fd);
    if (error)
        error->clear();
    return contents;
}

QByteArray FileLocker::failLock(Error error, int systemError, int fd)
{
    if (fd >= 0)
        ::close(fd);
    m_error = error;
    m_systemError = systemError;
    switch (error) {
    case Error::NotRegular:
        qWarning().noquote() << QStringLiteral("File (%1) is not a regular file").arg(m_path);
        break;
    case Error::TooLarge:
        qWarning().noquote()
            << QStringLiteral("File (%1) is too large: more than %2 bytes").arg(m_path).arg(m_sizeLimit);
        break;
    case Error::Read:
        qWarning().noquote() << QStringLiteral("File read error (%1): %2").arg(m_path, systemText(systemError));
        break;
    default:
        qWarning().noquote() << QStringLiteral("File open error (%1): %2").arg(m_path, systemText(systemError));
        break;
    }
    return QByteArray();
}

void FileLocker::unlockFile()
{
    m_heldContents.clear();
    if (m_fd < 0)
        return;
    ::close(m_fd);
    m_fd = -1;
    qDebug().noquote() << QStringLiteral("File closed and unlocked");
}

bool FileLocker::stillHoldsPath() const
{
    return m_fd >= 0 && pathNamesFile(QFile::encodeName(m_path), m_fd);
}

bool FileLocker::replaceContents(const QByteArray &contents, bool overwriteChanges)
{
    m_error = Error::None;
    m_systemError = 0;
    if (m_fd < 0)
        return failReplace(Error::NotHeld, 0);
    if (!stillHoldsPath())
        return failReplace(Error::LockLost, 0);
    if (!overwriteChanges) {
        // Only what was read or written here may be replaced unasked.
        QByteArray now;
        int systemError = 0;
        const Error read = readRegular(m_fd, MaxFileSize, &now, &systemError);
        if (read == Error::Read)
            return failReplace(Error::Read, systemError);
        if (read != Error::None || now != m_heldContents)
            return failReplace(Error::Changed, 0);
    }

    // Through a symbolic link the file it points to is replaced, not the link.
    const QString canonical = QFileInfo(m_path).canonicalFilePath();
    if (canonical.isEmpty())
        return failReplace(Error::LockLost, 0);
    const QFileInfo target(canonical);
    const QByteArray targetPath = QFile::encodeName(target.filePath());
    QByteArray tempPath = QFile::encodeName(target.absolutePath() + QLatin1String("/.") + target.fileName()
                                            + QLatin1String(".XXXXXX"));
    const int fd = ::mkostemp(tempPath.data(), O_CLOEXEC);
    if (fd < 0)
        return failReplace(Error::Write, errno);

    const auto discard = [&](int error) {
        ::unlink(tempPath.constData());
        ::close(fd);
        return failReplace(Error::Write, error);
    };
    // Nobody else knows the new file yet, so this lock cannot fail but for a
    // lack of resources; it must be in place before the file takes the name.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return discard(errno);
    struct stat held;
    if (::fstat(m_fd, &held) == 0) {
        // Keep the owner and the permissions of the file being replaced
        // (the owner only where the process may change it).
        const bool sameOwner = ::fchown(fd, held.st_uid, held.st_gid) == 0;
        ::fchmod(fd, held.st_mode & (sameOwner ? 07777 : 0777));
    }
    if (!writeAll(fd, contents.constData(), contents.size()) || ::fsync(fd) != 0
        || ::rename(tempPath.constData(), targetPath.constData()) != 0) {
        return discard(errno);
    }

    // Make the rename itself durable; a failure here loses nothing.
    const int folder = ::open(QFile::encodeName(target.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }

    ::close(m_fd);
    m_fd = fd;
    m_heldContents = contents;
    qDebug().noquote() << QStringLiteral("File (%1) written, %2 bytes, and still locked").arg(m_path).arg(contents.size());
    return true;
}

bool FileLocker::failReplace(Error error, int systemError)
{
    m_error = error;
    m_systemError = systemError;
    switch (error) {
    case Error::NotHeld:
        qWarning().noquote() << QStringLiteral("No file is held, nothing written");
        break;
    case Error::LockLost:
        qWarning().noquote() << QStringLiteral("File (%1) was removed or replaced by another program, not written")
                                    .arg(m_path);
        break;
    case Error::Changed:
        qWarning().noquote() << QStringLiteral("File (%1) was changed by another program, not written").arg(m_path);
        break;
    case Error::Read:
        qWarning().noquote() << QStringLiteral("File read error (%1): %2; the file is left unchanged")
                                    .arg(m_path, systemText(systemError));
        break;
    default:
        qWarning().noquote() << QStringLiteral("File write error (%1): %2; the file is left unchanged")
                                    .arg(m_path, systemText(systemError));
        break;
    }
    return false;
}

QString FileLocker::errorString() const
{
    const QString system = qt_error_string(m_systemError);
    switch (m_error) {
    case Error::None:
        return QString();
    case Error::Open:
        return tr("Cannot open the file %1: %2").arg(m_path, system);
    case Error::Busy:
        return tr("The file %1 is in use by another window or program").arg(m_path);
    case Error::NotRegular:
        return tr("%1 is not a regular file").arg(m_path);
    case Error::TooLarge:
        return tr("The file %1 is too large: more than %2 bytes").arg(m_path).arg(m_sizeLimit);
    case Error::Read:
        return tr("Cannot read the file %1: %2").arg(m_path, system);
    case Error::NotHeld:
        return tr("No file is open");
    case Error::LockLost:
        return tr("The file %1 was removed or replaced by another program").arg(m_path);
    case Error::Changed:
        return tr("The file %1 was changed by another program since it was read").arg(m_path);
    case Error::Write:
        return tr("Cannot write the file %1: %2. The file was left unchanged").arg(m_path, system);
    }
    return QString();
}
