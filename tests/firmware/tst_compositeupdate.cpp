// The batch update window: the saved-firmware view, loading and classifying
// containers, the rows, extensions and drops, and the requests "Update" sends.
#include "compositeupdate.h"
#include "containerbuilder.h"
#include "deviceitem.h"
#include "droppedfiles.h"
#include "hubroitem.h"
#include "masterbench.h"
#include "screenshot.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

std::unique_ptr<DeviceItem> device(quint8 radio, quint8 type, quint16 firmware, quint8 link = 2)
{
    deviceInfo_t info;
    info.radioAddress = radio;
    info.wireloopAddress = radio;
    info.serialNumber = 1000u + radio;
    info.deviceType = type;
    info.hardwareVersion = 0x0100;
    info.firmwareVersion = firmware;
    info.linkState = link;
    return std::make_unique<DeviceItem>(info, false);
}

HUBRO32BootSectionHeader_t savedFor(quint16 type, quint16 firmware)
{
    HUBRO32BootSectionHeader_t h;
    h.deviceType = type;
    h.hardwareVersion = 0x0100;
    h.firmwareVersion = firmware;
    h.buildTime = 1700000000u;
    return h;
}

// A container for type `type`, hardware 1.2, firmware `firmware`, build number 0.
ContainerBuilder container(quint16 type, quint16 firmware, quint32 built = 1700000000u)
{
    ContainerBuilder b;
    b.type(type).record(recordV1(0x1000, QByteArray::number(type) + QByteArray::number(firmware)));
    b.firmware(firmware).build(0).builtAt(built);
    return b;
}

struct Bench
{
    Bench()
    {
        hubroInfo_t status = healthyRecord(); // type 40, hardware 14
        master = std::make_unique<HubroItem>(status, false);
        devices.push_back(device(3, 4, 0x0105));  // older: level 3
        devices.push_back(device(5, 4, 0x0106));  // same: level 2
        devices.push_back(device(7, 4, 0x0105, 0)); // offline
        devices.push_back(device(9, 7, 0x0105));  // another type
    }
    QList<DeviceItem *> list() const
    {
        QList<DeviceItem *> l;
        for (const auto &d : devices)
            l << d.get();
        return l;
    }
    CompositeUpdate *window(const HUBRO32BootSectionHeader_t &saved = HUBRO32BootSectionHeader_t())
    {
        auto *w = new CompositeUpdate(saved, list(), master.get());
        guard = w;
        return w;
    }
    QString file(const QString &name, const QList<ContainerBuilder> &containers)
    {
        QByteArray bytes;
        for (const ContainerBuilder &c : containers)
            bytes += c.bytes() + "\n---END_OF_VORL---\n";
        const QString path = dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }
    template<class T>
    T *find(const char *name) const
    {
        return guard->findChild<T *>(QLatin1String(name));
    }
    QTableWidget *firmwares() const { return find<QTableWidget>("twFirmwares"); }
    QTableWidget *deviceTable() const { return find<QTableWidget>("twDevices"); }
    void checkDevice(int radio, Qt::CheckState state) const
    {
        for (int row = 0; row < deviceTable()->rowCount(); ++row)
            if (deviceTable()->item(row, 0)->text() == QString::number(radio))
                deviceTable()->item(row, 0)->setCheckState(state);
        QCoreApplication::processEvents();
    }

    ~Bench()
    {
        if (guard)
            delete guard.data();
    }

    QTemporaryDir dir;
    std::unique_ptr<HubroItem> master;
    std::vector<std::unique_ptr<DeviceItem>> devices;
    QPointer<CompositeUpdate> guard;
};

} // namespace

class CompositeUpdateTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { registerFirmwareMetaTypes(); }

    void savedFirmwareView()
    {
        Bench b;
        MessageBoxRecorder boxes;
        CompositeUpdate *w = b.window(savedFor(4, 0x0106));
        QTRY_COMPARE(b.deviceTable()->rowCount(), 2); // online devices of the type only
        QCOMPARE(b.find<QLabel>("lblDeviceCount")->text(), QStringLiteral("1/2"));
        QCOMPARE(b.firmwares()->rowCount(), 1);
        QCOMPARE(b.firmwares()->item(0, 0)->checkState(), Qt::PartiallyChecked);
        QCOMPARE(b.find<QLabel>("lblFirmwareCount")->text(), QStringLiteral("1/1"));

        // Only the newer device: sent without a question.
        QSignalSpy internal(w, &CompositeUpdate::internalUpdate);
        w->startUpdate();
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(internal.size(), 1);
        QCOMPARE(internal.at(0).at(0).value<QList<DeviceItem *>>(), QList<DeviceItem *>{b.devices[0].get()});
    }

    void savedFirmwareOutdatedQuestion_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << int(QMessageBox::Yes);
        QTest::newRow("no") << int(QMessageBox::No);
    }
    void savedFirmwareOutdatedQuestion()
    {
        QFETCH(int, answer);
        Bench b;
        MessageBoxRecorder boxes;
        CompositeUpdate *w = b.window(savedFor(4, 0x0106));
        QTRY_COMPARE(b.deviceTable()->rowCount(), 2);
        b.checkDevice(5, Qt::Checked);
        QCOMPARE(w->preselected().size(), 2);
        QSignalSpy internal(w, &CompositeUpdate::internalUpdate);
        boxes.answer(answer);
        w->startUpdate();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().title, QStringLiteral("Attention! Updating"));
        QCOMPARE(boxes.last().defaultButton, QMessageBox::No);
        QCOMPARE(boxes.last().escapeButton, QMessageBox::No);
        QCOMPARE(internal.size(), answer == QMessageBox::Yes ? 1 : 0);
        if (answer == QMessageBox::Yes)
            QCOMPARE(internal.at(0).at(0).value<QList<DeviceItem *>>().size(), 2);
        else
            QVERIFY(b.guard);
    }

    void noSavedFirmware_data()
    {
        QTest::addColumn<quint16>("hardware");
        QTest::newRow("hardware 0") << quint16(0);
        QTest::newRow("hardware 0x00FF") << quint16(0x00FF);
    }
    void noSavedFirmware()
    {
        QFETCH(quint16, hardware);
        Bench b;
        HUBRO32BootSectionHeader_t none;
        none.hardwareVersion = hardware;
        b.window(none);
        QCOMPARE(b.find<QLineEdit>("leFilename")->text(), QStringLiteral("There is no saved firmware in flash"));
    }

    void loadClassifiesContainers()
    {
        Bench b;
        MessageBoxRecorder boxes;
        CompositeUpdate *w = b.window();
        const QString first = b.file(QStringLiteral("a.vorl"),
                                     {container(4, 0x0107), container(37, 0x0100), container(40, 0x0200)});
        // The same firmware again in another file: one row only.
        const QString second = b.file(QStringLiteral("b.VoRl"), {container(4, 0x0107)});
        QVERIFY(w->loadFirmwareFiles({first, second}));
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(b.find<QLineEdit>("leFilename")->text(), QStringLiteral("2 files"));
        QCOMPARE(w->masterSectionKeys().size(), 1);
        QCOMPARE(w->deviceFirmwareKeys().size(), 2); // two containers, equal headers
        QCOMPARE(w->loadedFirmwares().size(), 4);    // type 37 is kept but ignored
        QCOMPARE(b.firmwares()->rowCount(), 2);
        QCOMPARE(b.firmwares()->item(0, 0)->text(), QStringLiteral("HUBRO125 RADIO"));
        QCOMPARE(b.firmwares()->item(1, 0)->checkState(), Qt::Checked); // device 3 preselected... and 5
        QCOMPARE(w->preselected().size(), 2);
        QCOMPARE(w->updateMode(), int(CompositeUpdate::PackageMode));
    }

    void extensionsAndBrokenFiles_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<QString>("box");
        QTest::newRow("no vorl") << QStringList{"a.txt"} << false << "Unsupported extensions of files.";
        QTest::newRow("some other") << QStringList{"a.vorl", "b.bin"} << true
                                    << "There are unsupported extensions of files.";
        QTest::newRow("missing file") << QStringList{"gone.vorl"} << false << "Error loading firmware: %1";
        QTest::newRow("broken file") << QStringList{"broken.vorl"} << false << "Wrong VORL file format";
    }
    void extensionsAndBrokenFiles()
    {
        QFETCH(QStringList, names);
        QFETCH(bool, loaded);
        QFETCH(QString, box);
        Bench b;
        MessageBoxRecorder boxes;
        CompositeUpdate *w = b.window();
        QStringList paths;
        for (const QString &name : names) {
            if (name == QLatin1String("gone.vorl"))
                paths << b.dir.filePath(name);
            else if (name == QLatin1String("broken.vorl"))
                paths << b.file(name, {ContainerBuilder().type(4).spoilHeaderSum()});
            else
                paths << b.file(name, {container(4, 0x0107)});
        }
        QCOMPARE(w->loadFirmwareFiles(paths), loaded);
        QVERIFY(boxes.count() >= 1);
        if (box.contains(QLatin1String("%1")))
            QVERIFY2(boxes.requests().first().text.startsWith(box.left(box.indexOf(QLatin1String("%1")))),
                     qPrintable(boxes.requests().first().text));
        else
            QCOMPARE(boxes.requests().first().text, box);
    }

    void filesByExtension()
    {
        const QStringList files{"a.vorl", "B.VoRl", "c.conf", "d.sim", "notasim", "e.vorl.txt"};
        QCOMPARE(filesWithExtension(files, QStringLiteral("VORL")), (QStringList{"a.vorl", "B.VoRl"}));
        QCOMPARE(filesWithExtension(files, QStringLiteral("CONF")), QStringList{"c.conf"});
        QCOMPARE(filesWithExtension(files, QStringLiteral(".SIM")), QStringList{"d.sim"});
    }

    // Package mode: the map holds each checked firmware with its devices; the
    // outdated question counts the outdated devices of every device firmware.
    void packageRun_data()
    {
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("entries"); // the master section always goes
        QTest::newRow("yes, yes") << QList<int>{QMessageBox::Yes, QMessageBox::Yes} << 2 << 3;
        QTest::newRow("no, yes") << QList<int>{QMessageBox::No, QMessageBox::Yes} << 2 << 2;
        QTest::newRow("no, no") << QList<int>{QMessageBox::No, QMessageBox::No} << 2 << 1;
        QTest::newRow("yes to all") << QList<int>{QMessageBox::YesToAll} << 1 << 3;
        QTest::newRow("no to all") << QList<int>{QMessageBox::NoToAll} << 1 << 1;
    }
    void packageRun()
    {
        QFETCH(QList<int>, answers);
        QFETCH(int, questions);
        QFETCH(int, entries);
        Bench b;
        // Type 6: 11 runs the file's firmware (outdated), 12 an older one.
        b.devices.push_back(device(11, 6, 0x0200));
        b.devices.push_back(device(12, 6, 0x0100));
        MessageBoxRecorder boxes;
        CompositeUpdate *w = b.window();
        const QString path = b.file(QStringLiteral("p.vorl"), {container(40, 0x0200), container(4, 0x0106),
                                                               container(6, 0x0200)});
        QVERIFY(w->loadFirmwareFiles({path}));
        QCOMPARE(b.firmwares()->rowCount(), 3);
        // Every firmware and every online device chosen, the outdated 5 and 11 too.
        b.find<QPushButton>("pbSelectAll")->click();
        QCoreApplication::processEvents();
        QCOMPARE(w->preselected().size(), 5);
        for (int answer : answers)
            boxes.answer(answer);
        QSignalSpy sent(w, &CompositeUpdate::defaultUpdate);
        w->startUpdate();
        int outdated = 0;
        for (const auto &r : boxes.requests())
            if (r.title == QLatin1String("Attention! Updating")) {
                ++outdated;
                // Two outdated devices over both device firmwares: "to all" is offered.
                QVERIFY2(r.buttons.testFlag(QMessageBox::YesToAll) && r.buttons.testFlag(QMessageBox::NoToAll),
                         qPrintable(r.text));
                // Neither "to all" answers Enter or Escape: No does.
                QCOMPARE(r.defaultButton, QMessageBox::No);
                QCOMPARE(r.escapeButton, QMessageBox::No);
            }
        QCOMPARE(outdated, questions);
        QCOMPARE(sent.size(), 1);
        const FirmwareMap map = sent.at(0).at(0).value<FirmwareMap>();
        QCOMPARE(map.size(), entries);
        QCOMPARE(map.entries().first().second, QList<DeviceItem *>{b.master.get()});
        if (entries >= 2)
            QCOMPARE(map.entries().at(1).second.size(), 2); // 3 and 5 for the type-4 firmware
    }

    void screenshotOfTheWindow()
    {
        Bench b;
        MessageBoxRecorder boxes;
        CompositeUpdate *w = b.window();
        const QString path = b.file(QStringLiteral("s.vorl"), {container(40, 0x0200), container(4, 0x0107)});
        QVERIFY(w->loadFirmwareFiles({path}));
        b.firmwares()->selectRow(1);
        w->resize(1100, 500);
        w->show();
        screenshot(w, QStringLiteral("batch-window.png"));
    }
};

QTEST_MAIN(CompositeUpdateTest)
#include "tst_compositeupdate.moc"
