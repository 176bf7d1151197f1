#include "startup.h"

#include "appglobals.h"
#include "diagnosticsopeners.h"
#include "logging.h"
#include "mainwindow.h"
#include "registerdeviceclasses.h"
#include "registermasterclass.h"
#include "resources.h"
#include "settings.h"
#include "testhooks.h"

#include <QApplication>
#include <QDebug>
#include <QTranslator>

#include <csignal>

void ignoreFileSizeSignal()
{
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

QLocale languageLocale(const QString &language)
{
    if (language == QLatin1String("russian"))
        return QLocale(QLocale::Russian, QLocale::Russia);
    if (language == QLatin1String("english"))
        return QLocale(QLocale::English, QLocale::UnitedStates);
    // An outside translation names no language: the system's.
    return QLocale::system();
}

int runTandrel(int argc, char **argv)
{
    ignoreFileSizeSignal();
    initTandrelResources();
    for (;;) {
        auto *app = new QApplication(argc, argv);
        QApplication::setApplicationVersion(QStringLiteral("1.14.4043"));
        QApplication::setApplicationName(QStringLiteral("ZentarConfigurator"));
        QApplication::setOrganizationName(QStringLiteral("Zorvo"));

        auto *qtTranslator = new QTranslator;
        auto *appTranslator = new QTranslator;
        QString qmFileName;

        qInstallMessageHandler(logMessageHandler);
        qDebug("\n\n NEW START \n");

        const QString language = MainWindow::languageInUse();
        if (language == QLatin1String("russian")) {
            // Qt's own texts (standard buttons, file dialogs) follow the
            // language chosen here, not the system locale.
            qtTranslator->load(QStringLiteral(":/tr/qtbase_ru"));
            QApplication::installTranslator(qtTranslator);
            qmFileName = QStringLiteral(":/tr/tandrel_ru");
            qDebug() << "using tandrel_ru";
            appTranslator->load(qmFileName);
            QApplication::installTranslator(appTranslator);
        } else if (language == QLatin1String("external")) {
            qmFileName = appSettings.value(SettingsKey::QmFile).toString();
            appTranslator->load(qmFileName);
            QApplication::installTranslator(appTranslator);
        }
        // Dates and numbers in the language of the texts.
        QLocale::setDefault(languageLocale(language));

        // Linux hands the path over in the locale's encoding (UTF-8), which the
        // application's argument list already decodes.
        const QString filePath = QApplication::arguments().value(1);

        QApplication::setApplicationDisplayName(QApplication::translate("main", "Zentar Configurator"));
        registerDeviceModelNames();
        registerDeviceClasses();
        registerMasterClass();
        registerDiagnosticsOpeners();

        auto *window = new MainWindow(filePath);
        window->show();
        if (TestHooks::afterMainWindowShown)
            TestHooks::afterMainWindowShown(window);
        const int code = QApplication::exec();

        delete window;
        // Objects the window handed to deleteLater (device panels among them)
        // go now: no event loop runs after this one.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        delete appTranslator;
        delete qtTranslator;
        delete app;

        if (code != RestartExitCode)
            return code;
    }
}
