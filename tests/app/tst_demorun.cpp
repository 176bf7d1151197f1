// The built program as a person starts it, on a real X server (Xvfb): on a
// copy of the demo simulation its window carries the master's model name, on
// a copy of the demo configuration file the file's name, with the file locked
// against others while it runs. A screenshot of each window is kept for a
// person to look at.
#include "filelocker.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/types.h>

namespace {
// Runs a small X tool to its end and returns what it printed.
QString runTool(const QString &program, const QStringList &arguments, int timeoutMs = 5000)
{
    QProcess tool;
    tool.start(program, arguments);
    if (!tool.waitForFinished(timeoutMs)) {
        tool.kill();
        tool.waitForFinished(1000);
        return QString();
    }
    return QString::fromUtf8(tool.readAllStandardOutput());
}
} // namespace

class DemoRunTest : public QObject
{
    Q_OBJECT

    QProcess xvfb;
    QString display;
    QString xwininfo;
    QTemporaryDir scratch;
    QString windowId; // of the window openExample found

    // The id of the top-level window whose title contains the text, polled
    // until it appears or the time is up; empty then.
    QString findWindow(const QString &title, int timeoutMs)
    {
        const QRegularExpression line(QStringLiteral("^\\s*(0x[0-9a-f]+) \"([^\"]*)\""));
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            const QString tree =
                runTool(xwininfo, {QStringLiteral("-display"), display, QStringLiteral("-root"), QStringLiteral("-tree")});
            for (const QString &text : tree.split(QLatin1Char('\n'))) {
                const QRegularExpressionMatch match = line.match(text);
                if (match.hasMatch() && match.captured(2).contains(title))
                    return match.captured(1);
            }
            QTest::qWait(200);
        }
        return QString();
    }

    // A screenshot of the window, for a person to look at.
    void saveScreenshot(const QString &windowId, const QString &name)
    {
        QDir().mkpath(QStringLiteral(SCREENSHOT_DIR));
        const QString file = QStringLiteral(SCREENSHOT_DIR "/") + name;
        QFile::remove(file);
        const QString import = QStandardPaths::findExecutable(QStringLiteral("import"));
        if (import.isEmpty()) {
            qWarning("No screenshot: ImageMagick's import is not installed");
            return;
        }
        runTool(import, {QStringLiteral("-display"), display, QStringLiteral("-window"), windowId, file}, 15000);
        QVERIFY2(QFileInfo(file).size() > 0, qPrintable(file));
        qInfo().noquote() << "Screenshot:" << file;
    }

    // Starts the program on the file with its own settings and data folders.
    void startTandrel(QProcess &program, const QString &file, const QString &home)
    {
        QDir().mkpath(home + QStringLiteral("/config"));
        QDir().mkpath(home + QStringLiteral("/data"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
        program.setProcessEnvironment(env);
        program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        program.setStandardOutputFile(QProcess::nullDevice());
        program.start(QStringLiteral(TANDREL_BINARY), {file});
        QVERIFY2(program.waitForStarted(5000), qPrintable(program.errorString()));
    }

    // Ends the program by its process id; it must be gone within the time-out.
    static void endTandrel(QProcess &program)
    {
        if (program.state() == QProcess::NotRunning)
            return;
        ::kill(pid_t(program.processId()), SIGTERM);
        if (!program.waitForFinished(5000)) {
            program.kill();
            program.waitForFinished(2000);
            QFAIL("Tandrel did not end within 5 s of SIGTERM");
        }
    }

    // Starts the program on a copy of the example and finds its window by
    // the title; ends the program and fails when no such window comes.
    QString openExample(QProcess &program, const QString &example, const QString &title)
    {
        const QString file = copyExample(example);
        if (file.isEmpty())
            return QString();
        startTandrel(program, file, scratch.filePath(example + QStringLiteral("-home")));
        windowId = findWindow(title, 20000);
        if (windowId.isEmpty())
            endTandrel(program);
        return windowId.isEmpty() ? QString() : file;
    }

    QString copyExample(const QString &name)
    {
        const QString path = scratch.filePath(name);
        QFile::remove(path);
        if (!QFile::copy(QStringLiteral(TANDREL_EXAMPLES_DIR "/") + name, path))
            return QString();
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        return path;
    }

private slots:
    void initTestCase()
    {
        const QString server = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        xwininfo = QStandardPaths::findExecutable(QStringLiteral("xwininfo"));
        if (server.isEmpty() || xwininfo.isEmpty())
            QSKIP("Xvfb and xwininfo are needed (scripts/setup installs xvfb and x11-utils)");
        QVERIFY(scratch.isValid());
        // The server picks a free display and tells its number on standard output.
        xvfb.start(server, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                            QStringLiteral("0"), QStringLiteral("1400x900x24"), QStringLiteral("-nolisten"),
                            QStringLiteral("tcp")});
        QVERIFY(xvfb.waitForStarted(5000));
        QElapsedTimer clock;
        clock.start();
        QByteArray number;
        while (!number.contains('\n') && clock.elapsed() < 10000) {
            xvfb.waitForReadyRead(200);
            number += xvfb.readAllStandardOutput();
        }
        QVERIFY2(number.contains('\n'), "Xvfb told no display number");
        display = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
    }

    void cleanupTestCase()
    {
        if (xvfb.state() != QProcess::NotRunning) {
            xvfb.terminate();
            if (!xvfb.waitForFinished(5000))
                xvfb.kill();
        }
    }

    void demoSimulation()
    {
        QProcess program;
        const QString file = openExample(program, QStringLiteral("demo.sim"), QStringLiteral("Zentar-HUBRO125 exec. 01"));
        QVERIFY2(!file.isEmpty(), "no window titled with the master's model name");
        QTest::qWait(1500); // the devices arrive and the views settle
        saveScreenshot(windowId, QStringLiteral("demo-simulation.png"));
        // Only read: nobody is kept from the file.
        FileLocker other;
        other.lockFile(file);
        QVERIFY(other.isLocked());
        other.unlockFile();
        endTandrel(program);
    }

    void demoConfigurationFile()
    {
        QProcess program;
        const QString file = openExample(program, QStringLiteral("demo.conf"), QStringLiteral("demo.conf"));
        QVERIFY2(!file.isEmpty(), "no window titled demo.conf");
        {
            FileLocker other;
            other.lockFile(file);
            QVERIFY2(!other.isLocked(), "the open configuration file is not locked");
        }
        QTest::qWait(500);
        saveScreenshot(windowId, QStringLiteral("demo-configuration.png"));
        endTandrel(program);
        FileLocker after;
        after.lockFile(file);
        QVERIFY(after.isLocked());
    }
};

QTEST_GUILESS_MAIN(DemoRunTest)
#include "tst_demorun.moc"
