// Reading the hex bytes and memory addresses that users type into the device dialogs.
#include "dialoginput.h"

#include <QtTest>

class DialogInputTest : public QObject
{
    Q_OBJECT

private slots:
    void hexBytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QByteArray>("bytes");

        const auto bytes = [](const char *hex) { return QByteArray::fromHex(hex); };
        QTest::newRow("spaces") << "00 02" << true << bytes("0002");
        QTest::newRow("mixed separators") << "00:05 02-02 1234" << true << bytes("000502021234");
        QTest::newRow("no separators") << "000502021234" << true << bytes("000502021234");
        QTest::newRow("either case") << "aB Cd" << true << bytes("abcd");
        QTest::newRow("blanks around") << "\t 00 01 01 01 \n" << true << bytes("00010101");
        QTest::newRow("empty") << "" << false << QByteArray();
        QTest::newRow("only separators") << " - : " << false << QByteArray();
        QTest::newRow("single digit") << "1" << false << QByteArray();
        QTest::newRow("odd run in the middle") << "00 01 1 01" << false << QByteArray();
        QTest::newRow("odd run at the end") << "00 02 3" << false << QByteArray();
        QTest::newRow("three digits") << "123" << false << QByteArray();
        QTest::newRow("0x prefix") << "0x12" << false << QByteArray();
        QTest::newRow("stray letter splits a byte") << "0g1" << false << QByteArray();
        // Cyrillic letters that look like a, c and e are no hex digits.
        QTest::newRow("cyrillic look-alikes") << QString::fromUtf8("0\xd0\xb0 \xd1\x81\xd0\xb5")
                                              << false << QByteArray();
        QTest::newRow("full-width digits") << QString::fromUtf8("\xef\xbc\x90\xef\xbc\x92") << false
                                           << QByteArray();
    }

    void hexBytes()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(QByteArray, bytes);

        bool ok = !valid;
        QCOMPARE(parseHexBytes(text, &ok), bytes);
        QCOMPARE(ok, valid);
        QCOMPARE(parseHexBytes(text), bytes);
    }

    void memoryAddress_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("address");

        QTest::newRow("assert code item") << "Assert code (0x7A)" << true << 0x7A;
        QTest::newRow("reset code item") << "Reset code (0x7B)" << true << 0x7B;
        QTest::newRow("stats item") << "BEXIL Stats (0x50)" << true << 0x50;
        QTest::newRow("typed lower case") << "7b" << true << 0x7B;
        QTest::newRow("typed with prefix") << "0x7B" << true << 0x7B;
        QTest::newRow("blanks around") << " 3A " << true << 0x3A;
        QTest::newRow("zero") << "0" << true << 0;
        QTest::newRow("highest") << "FFFF" << true << 0xFFFF;
        QTest::newRow("unclosed parenthesis") << "Mine (0x60" << true << 0x60;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("not hex") << "xyz" << false << 0;
        QTest::newRow("only prefix") << "0x" << false << 0;
        QTest::newRow("empty parentheses") << "Code ()" << false << 0;
        QTest::newRow("beyond 16 bits") << "10000" << false << 0;
        QTest::newRow("negative") << "-1" << false << 0;
    }

    void memoryAddress()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, address);

        bool ok = !valid;
        QCOMPARE(parseMemoryAddress(text, &ok), address);
        QCOMPARE(ok, valid);
    }
};

QTEST_GUILESS_MAIN(DialogInputTest)
#include "tst_dialoginput.moc"
