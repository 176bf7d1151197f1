// The main window through the program's real start-up loop: menus, actions,
// status bar and language marks of a fresh and an English store, the language
// question with both answers, the restart, device titles in the language of
// each start, the About window made when asked for, and what closing stores.
#include "aboutdialog.h"
#include "deviceitem.h"
#include "mainwindow.h"
#include "screenshot.h"
#include "settings.h"
#include "startup.h"
#include "testhooks.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTimer>
#include <QtTest>

namespace {
// Every action of the form with the menu it sits in ("" for none).
const QStringList allActions{
    "acExit", "acUploadFirmware", "acStartUpdate", "acAbout", "acOpenDevice", "acRestart", "acUpdateDevice",
    "acCloseDevice", "acSaveConfiguration", "acWriteConfigurationFromFile", "acAutoNumber", "acKeyboardLock",
    "acStatisticsReset", "acStatisticGet", "acDeviceReadEeprom", "acLQITest", "acToggleViewMode",
    "acRefreshDevices", "acDeviceWriteEeprom", "acIndicationControl", "acOutputControl", "acDeleteDevice",
    "acEnableConfig", "acChannelScan", "acClearErrorLogs", "acDeviceInformationPanel", "acUpdatePanel",
    "acLQIPanel", "acStatisticsPanel", "acDeleteAllDevices", "acChangePassword", "acWriteSettings",
    "acDeactivateZelvo", "acConnectToScanner", "acLangRussian", "acLangEnglish", "acGenerateReport",
    "acCheckReport", "acDetectNearbyHubro", "acConvertToJSON", "acViewConfig", "acSetPreferredRS",
    "acMeasurementsLogging", "acTROMBELView", "acShowMeasurements", "acTechrun", "acReadProductCode"};

// The actions that need a connected master.
const QStringList deviceActions{
    "acAutoNumber", "acDeviceReadEeprom", "acDeviceWriteEeprom", "acKeyboardLock", "acEnableConfig",
    "acChannelScan", "acWriteConfigurationFromFile", "acRefreshDevices", "acRestart", "acSaveConfiguration",
    "acDeleteDevice", "acStatisticGet", "acStatisticsReset", "acUpdateDevice", "acUploadFirmware",
    "acWriteSettings", "acChangePassword", "acDeleteAllDevices", "acDeactivateZelvo", "acGenerateReport",
    "acDetectNearbyHubro", "acSetPreferredRS", "acClearErrorLogs", "acLQITest", "acOutputControl",
    "acIndicationControl", "acReadProductCode", "acMeasurementsLogging", "acShowMeasurements"};

const QStringList usableWithoutDevice{"acOpenDevice",  "acCloseDevice",     "acExit",
                                      "acAbout",       "acLangRussian",     "acLangEnglish",
                                      "acViewConfig",  "acCheckReport",     "acDeviceInformationPanel",
                                      "acUpdatePanel", "acStatisticsPanel", "acLQIPanel"};

const QStringList hiddenActions{"acStartUpdate",     "acConnectToScanner", "acMeasurementsLogging",
                                "acShowMeasurements", "acDeactivateZelvo", "acTROMBELView",
                                "acTechrun"};

QList<AboutDialog *> aboutDialogs()
{
    QList<AboutDialog *> found;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *dialog = qobject_cast<AboutDialog *>(widget))
            found << dialog;
    return found;
}

QAction *action(QWidget *window, const QString &name)
{
    return window->findChild<QAction *>(name);
}

} // namespace

class MainWindowStartTest : public QObject
{
    Q_OBJECT
private slots:
    void startLanguagesAndClose()
    {
        QVERIFY(!appSettings.contains(SettingsKey::Language));
        appSettings.setValue(SettingsKey::Ull, QStringLiteral("12345"));

        int selections = 0;
        MainWindow::setDeviceSelection([&](MainWindow *) { ++selections; });
        MessageBoxRecorder boxes;
        int pass = 0;
        QStringList failures;
        const auto check = [&](bool ok, const QString &what) {
            if (!ok)
                failures << QStringLiteral("pass %1: %2").arg(pass).arg(what);
        };

        TestHooks::afterMainWindowShown = [&](QWidget *w) {
            ++pass;
            // The start step runs in the first turn of the event loop, not in the constructor.
            check(selections == pass - 1, QStringLiteral("device selection ran before the loop"));
            QTimer::singleShot(0, w, [&, w] {
                check(selections == pass, QStringLiteral("device selection did not run once"));
                auto *english = action(w, "acLangEnglish");
                auto *russian = action(w, "acLangRussian");
                // Device titles, translated once per language, in the language of this start.
                const QString rssi = DeviceItem::parameterTitleForType(6, QStringLiteral("gpRssi"));
                const QString alarm = DeviceItem::parameterTitleForType(6, QStringLiteral("fAlarm"));
                if (pass == 1) {
                    check(rssi == QCoreApplication::translate("DeviceItem", "Signal level")
                              && rssi != QStringLiteral("Signal level"),
                          "Russian base title " + rssi);
                    check(alarm == QCoreApplication::translate("DI_Olvek", "Alarm") && alarm != QStringLiteral("Alarm"),
                          "Russian class title " + alarm);
                } else {
                    check(rssi == QStringLiteral("Signal level"), "English base title " + rssi);
                    check(alarm == QStringLiteral("Alarm"), "English class title " + alarm);
                }
                if (pass == 1) {
                    screenshot(w, QStringLiteral("mainwindow_ru.png"));
                    check(!english->isChecked() && russian->isChecked(), "Russian, in use, not marked on a fresh store");
                    // English, then No: the store stays without a language.
                    boxes.clear();
                    boxes.answer(QMessageBox::No);
                    english->trigger();
                    check(boxes.count() == 1 && boxes.last().kind == UiSeams::MessageBoxRequest::Question,
                          "no question asked");
                    check(!appSettings.contains(SettingsKey::Language), "declining stored a language");
                    check(!english->isChecked() && russian->isChecked(), "marks not put back");
                    // English, then Yes: the loop ends with the restart code.
                    boxes.answer(QMessageBox::Yes);
                    english->trigger();
                    return;
                }
                check(english->isChecked() && !russian->isChecked(), "English not marked");
                checkEnglishWindow(w, check);
                // The About window: none until asked for, then one, shown.
                check(aboutDialogs().isEmpty(), "About window made at start-up");
                action(w, "acAbout")->trigger();
                action(w, "acAbout")->trigger();
                check(aboutDialogs().size() == 1 && aboutDialogs().first()->isVisible(), "About window not shown once");
                if (!aboutDialogs().isEmpty())
                    aboutDialogs().first()->close();
                screenshot(w, QStringLiteral("mainwindow_en.png"));

                // Russian, then No: "english" stays and keeps its mark.
                boxes.clear();
                boxes.answer(QMessageBox::No);
                russian->trigger();
                check(boxes.last().text
                          == QStringLiteral("The application must be restarted to change the language.\nRestart now?"),
                      "wrong question: " + boxes.last().text);
                check(boxes.last().title == QStringLiteral("Language change"), "wrong title");
                check(appSettings.value(SettingsKey::Language).toString() == QStringLiteral("english"),
                      "declining changed the language");
                check(english->isChecked() && !russian->isChecked(), "marks after declining Russian");
                // English again: the other question; No marks it again.
                boxes.answer(QMessageBox::No);
                english->trigger();
                check(boxes.last().text
                          == QStringLiteral("The language has already been changed. To apply, restart the "
                                            "application.\nRestart now?"),
                      "wrong repeated question: " + boxes.last().text);
                check(english->isChecked() && !russian->isChecked(), "marks after declining English");

                // Untick one packet type, then close.
                auto *filter = w->findChild<QListWidget *>("lwPacketFilter");
                const auto found = filter->findItems(QStringLiteral("PT_GET_DEV_INFO"), Qt::MatchExactly);
                check(found.size() == 1, "PT_GET_DEV_INFO row missing");
                if (!found.isEmpty())
                    found.first()->setCheckState(Qt::Unchecked);
                w->close();
            });
        };

        QByteArray arg0("Tandrel");
        char *argv[] = {arg0.data(), nullptr};
        int argc = 1;
        const int code = runTandrel(argc, argv);
        TestHooks::afterMainWindowShown = nullptr;
        MainWindow::setDeviceSelection(nullptr);

        for (const QString &failure : failures)
            qWarning().noquote() << failure;
        QVERIFY(failures.isEmpty());
        QCOMPARE(pass, 2);
        QCOMPARE(code, 0);

        // What closing stored.
        QCOMPARE(appSettings.value(SettingsKey::Language).toString(), QStringLiteral("english"));
        QVERIFY(!appSettings.contains(SettingsKey::Ull));
        QVERIFY(!appSettings.value(SettingsKey::Geometry).toByteArray().isEmpty());
        QVERIFY(!appSettings.value(SettingsKey::WindowState).toByteArray().isEmpty());
        QCOMPARE(appSettings.value(SettingsKey::LogLevel).toInt(), 0);
        QCOMPARE(appSettings.value(SettingsKey::Sorting).toInt(), 0);
        QCOMPARE(appSettings.value(SettingsKey::ViewMode).toInt(), 1);
        appSettings.beginGroup(SettingsKey::PacketFilterGroup);
        const QStringList keys = appSettings.childKeys();
        QMap<QString, int> states;
        for (const QString &key : keys)
            states.insert(key, appSettings.value(key).toInt());
        appSettings.endGroup();
        QCOMPARE(keys.size(), 205);
        QVERIFY(!keys.contains(QStringLiteral("DUMMY")));
        QVERIFY(!keys.contains(QStringLiteral("PT_UNKNOWN_REQ_ERROR")));
        QVERIFY(std::none_of(keys.begin(), keys.end(), [](const QString &k) { return k.startsWith("FREE"); }));
        QCOMPARE(states.value(QStringLiteral("PT_GET_DEV_INFO")), 0);
        QCOMPARE(states.values().count(2), 204);
    }

private:
    template <typename Check>
    static void checkEnglishWindow(QWidget *w, Check check)
    {
        check(w->windowTitle() == QStringLiteral("Zentar Configurator"), "title " + w->windowTitle());

        QStringList menus;
        for (QAction *menu : w->findChild<QMenuBar *>("menuBar")->actions())
            menus << menu->text();
        check(menus == QStringList({"&File", "Device", "Panels", "&Help"}), "menus " + menus.join(','));

        for (const QString &name : allActions)
            check(action(w, name) != nullptr, "no action " + name);
        for (const QString &name : deviceActions)
            check(action(w, name) && !action(w, name)->isEnabled(), name + " enabled without a device");
        for (const QString &name : usableWithoutDevice)
            check(action(w, name) && action(w, name)->isEnabled(), name + " disabled");
        for (const QString &name : hiddenActions)
            check(action(w, name) && !action(w, name)->isVisible(), name + " visible");
        check(action(w, "acSaveConfiguration")->text() == QStringLiteral("Save configuration to file..."),
              "save text");
        check(action(w, "acConvertToJSON")->text() == QString::fromUtf8("\u0421onvert to JSON"), "convert text");

        const QLabel *version = w->findChild<QStatusBar *>("statusBar")->findChild<QLabel *>("lblVersion");
        const QRegularExpression pattern(QStringLiteral("^1\\.14\\.4043 \\d\\d\\.\\d\\d\\.\\d{4}$"));
        check(version && pattern.match(version->text()).hasMatch(),
              "status bar " + (version ? version->text() : QString()));

        auto *mainWindow = static_cast<QMainWindow *>(w);
        auto *properties = w->findChild<QDockWidget *>("propertiesDock");
        check(!w->findChild<QDockWidget *>("logDock")->isVisible(), "log dock shown");
        const QStringList others{"UpdateStatusDock", "RSSITestDock", "StatisticsDock"};
        for (const QString &name : others) {
            auto *dock = w->findChild<QDockWidget *>(name);
            check(dock && mainWindow->tabifiedDockWidgets(properties).contains(dock), name + " not tabbed");
            check(dock && dock->visibleRegion().isEmpty(), name + " in front of the properties");
        }
        check(!properties->visibleRegion().isEmpty(), "properties dock not in front");
        check(w->findChild<QListWidget *>("lwPacketFilter")->count() == 205, "packet filter rows");
    }
};

int main(int argc, char **argv)
{
    MainWindowStartTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_mainwindow.moc"
