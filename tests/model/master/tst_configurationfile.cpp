// Writing a configuration file: in one step, never over a file that a
// window holds locked.
#include "configurationexporter.h"
#include "filelocker.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Lowers the process's file size limit while it lives: writes beyond it fail.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit lowered = m_saved;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }

private:
    rlimit m_saved{};
};

} // namespace

class ConfigurationFileTest : public QObject
{
    Q_OBJECT

private slots:
    void replacesTheWholeFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("saved.conf");
        writeFile(path, QByteArray(4096, 'x'));
        ConfigurationExporterHubro125 exporter({}, nullptr);
        QVERIFY(exporter.saveToFile(path));
        QCOMPARE(contentsOf(path), QByteArray("{\n}\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"saved.conf"});
    }

    // A failed write leaves the old file as it was, and no half-written file.
    void failedWriteKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("saved.conf");
        writeFile(path, "old configuration");
        ConfigurationExporterHubro125 exporter({}, nullptr);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Error occured while configuration file written "));
        {
            const FileSizeLimit limit(1);
            QVERIFY(!exporter.saveToFile(path));
        }
        QCOMPARE(contentsOf(path), QByteArray("old configuration"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"saved.conf"});
    }

    void unwritablePlaceFails()
    {
        QTemporaryDir dir;
        ConfigurationExporterHubro125 exporter({}, nullptr);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Can't save configuration "));
        QVERIFY(!exporter.saveToFile(dir.filePath("missing/saved.conf")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Can't save configuration "));
        QVERIFY(!exporter.saveToFile(dir.path()));
    }

    // A file that a window has open (held by its file locker) is not written;
    // once released it is.
    void refusesALockedFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("open.conf");
        writeFile(path, "held configuration");
        FileLocker locker;
        locker.lockFile(path);
        QVERIFY(locker.isLocked());

        ConfigurationExporterHubro125 exporter({}, nullptr);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Can't save configuration .*locked"));
        QVERIFY(!exporter.saveToFile(path));
        QCOMPARE(contentsOf(path), QByteArray("held configuration"));
        QVERIFY(locker.stillHoldsPath());

        locker.unlockFile();
        QVERIFY(exporter.saveToFile(path));
        QCOMPARE(contentsOf(path), QByteArray("{\n}\n"));
    }
};

QTEST_MAIN(ConfigurationFileTest)
#include "tst_configurationfile.moc"
