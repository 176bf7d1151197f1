// The master item's login: without and with a password, the wrong-password
// question, the stored hash, the configuration reset from the login, and the
// main window's password flows.
#include "appglobals.h"
#include "changepassworddialog.h"
#include "masterbench.h"
#include "masterpasswordflows.h"
#include "passwordhash.h"
#include "settings.h"
#include "settingsresetprocess.h"
#include "testsupport.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {
// hashPassword("password"), worked out by hashpassword_reference.py.
constexpr quint64 PasswordHash = Q_UINT64_C(0x9AF058A1E4D782D4);

QByteArray le64(quint64 value)
{
    QByteArray data;
    for (int i = 0; i < 8; ++i)
        data.append(char((value >> (8 * i)) & 0xFF));
    return data;
}

QByteArray loginRequest(quint64 hash)
{
    return QByteArray(1, char(PT_PASSWORD_LOGIN)) + le64(hash);
}

hubroInfo_t protectedRecord()
{
    hubroInfo_t info = healthyRecord();
    info.Options.fPswE = 1;
    return info;
}

// A password-dialog step that types the password and presses the button.
DialogScript::Step typePassword(const QString &password, int button = QDialogButtonBox::Ok)
{
    return [password, button](QDialog *dialog) {
        if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("lePassword")))
            edit->setText(password);
        return button;
    };
}

DialogScript::Step pressButton(int button)
{
    return [button](QDialog *) { return button; };
}

// A change-password step that fills the three fields and accepts.
DialogScript::Step typeNewPassword(const QString &current, const QString &fresh)
{
    return [current, fresh](QDialog *dialog) {
        dialog->findChild<QLineEdit *>(QStringLiteral("leCurrentPassword"))->setText(current);
        dialog->findChild<QLineEdit *>(QStringLiteral("leNewPassword"))->setText(fresh);
        dialog->findChild<QLineEdit *>(QStringLiteral("leNewPassword2"))->setText(fresh);
        return int(QDialog::Accepted);
    };
}

int countBoxes(const MessageBoxRecorder &boxes, const QString &title)
{
    int n = 0;
    for (const auto &request : boxes.requests())
        if (request.title == title)
            ++n;
    return n;
}

UiSeams::MessageBoxRequest boxTitled(const MessageBoxRecorder &boxes, const QString &title)
{
    for (const auto &request : boxes.requests())
        if (request.title == title)
            return request;
    return {};
}
} // namespace

class HubroLoginTest : public QObject, public MasterFixture
{
    Q_OBJECT

    // A protected master, logged in with "password".
    bool logIn(DialogScript &dialogs)
    {
        dialogs.then(typePassword(QStringLiteral("password")));
        m_link.reset();
        m_item = std::make_unique<HubroItem>(protectedRecord(), false);
        m_link = std::make_unique<ScriptedLink>(*m_item);
        m_link->script(PT_PASSWORD_LOGIN, bytesOf({PT_PASSWORD_LOGIN_OK}));
        QSignalSpy connected(m_item.get(), &HubroItem::connected);
        return connected.wait(2000);
    }

private slots:
    void initTestCase()
    {
        initTestResources();
        registerDeviceModelNames();
    }

    void cleanup() { releaseMaster(); }

    void init()
    {
        HubroItem::setTimings(fastTimings(30));
        for (const char *key : {SettingsKey::Ull, SettingsKey::HasPassword, SettingsKey::Serial})
            appSettings.remove(QLatin1String(key));
    }

    void withoutPasswordConnectsBeforeTheFirstRefresh()
    {
        MessageBoxRecorder boxes;
        HubroItem item(healthyRecord(), false);
        ScriptedLink link(item);
        link.script(PT_HUBRO_INFO, statusAnswer(healthyRecord()));
        int statusRequestsAtConnect = -1;
        connect(&item, &HubroItem::connected, this, [&] { statusRequestsAtConnect = link.countOf(PT_HUBRO_INFO); });
        QSignalSpy connected(&item, &HubroItem::connected);
        QSignalSpy refreshed(&item, &HubroItem::hubroInfoUpdated);

        QVERIFY(connected.wait(2000));
        QCOMPARE(statusRequestsAtConnect, 0);
        QVERIFY(item.isOnline());
        QCOMPARE(item.data(DeviceRole::StatusText).toString(), QStringLiteral("Devices connected: 0"));

        QVERIFY(refreshed.wait(2000)); // the 5 s refresh, shortened
        QCOMPARE(link.sent.first(), QByteArray(1, char(PT_HUBRO_INFO)));
        QCOMPARE(connected.count(), 1);
        QVERIFY(link.countOf(PT_PASSWORD_LOGIN) == 0);
    }

    void withPasswordConnectsOnlyAfterTheLoginAnswer()
    {
        DialogScript dialogs;
        dialogs.then(typePassword(QStringLiteral("password")));
        HubroItem item(protectedRecord(), false);
        ScriptedLink link(item);
        link.script(PT_HUBRO_INFO, statusAnswer(protectedRecord()));
        QSignalSpy connected(&item, &HubroItem::connected);
        QSignalSpy loggedIn(&item, &HubroItem::loginSuccessfull);

        QTRY_VERIFY(link.hasPending(PT_PASSWORD_LOGIN));
        QCOMPARE(dialogs.records().value(0).className, QStringLiteral("PasswordDialog"));
        QCOMPARE(link.sentOfType(PT_PASSWORD_LOGIN), QList<QByteArray>{loginRequest(PasswordHash)});
        QVERIFY(!connected.wait(150));
        QCOMPARE(link.countOf(PT_HUBRO_INFO), 0);

        // Another answer is not the login's: nothing follows.
        QVERIFY(!link.respond(PT_PASSWORD_LOGIN, bytesOf({PT_PASSWORD_ACCESS_DENIED})));
        QCOMPARE(connected.count(), 0);
        QCOMPARE(loggedIn.count(), 0);
    }

    void loginOkStoresTheHashAndConnects()
    {
        DialogScript dialogs;
        dialogs.then(typePassword(QStringLiteral("password")));
        appSettings.setValue(QLatin1String(SettingsKey::HasPassword), true);
        HubroItem item(protectedRecord(), false);
        ScriptedLink link(item);
        QSignalSpy connected(&item, &HubroItem::connected);
        QSignalSpy loggedIn(&item, &HubroItem::loginSuccessfull);
        QTRY_VERIFY(link.hasPending(PT_PASSWORD_LOGIN));

        QVERIFY(link.respond(PT_PASSWORD_LOGIN, bytesOf({PT_PASSWORD_LOGIN_OK})));
        QCOMPARE(connected.count(), 1);
        QCOMPARE(loggedIn.count(), 1);
        QCOMPARE(appSettings.value(QLatin1String(SettingsKey::Ull)).toULongLong(), PasswordHash);
        QVERIFY(!appSettings.contains(QLatin1String(SettingsKey::HasPassword)));
    }

    void wrongPasswordOffersItsThreeChoices_data()
    {
        QTest::addColumn<int>("choice");
        QTest::newRow("retry") << int(QMessageBox::Retry);
        QTest::newRow("cancel") << int(QMessageBox::Cancel);
        QTest::newRow("reset") << int(QMessageBox::Reset);
    }

    void wrongPasswordOffersItsThreeChoices()
    {
        QFETCH(int, choice);
        MessageBoxRecorder boxes;
        boxes.answer(choice).answer(QMessageBox::Yes); // the reset question, if asked
        DialogScript dialogs;
        dialogs.then(typePassword(QStringLiteral("wrong"))).then(typePassword(QStringLiteral("password")));
        appSettings.setValue(QLatin1String(SettingsKey::Ull), PasswordHash);

        hubroInfo_t opened = protectedRecord();
        opened.bCaseState = 1;
        auto item = std::make_unique<HubroItem>(protectedRecord(), false);
        ScriptedLink link(*item);
        link.script(PT_HUBRO_INFO, statusAnswer(opened));
        QSignalSpy disconnect(item.get(), &HubroItem::masterDisconnect);
        QSignalSpy resetStarted(item.get(), &HubroItem::settingsResetStarted);
        QTRY_VERIFY(link.hasPending(PT_PASSWORD_LOGIN));

        QVERIFY(link.respond(PT_PASSWORD_LOGIN, bytesOf({PT_PASSWORD_LOGIN_FAIL})));
        QTRY_COMPARE(countBoxes(boxes, QStringLiteral("Incorrect password")), 1);
        const auto question = boxTitled(boxes, QStringLiteral("Incorrect password"));
        QCOMPARE(question.text, QStringLiteral("If you forgot password, you can reset device configuration.\n"
                                               "Warning! All settings will be lost!"));
        QCOMPARE(question.buttons, QMessageBox::Retry | QMessageBox::Cancel | QMessageBox::Reset);
        // Enter tries again, Escape cancels: neither erases the configuration.
        QCOMPARE(question.defaultButton, QMessageBox::Retry);
        QCOMPARE(question.escapeButton, QMessageBox::Cancel);

        switch (choice) {
        case QMessageBox::Retry:
            QTRY_VERIFY(link.hasPending(PT_PASSWORD_LOGIN));
            QCOMPARE(dialogs.records().size(), 2);
            QCOMPARE(disconnect.count(), 0);
            break;
        case QMessageBox::Cancel:
            QTRY_COMPARE(disconnect.count(), 1);
            QCOMPARE(dialogs.records().size(), 1);
            break;
        default: {
            // A fresh status record first; the case is open, so the reset is asked.
            QTRY_COMPARE(resetStarted.count(), 1);
            QCOMPARE(link.countOf(PT_HUBRO_INFO), 1);
            const auto ask = boxTitled(boxes, QStringLiteral("Device configuration reset"));
            QCOMPARE(ask.informativeText, QStringLiteral("Are you sure you want to reset the configuration?"));
            QCOMPARE(ask.defaultButton, QMessageBox::No);
            QCOMPARE(ask.escapeButton, QMessageBox::No);
            QCOMPARE(link.sentOfType(PT_RESET_SETTINGS_REQ).size(), 1);
            QPointer<SettingsResetProcess> process = item->settingsResetProcess();
            QVERIFY(process);
            QCOMPARE(process->parent(), item.get());

            // Closing the connection ends it once; the item's deletion then
            // has nothing left to delete twice.
            item->onConnectionClosing();
            item->onConnectionClosing();
            QTRY_VERIFY(!process);
            QCOMPARE(countBoxes(boxes, QStringLiteral("Failure")), 1);
            item.reset();
            break;
        }
        }
    }

    void passwordDialogCloseAndReset()
    {
        MessageBoxRecorder boxes;
        DialogScript dialogs;
        dialogs.then(pressButton(QDialogButtonBox::Close));
        {
            HubroItem item(protectedRecord(), false);
            ScriptedLink link(item);
            QSignalSpy disconnect(&item, &HubroItem::masterDisconnect);
            QVERIFY(disconnect.wait(2000));
            QCOMPARE(link.countOf(PT_PASSWORD_LOGIN), 0);
        }

        // Reset with the case closed: the user is told to open it, then asked
        // for the password again.
        dialogs.then(pressButton(QDialogButtonBox::Reset)).then(pressButton(QDialogButtonBox::Close));
        HubroItem item(protectedRecord(), false);
        ScriptedLink link(item);
        link.script(PT_HUBRO_INFO, statusAnswer(protectedRecord()));
        QSignalSpy disconnect(&item, &HubroItem::masterDisconnect);
        QVERIFY(disconnect.wait(2000));
        QCOMPARE(link.countOf(PT_HUBRO_INFO), 1);
        const auto info = boxTitled(boxes, QStringLiteral("Device configuration reset"));
        QCOMPARE(info.kind, UiSeams::MessageBoxRequest::Information);
        QCOMPARE(info.text, QStringLiteral("To perform the reset procedure of the device configuration, it is "
                                           "necessary to open the case"));
        QCOMPARE(dialogs.records().size(), 3);
        QCOMPARE(link.countOf(PT_RESET_SETTINGS_REQ), 0);
    }

    void refusedStoredHash_data()
    {
        QTest::addColumn<bool>("storeSerial");
        QTest::addColumn<quint32>("serial");
        QTest::addColumn<int>("link");
        QTest::addColumn<bool>("removes");
        QTest::newRow("serial of this master") << true << quint32(123456) << int(Serial) << true;
        QTest::newRow("serial of another master") << true << quint32(999) << int(Serial) << false;
        QTest::newRow("no serial, Bluetooth") << false << quint32(0) << int(Bluetooth) << true;
        QTest::newRow("no serial, serial link") << false << quint32(0) << int(Serial) << false;
    }

    void refusedStoredHash()
    {
        QFETCH(bool, storeSerial);
        QFETCH(quint32, serial);
        QFETCH(int, link);
        QFETCH(bool, removes);
        MessageBoxRecorder boxes;
        DialogScript dialogs;
        dialogs.then(typePassword(QStringLiteral("password")));
        appSettings.setValue(QLatin1String(SettingsKey::Ull), PasswordHash);
        appSettings.setValue(QLatin1String(SettingsKey::HasPassword), true);
        if (storeSerial)
            appSettings.setValue(QLatin1String(SettingsKey::Serial), serial);

        HubroItem item(protectedRecord(), false);
        ScriptedLink scripted(item, ConnectionType(link));
        QSignalSpy disconnect(&item, &HubroItem::masterDisconnect);
        QSignalSpy connected(&item, &HubroItem::connected);
        QTRY_VERIFY(scripted.hasPending(PT_PASSWORD_LOGIN));
        QVERIFY(scripted.respond(PT_PASSWORD_LOGIN, bytesOf({PT_PASSWORD_LOGIN_FAIL})));
        QVERIFY(!appSettings.contains(QLatin1String(SettingsKey::HasPassword)));
        QCOMPARE(countBoxes(boxes, QStringLiteral("Incorrect password")), 0);

        if (!removes) {
            QCOMPARE(disconnect.count(), 1);
            QCOMPARE(scripted.countOf(PT_PASSWORD_REMOVE), 0);
            return;
        }
        QCOMPARE(disconnect.count(), 0);
        QVERIFY(scripted.hasPending(PT_PASSWORD_REMOVE));
        // Removed, then set again to the same hash; connected follows.
        QVERIFY(scripted.respond(PT_PASSWORD_REMOVE, bytesOf({PT_PASSWORD_REMOVE_ACK})));
        QCOMPARE(scripted.sentOfType(PT_PASSWORD_CHANGE),
                 QList<QByteArray>{QByteArray(1, char(PT_PASSWORD_CHANGE)) + le64(0) + le64(PasswordHash)});
        QVERIFY(connected.wait(2000));
    }

    void hasPasswordFlagOfTheSavedMaster_data()
    {
        QTest::addColumn<quint32>("serial");
        QTest::addColumn<bool>("asks");
        QTest::newRow("this master: removed without asking") << quint32(123456) << false;
        QTest::newRow("another master: asked as usual") << quint32(42) << true;
    }

    void hasPasswordFlagOfTheSavedMaster()
    {
        QFETCH(quint32, serial);
        QFETCH(bool, asks);
        MessageBoxRecorder boxes;
        DialogScript dialogs;
        dialogs.then(typePassword(QStringLiteral("password")));
        appSettings.setValue(QLatin1String(SettingsKey::HasPassword), false);
        appSettings.setValue(QLatin1String(SettingsKey::Serial), serial);

        HubroItem item(protectedRecord(), false);
        ScriptedLink link(item);
        QSignalSpy connected(&item, &HubroItem::connected);
        if (asks) {
            QTRY_VERIFY(link.hasPending(PT_PASSWORD_LOGIN));
            QCOMPARE(link.countOf(PT_PASSWORD_REMOVE), 0);
        } else {
            QTRY_VERIFY(link.hasPending(PT_PASSWORD_REMOVE));
            QCOMPARE(dialogs.records().size(), 0);
            QVERIFY(link.respond(PT_PASSWORD_REMOVE, bytesOf({PT_PASSWORD_REMOVE_ACK})));
            QCOMPARE(link.countOf(PT_PASSWORD_CHANGE), 0);
            QVERIFY(connected.wait(2000));
        }
        QVERIFY(!appSettings.contains(QLatin1String(SettingsKey::HasPassword)));
    }

    void failedRemovalWarnsAndStillConnects()
    {
        MessageBoxRecorder boxes;
        HubroItem item(healthyRecord(), false);
        ScriptedLink link(item);
        QSignalSpy connected(&item, &HubroItem::connected);
        QVERIFY(connected.wait(2000));

        MasterPasswordFlows::removePassword(&item);
        QCOMPARE(link.sentOfType(PT_PASSWORD_REMOVE), QList<QByteArray>{bytesOf({PT_PASSWORD_REMOVE})});
        QVERIFY(!link.respond(PT_PASSWORD_REMOVE, bytesOf({PT_UNKNOWN_REQ_ERROR})));
        QVERIFY(connected.wait(2000));
        QTRY_COMPARE(countBoxes(boxes, QStringLiteral("Password removing")), 1);
        QCOMPARE(boxTitled(boxes, QStringLiteral("Password removing")).text,
                 QStringLiteral("Command PT_PASSWORD_REMOVE failed"));
    }

    void changePasswordFlow_data()
    {
        QTest::addColumn<QString>("fresh");
        QTest::addColumn<QString>("message");
        QTest::newRow("changed") << QStringLiteral("new") << QStringLiteral("Password was change successfully");
        QTest::newRow("removed") << QString() << QStringLiteral("Password was removed");
    }

    void changePasswordFlow()
    {
        QFETCH(QString, fresh);
        QFETCH(QString, message);
        MessageBoxRecorder boxes;
        DialogScript dialogs;
        QVERIFY(logIn(dialogs));
        HubroItem &item = *m_item;
        ScriptedLink &link = *m_link;
        QCOMPARE(appSettings.value(QLatin1String(SettingsKey::Ull)).toULongLong(), PasswordHash);

        dialogs.then(typeNewPassword(QStringLiteral("password"), fresh));
        MasterPasswordFlows::changePassword(&item);
        QCOMPARE(dialogs.records().last().className, QStringLiteral("ChangePasswordDialog"));
        const quint64 freshHash = fresh.isEmpty() ? 0 : hashPassword(fresh);
        QCOMPARE(link.sentOfType(PT_PASSWORD_CHANGE),
                 QList<QByteArray>{QByteArray(1, char(PT_PASSWORD_CHANGE)) + le64(PasswordHash) + le64(freshHash)});
        QSignalSpy actions(&item, &HubroItem::enableAction);
        QVERIFY(link.respond(PT_PASSWORD_CHANGE, bytesOf({PT_PASSWORD_CHANGE_ACK})));
        QCOMPARE(appSettings.value(QLatin1String(SettingsKey::Ull)).toULongLong(), freshHash);
        QCOMPARE(actions.count(), 1);
        QTRY_COMPARE(countBoxes(boxes, QStringLiteral("Success")), 1);
        QCOMPARE(boxTitled(boxes, QStringLiteral("Success")).text, message);
    }

    void refusedChangeOffersRetry()
    {
        MessageBoxRecorder boxes;
        boxes.answer(QMessageBox::Retry);
        DialogScript dialogs;
        QVERIFY(logIn(dialogs));
        HubroItem &item = *m_item;
        ScriptedLink &link = *m_link;
        connect(&item, &HubroItem::changePasswordFailed, this, [&item] { MasterPasswordFlows::onChangePasswordFailed(&item); });

        dialogs.then(typeNewPassword(QStringLiteral("password"), QStringLiteral("new")));
        MasterPasswordFlows::changePassword(&item);
        QVERIFY(link.respond(PT_PASSWORD_CHANGE, bytesOf({PT_PASSWORD_CHANGE_FAIL})));
        const auto question = boxes.last();
        QCOMPARE(question.title, QStringLiteral("Failed"));
        QCOMPARE(question.text, QStringLiteral("Failed to set new password."));
        QCOMPARE(question.informativeText, QStringLiteral("Please check if you entered your current password correctly."));
        QCOMPARE(question.buttons, QMessageBox::Retry | QMessageBox::Close);
        QCOMPARE(question.escapeButton, QMessageBox::Close);
        // Retry: the change dialog again (no step left: cancelled, nothing sent).
        QCOMPARE(dialogs.records().size(), 3);
        QCOMPARE(link.countOf(PT_PASSWORD_CHANGE), 1);
        QCOMPARE(appSettings.value(QLatin1String(SettingsKey::Ull)).toULongLong(), PasswordHash);
    }

    void changesThatSendNothing()
    {
        MessageBoxRecorder boxes;
        DialogScript dialogs;
        QVERIFY(logIn(dialogs));
        HubroItem &item = *m_item;
        ScriptedLink &link = *m_link;
        QSignalSpy removeFailed(&item, &HubroItem::removePasswordFailed);

        item.changePassword(0, 0, true);
        item.changePassword(PasswordHash, PasswordHash, true);
        QCOMPARE(link.countOf(PT_PASSWORD_CHANGE), 0);

        // A removal with a current password other than the stored one.
        item.changePassword(hashPassword(QStringLiteral("guess")), 0, true);
        QCOMPARE(link.countOf(PT_PASSWORD_CHANGE), 0);
        QCOMPARE(removeFailed.count(), 1);
        QCOMPARE(boxTitled(boxes, QStringLiteral("Password removing")).text,
                 QStringLiteral("The current password is entered incorrectly"));
    }
};

QTEST_MAIN(HubroLoginTest)
#include "tst_hubrologin.moc"
