#include "appglobals.h"
#include "logging.h"
#include "mainwindow.h"
#include "settings.h"
#include "startup.h"
#include "testhooks.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QtTest>

#include <csignal>

namespace {
struct Pass
{
    QString title;
    QString displayName;
    QString filePath;
    QString appName, orgName, version;
    QString model141;
    // Qt's own text of a standard button, and the marked language entries.
    QString cancelButton;
    // The default locale: dates and numbers in the language of the texts.
    QString locale;
    bool russianMarked = false, englishMarked = false;
    qint64 pid = 0;
};

QString todaysLog()
{
    QFile f(ZorvoLog::logFilePath(QDate::currentDate()));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}
} // namespace

class StartupTest : public QObject
{
    Q_OBJECT
private slots:
    void restartLoopAndLanguages()
    {
        QVector<Pass> passes;
        // Each pass answers with the next exit code; what to store before it is set per pass.
        const QList<int> codes{RestartExitCode, RestartExitCode, 7};
        TestHooks::afterMainWindowShown = [&](QWidget *w) {
            const int index = passes.size();
            QTimer::singleShot(0, [code = codes.value(index, 0)] { QApplication::exit(code); });
            Pass p;
            p.title = w->windowTitle();
            p.displayName = QApplication::applicationDisplayName();
            p.filePath = static_cast<MainWindow *>(w)->startupFilePath();
            p.appName = QApplication::applicationName();
            p.orgName = QApplication::organizationName();
            p.version = QApplication::applicationVersion();
            p.model141 = deviceModelNames.at(141);
            p.pid = QApplication::applicationPid();
            p.cancelButton = QCoreApplication::translate("QPlatformTheme", "Cancel");
            p.locale = QLocale().name();
            p.russianMarked = w->findChild<QAction *>(QStringLiteral("acLangRussian"))->isChecked();
            p.englishMarked = w->findChild<QAction *>(QStringLiteral("acLangEnglish"))->isChecked();
            passes << p;
            if (index == 0)
                appSettings.setValue(SettingsKey::Language, QStringLiteral("english"));
            else if (index == 1) {
                appSettings.setValue(SettingsKey::Language, QStringLiteral("external"));
                appSettings.setValue(SettingsKey::QmFile, QStringLiteral("/nonexistent/tr.qm"));
            }
        };

        QVERIFY(!appSettings.contains(SettingsKey::Language));
        QByteArray arg0("Tandrel"), arg1(QStringLiteral("/tmp/объект №1.conf").toUtf8()), arg2("ignored");
        char *argv[] = {arg0.data(), arg1.data(), arg2.data(), nullptr};
        int argc = 3;
        std::signal(SIGXFSZ, SIG_DFL);
        const int code = runTandrel(argc, argv);
        TestHooks::afterMainWindowShown = nullptr;
        // A file-size limit makes a write fail instead of killing the program.
        struct sigaction fileSizeAction = {};
        QCOMPARE(sigaction(SIGXFSZ, nullptr, &fileSizeAction), 0);
        QVERIFY(fileSizeAction.sa_handler == SIG_IGN);

        QCOMPARE(code, 7);
        QCOMPARE(passes.size(), 3);
        // Empty store: Russian, Qt's own texts too although the locale is not
        // Russian, and the language menu marks it.
        QVERIFY(!QLocale::system().name().startsWith(QLatin1String("ru")));
        QCOMPARE(passes[0].title, QStringLiteral("Конфигуратор Zentar"));
        QCOMPARE(passes[0].displayName, QStringLiteral("Конфигуратор Zentar"));
        QCOMPARE(passes[0].cancelButton, QStringLiteral("Отмена"));
        QVERIFY(passes[0].russianMarked && !passes[0].englishMarked);
        QCOMPARE(passes[1].cancelButton, QStringLiteral("Cancel"));
        QVERIFY(!passes[1].russianMarked && passes[1].englishMarked);
        // An outside translation file marks neither entry.
        QVERIFY(!passes[2].russianMarked && !passes[2].englishMarked);
        QCOMPARE(passes[0].locale, QStringLiteral("ru_RU"));
        QCOMPARE(passes[1].locale, QStringLiteral("en_US"));
        QCOMPARE(passes[2].locale, QLocale::system().name());
        // "english", then "external" with a missing file: the English source texts.
        QCOMPARE(passes[1].title, QStringLiteral("Zentar Configurator"));
        QCOMPARE(passes[2].title, QStringLiteral("Zentar Configurator"));
        for (const Pass &p : passes) {
            QCOMPARE(p.filePath, QStringLiteral("/tmp/объект №1.conf"));
            QCOMPARE(p.appName, QStringLiteral("ZentarConfigurator"));
            QCOMPARE(p.orgName, QStringLiteral("Zorvo"));
            QCOMPARE(p.version, QStringLiteral("1.14.4043"));
            QCOMPARE(p.model141, QStringLiteral("Zentar-HUBRO125 exec. 01"));
            QCOMPARE(p.pid, passes[0].pid);
        }
        // The settings store kept its contents across passes.
        QCOMPARE(appSettings.value(SettingsKey::Language).toString(), QStringLiteral("external"));

        // The day's log: one start marker per pass, the translator line only for Russian.
        QCoreApplication::setOrganizationName(QStringLiteral("Zorvo"));
        QCoreApplication::setApplicationName(QStringLiteral("ZentarConfigurator"));
        const QString log = todaysLog();
        QCOMPARE(log.count(QStringLiteral("NEW START")), 3);
        QCOMPARE(log.count(QStringLiteral("[] using tandrel_ru")), 1);
        QVERIFY(log.indexOf(QStringLiteral("NEW START")) < log.indexOf(QStringLiteral("using tandrel_ru")));
    }
};

int main(int argc, char **argv)
{
    StartupTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_startup.moc"
