// Payloads of the output and indication commands.
#include "controlpayloads.h"

#include <QtTest>

class ControlPayloadsTest : public QObject
{
    Q_OBJECT

private slots:
    void indicationMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("auto") << 1 << QByteArray::fromHex("000301");
        QTest::newRow("always on") << 2 << QByteArray::fromHex("000302");
    }
    void indicationMode()
    {
        QFETCH(int, mode);
        QFETCH(QByteArray, payload);
        QCOMPARE(indicationModePayload(quint8(mode)), payload);
    }

    void outputControl_data()
    {
        QTest::addColumn<int>("output");
        QTest::addColumn<int>("mask");
        QTest::addColumn<bool>("endState");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("time");
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("output 2, mask 5, end state, 8 s, 10")
            << 2 << 5 << true << 2 << 10 << QByteArray::fromHex("0004022e0a");
        QTest::newRow("endless: 32 s, 0xFF") << 2 << 5 << true << 3 << 0xFF << QByteArray::fromHex("0004022fff");
        QTest::newRow("all zero") << 1 << 0 << false << 0 << 0 << QByteArray::fromHex("0004010000");
        QTest::newRow("highest mask alone") << 1 << 31 << false << 0 << 1 << QByteArray::fromHex("000401f801");
        QTest::newRow("end state alone") << 1 << 0 << true << 0 << 255 << QByteArray::fromHex("00040104ff");
        QTest::newRow("every flag bit") << 2 << 31 << true << 3 << 7 << QByteArray::fromHex("000402ff07");
        // A mask outside its field never spills into the end-state or step bits.
        QTest::newRow("mask 32 is cut") << 1 << 32 << false << 1 << 3 << QByteArray::fromHex("0004010103");
    }
    void outputControl()
    {
        QFETCH(int, output);
        QFETCH(int, mask);
        QFETCH(bool, endState);
        QFETCH(int, step);
        QFETCH(int, time);
        QFETCH(QByteArray, payload);
        const QByteArray built = outputControlPayload(quint8(output), mask, endState, step, quint8(time));
        QCOMPARE(built.toHex(), payload.toHex());
        QCOMPARE(outputControlFlags(mask, endState, step), quint8(payload.at(3)));
    }
};

QTEST_APPLESS_MAIN(ControlPayloadsTest)
#include "tst_controlpayloads.moc"
