// The file locker against real files, a second locker in this process and
// lockers in child processes (this program started again in a helper mode).

#include "filelocker.h"
#include "messagecapture.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <memory>
#include <sys/select.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Helper modes of this program, run in a child process.
//   --try-lock PATH  exit 0 when PATH could be locked, 1 when not
//   --hold           wait until standard input ends (holds what it inherited)
//   --poll PATH      print "ready", then try to lock PATH until standard input
//                    ends; exit 2 at once ("GOT") when a try succeeds, else
//                    print the number of tries and exit 0
int runHelper(int argc, char **argv)
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    const QByteArray mode = argv[1];
    const QString path = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    if (mode == "--try-lock") {
        FileLocker locker;
        locker.lockFile(path);
        return locker.isLocked() ? 0 : 1;
    }
    if (mode == "--hold") {
        char c;
        while (::read(0, &c, 1) > 0) {
        }
        return 0;
    }
    if (mode == "--poll") {
        for (int tries = 1;; ++tries) {
            FileLocker locker;
            locker.lockFile(path);
            if (locker.isLocked()) {
                std::fputs("GOT\n", stdout);
                return 2;
            }
            if (tries == 1) {
                std::fputs("ready\n", stdout);
                std::fflush(stdout);
            }
            // Standard input readable: data or its end.
            fd_set fds;
            FD_ZERO(&fds);
            FD_SET(0, &fds);
            timeval now{0, 0};
            if (::select(1, &fds, nullptr, nullptr, &now) > 0) {
                std::printf("%d\n", tries);
                return 0;
            }
        }
    }
    return 3;
}


QString systemText(int error)
{
    return QStringLiteral("%1 (%2)").arg(error).arg(QString::fromLocal8Bit(std::strerror(error)));
}

bool writeFile(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Starts this program in a helper mode.
bool startHelper(QProcess &child, const QString &mode, const QString &path = QString())
{
    child.start(QCoreApplication::applicationFilePath(), path.isEmpty() ? QStringList{mode} : QStringList{mode, path});
    return child.waitForStarted();
}

// Whether a locker in another process can lock the file now.
bool otherProcessCanLock(const QString &path)
{
    QProcess child;
    startHelper(child, QStringLiteral("--try-lock"), path);
    if (!child.waitForFinished(10000))
        qFatal("--try-lock helper did not finish");
    return child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
}

QByteArray pattern(int size)
{
    QByteArray data(size, '\0');
    for (int i = 0; i < size; ++i)
        data[i] = char('a' + i % 23);
    return data;
}

} // namespace

class FileLockerTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString file(const QString &name, const QByteArray &contents)
    {
        const QString path = dir.filePath(name);
        if (!writeFile(path, contents))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    // Files of the folder besides the expected ones: left-over temporary files.
    QStringList strayFiles(const QStringList &expected)
    {
        QStringList names = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
        for (const QString &name : expected)
            names.removeAll(name);
        return names;
    }

private slots:
    void cleanup()
    {
        FileLocker::setWriteFunction(nullptr);
        FileLocker::setOpenedHook(nullptr);
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
    }

    void returnsTheWholeContentsAndHolds_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("small") << QByteArray("{\n    \"version\": \"1.0\"\n}\n");
        QTest::newRow("beyond 64 KiB") << pattern(70000);
        QTest::newRow("the largest taken") << pattern(int(FileLocker::MaxFileSize));
    }
    void returnsTheWholeContentsAndHolds()
    {
        QFETCH(QByteArray, contents);
        const QString path = file(QStringLiteral("a.conf"), contents);
        MessageCapture log;
        FileLocker locker;
        QCOMPARE(locker.lockFile(path), contents);
        QVERIFY(locker.isLocked());
        QCOMPARE(locker.error(), FileLocker::Error::None);
        QCOMPARE(log.lines, QStringList{QStringLiteral("File (%1) opened and locked").arg(path)});
        QVERIFY(!otherProcessCanLock(path));
    }

    void refusesWhatItCannotHold_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<FileLocker::Error>("error");
        QTest::addColumn<int>("systemError");
        QTest::addColumn<QString>("logged");
        QTest::newRow("missing") << "missing.conf" << FileLocker::Error::Open << ENOENT
                                 << "File open error (%1): " + systemText(ENOENT);
        QTest::newRow("folder") << "folder" << FileLocker::Error::Open << EISDIR
                                << "File open error (%1): " + systemText(EISDIR);
        QTest::newRow("pipe") << "pipe" << FileLocker::Error::NotRegular << 0
                              << "File (%1) is not a regular file";
        QTest::newRow("too large") << "large.conf" << FileLocker::Error::TooLarge << 0
                                   << QStringLiteral("File (%1) is too large: more than 16777216 bytes");
    }
    void refusesWhatItCannotHold()
    {
        QFETCH(QString, name);
        QFETCH(FileLocker::Error, error);
        QFETCH(int, systemError);
        QFETCH(QString, logged);
        const QString path = dir.filePath(name);
        if (name == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(path));
        if (name == QLatin1String("pipe"))
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        if (name == QLatin1String("large.conf")) {
            QFile large(path);
            QVERIFY(large.open(QIODevice::WriteOnly) && large.resize(FileLocker::MaxFileSize + 1));
        }

        MessageCapture log;
        FileLocker locker;
        QVERIFY(locker.lockFile(path).isEmpty());
        QVERIFY(!locker.isLocked());
        QCOMPARE(locker.error(), error);
        QCOMPARE(locker.systemError(), systemError);
        QVERIFY(!locker.errorString().isEmpty());
        QCOMPARE(log.lines, QStringList{logged.arg(path)});

        // Nothing stays held, and releasing what is not held says nothing.
        locker.unlockFile();
        QCOMPARE(log.lines.size(), 1);
        if (name == QLatin1String("large.conf")) {
            const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR);
            QVERIFY(fd >= 0);
            QCOMPARE(::flock(fd, LOCK_EX | LOCK_NB), 0);
            ::close(fd);
        }
    }

    void secondLockerFailsUntilTheFirstLetsGo()
    {
        const QString path = file(QStringLiteral("a.conf"), "{}");
        FileLocker first;
        QCOMPARE(first.lockFile(path), QByteArray("{}"));

        MessageCapture log;
        auto second = std::make_unique<FileLocker>();
        QVERIFY(second->lockFile(path).isEmpty());
        QCOMPARE(second->error(), FileLocker::Error::Busy);
        QCOMPARE(log.lines, QStringList{QStringLiteral("File open error (%1): %2").arg(path, systemText(EWOULDBLOCK))});
        QVERIFY(!otherProcessCanLock(path));

        first.unlockFile();
        first.unlockFile();
        QCOMPARE(log.count(QStringLiteral("File closed and unlocked")), 1);
        QVERIFY(!first.isLocked());

        QCOMPARE(second->lockFile(path), QByteArray("{}"));
        QVERIFY(!otherProcessCanLock(path));
        QVERIFY(first.lockFile(path).isEmpty());

        // The destructor releases the file.
        second.reset();
        QVERIFY(otherProcessCanLock(path));
    }

    void startedChildDoesNotKeepTheLock()
    {
        const QString path = file(QStringLiteral("a.conf"), "{}");
        FileLocker locker;
        locker.lockFile(path);
        QProcess child;
        QVERIFY(startHelper(child, QStringLiteral("--hold")));

        locker.unlockFile();
        FileLocker next;
        next.lockFile(path);
        QVERIFY2(next.isLocked(), "the child inherited the locked descriptor");

        child.closeWriteChannel();
        QVERIFY(child.waitForFinished());
    }

    void replaceKeepsTheLockAndTheFileAttributes()
    {
        const QString path = file(QStringLiteral("a.conf"), "old");
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0640), 0);
        // Through a symbolic link the link stays and its target changes.
        const QString link = dir.filePath(QStringLiteral("link.conf"));
        QVERIFY(QFile::link(path, link));

        FileLocker locker;
        QCOMPARE(locker.lockFile(link), QByteArray("old"));
        for (const QByteArray &contents : {QByteArray("new contents"), QByteArray(), pattern(100000)}) {
            QVERIFY(locker.replaceContents(contents));
            QCOMPARE(locker.error(), FileLocker::Error::None);
            QCOMPARE(readFile(path), contents);
            QVERIFY(locker.stillHoldsPath());
            QVERIFY(!otherProcessCanLock(path));
            QVERIFY(!otherProcessCanLock(link));
        }
        QVERIFY(QFileInfo(link).isSymLink());
        struct stat info;
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
        QCOMPARE(info.st_mode & 07777, mode_t(0640));
        QCOMPARE(strayFiles({QStringLiteral("a.conf"), QStringLiteral("link.conf")}), QStringList());

        locker.unlockFile();
        QVERIFY(otherProcessCanLock(path));
    }

    // Another process tries to lock the file all through many hand-overs
    // and never gets it.
    void handOverLeavesNoGap()
    {
        const QString path = file(QStringLiteral("a.conf"), "0");
        FileLocker locker;
        locker.lockFile(path);

        QProcess poller;
        QVERIFY(startHelper(poller, QStringLiteral("--poll"), path));
        QVERIFY(poller.waitForReadyRead(10000));
        QCOMPARE(poller.readLine(), QByteArray("ready\n"));

        {
            MessageCapture quiet;
            for (int i = 1; i <= 200 && poller.state() == QProcess::Running; ++i)
                QVERIFY(locker.replaceContents(QByteArray::number(i)));
        }
        poller.closeWriteChannel();
        QVERIFY(poller.waitForFinished(10000));
        const QByteArray output = poller.readAll();
        QVERIFY2(poller.exitCode() == 0, output.constData());
        QVERIFY(output.trimmed().toInt() > 1);
        qDebug("%d tries of the other process failed", output.trimmed().toInt());
        QCOMPARE(readFile(path), QByteArray("200"));
    }

    // A locker that opened the file just before a hand-over and locks it just
    // after gets the lock of a file that lost its name: it must not take it.
    void lockTakenAfterAHandOverIsNotKept()
    {
        const QString path = file(QStringLiteral("a.conf"), "old");
        FileLocker holder;
        holder.lockFile(path);
        int opened = 0;
        FileLocker::setOpenedHook([&] {
            if (++opened == 1)
                QVERIFY(holder.replaceContents("new"));
        });

        FileLocker late;
        QVERIFY(late.lockFile(path).isEmpty());
        QVERIFY(!late.isLocked());
        QCOMPARE(late.error(), FileLocker::Error::Busy);
        QCOMPARE(opened, 2);

        // Once the holder lets go the file is taken with its new contents.
        holder.unlockFile();
        QCOMPARE(late.lockFile(path), QByteArray("new"));
    }

    void failedWriteLeavesTheOriginalWhole_data()
    {
        QTest::addColumn<int>("failAfter"); // bytes written before the failure, -1 never
        QTest::addColumn<bool>("written");
        QTest::newRow("no space at once") << 0 << false;
        QTest::newRow("no space midway") << 50000 << false;
        QTest::newRow("short writes only") << -1 << true;
    }
    void failedWriteLeavesTheOriginalWhole()
    {
        QFETCH(int, failAfter);
        QFETCH(bool, written);
        const QByteArray original = pattern(3000);
        const QByteArray contents = pattern(120000).toUpper();
        const QString path = file(QStringLiteral("a.conf"), original);
        FileLocker locker;
        locker.lockFile(path);

        qint64 total = 0;
        FileLocker::setWriteFunction([&](int fd, const char *data, qint64 size) -> qint64 {
            if (failAfter >= 0 && total >= failAfter) {
                errno = ENOSPC;
                return -1;
            }
            const qint64 n = ::write(fd, data, size_t(qMin<qint64>(size, 4096)));
            total += qMax<qint64>(n, 0);
            return n;
        });
        MessageCapture log;
        QCOMPARE(locker.replaceContents(contents), written);
        if (written) {
            QCOMPARE(readFile(path), contents);
        } else {
            QCOMPARE(locker.error(), FileLocker::Error::Write);
            QCOMPARE(locker.systemError(), ENOSPC);
            QVERIFY(locker.errorString().contains(path));
            QCOMPARE(log.matching(QStringLiteral("^File write error")),
                     QStringList{QStringLiteral("File write error (%1): %2; the file is left unchanged")
                                     .arg(path, systemText(ENOSPC))});
            QCOMPARE(readFile(path), original);
        }
        QVERIFY(locker.isLocked());
        QVERIFY(locker.stillHoldsPath());
        QVERIFY(!otherProcessCanLock(path));
        QCOMPARE(strayFiles({QStringLiteral("a.conf")}), QStringList());

        // Once writing works again the next write-back goes through.
        FileLocker::setWriteFunction(nullptr);
        QVERIFY(locker.replaceContents("again"));
        QCOMPARE(readFile(path), QByteArray("again"));
    }

    void changesOfAnotherWriterAreNotOverwrittenUnasked_data()
    {
        QTest::addColumn<QByteArray>("theirs");
        QByteArray sameSize = pattern(3000);
        sameSize[1500] = 'Z';
        QTest::newRow("same size") << sameSize;
        QTest::newRow("shorter") << QByteArray("{}");
        QTest::newRow("emptied") << QByteArray();
        QTest::newRow("longer") << pattern(9000);
    }
    void changesOfAnotherWriterAreNotOverwrittenUnasked()
    {
        QFETCH(QByteArray, theirs);
        const QString path = file(QStringLiteral("a.conf"), pattern(3000));
        FileLocker locker;
        locker.lockFile(path);
        // Written here: no change of another's, though the file is new.
        QVERIFY(locker.replaceContents(pattern(3000)));

        // Another program writes the same file in place, heedless of the lock.
        QVERIFY(writeFile(path, theirs));
        MessageCapture log;
        QVERIFY(!locker.replaceContents("ours"));
        QCOMPARE(locker.error(), FileLocker::Error::Changed);
        QVERIFY(locker.errorString().contains(path));
        QCOMPARE(log.matching(QStringLiteral("^File .* changed")),
                 QStringList{QStringLiteral("File (%1) was changed by another program, not written").arg(path)});
        QCOMPARE(readFile(path), theirs);
        QVERIFY(locker.isLocked());

        // Told to, the locker overwrites; what it wrote is then its own again.
        QVERIFY(locker.replaceContents("ours", true));
        QCOMPARE(readFile(path), QByteArray("ours"));
        QVERIFY(locker.replaceContents("ours again"));
        QCOMPARE(readFile(path), QByteArray("ours again"));
        QVERIFY(!otherProcessCanLock(path));
    }

    void replaceRefusedWithoutAValidLock()
    {
        FileLocker idle;
        QVERIFY(!idle.replaceContents("x"));
        QCOMPARE(idle.error(), FileLocker::Error::NotHeld);

        // The file is removed, then replaced by one that no lock guards.
        const QString path = file(QStringLiteral("a.conf"), "old");
        FileLocker locker;
        locker.lockFile(path);
        QVERIFY(QFile::remove(path));
        QVERIFY(!locker.stillHoldsPath());
        QVERIFY(!locker.replaceContents("new"));
        QCOMPARE(locker.error(), FileLocker::Error::LockLost);
        QVERIFY(!QFile::exists(path));

        file(QStringLiteral("a.conf"), "theirs");
        QVERIFY(!locker.replaceContents("new"));
        QCOMPARE(locker.error(), FileLocker::Error::LockLost);
        QCOMPARE(readFile(path), QByteArray("theirs"));
    }
};

int main(int argc, char **argv)
{
    if (argc > 1 && (!std::strcmp(argv[1], "--try-lock") || !std::strcmp(argv[1], "--hold") || !std::strcmp(argv[1], "--poll")))
        return runHelper(argc, argv);
    QCoreApplication app(argc, argv);
    FileLockerTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_filelocker.moc"
