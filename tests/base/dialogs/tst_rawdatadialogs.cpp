// The raw command and memory read dialogs: their input, their result and what
// they remember in the settings store.
#include "dialogchecks.h"
#include "dialogreadeeprom.h"
#include "sendcustomdatadialog.h"
#include "settings.h"
#include "uiseams.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

namespace {
const QString CustomKey = QLatin1String(SettingsKey::LastCustomCommand);
const QString AddressKey = QLatin1String(SettingsKey::EepromReadLastAddress);
const QString LengthKey = QLatin1String(SettingsKey::EepromReadLastLength);

QLineEdit *hexEdit(SendCustomDataDialog &dialog)
{
    return dialog.findChild<QLineEdit *>(QStringLiteral("lineEdit"));
}

QComboBox *addressBox(DialogReadEeprom &dialog)
{
    return dialog.findChild<QComboBox *>(QStringLiteral("cbAddress"));
}

QSpinBox *lengthBox(DialogReadEeprom &dialog)
{
    return dialog.findChild<QSpinBox *>(QStringLiteral("sbLength"));
}

QPushButton *button(DialogReadEeprom &dialog, const char *name)
{
    return dialog.findChild<QPushButton *>(QLatin1String(name));
}
} // namespace

class RawDataDialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        appSettings.remove(CustomKey);
        appSettings.remove(AddressKey);
        appSettings.remove(LengthKey);
        UiSeams::setDialogHook({});
    }

    void customData_form()
    {
        QWidget parent;
        SendCustomDataDialog dialog(&parent);
        QCOMPARE(formMismatch(dialog, QStringLiteral("SendCustomDataDialog"),
                              QStringLiteral("Dialog")),
                 QString());
        auto *help = dialog.findChild<QLabel *>(QStringLiteral("label"));
        QVERIFY(help);
        QVERIFY(help->openExternalLinks());
        QVERIFY(help->wordWrap());
        QVERIFY(help->text().contains(QLatin1String("00 05 02 02 12 34")));
    }

    void customData_remembersAcceptedText()
    {
        {
            SendCustomDataDialog first;
            QCOMPARE(hexEdit(first)->text(), QStringLiteral("00 02"));
            QCOMPARE(first.data(), QByteArray::fromHex("0002"));
            hexEdit(first)->clear();
            QTest::keyClicks(hexEdit(first), QStringLiteral("00 01 01 01"));
            standardButton(first, QDialogButtonBox::Ok)->click();
            QCOMPARE(first.result(), int(QDialog::Accepted));
            QCOMPARE(first.data(), QByteArray::fromHex("00010101"));
        }
        QCOMPARE(appSettings.value(CustomKey).toString(), QStringLiteral("00 01 01 01"));

        SendCustomDataDialog second;
        QCOMPARE(hexEdit(second)->text(), QStringLiteral("00 01 01 01"));
        hexEdit(second)->setText(QStringLiteral("ff"));
        standardButton(second, QDialogButtonBox::Cancel)->click();
        QCOMPARE(second.result(), int(QDialog::Rejected));
        QCOMPARE(appSettings.value(CustomKey).toString(), QStringLiteral("00 01 01 01"));
    }

    void customData_separatorsDoNotMatter()
    {
        SendCustomDataDialog dialog;
        // As a caller runs it: through the dialog seam, filled by the "user".
        UiSeams::setDialogHook([](QDialog *d) {
            hexEdit(*static_cast<SendCustomDataDialog *>(d))->setText(QStringLiteral("00:05 02-02 1234"));
            return int(QDialog::Accepted);
        });
        QCOMPARE(UiSeams::execDialog(&dialog), int(QDialog::Accepted));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.data(), QByteArray::fromHex("000502021234"));
        QCOMPARE(appSettings.value(CustomKey).toString(), QStringLiteral("00:05 02-02 1234"));
    }

    void customData_unreadableTextIsNeverAccepted_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("half a byte") << QStringLiteral("00 01 1 01");
        QTest::newRow("prefixed") << QStringLiteral("0x02");
    }

    void customData_unreadableTextIsNeverAccepted()
    {
        QFETCH(QString, text);
        appSettings.setValue(CustomKey, QStringLiteral("00 02"));
        SendCustomDataDialog dialog;
        QVERIFY(standardButton(dialog, QDialogButtonBox::Ok)->isEnabled());
        hexEdit(dialog)->setText(text);
        QVERIFY(!standardButton(dialog, QDialogButtonBox::Ok)->isEnabled());
        QVERIFY(!dialog.hasValidData());
        QVERIFY(dialog.data().isEmpty());

        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(appSettings.value(CustomKey).toString(), QStringLiteral("00 02"));

        hexEdit(dialog)->setText(QStringLiteral("00 02"));
        QVERIFY(standardButton(dialog, QDialogButtonBox::Ok)->isEnabled());
    }

    void readEeprom_formAndDefaults()
    {
        QWidget parent;
        DialogReadEeprom dialog(&parent);
        QCOMPARE(formMismatch(dialog, QStringLiteral("DialogReadEeprom"),
                              QStringLiteral("Dialog")),
                 QString());
        QVERIFY(dialog.isModal());
        QVERIFY(addressBox(dialog)->isEditable());
        QCOMPARE(addressBox(dialog)->count(), 3);
        QCOMPARE(addressBox(dialog)->itemText(1), QStringLiteral("Reset code (0x7B)"));
        QCOMPARE(addressBox(dialog)->itemText(2), QStringLiteral("BEXIL Stats (0x50)"));
        QCOMPARE(lengthBox(dialog)->minimum(), 1);
        QCOMPARE(lengthBox(dialog)->maximum(), 24);

        QCOMPARE(addressBox(dialog)->currentText(), QStringLiteral("Assert code (0x7A)"));
        QCOMPARE(dialog.address(), 0x7A);
        QCOMPARE(dialog.length(), 1);
        QVERIFY(button(dialog, "pbOk")->isEnabled());
    }

    void readEeprom_remembersEvenWhenCancelled()
    {
        {
            DialogReadEeprom dialog;
            addressBox(dialog)->setEditText(QStringLiteral("0x1C4"));
            lengthBox(dialog)->setValue(7);
            button(dialog, "pbCancel")->click();
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
        }
        QCOMPARE(appSettings.value(AddressKey).toString(), QStringLiteral("0x1C4"));
        QCOMPARE(appSettings.value(LengthKey).toInt(), 7);

        DialogReadEeprom again;
        QCOMPARE(addressBox(again)->currentText(), QStringLiteral("0x1C4"));
        QCOMPARE(again.address(), 0x1C4);
        QCOMPARE(again.length(), 7);
        addressBox(again)->setCurrentIndex(2);
        button(again, "pbOk")->click();
        QCOMPARE(again.result(), int(QDialog::Accepted));
        QCOMPARE(again.address(), 0x50);
        QCOMPARE(again.length(), 7);
    }

    void readEeprom_storedLengthOutOfRangeIsClamped()
    {
        appSettings.setValue(LengthKey, 200);
        DialogReadEeprom dialog;
        QCOMPARE(dialog.length(), 24);
    }

    void readEeprom_lengthProposal_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("length");

        QTest::newRow("3A") << "3A" << 0x3A << 2;
        QTest::newRow("0x3b") << "0x3b" << 0x3B << 1;
        QTest::newRow("60") << "60" << 0x60 << 10;
        QTest::newRow("other address") << "61" << 0x61 << 5;
    }

    void readEeprom_lengthProposal()
    {
        QFETCH(QString, typed);
        QFETCH(int, address);
        QFETCH(int, length);

        appSettings.setValue(LengthKey, 5);
        DialogReadEeprom dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QComboBox *combo = addressBox(dialog);
        combo->setFocus();
        combo->clearEditText();
        QTest::keyClicks(combo, typed);
        QTest::keyClick(combo, Qt::Key_Return);
        QCOMPARE(combo->currentText(), typed);
        QCOMPARE(dialog.address(), address);
        QCOMPARE(dialog.length(), length);
    }

    void readEeprom_listedItemsKeepTheLength()
    {
        appSettings.setValue(LengthKey, 5);
        DialogReadEeprom dialog;
        for (int index : {1, 2, 0}) {
            addressBox(dialog)->setCurrentIndex(index);
            QCOMPARE(dialog.length(), 5);
        }
    }

    void readEeprom_notAnAddressIsNeverAccepted_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("not hex") << QStringLiteral("xyz");
        QTest::newRow("beyond 16 bits") << QStringLiteral("12345");
    }

    void readEeprom_notAnAddressIsNeverAccepted()
    {
        QFETCH(QString, text);
        DialogReadEeprom dialog;
        addressBox(dialog)->setEditText(text);
        QCOMPARE(dialog.address(), 0);
        QVERIFY(!button(dialog, "pbOk")->isEnabled());
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));

        addressBox(dialog)->setEditText(QStringLiteral("7b"));
        QVERIFY(button(dialog, "pbOk")->isEnabled());
    }
};

QTEST_MAIN(RawDataDialogsTest)
#include "tst_rawdatadialogs.moc"
