// Output and indication control: their dialogs, scripted through the dialog
// hook, and the commands they hand to the process-wide command queue.
#include "dialogchecks.h"
#include "deviceindicationcontrol.h"
#include "deviceitem.h"
#include "deviceoutputcontrol.h"
#include "indicationcontroldialog.h"
#include "outputcontroldialog.h"
#include "senddatamanager.h"
#include "settings.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

#include <memory>

namespace {
std::unique_ptr<DeviceItem> makeDevice(quint8 radioAddress, quint8 type)
{
    deviceInfo_t info;
    info.radioAddress = radioAddress;
    info.serialNumber = 1000 + radioAddress;
    info.deviceType = type;
    info.linkState = 2;
    return std::make_unique<DeviceItem>(info, false);
}

template <class Widget>
Widget *child(QWidget *dialog, const char *name)
{
    return dialog->findChild<Widget *>(QLatin1String(name));
}

QStringList itemTexts(QComboBox *combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

// What the output dialog showed when a step got it.
struct OutputView
{
    QString title;
    QString status;
    bool outputEnabled = false;
    int output = 0;
    int mask = 0;
    bool endStateEnabled = false;
    bool stepEnabled = false;
    bool timeEnabled = false;
    int stepIndex = 0;
};

OutputView viewOf(QDialog *dialog)
{
    OutputView view;
    view.title = dialog->windowTitle();
    view.status = child<QLabel>(dialog, "lblStatus")->text();
    view.outputEnabled = child<QComboBox>(dialog, "cbOutput")->isEnabled();
    view.output = child<QComboBox>(dialog, "cbOutput")->currentIndex() + 1;
    view.mask = child<QComboBox>(dialog, "cbMask")->currentIndex();
    view.endStateEnabled = child<QCheckBox>(dialog, "cbEndState")->isEnabled();
    view.stepEnabled = child<QComboBox>(dialog, "cbStep")->isEnabled();
    view.timeEnabled = child<QSpinBox>(dialog, "sbStep")->isEnabled();
    view.stepIndex = child<QComboBox>(dialog, "cbStep")->currentIndex();
    return view;
}
} // namespace

class DeviceControlsTest : public QObject
{
    Q_OBJECT

    QList<QByteArray> sent;

private slots:
    void initTestCase()
    {
        initTestResources();
        // Every packet the queue sends is recorded and acknowledged at once.
        connect(SendDataManager::instance(), &SendDataManager::sendPacket, this,
                [this](const QByteArray &data, const ResponseCb &cb) {
                    sent << data;
                    Packet ack;
                    ack.data = QByteArray(1, char(PT_DEVICE_SEND_DATA_ACK));
                    cb(ack);
                });
    }

    void init()
    {
        sent.clear();
        appSettings.remove(QLatin1String(SettingsKey::IndicationModeLast));
    }

    void forms()
    {
        IndicationControlDialog indication;
        QCOMPARE(formMismatch(indication, QStringLiteral("IndicationControlDialog"), QStringLiteral("Dialog")),
                 QString());
        QVERIFY(indication.isModal());
        QCOMPARE(child<QLabel>(&indication, "lblMode")->text(), QStringLiteral("Mode:"));
        QCOMPARE(itemTexts(child<QComboBox>(&indication, "cbMode")),
                 QStringList({QStringLiteral("Auto"), QStringLiteral("Always on")}));
        QCOMPARE(child<QPushButton>(&indication, "pbSend")->text(), QStringLiteral("Send"));
        QCOMPARE(child<QPushButton>(&indication, "pbCancel")->text(), QStringLiteral("Cancel"));

        OutputControlDialog output;
        QCOMPARE(formMismatch(output, QStringLiteral("OutputControlDialog"), QStringLiteral("Output Control")),
                 QString());
        QVERIFY(output.isModal());
        QCOMPARE(output.minimumSize(), QSize(550, 120));
        QCOMPARE(output.maximumSize(), QSize(550, 120));
        QCOMPARE(itemTexts(child<QComboBox>(&output, "cbOutput")),
                 QStringList({QStringLiteral("Output 1"), QStringLiteral("Output 2")}));
        QStringList masks;
        for (int i = 0; i < 32; ++i)
            masks << QString::number(i);
        QCOMPARE(itemTexts(child<QComboBox>(&output, "cbMask")), masks);
        QCOMPARE(itemTexts(child<QComboBox>(&output, "cbStep")),
                 QStringList({QStringLiteral("125 ms"), QStringLiteral("1 s"), QStringLiteral("8 s"),
                              QStringLiteral("32 s")}));
        auto *time = child<QSpinBox>(&output, "sbStep");
        QCOMPARE(time->minimum(), 0);
        QCOMPARE(time->maximum(), 255);
        const QStringList labels = {child<QLabel>(&output, "label")->text(), child<QLabel>(&output, "label_2")->text(),
                                    child<QLabel>(&output, "label_3")->text(),
                                    child<QLabel>(&output, "label_4")->text()};
        QCOMPARE(labels, QStringList({QStringLiteral("Output:"), QStringLiteral("Mask:"), QStringLiteral("Step:"),
                                      QStringLiteral("Time:")}));
        QCOMPARE(child<QCheckBox>(&output, "cbEndState")->text(), QStringLiteral("End state"));
        QCOMPARE(child<QCheckBox>(&output, "cbEndless")->text(), QStringLiteral("Endless"));
        QCOMPARE(child<QLabel>(&output, "lblStatus")->text(), QString());
        QCOMPARE(child<QLabel>(&output, "lblStatus")->styleSheet(), QStringLiteral("color: green"));
        QCOMPARE(child<QPushButton>(&output, "pbOk")->text(), QStringLiteral("OK"));
        QCOMPARE(child<QPushButton>(&output, "pbCancel")->text(), QStringLiteral("Cancel"));
    }

    // The buttons end the dialogs; the hook is not involved.
    void buttonsEndTheDialogs()
    {
        IndicationControlDialog indication;
        QSignalSpy indicationDone(&indication, &QDialog::finished);
        child<QPushButton>(&indication, "pbSend")->click();
        QCOMPARE(indicationDone.takeFirst().at(0).toInt(), int(QDialog::Accepted));

        OutputControlDialog output;
        QSignalSpy outputDone(&output, &QDialog::finished);
        child<QPushButton>(&output, "pbCancel")->click();
        child<QPushButton>(&output, "pbOk")->click();
        QCOMPARE(outputDone.size(), 2);
        QCOMPARE(outputDone.at(0).at(0).toInt(), int(QDialog::Rejected));
        QCOMPARE(outputDone.at(1).at(0).toInt(), int(QDialog::Accepted));
    }

    void indicationStartsAtLastModeAndRemembersChoice_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("startIndex");
        QTest::addColumn<int>("choose"); // -1: leave the dialog as it opened
        QTest::addColumn<int>("mode");

        QTest::newRow("absent, always on") << QVariant() << 0 << 1 << 2;
        QTest::newRow("absent, kept") << QVariant() << 0 << -1 << 1;
        QTest::newRow("last always on, kept") << QVariant(1) << 1 << -1 << 2;
        QTest::newRow("last always on, auto") << QVariant(1) << 1 << 0 << 1;
        // A damaged store must never make the dialog send mode 0 or 3.
        QTest::newRow("out of range high") << QVariant(2) << 0 << -1 << 1;
        QTest::newRow("out of range low") << QVariant(-1) << 0 << -1 << 1;
        QTest::newRow("not a number") << QVariant(QStringLiteral("x")) << 0 << -1 << 1;
    }
    void indicationStartsAtLastModeAndRemembersChoice()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, startIndex);
        QFETCH(int, choose);
        QFETCH(int, mode);
        if (stored.isValid())
            appSettings.setValue(QLatin1String(SettingsKey::IndicationModeLast), stored);

        auto a = makeDevice(21, 4);
        auto b = makeDevice(0x85, 57);
        int openedAt = -2;
        QPointer<QDialog> shown;
        DialogScript script;
        script.then([&](QDialog *dialog) {
            shown = dialog;
            auto *modes = child<QComboBox>(dialog, "cbMode");
            openedAt = modes->currentIndex();
            if (choose >= 0)
                modes->setCurrentIndex(choose);
            return int(QDialog::Accepted);
        });

        DeviceIndicationControl control;
        control.run({a.get(), b.get()});

        QCOMPARE(openedAt, startIndex);
        QVERIFY(!shown); // the dialog lives for one run
        QCOMPARE(script.records().size(), 1);
        QCOMPARE(script.records().first().objectName, QStringLiteral("IndicationControlDialog"));
        const QByteArray tail = QByteArray::fromHex("0003") + char(mode);
        QCOMPARE(sent, QList<QByteArray>({QByteArray::fromHex("6a15") + tail, QByteArray::fromHex("6a85") + tail}));
        QCOMPARE(appSettings.value(QLatin1String(SettingsKey::IndicationModeLast)).toInt(), mode - 1);
    }

    void indicationCancelledSendsAndStoresNothing()
    {
        appSettings.setValue(QLatin1String(SettingsKey::IndicationModeLast), 1);
        auto a = makeDevice(3, 4);
        DialogScript script;
        script.then([](QDialog *dialog) {
            child<QComboBox>(dialog, "cbMode")->setCurrentIndex(0);
            return int(QDialog::Rejected);
        });
        DeviceIndicationControl().run({a.get()});
        QCOMPARE(script.records().size(), 1);
        QVERIFY(sent.isEmpty());
        QCOMPARE(appSettings.value(QLatin1String(SettingsKey::IndicationModeLast)).toInt(), 1);
    }

    // A device removed while the dialog is open (reboot, lost link) gets no
    // command and is never touched; with nothing selected no dialog opens.
    void indicationSkipsGoneDevices()
    {
        auto a = makeDevice(7, 4);
        auto b = makeDevice(8, 4);
        DialogScript script;
        script.then([&](QDialog *) {
            a.reset();
            return int(QDialog::Accepted);
        });
        DeviceIndicationControl control;
        control.run({a.get(), nullptr, b.get()});
        QCOMPARE(sent, QList<QByteArray>({QByteArray::fromHex("6a08000301")}));

        sent.clear();
        control.run({});
        control.run({nullptr});
        QCOMPARE(script.records().size(), 1);
        QVERIFY(sent.isEmpty());
    }

    // One command per accept, the status line telling the output; the
    // endless box forces the longest step; cancel ends the run and clears
    // the status line; the choices stay for the next run.
    void outputRunQueuesOneCommandPerAccept()
    {
        auto a = makeDevice(0x15, 4);
        auto b = makeDevice(0x16, 4);
        QList<OutputView> views;
        DialogScript script;
        script
            .then([&](QDialog *dialog) {
                views << viewOf(dialog);
                child<QComboBox>(dialog, "cbOutput")->setCurrentIndex(1);
                child<QComboBox>(dialog, "cbMask")->setCurrentIndex(5);
                child<QCheckBox>(dialog, "cbEndState")->setChecked(true);
                child<QComboBox>(dialog, "cbStep")->setCurrentIndex(2);
                child<QSpinBox>(dialog, "sbStep")->setValue(10);
                return int(QDialog::Accepted);
            })
            .then([&](QDialog *dialog) {
                child<QCheckBox>(dialog, "cbEndless")->setChecked(true);
                views << viewOf(dialog);
                return int(QDialog::Accepted);
            })
            .then([&](QDialog *dialog) {
                child<QCheckBox>(dialog, "cbEndless")->setChecked(false);
                views << viewOf(dialog);
                child<QComboBox>(dialog, "cbOutput")->setCurrentIndex(0);
                return int(QDialog::Accepted);
            })
            .then([&](QDialog *dialog) {
                views << viewOf(dialog);
                return int(QDialog::Rejected);
            });

        DeviceOutputControl control;
        control.run({a.get(), b.get()});

        QCOMPARE(script.pendingSteps(), 0);
        QCOMPARE(sent, QList<QByteArray>({
                           QByteArray::fromHex("6a150004022e0a"), QByteArray::fromHex("6a160004022e0a"),
                           QByteArray::fromHex("6a150004022fff"), QByteArray::fromHex("6a160004022fff"),
                           QByteArray::fromHex("6a150004012f0a"), QByteArray::fromHex("6a160004012f0a"),
                       }));
        QCOMPARE(views.size(), 4);
        QCOMPARE(views[0].title, QStringLiteral("Output control"));
        QCOMPARE(views[0].status, QString());
        QVERIFY(views[0].outputEnabled);
        // Endless on: step, time and end state are locked, the step is "32 s".
        QCOMPARE(views[1].status, QStringLiteral("The command has been sent to zone 2"));
        QVERIFY(!views[1].endStateEnabled && !views[1].stepEnabled && !views[1].timeEnabled);
        QCOMPARE(views[1].stepIndex, 3);
        // Endless off again: unlocked, the step stays where endless put it.
        QVERIFY(views[2].endStateEnabled && views[2].stepEnabled && views[2].timeEnabled);
        QCOMPARE(views[2].stepIndex, 3);
        QCOMPARE(views[3].status, QStringLiteral("The command has been sent to zone 1"));
        QCOMPARE(child<QLabel>(control.dialog(), "lblStatus")->text(), QString());

        // The next run opens with the last choices and an empty status line.
        sent.clear();
        DialogScript next;
        next.then([&](QDialog *dialog) {
            views << viewOf(dialog);
            return int(QDialog::Rejected);
        });
        control.run({a.get()});
        QCOMPARE(views.last().mask, 5);
        QCOMPARE(views.last().stepIndex, 3);
        QCOMPARE(views.last().status, QString());
        QVERIFY(sent.isEmpty());
    }

    void outputFormFollowsLastDevice_data()
    {
        QTest::addColumn<QList<int>>("types");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("selectable");
        QTest::newRow("ordinary") << QList<int>{4} << QStringLiteral("Output control") << true;
        QTest::newRow("socket") << QList<int>{57} << QStringLiteral("Relay control") << false;
        QTest::newRow("dimmer") << QList<int>{50} << QStringLiteral("Output control") << false;
        QTest::newRow("socket, then ordinary") << QList<int>{57, 4} << QStringLiteral("Output control") << true;
        QTest::newRow("ordinary, then socket") << QList<int>{4, 57} << QStringLiteral("Relay control") << false;
    }
    void outputFormFollowsLastDevice()
    {
        QFETCH(QList<int>, types);
        QFETCH(QString, title);
        QFETCH(bool, selectable);

        std::vector<std::unique_ptr<DeviceItem>> owned;
        QList<DeviceItem *> devices;
        for (int type : types) {
            owned.push_back(makeDevice(quint8(30 + devices.size()), quint8(type)));
            devices << owned.back().get();
        }

        DeviceOutputControl control;
        // An earlier run chose the second output.
        auto earlier = makeDevice(9, 4);
        DialogScript first;
        first.then([](QDialog *dialog) {
            child<QComboBox>(dialog, "cbOutput")->setCurrentIndex(1);
            return int(QDialog::Accepted);
        });
        control.run({earlier.get()});
        sent.clear();

        OutputView view;
        DialogScript script;
        script.then([&](QDialog *dialog) {
            view = viewOf(dialog);
            return int(QDialog::Accepted);
        });
        control.run(devices);

        QCOMPARE(view.title, title);
        QCOMPARE(view.outputEnabled, selectable);
        // A device whose output cannot be chosen gets its only output, not
        // the choice left over from the earlier run.
        const char output = selectable ? 2 : 1;
        QCOMPARE(sent.size(), devices.size());
        for (const QByteArray &packet : qAsConst(sent))
            QCOMPARE(int(packet.at(4)), int(output));
    }

    // Devices removed while the dialog is open get nothing; once none is
    // left, the run ends instead of claiming to send.
    void outputSkipsGoneDevices()
    {
        auto a = makeDevice(1, 4);
        auto b = makeDevice(2, 4);
        DialogScript script;
        script
            .then([&](QDialog *) {
                a.reset();
                return int(QDialog::Accepted);
            })
            .then([&](QDialog *) {
                b.reset();
                return int(QDialog::Accepted);
            })
            .then([](QDialog *) { return int(QDialog::Accepted); });

        DeviceOutputControl control;
        control.run({a.get(), b.get()});

        QCOMPARE(sent, QList<QByteArray>({QByteArray::fromHex("6a020004010000")}));
        QCOMPARE(script.pendingSteps(), 1);
        QCOMPARE(child<QLabel>(control.dialog(), "lblStatus")->text(), QString());

        control.run({});
        control.run({nullptr});
        QCOMPARE(script.records().size(), 2);
    }
};

QTEST_MAIN(DeviceControlsTest)
#include "tst_devicecontrols.moc"
