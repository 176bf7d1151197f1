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
            if (d)
                l << d.get();
        return l;
    }
    CompositeUpdate *window(const HUBRO32BootSectionHeader_t &saved = HUBRO32BootSectionHeader_t(),
                            bool withMaster = true)
    {
        auto *w = withMaster ? new CompositeUpdate(saved, list(), master.get())
                             : new CompositeUpdate(saved, {}, nullptr);
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
    QStringList deviceRows() const
    {
        QStringList rows;
        for (int row = 0; row < deviceTable()->rowCount(); ++row)
            rows << deviceTable()->item(row, 0)->text();
        return rows;
    }
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
        QTest::newRow("missing file") << QStringList{"gone.vorl"} << false << "Error loading firmware";
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

    // Each container the reader refuses: the box names the file and the
    // reason, and nothing is listed.
    void brokenContainersNameTheReason_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reason");
        QTest::newRow("header sum") << "header sum" << "Wrong VORL file format" << "x.vorl: Header crc is broken";
        QTest::newRow("short header") << "short header" << "Wrong VORL file format" << "x.vorl: Header is too short";
        QTest::newRow("data sum") << "data sum" << "Wrong VORL file format"
                                  << "x.vorl: CRC Check error for firmware: Device: Zentar-TEST, HW:1.2";
        QTest::newRow("bad line") << "bad line" << "Wrong VORL file format"
                                  << "x.vorl: Data record in line 4 is too short";
        QTest::newRow("empty piece") << "empty piece" << "Wrong VORL file format"
                                     << "x.vorl: Empty firmware in combined file";
        QTest::newRow("size limit") << "size limit" << "Error loading firmware"
                                    << "x.vorl: Cannot open file\nThe file %1 is too large: more than 16777216 bytes";
        QTest::newRow("folder") << "folder" << "Error loading firmware" << "x.vorl: Cannot open file\n%1 is not a regular file";
        QTest::newRow("missing") << "missing" << "Error loading firmware"
                                 << "x.vorl: Cannot open file\nCannot open the file %1: No such file or directory";
    }
    void brokenContainersNameTheReason()
    {
        QFETCH(QString, kind);
        QFETCH(QString, text);
        QFETCH(QString, reason);
        Bench b;
        MessageBoxRecorder boxes;
        CompositeUpdate *w = b.window();
        const QString path = b.dir.filePath(QStringLiteral("x.vorl"));
        const ContainerBuilder good = container(4, 0x0107);
        QByteArray bytes;
        if (kind == QLatin1String("header sum"))
            bytes = ContainerBuilder(good).spoilHeaderSum().bytes();
        else if (kind == QLatin1String("short header"))
            bytes = ContainerBuilder(good).headerLine(QByteArray(20, '\x01')).bytes();
        else if (kind == QLatin1String("data sum"))
            bytes = ContainerBuilder(good).spoilFirmwareSum().bytes();
        else if (kind == QLatin1String("bad line"))
            bytes = ContainerBuilder(good).record("\x01").bytes();
        else if (kind == QLatin1String("empty piece"))
            bytes = good.bytes() + "\n---END_OF_VORL---\n\n---END_OF_VORL---\n" + good.bytes();
        if (kind == QLatin1String("size limit")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.write(good.bytes()) > 0);
            QVERIFY(file.resize(16 * 1024 * 1024 + 1)); // sparse: quick to make
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir(b.dir.path()).mkdir(QStringLiteral("x.vorl")));
        } else if (kind != QLatin1String("missing")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.write(bytes) > 0);
        }
        QVERIFY(!w->loadFirmwareFiles({path}));
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().text, text);
        QCOMPARE(boxes.last().informativeText, reason.contains(QLatin1String("%1")) ? reason.arg(path) : reason);
        QCOMPARE(b.firmwares()->rowCount(), 0);
        QVERIFY(w->loadedFirmwares().isEmpty());
    }

    // A device goes while a view lists it: its row is never read through a
    // freed item (ticked before the window hears of it, then dropped when it
    // does), and "Update" sends only devices that are there.
    void deviceGoneInEachView_data()
    {
        QTest::addColumn<bool>("saved");
        QTest::newRow("saved firmware") << true;
        QTest::newRow("package") << false;
    }
    void deviceGoneInEachView()
    {
        QFETCH(bool, saved);
        Bench b;
        MessageBoxRecorder boxes;
        CompositeUpdate *w = b.window(saved ? savedFor(4, 0x0107) : HUBRO32BootSectionHeader_t());
        if (!saved)
            QVERIFY(w->loadFirmwareFiles({b.file(QStringLiteral("d.vorl"), {container(4, 0x0107)})}));
        QTRY_COMPARE(b.deviceRows(), (QStringList{"3", "5"}));
        QCOMPARE(w->preselected().size(), 2);

        b.devices[0].reset(); // device 3: the window is not told yet
        b.checkDevice(3, Qt::Unchecked);
        b.checkDevice(3, Qt::Checked);
        b.checkDevice(5, Qt::Unchecked);
        b.checkDevice(5, Qt::Checked);
        QCOMPARE(w->preselected(), QList<DeviceItem *>{b.devices[1].get()});

        w->onDevicesChanged(b.list());
        QCOMPARE(b.deviceRows(), QStringList{"5"});
        QCOMPARE(b.find<QLabel>("lblDeviceCount")->text(), QStringLiteral("1/1"));
        QSignalSpy internal(w, &CompositeUpdate::internalUpdate);
        QSignalSpy batch(w, &CompositeUpdate::defaultUpdate);
        w->startUpdate();
        if (saved) {
            QCOMPARE(internal.size(), 1);
            QCOMPARE(internal.at(0).at(0).value<QList<DeviceItem *>>(), QList<DeviceItem *>{b.devices[1].get()});
        } else {
            QCOMPARE(batch.size(), 1);
            QCOMPARE(batch.at(0).at(0).value<FirmwareMap>().entries().first().second,
                     QList<DeviceItem *>{b.devices[1].get()});
        }
    }

    // The master goes and comes back (a reboot, a reconnection) while the
    // window is open: it lists nothing meanwhile, then matches the files or
    // the saved image against the new master and its devices.
    void masterGoneAndBack_data()
    {
        QTest::addColumn<bool>("saved");
        QTest::addColumn<bool>("openedWithout"); // opened while no master was there
        QTest::newRow("saved firmware") << true << false;
        QTest::newRow("files") << false << false;
        QTest::newRow("saved firmware, opened without") << true << true;
        QTest::newRow("files, opened without") << false << true;
    }
    void masterGoneAndBack()
    {
        QFETCH(bool, saved);
        QFETCH(bool, openedWithout);
        Bench b;
        MessageBoxRecorder boxes;
        const HUBRO32BootSectionHeader_t header = saved ? savedFor(4, 0x0107) : HUBRO32BootSectionHeader_t();
        CompositeUpdate *w = b.window(openedWithout ? HUBRO32BootSectionHeader_t() : header, !openedWithout);
        auto *filename = b.find<QLineEdit>("leFilename");
        if (!saved) {
            QVERIFY(w->loadFirmwareFiles({b.file(QStringLiteral("m.vorl"), {container(4, 0x0107)})}));
            if (openedWithout) {
                QCOMPARE(boxes.count(), 1);
                QCOMPARE(boxes.last().text, QStringLiteral("Incompatible firmware(s)."));
            }
        }
        if (!openedWithout) {
            QTRY_COMPARE(b.deviceRows(), (QStringList{"3", "5"}));
            // The reboot: the devices and the master go.
            w->onDevicesChanged({});
            w->setMaster(nullptr);
            w->setSavedHeader(HUBRO32BootSectionHeader_t());
            QCOMPARE(b.deviceRows(), QStringList());
            QCOMPARE(b.firmwares()->rowCount(), 0);
            QCOMPARE(b.find<QLabel>("overlayLabel")->text(), QStringLiteral("The master is not connected"));
            boxes.clear();
            w->startUpdate();
            QCOMPARE(boxes.count(), 1);
            QCOMPARE(boxes.last().title, QStringLiteral("Device update failed"));
            b.devices.clear();
            b.master.reset();
            b.master = std::make_unique<HubroItem>(healthyRecord(), false);
            b.devices.push_back(device(3, 4, 0x0105));
            b.devices.push_back(device(5, 4, 0x0106));
        }
        // The master back, as the dock hands it over: master, devices one by one, header.
        boxes.clear();
        w->setMaster(b.master.get());
        QList<DeviceItem *> arrived;
        for (DeviceItem *d : b.list()) {
            arrived << d;
            w->onDevicesChanged(arrived);
        }
        w->setSavedHeader(header);
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(b.deviceRows(), (QStringList{"3", "5"}));
        QCOMPARE(b.firmwares()->rowCount(), 1);
        QVERIFY(!filename->styleSheet().contains(QLatin1String("255, 200, 200")));
        b.checkDevice(5, Qt::Unchecked);
        QSignalSpy internal(w, &CompositeUpdate::internalUpdate);
        QSignalSpy batch(w, &CompositeUpdate::defaultUpdate);
        w->startUpdate();
        const QList<DeviceItem *> sent = saved ? internal.value(0).value(0).value<QList<DeviceItem *>>()
                                               : batch.value(0).value(0).value<FirmwareMap>().entries().value(0).second;
        QCOMPARE(sent, QList<DeviceItem *>{b.devices[0].get()});
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
