// The context menu of every device model on a live master, as a technician
// meets it: which entries each model offers, and each entry reaching its
// window or its command on the fake master. Also the menus as pictures.
#include "deviceeeprommanager.h"
#include "devicecontextmenu.h"
#include "eepromreadwindow.h"
#include "masterlogreaderwidget.h"
#include "masterstackusagedialog.h"
#include "simdiagnostics.h"
#include "windowfixture.h"

#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QToolBar>
#include <QPixmap>
#include <QSpinBox>
#include <QTableWidget>

#include <functional>

namespace {

// The models on the master, by radio address.
const QList<QPair<quint8, quint8>> models{
    {3, 2},   // heat detector
    {4, 4},   // contact sensor
    {5, 20},  // battery emergency sign
    {6, 50},  // 24 V emergency sign
    {7, 14},  // relay module
    {8, 6},   // infrared detector
    {9, 56},  // second water-meter reader
    {10, 57}, // mains socket
    {11, 5},  // smoke detector
};

// The window's own entries every radio device gets (here: all online, all
// of one model, on a live link).
const QStringList windowEntries{"Auto &number", "Indication control"};
const QStringList eepromEntries{"Read device EEPROM", "Write to device EEPROM", "Read product code", "Update device"};
const QStringList statisticsEntries{"[Statistics]",     "Link quality test", "Get statistic",
                                    "Reset statistics", "-",                 "Delete device"};

QStringList entries(QMenu *menu)
{
    QStringList out;
    for (QAction *action : menu->actions()) {
        if (action->isSeparator())
            out << (action->text().isEmpty() ? QStringLiteral("-") : QStringLiteral("[") + action->text() + "]");
        else
            out << action->text() + (action->isEnabled() ? QString() : QStringLiteral(" (disabled)"));
    }
    return out;
}

template <class T>
QList<T *> topLevels()
{
    QList<T *> found;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<T *>(widget))
            found << window;
    return found;
}

// Right-clicks the row of the device (255: the master) with only it
// selected; `inMenu` runs while the menu is up. The entries shown.
QStringList rightClick(WindowOnMaster &bench, int radio, const std::function<void(QMenu *)> &inMenu = {})
{
    bench.select({radio});
    QAbstractItemView *view = bench.window->currentItemView();
    DeviceItem *item = radio == 255 ? bench.connection()->master() : bench.device(radio);
    QStringList shown;
    DeviceContextMenu::setRunner([&](QMenu *menu, const QPoint &) {
        shown = entries(menu);
        if (inMenu)
            inMenu(menu);
    });
    emit view->customContextMenuRequested(view->visualRect(bench.indexOf(item)).center());
    DeviceContextMenu::setRunner(nullptr);
    return shown;
}

// The visible entries of the menus and tool bars of the window, submenus included.
QList<QAction *> barEntries(QMainWindow *window)
{
    QList<QAction *> found;
    std::function<void(const QList<QAction *> &)> walk = [&](const QList<QAction *> &actions) {
        for (QAction *action : actions) {
            if (!action->isVisible() || action->isSeparator())
                continue;
            found << action;
            if (action->menu())
                walk(action->menu()->actions());
        }
    };
    walk(window->menuBar()->actions());
    for (QToolBar *bar : window->findChildren<QToolBar *>())
        walk(bar->actions());
    return found;
}

struct Bench : WindowOnMaster
{
    Bench()
        : eeprom(sim, DeviceEepromFamily), writes(sim, DeviceEepromWriteFamily), events(sim, EventLogFamily),
          stack(sim, StackFamily)
    {
        for (const auto &model : models) {
            sim.setDevice(simDevice(model.first, model.second));
            eeprom.setPayload(model.first, [](quint8 device, int) -> QByteArray {
                return QByteArray(1, char(device)) + QByteArray::fromHex("7a0000") + QByteArray::fromHex("61a5");
            });
        }
    }

    bool openShown()
    {
        if (!open(models.size()))
            return false;
        window->show();
        return QTest::qWaitForWindowExposed(window.get());
    }

    QStringList rightClick(int radio, const std::function<void(QMenu *)> &inMenu = {})
    {
        return ::rightClick(*this, radio, inMenu);
    }

    // Right-clicks the device and chooses the entry.
    void choose(int radio, const QString &entry)
    {
        rightClick(radio, [&entry](QMenu *menu) {
            for (QAction *action : menu->actions())
                if (action->text() == entry)
                    action->trigger();
        });
    }

    // Whether the fake master received a request that begins with these bytes.
    bool received(const QByteArray &prefix) const
    {
        for (const FakeMaster::Received &r : sim.fake.received())
            if (r.packet.startsWith(prefix))
                return true;
        return false;
    }

    SimDiagnostics eeprom, writes, events, stack;
};

// The window a step opens: a class name, or empty for a command.
const char *const LogWindow = "MasterLogReaderWidget";
const char *const StackWindow = "MasterStackUsageDialog";

} // namespace

class ContextActionsTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        prepareWindowDiagnosticsTests();
        DeviceEepromManager::instance()->run().setPingInterval(50);
        DeviceEepromManager::instance()->run().setJobTimeout(300);
    }
    void cleanupTestCase() { MainWindow::setDeviceSelection(nullptr); }
    void cleanup()
    {
        DeviceEepromManager::instance()->run().stop();
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (qobject_cast<MasterLogReaderWidget *>(widget) || qobject_cast<MasterStackUsageDialog *>(widget)
                || qobject_cast<EepromReadWindow *>(widget))
                widget->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The entries of each model, and what each of its own (and the new
    // window entries) reaches: "entry" and the request it sends (hex prefix),
    // or the window it opens.
    void modelEntries_data()
    {
        QTest::addColumn<int>("radio");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QStringList>("steps"); // "entry|hex" or "entry|window:Class"

        const auto radioMenu = [](const QStringList &own, bool outputs) {
            QStringList list = own + windowEntries;
            if (outputs)
                list << QStringLiteral("Output control");
            return list + eepromEntries + statisticsEntries;
        };
        QTest::newRow("heat detector") << 3 << radioMenu({"Tech run", "Plot RSSI data"}, false)
                                       << QStringList{"Tech run|6a030005010301"};
        QTest::newRow("smoke detector") << 11 << radioMenu({"Tech run", "Plot RSSI data"}, false)
                                        << QStringList{"Tech run|6a0b0005010301"};
        QTest::newRow("contact sensor")
            << 4 << radioMenu({"Enable anti-masking", "Disable anti-masking", "Plot RSSI data"}, false)
            << QStringList{"Enable anti-masking|6a040005010101", "Disable anti-masking|6a040005010100",
                           "Read product code|7604"};
        // The display reads dark: the test's first command lights it.
        QTest::newRow("battery sign") << 5 << radioMenu({"Start sign test", "End sign test", "Plot RSSI data"}, false)
                                      << QStringList{"Start sign test|6a05000401" "0fff"};
        QTest::newRow("24 V sign") << 6 << radioMenu({"Start sign test", "End sign test", "Plot RSSI data"}, true)
                                   << QStringList{"Start sign test|6a06000401" "0fff",
                                                  "End sign test|6a06000401" "03ff",
                                                  "Output control|6a060004010000"};
        QTest::newRow("relay module") << 7 << radioMenu({"Plot RSSI data"}, true)
                                      << QStringList{"Output control|6a070004010000",
                                                     "Read device EEPROM|60077a00",
                                                     "Write to device EEPROM|66071000ab"};
        QTest::newRow("infrared detector") << 8 << radioMenu({"Plot RSSI data"}, false) << QStringList{};
        QStringList waterMeter = radioMenu({"Plot RSSI data"}, false);
        waterMeter.insert(waterMeter.indexOf(QStringLiteral("Update device")) + 1, QStringLiteral("Deactivate all ZELVO"));
        QTest::newRow("second water meter") << 9 << waterMeter
                                            << QStringList{"Write to device EEPROM|66091000ab", "Read product code|7609"};
        QTest::newRow("mains socket") << 10 << radioMenu({"Plot RSSI data"}, true)
                                      << QStringList{"Output control|6a0a0004010000"};
        QTest::newRow("master") << 255
                                << QStringList{"Plot noise",    "Read event log", "Task stack usage",
                                               "Set channel group", "Erase flash", "Auto &number", "Enable config",
                                               "Lock keyboard", "Channel scan", "Read product code",
                                               "Clear error logs"}
                                << QStringList{QStringLiteral("Read event log|window:") + LogWindow,
                                               QStringLiteral("Task stack usage|window:") + StackWindow};
    }
    void modelEntries()
    {
        QFETCH(int, radio);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, steps);
        Bench bench;
        QVERIFY(bench.openShown());
        QTRY_VERIFY_WITH_TIMEOUT(bench.connection()->interface()->pendingCount() == 0, 10000);
        // The heat and smoke detectors' case entries come with their extra
        // properties; the tech run is there from the start.
        QStringList shown = bench.rightClick(radio);
        shown.removeAll(QStringLiteral("Disable case"));
        shown.removeAll(QStringLiteral("Enable case"));
        QCOMPARE(shown, expected);

        for (const QString &step : steps) {
            const QString entry = step.section(QLatin1Char('|'), 0, 0);
            const QString reach = step.section(QLatin1Char('|'), 1);
            DialogScript dialogs;
            if (entry == QLatin1String("Output control")) {
                dialogs.then([](QDialog *) { return int(QDialog::Accepted); });
                dialogs.then([](QDialog *) { return int(QDialog::Rejected); });
            } else if (entry == QLatin1String("Read device EEPROM")) {
                dialogs.then([](QDialog *dialog) {
                    dialog->findChild<QComboBox *>(QStringLiteral("cbAddress"))->setCurrentText(QStringLiteral("0x7A"));
                    dialog->findChild<QSpinBox *>(QStringLiteral("sbLength"))->setValue(2);
                    return int(QDialog::Accepted);
                });
            } else if (entry == QLatin1String("Write to device EEPROM")) {
                dialogs.then([](QDialog *dialog) {
                    dialog->findChild<QLineEdit *>(QStringLiteral("leMemoryAddress"))->setText(QStringLiteral("10"));
                    dialog->findChild<QLineEdit *>(QStringLiteral("leData"))->setText(QStringLiteral("AB"));
                    return int(QDialog::Accepted);
                });
            }
            bench.choose(radio, entry);
            QCOMPARE(dialogs.pendingSteps(), 0);
            // The sign's next state reading makes the test's first switch.
            if (entry == QLatin1String("Start sign test"))
                bench.sim.raiseEvent(quint8(radio));
            if (reach.startsWith(QLatin1String("window:"))) {
                const QString name = reach.mid(7);
                QTRY_VERIFY2_WITH_TIMEOUT(!(name == QLatin1String(LogWindow) ? topLevels<MasterLogReaderWidget>().isEmpty()
                                                               : topLevels<MasterStackUsageDialog>().isEmpty()),
                             qPrintable(entry), 10000);
                // ... and the window asks the master.
                const QByteArray request = QByteArray(1, char(name == QLatin1String(LogWindow)
                                                                  ? PT_LOG_FIND_FIRST
                                                                  : PT_USB_DEBUG_STACK_INFO));
                QTRY_VERIFY2_WITH_TIMEOUT(bench.received(request), qPrintable(entry), 10000);
            } else {
                QTRY_VERIFY2_WITH_TIMEOUT(bench.received(QByteArray::fromHex(reach.toLatin1())), qPrintable(entry),
                                          10000);
            }
            // One memory job at a time: the next waits for this one's end.
            QTRY_VERIFY_WITH_TIMEOUT(!DeviceEepromManager::instance()->isBusy(), 10000);
        }
    }

    // Every action of the window that does something is within reach: a
    // visible entry of the menu bar or the tool bar, or an entry of the
    // master's or a device's context menu. Left out are only the actions
    // without a handler and the two opened by typed key words.
    void everyWiredActionWithinReach()
    {
        WindowOnMaster bench;
        bench.sim.setDevice(simDevice(3, 4, 0x1f000000)); // reports a route: "Set preferred RS"
        bench.sim.setDevice(simDevice(5, 14));            // switched outputs
        bench.sim.setDevice(simDevice(9, 19));            // water-meter reader
        QVERIFY(bench.open(3));
        bench.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(bench.window.get()));

        QList<QAction *> reachable = barEntries(bench.window.get());
        QStringList menuOwnTexts; // entries a context menu makes for itself
        for (int radio : {255, 3, 5, 9})
            rightClick(bench, radio, [&](QMenu *menu) {
                for (QAction *action : menu->actions()) {
                    reachable << action;
                    if (action->parent() == menu)
                        menuOwnTexts << action->text();
                }
            });

        const QStringList withoutHandler{"acUploadFirmware", "acStartUpdate",  "acToggleViewMode",
                                         "acWriteSettings",  "acConvertToJSON", "acTROMBELView",
                                         "acTechrun",        "acConnectToScanner"};
        const QStringList typedKeyWords{"acMeasurementsLogging", "acShowMeasurements"};
        QStringList outOfReach;
        for (QAction *action : bench.window->findChildren<QAction *>(QRegularExpression(QStringLiteral("^ac[A-Z]")))) {
            const QString name = action->objectName();
            if (withoutHandler.contains(name) || typedKeyWords.contains(name))
                continue;
            if (!reachable.contains(action) && !menuOwnTexts.contains(action->text()))
                outOfReach << name;
        }
        QVERIFY2(outOfReach.isEmpty(), qPrintable(outOfReach.join(QLatin1Char(' '))));
    }

    // Where each tool that had no place now is, enabled on a live master:
    // the menu bar, or the context menu of a device (255: the master).
    void toolPlaces_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("radio"); // -1: the menu bar
        QTest::newRow("product code of a device") << "Read product code" << 4;
        QTest::newRow("product code of the master") << "Read product code" << 255;
        QTest::newRow("device update") << "Update device" << 4;
        QTest::newRow("master's error log cleared") << "Clear error logs" << 255;
        QTest::newRow("device rows refreshed") << "Refresh devices" << -1;
        QTest::newRow("water meters deactivated") << "Deactivate all ZELVO" << 9;
    }
    void toolPlaces()
    {
        QFETCH(QString, text);
        QFETCH(int, radio);
        Bench bench;
        QVERIFY(bench.openShown());
        QStringList shown;
        if (radio < 0) {
            for (QAction *action : barEntries(bench.window.get()))
                shown << action->text() + (action->isEnabled() ? QString() : QStringLiteral(" (disabled)"));
        } else {
            shown = bench.rightClick(radio);
        }
        QVERIFY2(shown.contains(text), qPrintable(shown.join(QLatin1String(", "))));
    }

    // A device's EEPROM read shows the bytes read, without the frame's check
    // byte, in a window of its own.
    void eepromReadShowsTheBytes()
    {
        Bench bench;
        QVERIFY(bench.openShown());
        QTRY_VERIFY_WITH_TIMEOUT(bench.connection()->interface()->pendingCount() == 0, 10000);
        DialogScript dialogs;
        dialogs.then([](QDialog *dialog) {
            dialog->findChild<QComboBox *>(QStringLiteral("cbAddress"))->setCurrentText(QStringLiteral("0x7A"));
            dialog->findChild<QSpinBox *>(QStringLiteral("sbLength"))->setValue(2);
            return int(QDialog::Accepted);
        });
        bench.choose(7, QStringLiteral("Read device EEPROM"));
        QTRY_VERIFY_WITH_TIMEOUT(DeviceEepromManager::instance()->resultsWindow(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!DeviceEepromManager::instance()->isBusy(), 10000);
        EepromReadWindow *window = DeviceEepromManager::instance()->resultsWindow();
        QVERIFY(window->isVisible());
        QTableWidget *table = window->table();
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(table->item(0, EepromReadWindow::DeviceColumn)->text(), QStringLiteral("Zentar-FOTRA #8"));
        QCOMPARE(table->item(0, EepromReadWindow::AddressColumn)->text(), QStringLiteral("0x007A"));
        QCOMPARE(table->item(0, EepromReadWindow::DataColumn)->text(), QStringLiteral("61 A5"));
        QCOMPARE(table->item(0, EepromReadWindow::DecodedColumn)->text(),
                 QStringLiteral("ABORT_DATA_COLLECTOR_INVALID_DATA_TYPE_1 (97)"));
    }

    // The master's and a sign's context menus as pictures: drawn, of a sane size.
    void menuPictures_data()
    {
        QTest::addColumn<int>("radio");
        QTest::newRow("master") << 255;
        QTest::newRow("emergency sign") << 6;
    }
    void menuPictures()
    {
        QFETCH(int, radio);
        Bench bench;
        QVERIFY(bench.openShown());
        QImage picture;
        int rows = 0;
        bench.rightClick(radio, [&](QMenu *menu) {
            menu->adjustSize();
            picture = menu->grab().toImage();
            rows = menu->actions().size();
        });
        QVERIFY(!picture.isNull());
        QVERIFY2(picture.width() >= 120 && picture.width() <= 800, qPrintable(QString::number(picture.width())));
        QVERIFY2(picture.height() >= rows * 12 && picture.height() <= 1000,
                 qPrintable(QString::number(picture.height())));
        // Something is drawn on it: not one colour.
        const QRgb first = picture.pixel(0, 0);
        bool drawn = false;
        for (int y = 0; y < picture.height() && !drawn; y += 2)
            for (int x = 0; x < picture.width() && !drawn; x += 2)
                drawn = picture.pixel(x, y) != first;
        QVERIFY(drawn);
    }
};

QTEST_MAIN(ContextActionsTest)
#include "tst_contextactions.moc"
