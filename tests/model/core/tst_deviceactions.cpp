#include "devicetestdata.h"

#include "actionopeners.h"
#include "clonewireloopdialog.h"
#include "deviceitem.h"
#include "sendcustomdatadialog.h"
#include "senddatamanager.h"
#include "testsupport.h"
#include "togglezonestatedialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QtTest>

namespace {
struct Sent
{
    QByteArray data;
    ResponseCb cb;
};

// Records what an object sends through its sendPacket signal.
template <class Sender>
QMetaObject::Connection recordPackets(Sender *sender, QObject *context, QList<Sent> *sent)
{
    return QObject::connect(sender, &Sender::sendPacket, context,
                            [sent](const QByteArray &data, const ResponseCb &cb) { sent->append(Sent{data, cb}); });
}
} // namespace

class DeviceActionsTest : public QObject
{
    Q_OBJECT

    QList<Sent> queued; // what the process-wide command queue sends
    QMetaObject::Connection queueConnection;

private slots:
    void initTestCase()
    {
        initTestResources();
        registerDeviceModelNames();
        DeviceItem::setTimings(10, 20);
        queueConnection = recordPackets(SendDataManager::instance(), this, &queued);
    }
    void init()
    {
        queued.clear();
    }

    void changeAddress_data()
    {
        QTest::addColumn<bool>("kastrel");
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<int>("address");
        QTest::addColumn<QByteArray>("request"); // empty: nothing sent
        QTest::addColumn<bool>("refused");
        QTest::newRow("wireloop") << false << 4 << QByteArray() << 18 << hexBytes("070512") << false;
        QTest::newRow("last address") << false << 4 << QByteArray() << 127 << hexBytes("07057f") << false;
        QTest::newRow("zero sends nothing") << false << 4 << QByteArray() << 0 << QByteArray() << false;
        QTest::newRow("extra addresses past 127") << false << 4 << hexBytes("f01c") << 125 << QByteArray() << true;
        QTest::newRow("extra addresses up to 127") << false << 4 << hexBytes("f01c") << 124 << hexBytes("07057c")
                                                   << false;
        QTest::newRow("a master is not checked") << false << 40 << hexBytes("f01c") << 125 << hexBytes("07057d")
                                                 << false;
        QTest::newRow("kastrel") << true << 4 << QByteArray() << 200 << hexBytes("1a05c8") << false;
        QTest::newRow("kastrel past 255") << true << 4 << hexBytes("f01c") << 254 << QByteArray() << true;
    }
    void changeAddress()
    {
        QFETCH(bool, kastrel);
        QFETCH(int, type);
        QFETCH(QByteArray, state);
        QFETCH(int, address);
        QFETCH(QByteArray, request);
        QFETCH(bool, refused);

        const deviceInfo_t info = makeInfo(type);
        DeviceItem item(info, kastrel);
        item.updateState(info, state);
        MessageBoxRecorder boxes;
        QList<Sent> sent;
        recordPackets(&item, this, &sent);
        QSignalSpy changed(&item, &DeviceItem::wireloopAddressChanged);

        item.setData(address, Qt::EditRole);
        QCOMPARE(sent.size(), request.isEmpty() ? 0 : 1);
        if (!request.isEmpty()) {
            QCOMPARE(sent[0].data, request);
            QCOMPARE(changed.count(), 1);
            QCOMPARE(changed.at(0).at(0).toInt(), 5);
            QCOMPARE(changed.at(0).at(1).toInt(), address);
        }
        QCOMPARE(boxes.count(), refused ? 1 : 0);
        if (refused) {
            QCOMPARE(boxes.last().text, QStringLiteral("Wireloop address changing canceled"));
            QCOMPARE(boxes.last().title, QStringLiteral("Wireloop address changing"));
            QCOMPARE(boxes.last().kind, UiSeams::MessageBoxRequest::Warning);
        }
    }

    void addressReplies_data()
    {
        QTest::addColumn<bool>("kastrel");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("result");
        QTest::addColumn<int>("address"); // the wired address afterwards
        QTest::addColumn<QString>("box"); // non-modal box text, empty: none
        QTest::newRow("ack") << false << hexBytes("08052a") << true << 42 << QString();
        QTest::newRow("ack with the check byte") << false << hexBytes("08052a9c") << true << 42 << QString();
        QTest::newRow("short ack") << false << hexBytes("0805") << false << 10 << QString();
        QTest::newRow("empty reply") << false << QByteArray() << false << 10 << QString();
        QTest::newRow("busy") << false << hexBytes("0905") << true << 10 << "Failed to change device address";
        QTest::newRow("failed") << false << hexBytes("0a05") << true << 10 << "Failed to change device address";
        QTest::newRow("kastrel ack") << true << hexBytes("1b052a") << true << 42 << QString();
        QTest::newRow("kastrel busy") << true << hexBytes("1c05") << true << 40 << "Failed to change kastrel address";
        QTest::newRow("kastrel failed") << true << hexBytes("1d") << true << 40 << "Failed to change kastrel address";
        QTest::newRow("other") << false << hexBytes("6b05") << false << 10 << QString();
    }
    void addressReplies()
    {
        QFETCH(bool, kastrel);
        QFETCH(QByteArray, reply);
        QFETCH(bool, result);
        QFETCH(int, address);
        QFETCH(QString, box);

        DeviceItem item(makeInfo(4), kastrel);
        MessageBoxRecorder boxes;
        QList<Sent> sent;
        recordPackets(&item, this, &sent);
        QSignalSpy changed(&item, &DeviceItem::addressChanged);
        item.changeAddress(42);
        QCOMPARE(sent.size(), 1);

        Packet packet;
        packet.data = reply;
        QCOMPARE(sent[0].cb(packet), result);
        QCOMPARE(int(item.wiredAddress()), address);
        QCOMPARE(changed.count(), address == 42 ? 1 : 0);
        if (kastrel && address == 42) {
            QCOMPARE(item.kastrelAddress(), quint8(42));
            QCOMPARE(item.address(), quint8(10)); // byte 9 untouched
        }
        QCOMPARE(boxes.count(), box.isEmpty() ? 0 : 1);
        if (!box.isEmpty()) {
            QCOMPARE(boxes.last().text, box);
            QVERIFY(!boxes.last().modal);
        }
    }

    void replyAfterTheItemIsGone()
    {
        auto *item = new DeviceItem(makeInfo(4), false);
        QList<Sent> sent;
        recordPackets(item, this, &sent);
        item->changeAddress(42);
        item->requestProductCode();
        delete item;
        QVERIFY(!sent[0].cb(packetOf("08052a")));
        QVERIFY(!sent[1].cb(packetOf("7701020304")));
    }

    void resetAddress()
    {
        DeviceItem item(makeInfo(4), false);
        QList<Sent> sent;
        recordPackets(&item, this, &sent);
        QSignalSpy reseted(&item, &DeviceItem::addressReseted);
        item.executeAction(DeviceItem::ResetAddressAction);
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent[0].data, hexBytes("980500"));
        QVERIFY(sent[0].cb(packetOf("99")));
        QVERIFY(!sent[0].cb(packetOf("98")));
        QCOMPARE(reseted.count(), 1);
        QVERIFY(item.isAddressResetPending());
        QTRY_VERIFY(!item.isAddressResetPending());
    }

    void productCode_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("emitted");
        QTest::addColumn<uint>("code");
        QTest::newRow("little-endian") << hexBytes("7701020304") << true << 0x04030201u;
        QTest::newRow("with the check byte") << hexBytes("77ffffffff5a") << true << 0xFFFFFFFFu;
        QTest::newRow("short") << hexBytes("77010203") << false << 0u;
        QTest::newRow("other type") << hexBytes("7801020304") << false << 0u;
        QTest::newRow("empty") << QByteArray() << false << 0u;
    }
    void productCode()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, emitted);
        QFETCH(uint, code);
        DeviceItem item(makeInfo(4), false);
        QList<Sent> sent;
        recordPackets(&item, this, &sent);
        QSignalSpy received(&item, &DeviceItem::productCodeReceived);
        item.requestProductCode();
        QCOMPARE(sent[0].data, hexBytes("7605"));
        if (!reply.isEmpty() && quint8(reply.at(0)) != 0x77)
            QTest::ignoreMessage(QtWarningMsg, "Wrong packet type: 0x78");
        Packet packet;
        packet.data = reply;
        QVERIFY(!sent[0].cb(packet));
        QCOMPARE(received.count(), emitted ? 1 : 0);
        if (emitted)
            QCOMPARE(received.at(0).at(0).value<uint32_t>(), code);
    }

    void toggleZoneState_data()
    {
        QTest::addColumn<int>("zone");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("result");
        QTest::addColumn<QByteArray>("packet");
        QTest::newRow("as offered") << 0 << 0 << int(QDialog::Accepted) << hexBytes("6a0500010000");
        QTest::newRow("zone 3 on") << 3 << 1 << int(QDialog::Accepted) << hexBytes("6a0500010301");
        QTest::newRow("cancelled") << 3 << 1 << int(QDialog::Rejected) << QByteArray();
    }
    void toggleZoneState()
    {
        QFETCH(int, zone);
        QFETCH(int, state);
        QFETCH(int, result);
        QFETCH(QByteArray, packet);
        DeviceItem item(makeInfo(4), false);
        DialogScript script;
        script.then([&](QDialog *dialog) {
            if (!qobject_cast<ToggleZoneStateDialog *>(dialog))
                return int(QDialog::Rejected);
            dialog->findChild<QComboBox *>(QStringLiteral("cbZoneNum"))->setCurrentIndex(zone);
            dialog->findChild<QComboBox *>(QStringLiteral("cbState"))->setCurrentIndex(state);
            return result;
        });
        item.executeAction(DeviceItem::ToggleZoneStateAction);
        QCOMPARE(script.records().size(), 1);
        QCOMPARE(queued.size(), packet.isEmpty() ? 0 : 1);
        if (!packet.isEmpty()) {
            QCOMPARE(queued[0].data, packet);
            queued[0].cb(packetOf("6b"));
        }
    }

    void customData()
    {
        DeviceItem item(makeInfo(4), false);
        DialogScript script;
        script.then([](QDialog *dialog) {
            dialog->findChild<QLineEdit *>(QStringLiteral("lineEdit"))->setText(QStringLiteral("00:05 02-02 1234"));
            return int(QDialog::Accepted);
        });
        item.executeAction(DeviceItem::SendCustomDataAction);
        QCOMPARE(queued.size(), 1);
        QCOMPARE(queued[0].data, hexBytes("6a05 000502021234"));
        queued[0].cb(packetOf("6b"));
    }

    void cloneWireloop_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("reseted");
        QTest::newRow("ack") << hexBytes("f6") << true << QString() << true;
        QTest::newRow("error") << hexBytes("f7") << true << "Wireloop clone error" << false;
        QTest::newRow("other") << hexBytes("6b") << false << "Comand CLONE_DEV not handled" << false;
    }
    void cloneWireloop()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, result);
        QFETCH(QString, box);
        QFETCH(bool, reseted);
        DeviceItem item(makeInfo(4, 20), false);
        QList<Sent> sent;
        recordPackets(&item, this, &sent);
        MessageBoxRecorder boxes;
        DialogScript script;
        int offeredMaximum = 0;
        script.then([&offeredMaximum](QDialog *dialog) {
            auto *clone = qobject_cast<CloneWireloopDialog *>(dialog);
            if (!clone)
                return int(QDialog::Rejected);
            auto *spin = dialog->findChild<QSpinBox *>(QStringLiteral("sbCloneNumber"));
            offeredMaximum = spin->maximum();
            spin->setValue(17);
            return int(QDialog::Accepted);
        });
        QSignalSpy updated(&item, &DeviceItem::updated);
        QSignalSpy reset(&item, &DeviceItem::addressReseted);
        item.executeAction(DeviceItem::CloneWireloopAction);
        QCOMPARE(offeredMaximum, 126 - 20); // built with the Wireloop address
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent[0].data, hexBytes("f50511"));

        Packet packet;
        packet.data = reply;
        QCOMPARE(sent[0].cb(packet), result);
        QCOMPARE(updated.count(), reseted ? 1 : 0);
        QCOMPARE(reset.count(), reseted ? 1 : 0);
        QCOMPARE(boxes.count(), box.isEmpty() ? 0 : 1);
        if (!box.isEmpty()) {
            QCOMPARE(boxes.last().text, box);
            QCOMPARE(boxes.last().title, QStringLiteral("Wireloop clone error"));
        }
    }

    void nothingSentWhenCancelledOrGone()
    {
        {
            DeviceItem item(makeInfo(4), false);
            QList<Sent> sent;
            recordPackets(&item, this, &sent);
            DialogScript script; // no step: every dialog is rejected
            item.executeAction(DeviceItem::SendCustomDataAction);
            item.executeAction(DeviceItem::CloneWireloopAction);
            QCOMPARE(sent.size(), 0);
        }
        {
            // No room to clone into: the dialog refuses the accept.
            DeviceItem item(makeInfo(4, 100), false);
            QList<Sent> sent;
            recordPackets(&item, this, &sent);
            MessageBoxRecorder boxes;
            DialogScript script;
            script.then([](QDialog *) { return int(QDialog::Accepted); });
            item.executeAction(DeviceItem::CloneWireloopAction);
            QCOMPARE(sent.size(), 0);
        }
        // The item goes away while its dialog is open.
        auto *item = new DeviceItem(makeInfo(4), false);
        DialogScript script;
        script.then([item](QDialog *) {
            delete item;
            return int(QDialog::Accepted);
        });
        item->executeAction(DeviceItem::ToggleZoneStateAction);
        QCOMPARE(queued.size(), 0);
    }

    // The RSSI plot lives above the device model: the action reaches it
    // through the opener registered for it, with the item; without one
    // nothing is shown or sent.
    void rssiPlotGoesThroughItsOpener()
    {
        DeviceItem item(makeInfo(4), false);
        QList<Sent> sent;
        recordPackets(&item, this, &sent);
        MessageBoxRecorder boxes;
        DialogScript script;
        ActionOpeners::clear();
        item.executeAction(DeviceItem::PlotRssiAction);
        QCOMPARE(sent.size(), 0);
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(script.records().size(), 0);

        QList<DeviceItem *> opened;
        ActionOpeners::registerOpener(DeviceItem::PlotRssiAction, [&opened](DeviceItem *target) { opened << target; });
        item.executeAction(DeviceItem::PlotRssiAction);
        item.executeAction(DeviceItem::ResetAddressAction); // other actions stay the item's own
        QCOMPARE(opened, QList<DeviceItem *>{&item});
        ActionOpeners::registerOpener(DeviceItem::PlotRssiAction, nullptr);
        QVERIFY(!ActionOpeners::hasOpener(DeviceItem::PlotRssiAction));
        item.executeAction(DeviceItem::PlotRssiAction);
        QCOMPARE(opened.size(), 1);
    }
};

QTEST_MAIN(DeviceActionsTest)
#include "tst_deviceactions.moc"
