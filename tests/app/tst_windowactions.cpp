// The main window's device actions over the fake master on a pseudo-terminal:
// deleting devices, automatic addressing, the context menu, the hidden key
// words, the configuration-mode warning and the product code.
#include "autonumbering.h"
#include "devicecontextmenu.h"
#include "nearbyhubromodel.h"
#include "productcode.h"
#include "settings.h"
#include "windowfixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QSpinBox>
#include <QTreeView>
#include <QSignalSpy>
#include <QtTest>

namespace {
QByteArray packet(std::initializer_list<int> bytes)
{
    QByteArray data;
    for (const int b : bytes)
        data.append(char(b));
    return data;
}

// A device without a Wireloop address (it waits for automatic addressing).
SimDevice unaddressed(quint8 radio)
{
    SimDevice device = simDevice(radio, 4);
    device.record.wireloopAddress = 0;
    return device;
}

// A device at `address` taking `extra` zones after it.
SimDevice withZones(quint8 radio, quint8 address, int extra)
{
    SimDevice device = simDevice(radio, 4);
    device.record.wireloopAddress = address;
    device.state[1] = char((extra >= 1 ? 0x04 : 0) | (extra >= 2 ? 0x08 : 0) | (extra >= 3 ? 0x10 : 0));
    return device;
}

DialogScript::Step autoNumberAnswer(int start, int step)
{
    return [start, step](QDialog *dialog) {
        dialog->findChild<QSpinBox *>(QStringLiteral("sbStart"))->setValue(start);
        dialog->findChild<QSpinBox *>(QStringLiteral("sbStep"))->setValue(step);
        return int(QDialog::Accepted);
    };
}

QStringList menuTexts(QMenu *menu)
{
    QStringList texts;
    for (QAction *action : menu->actions())
        if (!action->isSeparator())
            texts << action->text();
    return texts;
}
} // namespace

class WindowActionsTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        prepareConnectionTests();
        MainWindow::setDeviceSelection([](MainWindow *) {});
        AutoNumbering::setFinishDelay(0);
    }
    void cleanupTestCase() { MainWindow::setDeviceSelection(nullptr); }
    void cleanup()
    {
        DeviceContextMenu::setRunner(nullptr);
        MainWindow::setReconnectWaitMargin(2000);
        for (const char *key : {SettingsKey::AutoNumbering, SettingsKey::StartNumber,
                                SettingsKey::DisableExtendedChannelWarning})
            appSettings.remove(QLatin1String(key));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void deleteSelected_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QList<QByteArray>>("deletes");
        QTest::newRow("yes") << int(QMessageBox::Yes)
                             << QList<QByteArray>{packet({0x0B, 3}), packet({0x0B, 5})};
        QTest::newRow("no") << int(QMessageBox::No) << QList<QByteArray>{};
    }
    void deleteSelected()
    {
        QFETCH(int, answer);
        QFETCH(QList<QByteArray>, deletes);
        WindowOnMaster bench;
        for (const int radio : {3, 5, 7})
            bench.sim.setDevice(simDevice(quint8(radio), 4));
        QVERIFY(bench.open(3));
        // The master's row is never deleted with them.
        bench.select({255, 5, 3});

        MessageBoxRecorder boxes;
        boxes.answer(answer);
        bench.window->deleteDevice();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().kind, UiSeams::MessageBoxRequest::User);
        QCOMPARE(boxes.last().title, QStringLiteral("Attention!"));
        QCOMPARE(boxes.last().text, QStringLiteral("Are you sure you want to delete selected devices?"));
        QCOMPARE(boxes.last().informativeText, QStringLiteral("2 devices will be deleted"));
        if (!deletes.isEmpty())
            QTRY_COMPARE(bench.connection()->devices().size(), 1);
        QCOMPARE(bench.requests(PT_DELETE_DEVICE), deletes);
        QCOMPARE(bench.connection()->devices().size(), 3 - deletes.size());
    }

    void activeWaterMeterIsAskedAbout_data()
    {
        QTest::addColumn<int>("meter"); // the reader's type code
        QTest::addColumn<bool>("all");
        QTest::addColumn<int>("secondAnswer");
        QTest::addColumn<int>("deletes");
        QTest::newRow("selected, cancel") << 19 << false << int(QMessageBox::Cancel) << 0;
        QTest::newRow("selected, yes") << 19 << false << int(QMessageBox::Yes) << 1;
        QTest::newRow("all, cancel") << 19 << true << int(QMessageBox::Cancel) << 0;
        QTest::newRow("all, yes") << 19 << true << int(QMessageBox::Yes) << 2;
        QTest::newRow("second model, selected, cancel") << 56 << false << int(QMessageBox::Cancel) << 0;
        QTest::newRow("second model, all, yes") << 56 << true << int(QMessageBox::Yes) << 2;
    }
    void activeWaterMeterIsAskedAbout()
    {
        QFETCH(int, meter);
        QFETCH(bool, all);
        QFETCH(int, secondAnswer);
        QFETCH(int, deletes);
        WindowOnMaster bench;
        bench.sim.setDevice(simDevice(3, 4));
        bench.sim.setDevice(simDevice(9, quint8(meter))); // online, not selected
        QVERIFY(bench.open(2));
        bench.select({3});

        MessageBoxRecorder boxes;
        boxes.answer(QMessageBox::Yes).answer(secondAnswer);
        if (all)
            bench.window->deleteAllDevices();
        else
            bench.window->deleteDevice();
        QCOMPARE(boxes.count(), 2);
        QCOMPARE(boxes.requests().first().text,
                 all ? QStringLiteral("Are you sure you want to remove all connected devices?")
                     : QStringLiteral("Are you sure you want to delete selected devices?"));
        QCOMPARE(boxes.last().title, QStringLiteral("Confirm required"));
        QCOMPARE(boxes.last().text,
                 QStringLiteral("Some of devices are not deactivated. Are you sure you want to delete them?"));
        QTRY_COMPARE(bench.requests(PT_DELETE_DEVICE).size(), deletes);
    }

    void autoNumberBlock_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("step");
        QTest::addColumn<QList<QByteArray>>("requests");
        QTest::addColumn<QString>("refusal");

        QTest::newRow("from 1, step 1") << 1 << 1
                                        << QList<QByteArray>{packet({0x07, 3, 1}), packet({0x07, 5, 2}),
                                                             packet({0x07, 7, 3})}
                                        << QString();
        QTest::newRow("step 0 as 1") << 30 << 0
                                     << QList<QByteArray>{packet({0x07, 3, 30}), packet({0x07, 5, 31}),
                                                          packet({0x07, 7, 32})}
                                     << QString();
        QTest::newRow("start 0") << 0 << 1 << QList<QByteArray>{}
                                 << "Autoaddressing can not be proceeded.\nOut of address space.";
        QTest::newRow("ending on 127") << 125 << 1 << QList<QByteArray>{}
                                       << "Autoaddressing can not be proceeded.\nOut of address space.";
        QTest::newRow("over the master") << 6 << 1 << QList<QByteArray>{}
                                         << "Selected address range is already occupied by device: Zentar-HUBRO125";
        QTest::newRow("over another device") << 40 << 1 << QList<QByteArray>{}
                                             << "Selected address range is already occupied by device: "
                                                + deviceTypeName(4);
    }
    void autoNumberBlock()
    {
        QFETCH(int, start);
        QFETCH(int, step);
        QFETCH(QList<QByteArray>, requests);
        QFETCH(QString, refusal);
        WindowOnMaster bench; // the master at Wireloop address 7
        for (const int radio : {3, 5, 7})
            bench.sim.setDevice(simDevice(quint8(radio), 4));
        bench.sim.setDevice(withZones(20, 41, 0)); // not selected
        QVERIFY(bench.open(4));
        bench.select({3, 5, 7});

        MessageBoxRecorder boxes;
        DialogScript dialogs;
        dialogs.then(autoNumberAnswer(start, step));
        bench.window->autoNumber();
        QCOMPARE(dialogs.records().size(), 1);
        QCOMPARE(dialogs.records().first().className, QStringLiteral("AutoNumberDialog"));
        if (refusal.isEmpty()) {
            QTRY_COMPARE(bench.requests(PT_SET_DEV_ADDRESS), requests);
            QCOMPARE(boxes.count(), 0);
        } else {
            QCOMPARE(boxes.count(), 1);
            QCOMPARE(boxes.last().title, QStringLiteral("Warning"));
            QCOMPARE(boxes.last().informativeText.isEmpty() ? boxes.last().text : boxes.last().informativeText,
                     refusal);
            QCoreApplication::processEvents();
            QVERIFY(bench.requests(PT_SET_DEV_ADDRESS).isEmpty());
        }
    }

    void autoNumberCancelledChangesNothing()
    {
        WindowOnMaster bench;
        bench.sim.setDevice(simDevice(3, 4));
        QVERIFY(bench.open(1));
        bench.select({3});
        DialogScript dialogs; // rejects
        bench.window->autoNumber();
        QCOMPARE(dialogs.records().size(), 1);
        QCoreApplication::processEvents();
        QVERIFY(bench.requests(PT_SET_DEV_ADDRESS).isEmpty());
    }

    // A selected device that goes while the question or the dialog is open
    // is left out; the others are handled as asked.
    void deviceGoneWhileAsked_data()
    {
        QTest::addColumn<bool>("numbering");
        QTest::addColumn<quint8>("type");
        QTest::addColumn<QList<QByteArray>>("requests");
        QTest::newRow("delete") << false << quint8(PT_DELETE_DEVICE) << QList<QByteArray>{packet({0x0B, 3})};
        QTest::newRow("auto number") << true << quint8(PT_SET_DEV_ADDRESS)
                                     << QList<QByteArray>{packet({0x07, 3, 1}), packet({0x07, 7, 2})};
    }
    void deviceGoneWhileAsked()
    {
        QFETCH(bool, numbering);
        QFETCH(quint8, type);
        QFETCH(QList<QByteArray>, requests);
        WindowOnMaster bench;
        for (const int radio : {3, 5, 7})
            bench.sim.setDevice(simDevice(quint8(radio), 4));
        QVERIFY(bench.open(3));
        bench.select(numbering ? QList<int>{3, 5, 7} : QList<int>{3, 5});
        const auto dropFive = [&bench] {
            bench.connection()->removeDeviceLocally(5);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        };

        DialogScript dialogs;
        const UiSeams::MessageBoxHook previous = UiSeams::messageBoxHook();
        if (numbering) {
            dialogs.then([dropFive](QDialog *dialog) {
                dropFive();
                return autoNumberAnswer(1, 1)(dialog);
            });
            bench.window->autoNumber();
        } else {
            UiSeams::setMessageBoxHook([dropFive](const UiSeams::MessageBoxRequest &) {
                dropFive();
                return int(QMessageBox::Yes);
            });
            bench.window->deleteDevice();
            UiSeams::setMessageBoxHook(previous);
        }
        QTRY_COMPARE(bench.requests(type), requests);
        QCoreApplication::processEvents();
        QCOMPARE(bench.requests(type), requests);
    }

    void autoNumberStep_data()
    {
        QTest::addColumn<int>("startNumber");
        QTest::addColumn<QList<QByteArray>>("requests");
        QTest::addColumn<int>("leftQueued");
        // Device 2 holds 10 to 12: without counting what the step hands out,
        // the second and third queued device would get 13 as well.
        QTest::newRow("past a taken range") << 10
                                            << QList<QByteArray>{packet({0x07, 5, 13}), packet({0x07, 6, 14}),
                                                                 packet({0x07, 8, 15})}
                                            << 0;
        QTest::newRow("stops at 127") << 126
                                      << QList<QByteArray>{packet({0x07, 5, 126}), packet({0x07, 6, 127})} << 1;
    }
    void autoNumberStep()
    {
        QFETCH(int, startNumber);
        QFETCH(QList<QByteArray>, requests);
        QFETCH(int, leftQueued);
        appSettings.setValue(QLatin1String(SettingsKey::AutoNumbering), true);
        appSettings.setValue(QLatin1String(SettingsKey::StartNumber), startNumber);
        WindowOnMaster bench;
        bench.sim.setDevice(withZones(2, 10, 2));
        for (const int radio : {5, 6, 8})
            bench.sim.setDevice(unaddressed(quint8(radio)));
        QVERIFY(bench.open(4));

        MessageBoxRecorder boxes;
        bench.window->autoNumberStep();
        QTRY_COMPARE(bench.requests(PT_SET_DEV_ADDRESS), requests);
        QCOMPARE(boxes.count(), 0);
        // A later step numbers nobody twice.
        bench.window->autoNumberStep();
        QCoreApplication::processEvents();
        if (leftQueued == 0)
            QCOMPARE(bench.requests(PT_SET_DEV_ADDRESS), requests);
        else
            QCOMPARE(bench.requests(PT_SET_DEV_ADDRESS).size(), requests.size());
    }

    void hiddenKeyWords()
    {
        WindowOnMaster bench;
        bench.sim.setDevice(simDevice(3, 4));
        QVERIFY(bench.open(1));
        auto *logDock = bench.window->findChild<QDockWidget *>(QStringLiteral("logDock"));
        auto *tree = bench.window->findChild<QTreeView *>(QStringLiteral("treeView"));
        QVERIFY(logDock->isHidden());
        QTest::keyClicks(bench.window.get(), QStringLiteral("hello vobe"));
        QVERIFY(logDock->isHidden());
        QTest::keyClicks(bench.window.get(), QStringLiteral("x"));
        QVERIFY(!logDock->isHidden());

        QVERIFY(tree->isColumnHidden(DeviceTableModel::ChargeColumn));
        QTest::keyClicks(bench.window.get(), QStringLiteral("TRULM"));
        QVERIFY(!tree->isColumnHidden(DeviceTableModel::ChargeColumn));
    }

    void contextMenu()
    {
        WindowOnMaster bench;
        bench.sim.setDevice(simDevice(3, 4));
        bench.sim.setDevice(simDevice(5, 4));
        QVERIFY(bench.open(2));
        bench.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(bench.window.get()));
        QAbstractItemView *view = bench.window->currentItemView();
        bench.select({3, 5});

        QStringList shown;
        int menus = 0;
        DeviceContextMenu::setRunner([&](QMenu *menu, const QPoint &) {
            ++menus;
            shown = menuTexts(menu);
        });
        const QRect row = view->visualRect(bench.indexOf(bench.device(3)));
        emit view->customContextMenuRequested(row.center());
        QCOMPARE(menus, 1);
        QVERIFY(shown.contains(QStringLiteral("Delete device")));
        QVERIFY(shown.contains(QStringLiteral("Link quality test")));
        QVERIFY(!shown.contains(QStringLiteral("Channel scan")));

        // The master's row.
        const QRect masterRow = view->visualRect(bench.indexOf(bench.connection()->master()));
        bench.select({255});
        emit view->customContextMenuRequested(masterRow.center());
        QCOMPARE(menus, 2);
        QVERIFY(shown.contains(QStringLiteral("Channel scan")));
        QVERIFY(!shown.contains(QStringLiteral("Delete device")));

        // Empty space shows nothing.
        emit view->customContextMenuRequested(QPoint(5, view->viewport()->height() - 2));
        QCOMPARE(menus, 2);
    }

    void flashErasingAsksFirst_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("requests");
        QTest::newRow("no") << int(QMessageBox::No) << 0;
        QTest::newRow("yes") << int(QMessageBox::Yes) << 1;
    }
    void flashErasingAsksFirst()
    {
        QFETCH(int, answer);
        QFETCH(int, requests);
        WindowOnMaster bench;
        QVERIFY(bench.open(0));
        bench.select({255});

        MessageBoxRecorder boxes;
        boxes.answer(answer);
        // A menu entry as the device menu makes it.
        QAction erase(QStringLiteral("Erase flash"));
        erase.setProperty("action_code", 2002u);
        connect(&erase, &QAction::triggered, bench.window.get(), &MainWindow::customDeviceMenuTriggered);
        erase.trigger();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().title, QStringLiteral("Flash erasing"));
        QCOMPARE(boxes.last().text, QStringLiteral("Flash erasing.\nAll settings and all backups will be removed.\n"
                                                   "Do you want to proceed?"));
        if (requests) {
            QTRY_COMPARE(bench.requests(PT_FW_UPLOAD_ERASE_FLASH).size(), requests);
            // The fake master refuses: the user is told.
            QTRY_COMPARE(boxes.count(), 2);
            QCOMPARE(boxes.last().text, QStringLiteral("Failed to start cleaning flash"));
        }
        QCoreApplication::processEvents();
        QCOMPARE(bench.requests(PT_FW_UPLOAD_ERASE_FLASH).size(), requests);
    }

    void extendedChannelWarning()
    {
        hubroInfo_t record = healthyRecord();
        record.ChannelsAdvanced.btfRFCurr = 5;
        WindowOnMaster bench(record);
        QVERIFY(bench.open(0));

        QStringList texts;
        DialogScript dialogs;
        dialogs.then([&texts](QDialog *dialog) {
            auto *box = qobject_cast<QMessageBox *>(dialog);
            texts << box->windowTitle() << box->text() << box->checkBox()->text();
            box->checkBox()->setChecked(true);
            return int(QMessageBox::Ok);
        });
        MessageBoxRecorder boxes;
        bench.window->hubroToggleConfig();
        QCOMPARE(texts, (QStringList{"Warning!",
                                     "Current channel is: 5. You cannot add devices which are not updated to use "
                                     "channel above 3. If you experience problems with adding new devices try to "
                                     "change channel to channel 0",
                                     "Disable warning"}));
        QVERIFY(appSettings.value(QLatin1String(SettingsKey::DisableExtendedChannelWarning)).toBool());
        QTRY_COMPARE(bench.requests(PT_USB_CONFIG_ENABLE).size(), 1);

        // Ticked once: not shown again.
        bench.window->hubroToggleConfig();
        QCOMPARE(dialogs.records().size(), 1);
        QTRY_COMPARE(bench.requests(PT_USB_CONFIG_ENABLE).size(), 2);
    }

    void keyboardLockText()
    {
        WindowOnMaster bench; // unlocked
        QVERIFY(bench.open(0));
        auto *lock = bench.window->findChild<QAction *>(QStringLiteral("acKeyboardLock"));
        QCOMPARE(lock->text(), QStringLiteral("Lock keyboard"));
        lock->trigger();
        QCOMPARE(lock->text(), QStringLiteral("Unlock keyboard"));
        QTRY_COMPARE(bench.requests(PT_KEYBOARD_LOCK), QList<QByteArray>{packet({0xA0, 1})});
    }

    void nearbyExpanderView()
    {
        WindowOnMaster bench;
        bench.sim.setDevice(simDevice(3, 4));
        QVERIFY(bench.open(1));
        auto *viewMode = bench.window->findChild<QComboBox *>(QStringLiteral("cbViewMode"));
        auto *filter = bench.window->findChild<QLineEdit *>(QStringLiteral("leFilter"));
        auto *tree = bench.window->findChild<QTreeView *>(QStringLiteral("treeView"));
        auto *detect = bench.window->findChild<QAction *>(QStringLiteral("acDetectNearbyHubro"));
        viewMode->setCurrentIndex(2);
        bench.select({3});
        bench.window->currentItemView()->setCurrentIndex(bench.indexOf(bench.device(3)));
        QCOMPARE(bench.window->propertyWindowItem(), bench.device(3));

        bench.window->nearbyDetectionModeEnabled();
        QVERIFY(qobject_cast<NearbyHubroModel *>(tree->model()));
        QCOMPARE(viewMode->currentIndex(), 1);
        QVERIFY(!viewMode->isEnabled());
        QVERIFY(!filter->isEnabled());
        QVERIFY(detect->isChecked());
        QCOMPARE(bench.window->propertyWindowItem(), nullptr);

        bench.window->nearbyDetectionModeDisabled();
        QCOMPARE(tree->model(), bench.window->sortedDeviceModel());
        QCOMPARE(viewMode->currentIndex(), 2);
        QVERIFY(viewMode->isEnabled());
        QVERIFY(filter->isEnabled());
        QVERIFY(!detect->isChecked());
        // The new selection model drives the property window again.
        tree->setCurrentIndex(bench.indexOf(bench.device(3)));
        QCOMPARE(bench.window->propertyWindowItem(), bench.device(3));
    }

    void rebootedMasterIsAwaited_data()
    {
        QTest::addColumn<bool>("comesBack");
        QTest::newRow("back") << true;
        QTest::newRow("silent") << false;
    }
    void rebootedMasterIsAwaited()
    {
        QFETCH(bool, comesBack);
        WindowOnMaster bench;
        QVERIFY(bench.open(0));
        MainWindow::setReconnectWaitMargin(1000);
        MessageBoxRecorder boxes;
        QSignalSpy restarted(bench.connection(), &Connection::masterRestarted);
        bench.connection()->restartMaster(50);
        QVERIFY(restarted.wait(5000));
        bench.sim.setSilent(!comesBack);
        const auto warned = [&boxes] {
            for (const UiSeams::MessageBoxRequest &box : boxes.requests())
                if (box.title == QLatin1String("Device restart"))
                    return box.text == QLatin1String("No response from device");
            return false;
        };
        // The wait is the reconnect time-out and the margin (1000 ms here).
        if (comesBack)
            QTRY_VERIFY(bench.connection()->master());
        QCOMPARE(QTest::qWaitFor([&] { return warned(); }, 1500), !comesBack);
    }

    void productCodeOfTheSelectedDevice()
    {
        const auto windows = [] {
            QList<ProductCode *> found;
            for (QWidget *widget : QApplication::topLevelWidgets())
                if (auto *window = qobject_cast<ProductCode *>(widget))
                    found << window;
            return found;
        };
        WindowOnMaster bench;
        bench.sim.setDevice(simDevice(3, 4));
        QVERIFY(bench.open(1));
        bench.select({}); // the connection selected the first row
        bench.window->onReadProductCode(); // nothing selected: nothing opens
        QVERIFY(windows().isEmpty());

        bench.select({3});
        bench.window->onReadProductCode();
        QCOMPARE(windows().size(), 1);
        QTRY_COMPARE(bench.requests(PT_GET_DEV_INFO_ADDITIONAL), QList<QByteArray>{packet({0x76, 3})});
        // The window deletes itself when closed, and goes with the main window.
        QPointer<ProductCode> window = windows().first();
        bench.window.reset();
        QVERIFY(!window);
    }

    // Deactivating the water-meter readers: every online one of either model
    // (19, 56), and no other device.
    void deactivateWaterMeters_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QList<QByteArray>>("requests");
        QTest::newRow("no") << int(QMessageBox::No) << QList<QByteArray>{};
        QTest::newRow("yes") << int(QMessageBox::Yes)
                             << QList<QByteArray>{packet({0x66, 3, 0x2D, 0, 0}), packet({0xC0, 3}),
                                                  packet({0x66, 5, 0x2D, 0, 0}), packet({0xC0, 5}),
                                                  packet({0x66, 8, 0x2D, 0, 0}), packet({0xC0, 8})};
    }
    void deactivateWaterMeters()
    {
        QFETCH(int, answer);
        QFETCH(QList<QByteArray>, requests);
        WindowOnMaster bench;
        SimDevice asleep = simDevice(4, 19);
        asleep.record.linkState = 1; // not online
        for (const SimDevice &device : {simDevice(3, 19), asleep, simDevice(5, 56), simDevice(6, 4), simDevice(8, 19)})
            bench.sim.setDevice(device);
        QVERIFY(bench.open(5));

        MessageBoxRecorder boxes;
        boxes.answer(answer);
        bench.window->deactivateZelvo();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().kind, UiSeams::MessageBoxRequest::Question);
        QCOMPARE(boxes.last().title, QStringLiteral("Confirm required"));
        QCOMPARE(boxes.last().text, QStringLiteral("Are you sure you want to deactivate all devices?"));
        QCOMPARE(boxes.last().buttons, QMessageBox::StandardButtons(QMessageBox::Yes | QMessageBox::No));
        QTRY_COMPARE(bench.requests(PT_DEVICE_EEPROM_WRITE_REQ).size() + bench.requests(PT_REBOOT_DEVICE).size(),
                     requests.size());
        QList<QByteArray> sent;
        for (const FakeMaster::Received &r : bench.sim.fake.received())
            if (r.type() == PT_DEVICE_EEPROM_WRITE_REQ || r.type() == PT_REBOOT_DEVICE)
                sent << r.packet;
        QCOMPARE(sent, requests);
    }
};

QTEST_MAIN(WindowActionsTest)
#include "tst_windowactions.moc"
