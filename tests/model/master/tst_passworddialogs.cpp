// The master password hash, the password dialog with its caps-lock hint, and
// the change-password dialog.
#include "changepassworddialog.h"
#include "keystate.h"
#include "passworddialog.h"
#include "passwordhash.h"
#include "testsupport.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace {
// Worked out by hashpassword_reference.py beside this file.
constexpr quint64 EmptyHash = Q_UINT64_C(0x6FA9C3202B7D4E19);
constexpr quint64 PasswordHash = Q_UINT64_C(0x9AF058A1E4D782D4); // "password"
constexpr quint64 CyrillicHash = Q_UINT64_C(0x835FF6E6141AFFB0);

QLineEdit *lineEdit(QWidget &dialog, const char *name)
{
    return dialog.findChild<QLineEdit *>(QLatin1String(name));
}

QDialogButtonBox *buttonBox(QWidget &dialog)
{
    return dialog.findChild<QDialogButtonBox *>(QStringLiteral("buttons"));
}
} // namespace

class PasswordDialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initTestResources(); }
    void cleanup() { KeyState::setCapsLockSource({}); }

    void hash_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<quint64>("start");
        QTest::addColumn<quint64>("expected");
        QTest::newRow("empty: the salt through the last step alone") << QString() << quint64(0) << EmptyHash;
        QTest::newRow("one letter") << QStringLiteral("a") << quint64(0) << Q_UINT64_C(0xD04EA2BC1E827514);
        QTest::newRow("ASCII word") << QStringLiteral("password") << quint64(0) << PasswordHash;
        QTest::newRow("mixed ASCII") << QStringLiteral("Password123!") << quint64(0)
                                     << Q_UINT64_C(0xEFC36E3F377E1B62);
        QTest::newRow("order ab") << QStringLiteral("ab") << quint64(0) << Q_UINT64_C(0xF7E9AB18AFBF4D5B);
        QTest::newRow("order ba") << QStringLiteral("ba") << quint64(0) << Q_UINT64_C(0xF7E9C358AFBF4E19);
        QTest::newRow("Cyrillic") << QString::fromUtf8("пароль") << quint64(0) << CyrillicHash;
        QTest::newRow("only the low bytes of the Cyrillic units")
            << QStringLiteral("?0@>;L") << quint64(0) << CyrillicHash;
        QTest::newRow("Latin-1") << QString::fromUtf8("été") << quint64(0) << Q_UINT64_C(0xB335D6A7DD99AEBE);
        QTest::newRow("U+0100 mixes in a zero byte") << QString(QChar(0x0100)) << quint64(0)
                                                     << Q_UINT64_C(0x6FA9CDE02B7D4E6F);
        QTest::newRow("outside the basic plane: two code units")
            << QString::fromUtf8("\xF0\x9F\x94\x91") << quint64(0) << Q_UINT64_C(0x0C9619306064B0C8);
        QTest::newRow("long") << QString(40, QLatin1Char('x')) << quint64(0) << Q_UINT64_C(0xA8617E16BD430BAC);
        QTest::newRow("start value") << QStringLiteral("a") << quint64(0x1234) << Q_UINT64_C(0xD050653C1E828328);
        QTest::newRow("start value with the high bits set")
            << QStringLiteral("password") << ~quint64(0) << Q_UINT64_C(0xAA017C371D500BFD);
    }

    void hash()
    {
        QFETCH(QString, text);
        QFETCH(quint64, start);
        QFETCH(quint64, expected);
        QCOMPARE(QString::number(hashPassword(text, start), 16), QString::number(expected, 16));
    }

    void passwordDialog_form()
    {
        PasswordDialog dialog;
        QCOMPARE(dialog.objectName(), QStringLiteral("PasswordDialog"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Password required"));
        QCOMPARE(dialog.windowModality(), Qt::ApplicationModal);
        const Qt::WindowFlags flags = dialog.windowFlags();
        QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
        QVERIFY(flags.testFlag(Qt::WindowTitleHint));
        QVERIFY(!flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowContextHelpButtonHint));
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("lblTitle"))->text(),
                 QStringLiteral("You need to enter password to connect to this device"));
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("lblPassword"))->buddy(),
                 lineEdit(dialog, "lePassword"));
        QCOMPARE(lineEdit(dialog, "lePassword")->echoMode(), QLineEdit::Password);
        QCOMPARE(buttonBox(dialog)->standardButtons(),
                 QDialogButtonBox::Ok | QDialogButtonBox::Close | QDialogButtonBox::Reset);
    }

    // Every way of ending the dialog gives one of the three answers the
    // login understands.
    void passwordDialog_result_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("expected");
        QTest::newRow("OK") << QStringLiteral("Ok") << int(QDialogButtonBox::Ok);
        QTest::newRow("Close") << QStringLiteral("Close") << int(QDialogButtonBox::Close);
        QTest::newRow("Reset") << QStringLiteral("Reset") << int(QDialogButtonBox::Reset);
        QTest::newRow("Escape") << QStringLiteral("Escape") << int(QDialogButtonBox::Close);
        QTest::newRow("plain accept") << QStringLiteral("accept") << int(QDialogButtonBox::Ok);
        QTest::newRow("unscripted run ends rejected") << QString() << int(QDialogButtonBox::Close);
    }

    void passwordDialog_result()
    {
        QFETCH(QString, how);
        QFETCH(int, expected);
        DialogScript script;
        if (!how.isEmpty()) {
            script.then([how](QDialog *dialog) {
                auto *box = dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttons"));
                lineEdit(*dialog, "lePassword")->setText(QStringLiteral("password"));
                if (how == QLatin1String("Ok"))
                    box->button(QDialogButtonBox::Ok)->click();
                else if (how == QLatin1String("Close"))
                    box->button(QDialogButtonBox::Close)->click();
                else if (how == QLatin1String("Reset"))
                    box->button(QDialogButtonBox::Reset)->click();
                else if (how == QLatin1String("Escape"))
                    QTest::keyClick(dialog, Qt::Key_Escape);
                else
                    dialog->accept();
                return dialog->result();
            });
        }
        PasswordDialog dialog;
        QCOMPARE(UiSeams::execDialog(&dialog), expected);
        QCOMPARE(dialog.result(), expected);
        QCOMPARE(dialog.passwordHash(), how.isEmpty() ? EmptyHash : PasswordHash);
    }

    void passwordDialog_hashOfTypedText()
    {
        PasswordDialog dialog;
        QCOMPARE(dialog.passwordHash(), EmptyHash);
        QTest::keyClicks(lineEdit(dialog, "lePassword"), QStringLiteral("password"));
        QCOMPARE(dialog.passwordHash(), PasswordHash);
        lineEdit(dialog, "lePassword")->setText(QString::fromUtf8("пароль"));
        QCOMPARE(dialog.passwordHash(), CyrillicHash);
    }

    void passwordDialog_capsLockHint()
    {
        bool capsLock = true;
        KeyState::setCapsLockSource([&capsLock] { return capsLock; });
        PasswordDialog dialog;
        auto *hint = dialog.findChild<QLabel *>(QStringLiteral("label"));
        auto *icon = dialog.findChild<QLabel *>(QStringLiteral("lblCapsLock"));
        auto *timer = dialog.findChild<QTimer *>();
        QVERIFY(timer);
        QVERIFY(!timer->isActive());
        QCOMPARE(hint->text(), QStringLiteral("Warning: Caps Lock is on"));

        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(timer->isActive());
        QVERIFY(hint->isVisible());
        QVERIFY(icon->isVisible());
        QCOMPARE(lineEdit(dialog, "lePassword")->toolTip(), QStringLiteral("Warning: Caps Lock is on"));

        capsLock = false; // the timer picks the change up
        QTRY_VERIFY(!hint->isVisible());
        QVERIFY(!icon->isVisible());
        QCOMPARE(hint->text(), QString());
        QCOMPARE(lineEdit(dialog, "lePassword")->toolTip(), QString());

        capsLock = true;
        QTRY_VERIFY(hint->isVisible());

        dialog.hide();
        QVERIFY(!timer->isActive());
    }

    void capsLockReadsOffWithoutAKeyboardState()
    {
        // The suite runs on the offscreen platform, which has none.
        QVERIFY(!KeyState::capsLockOn());
        PasswordDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(!dialog.findChild<QLabel *>(QStringLiteral("label"))->isVisible());
    }

    void changeDialog_form()
    {
        ChangePasswordDialog dialog(true);
        QCOMPARE(dialog.objectName(), QStringLiteral("ChangePasswordDialog"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Change password"));
        QVERIFY(dialog.windowFlags().testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!dialog.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
        for (const char *name : {"leCurrentPassword", "leNewPassword", "leNewPassword2"})
            QCOMPARE(lineEdit(dialog, name)->echoMode(), QLineEdit::Password);
        QCOMPARE(lineEdit(dialog, "leNewPassword")->placeholderText(),
                 QStringLiteral("Keep empty to disable password protection"));
        QCOMPARE(buttonBox(dialog)->standardButtons(), QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QVERIFY(lineEdit(dialog, "leCurrentPassword")->isEnabled());
    }

    void changeDialog_hashes_data()
    {
        QTest::addColumn<bool>("passwordEnabled");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("fresh");
        QTest::addColumn<quint64>("currentHash");
        QTest::addColumn<quint64>("newHash");
        QTest::newRow("change") << true << QStringLiteral("password") << QString::fromUtf8("пароль")
                                << PasswordHash << CyrillicHash;
        QTest::newRow("clear: empty new password is 0") << true << QStringLiteral("password") << QString()
                                                        << PasswordHash << quint64(0);
        QTest::newRow("no password yet: current field disabled, 0")
            << false << QStringLiteral("password") << QStringLiteral("password") << quint64(0) << PasswordHash;
        QTest::newRow("both empty") << true << QString() << QString() << quint64(0) << quint64(0);
    }

    void changeDialog_hashes()
    {
        QFETCH(bool, passwordEnabled);
        QFETCH(QString, current);
        QFETCH(QString, fresh);
        QFETCH(quint64, currentHash);
        QFETCH(quint64, newHash);

        DialogScript script;
        script.then([&](QDialog *dialog) {
            lineEdit(*dialog, "leCurrentPassword")->setText(current);
            lineEdit(*dialog, "leNewPassword")->setText(fresh);
            lineEdit(*dialog, "leNewPassword2")->setText(fresh);
            buttonBox(*dialog)->button(QDialogButtonBox::Ok)->click();
            return dialog->result();
        });
        ChangePasswordDialog dialog(passwordEnabled);
        QCOMPARE(lineEdit(dialog, "leCurrentPassword")->isEnabled(), passwordEnabled);
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("lblCurrentPassword"))->isEnabled(), passwordEnabled);
        QCOMPARE(UiSeams::execDialog(&dialog), int(QDialog::Accepted));
        QCOMPARE(dialog.currentPasswordHash(), currentHash);
        QCOMPARE(dialog.newPasswordHash(), newHash);
    }

    void changeDialog_mismatch()
    {
        ChangePasswordDialog dialog(true);
        QPushButton *ok = buttonBox(dialog)->button(QDialogButtonBox::Ok);
        QLineEdit *first = lineEdit(dialog, "leNewPassword");
        QLineEdit *second = lineEdit(dialog, "leNewPassword2");
        QVERIFY(ok->isEnabled());

        QTest::keyClicks(first, QStringLiteral("abc"));
        QVERIFY(!ok->isEnabled());
        QCOMPARE(second->palette().color(QPalette::Text), QColor(Qt::red));

        QTest::keyClicks(second, QStringLiteral("abd")); // both filled, still different
        QVERIFY(!ok->isEnabled());

        QTest::keyClick(second, Qt::Key_Backspace);
        QTest::keyClicks(second, QStringLiteral("c"));
        QVERIFY(ok->isEnabled());
        QCOMPARE(second->palette().color(QPalette::Text), QApplication::palette().color(QPalette::Text));

        QTest::keyClicks(first, QStringLiteral("d")); // an edit of the first field re-checks too
        QVERIFY(!ok->isEnabled());

        // Not even a scripted accept gets past the mismatch.
        DialogScript script;
        script.then([](QDialog *) { return int(QDialog::Accepted); });
        QCOMPARE(UiSeams::execDialog(&dialog), int(QDialog::Rejected));
    }

    void changeDialog_showPasswordButtons()
    {
        ChangePasswordDialog dialog(true);
        auto *show1 = dialog.findChild<QPushButton *>(QStringLiteral("pbShowPass"));
        auto *show2 = dialog.findChild<QPushButton *>(QStringLiteral("pbShowPass2"));
        QVERIFY(show1->isCheckable() && show1->isFlat() && show1->text().isEmpty());
        show1->click();
        QCOMPARE(lineEdit(dialog, "leNewPassword")->echoMode(), QLineEdit::Normal);
        QCOMPARE(lineEdit(dialog, "leNewPassword2")->echoMode(), QLineEdit::Password);
        show2->click();
        QCOMPARE(lineEdit(dialog, "leNewPassword2")->echoMode(), QLineEdit::Normal);
        show1->click();
        QCOMPARE(lineEdit(dialog, "leNewPassword")->echoMode(), QLineEdit::Password);
        QCOMPARE(lineEdit(dialog, "leCurrentPassword")->echoMode(), QLineEdit::Password);
    }
};

QTEST_MAIN(PasswordDialogsTest)
#include "tst_passworddialogs.moc"
