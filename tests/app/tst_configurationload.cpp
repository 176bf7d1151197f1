// Loading a configuration file into the master from the main window, and the
// check of the master's configuration against the backup written before a
// firmware update; over the fake master on a pseudo-terminal.
#include "configurationbackupcheck.h"
#include "configurationimporter.h"
#include "configurationloading.h"
#include "hubroitem.h"
#include "settings.h"
#include "windowfixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {
// Log lines of every level while it lives.
class LogRecorder
{
public:
    LogRecorder() { s_previous = qInstallMessageHandler(&LogRecorder::handler); s_lines.clear(); }
    ~LogRecorder() { qInstallMessageHandler(s_previous); }
    static bool contains(const QString &text)
    {
        for (const QString &line : qAsConst(s_lines))
            if (line.contains(text))
                return true;
        return false;
    }

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        s_lines << message;
        if (s_previous && type != QtDebugMsg)
            s_previous(type, context, message);
    }
    static inline QtMessageHandler s_previous = nullptr;
    static inline QStringList s_lines;
};

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    file.write(bytes);
    return path;
}

QByteArray configuration(const QJsonObject &master, const QJsonArray &devices)
{
    QJsonObject document;
    document.insert(QStringLiteral("version"), QStringLiteral("1.0"));
    document.insert(QStringLiteral("master"), master);
    document.insert(QStringLiteral("devices"), devices);
    return QJsonDocument(document).toJson();
}

QJsonObject object(std::initializer_list<QPair<QString, QJsonValue>> pairs)
{
    QJsonObject o;
    for (const auto &pair : pairs)
        o.insert(pair.first, pair.second);
    return o;
}
} // namespace

class ConfigurationLoadTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        prepareConnectionTests();
        MainWindow::setDeviceSelection([](MainWindow *) {});
    }
    void cleanupTestCase() { MainWindow::setDeviceSelection(nullptr); }
    void cleanup()
    {
        appSettings.remove(QLatin1String(SettingsKey::Serial));
        appSettings.remove(QLatin1String(SettingsKey::BackupPath));
        appSettings.remove(QLatin1String(SettingsKey::CommonProps));
        appSettings.remove(QLatin1String(SettingsKey::LastLoadConfPath));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void modelNames_data()
    {
        QTest::addColumn<QString>("fileModel");
        QTest::addColumn<QString>("masterModel");
        QTest::addColumn<bool>("fits");
        QTest::newRow("same") << "Zentar-HUBRO125" << "Zentar-HUBRO125" << true;
        QTest::newRow("file name longer") << "HUBRO32-MK2" << "HUBRO32" << true;
        QTest::newRow("master name longer") << "HUBRO32" << "HUBRO32-MK2" << true;
        QTest::newRow("other model") << "HUBRO32" << "HUBRO125" << false;
        QTest::newRow("no model in the file") << "" << "HUBRO125" << true;
        QTest::newRow("case counts") << "hubro125" << "HUBRO125" << false;
    }
    void modelNames()
    {
        QFETCH(QString, fileModel);
        QFETCH(QString, masterModel);
        QFETCH(bool, fits);
        QCOMPARE(ConfigurationLoading::fitsMaster(fileModel, masterModel), fits);
    }

    void wrongFileRemovesNothing_data()
    {
        QTest::addColumn<QByteArray>("contents"); // empty: the dialog is cancelled
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reason"); // how the box's informative text begins
        QTest::newRow("other model") << QByteArray(R"({"master":{"device":"Zentar-HUBRO32","wireloop address":1,
                                                    "interval":180},"devices":[]})")
                                     << "Configuration loading"
                                     << "Configuration file intend for Zentar-HUBRO32, current device is "
                                        "Zentar-HUBRO125"
                                     << "";
        QTest::newRow("not JSON") << QByteArray("{\"master\": {") << "Configuration load"
                                  << "Error occured while configuration loading" << "The file is not valid JSON: ";
        QTest::newRow("nested 100,000 levels")
            << QByteArray("{\"master\": ") + QByteArray(100000, '[') + QByteArray(100000, ']') + "}"
            << "Configuration load" << "Error occured while configuration loading"
            << "The file is not valid JSON: too deeply nested";
        QTest::newRow("no interval") << QByteArray(R"({"master":{"wireloop address":1},"devices":[]})")
                                     << "Configuration load" << "Error occured while configuration loading" << "";
        QTest::newRow("cancelled") << QByteArray() << QString() << QString() << QString();
    }
    void wrongFileRemovesNothing()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        WindowOnMaster bench;
        bench.sim.setDevice(simDevice(3, 4));
        bench.sim.setDevice(simDevice(5, 4));
        QVERIFY(bench.open(2));

        MessageBoxRecorder boxes;
        FileDialogScript files;
        if (contents.isEmpty())
            files.cancel();
        else
            files.answer(writeFile(dir, QStringLiteral("wrong.conf"), contents));
        bench.window->loadConfiguration();

        QCOMPARE(files.requests().size(), 1);
        QCOMPARE(files.requests().first().caption, QStringLiteral("Select configuration file"));
        QCOMPARE(files.requests().first().filter, QStringLiteral("Config files(*.conf)"));
        QCOMPARE(boxes.count(), title.isEmpty() ? 0 : 1);
        if (!title.isEmpty()) {
            QCOMPARE(boxes.last().title, title);
            QCOMPARE(boxes.last().text, text);
            if (!reason.isEmpty())
                QVERIFY2(boxes.last().informativeText.startsWith(reason), qPrintable(boxes.last().informativeText));
        }
        QCOMPARE(bench.connection()->devices().size(), 2);
        QVERIFY(bench.requests(PT_DELETE_DEVICE).isEmpty());
        QVERIFY(bench.requests(PT_WRITE_DEV_CONFIG).isEmpty());
        QVERIFY(!appSettings.contains(QLatin1String(SettingsKey::LastLoadConfPath)));
    }

    void unreadableFileIsShown_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("text"); // %1 is the path
        QTest::newRow("missing") << "missing" << "Cannot open the file %1: No such file or directory";
        QTest::newRow("folder") << "folder" << "%1 is not a regular file";
        // Opened for reading, a pipe without a writer blocks for good.
        QTest::newRow("pipe") << "pipe" << "%1 is not a regular file";
    }
    void unreadableFileIsShown()
    {
        QFETCH(QString, kind);
        QFETCH(QString, text);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("site.conf"));
        if (kind == QLatin1String("folder"))
            QVERIFY(QDir().mkdir(path));
        if (kind == QLatin1String("pipe"))
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        LogRecorder log;
        WindowOnMaster bench;
        bench.sim.setDevice(simDevice(3, 4));
        QVERIFY(bench.open(1));
        MessageBoxRecorder boxes;
        bench.window->loadConfiguration(path);
        QVERIFY(LogRecorder::contains(QStringLiteral("Can't open confifuration file ") + path));
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().title, QStringLiteral("Configuration load"));
        QCOMPARE(boxes.last().text, text.arg(path));
        QCOMPARE(bench.connection()->devices().size(), 1);
        QVERIFY(bench.requests(PT_DELETE_DEVICE).isEmpty());
    }

    // The importer is asked alone too (the loader's check may be passed by).
    void importerRefusesAPipe()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("site.conf"));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        HubroItem master(healthyRecord(), false);
        std::unique_ptr<ConfigurationImporter> importer(master.createConfigurationImporter());
        QVERIFY(!importer->loadFile(path));
    }

    void goodFileIsImportedAndTheMasterReboots()
    {
        QTemporaryDir dir;
        WindowOnMaster bench;
        bench.sim.setDevice(simDevice(3, 4));
        bench.sim.setDevice(simDevice(5, 4));
        QVERIFY(bench.open(2));
        const QJsonArray devices = bench.connection()->devicesJArray();
        QCOMPARE(devices.size(), 2);
        const QString path = writeFile(dir, QStringLiteral("good.conf"),
                                       configuration(bench.connection()->master()->masterJson(), devices));

        MessageBoxRecorder boxes;
        bench.window->loadConfiguration(path);
        // The devices go first, then the file's settings and devices are
        // written, and the master reboots.
        QTRY_COMPARE(bench.requests(PT_REBOOT).size(), 1);
        QCOMPARE(bench.requests(PT_DELETE_DEVICE),
                 (QList<QByteArray>{QByteArray::fromHex("0b03"), QByteArray::fromHex("0b05")}));
        QCOMPARE(bench.requests(PT_WRITE_DEV_CONFIG).size(), 2);
        QCOMPARE(bench.requests(PT_EXCHANGE_INTERVAL).size(), 1);
        const QVector<FakeMaster::Received> received = bench.sim.fake.received();
        int lastDelete = -1;
        int firstWrite = -1;
        for (int i = 0; i < received.size(); ++i) {
            if (received.at(i).type() == PT_DELETE_DEVICE)
                lastDelete = i;
            if (received.at(i).type() == PT_WRITE_DEV_CONFIG && firstWrite < 0)
                firstWrite = i;
        }
        QVERIFY(lastDelete < firstWrite);
        QCOMPARE(appSettings.value(QLatin1String(SettingsKey::LastLoadConfPath)).toString(), path);
        QCOMPARE(boxes.count(), 0);
    }

    void fileConnectionIsRefused()
    {
        QTemporaryDir dir;
        QFile::copy(QStringLiteral(TANDREL_MASTER_DATA "/export125.conf"), dir.filePath(QStringLiteral("open.conf")));
        const QString other = dir.filePath(QStringLiteral("other.conf"));
        QFile::copy(QStringLiteral(TANDREL_MASTER_DATA "/export125.conf"), other);
        MainWindow window{QString()};
        QVERIFY(window.establishConnection(File, dir.filePath(QStringLiteral("open.conf"))));
        const int devices = window.currentConnection()->devices().size();
        QVERIFY(devices > 0);

        MessageBoxRecorder boxes;
        FileDialogScript files;
        window.loadConfiguration(other);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().title, QStringLiteral("Configuration load"));
        QCOMPARE(files.requests().size(), 0);
        QCOMPARE(window.currentConnection()->devices().size(), devices);
    }

    void backupCheck_data()
    {
        QTest::addColumn<QJsonObject>("live");
        QTest::addColumn<QJsonArray>("liveDevices");
        QTest::addColumn<QByteArray>("backup");
        QTest::addColumn<QStringList>("commonProps");
        QTest::addColumn<int>("verdict");

        const QJsonObject master = object({{"device", "Zentar-HUBRO125"}, {"interval", 180}, {"hw", 14},
                                           {"mk1", 276}, {"mk2", 288}, {"password enabled", false}});
        QJsonObject otherFirmware = master;
        otherFirmware.insert(QStringLiteral("hw"), 15);
        otherFirmware.insert(QStringLiteral("mk1"), 300);
        otherFirmware.insert(QStringLiteral("password enabled"), true);
        QJsonObject otherInterval = master;
        otherInterval.insert(QStringLiteral("interval"), 90);
        const QJsonObject a = object({{"id", 3}, {"wireloop address", 4}, {"zone", 1}});
        const QJsonObject b = object({{"id", 5}, {"wireloop address", 6}, {"zone", 1}});
        QJsonObject bMoved = b;
        bMoved.insert(QStringLiteral("wireloop address"), 9);
        const QStringList props{QStringLiteral("wireloop address")};
        using V = ConfigurationBackupCheck::Verdict;

        QTest::newRow("same") << master << QJsonArray{a, b} << configuration(master, {b, a}) << props
                              << int(V::Agrees);
        QTest::newRow("firmware and password keys do not count")
            << master << QJsonArray{a} << configuration(otherFirmware, {a}) << props << int(V::Agrees);
        QTest::newRow("master setting differs")
            << master << QJsonArray{a} << configuration(otherInterval, {a}) << props << int(V::Differs);
        QTest::newRow("device differs") << master << QJsonArray{a, b} << configuration(master, {a, bMoved}) << props
                                        << int(V::Differs);
        QTest::newRow("no common keys: devices agree")
            << master << QJsonArray{a, b} << configuration(master, {a, bMoved}) << QStringList() << int(V::Agrees);
        QTest::newRow("fake devices") << master << QJsonArray{a} << configuration(master, {}) << props
                                      << int(V::Differs);
        QTest::newRow("both without devices") << master << QJsonArray{} << configuration(master, {}) << props
                                              << int(V::Agrees);
        QTest::newRow("count differs") << master << QJsonArray{a} << configuration(master, {a, b}) << props
                                       << int(V::CountMismatch);
        QTest::newRow("not JSON") << master << QJsonArray{} << QByteArray("{") << props << int(V::Unreadable);
    }
    void backupCheck()
    {
        QFETCH(QJsonObject, live);
        QFETCH(QJsonArray, liveDevices);
        QFETCH(QByteArray, backup);
        QFETCH(QStringList, commonProps);
        QFETCH(int, verdict);
        QTemporaryDir dir;
        const QString path = writeFile(dir, QStringLiteral("backup.conf"), backup);
        QCOMPARE(int(ConfigurationBackupCheck::check(path, live, liveDevices, commonProps)), verdict);
        QCOMPARE(int(ConfigurationBackupCheck::check(dir.filePath(QStringLiteral("none.conf")), live, liveDevices,
                                                     commonProps)),
                 int(ConfigurationBackupCheck::Verdict::Unreadable));
    }

    void backupOfTheConnectedMaster_data()
    {
        QTest::addColumn<QVariant>("storedSerial");
        QTest::addColumn<bool>("restored");
        QTest::newRow("same master") << QVariant(123456u) << true;
        QTest::newRow("same master, as text") << QVariant(QStringLiteral("123456")) << true;
        QTest::newRow("another master") << QVariant(654321u) << false;
    }
    void backupOfTheConnectedMaster()
    {
        QFETCH(QVariant, storedSerial);
        QFETCH(bool, restored);
        QTemporaryDir dir;
        LogRecorder log;
        WindowOnMaster bench; // serial 123456
        bench.sim.setDevice(simDevice(3, 4));
        QVERIFY(bench.open(1));
        QJsonObject backupMaster = bench.connection()->master()->masterJson();
        backupMaster.insert(QStringLiteral("interval"), 90);
        const QString path = writeFile(dir, QStringLiteral("backup.conf"),
                                       configuration(backupMaster, bench.connection()->devicesJArray()));
        appSettings.setValue(QLatin1String(SettingsKey::BackupPath), path);
        appSettings.setValue(QLatin1String(SettingsKey::Serial), storedSerial);

        MessageBoxRecorder boxes;
        bench.window->checkConfiguration();
        QVERIFY(LogRecorder::contains(QStringLiteral("End of configuration check")));
        if (restored) {
            QVERIFY(!appSettings.contains(QLatin1String(SettingsKey::Serial)));
            QVERIFY(LogRecorder::contains(QStringLiteral("The master configuration is corrupted")));
            QTRY_COMPARE(bench.requests(PT_REBOOT).size(), 1);
            QCOMPARE(bench.requests(PT_EXCHANGE_INTERVAL).size(), 1);
            QCOMPARE(bench.requests(PT_WRITE_DEV_CONFIG).size(), 1);
        } else {
            // Another master's backup: skipped, and kept for its own master.
            QCOMPARE(appSettings.value(QLatin1String(SettingsKey::Serial)), storedSerial);
            QVERIFY(!LogRecorder::contains(QStringLiteral("The master configuration is corrupted")));
            QVERIFY(bench.requests(PT_EXCHANGE_INTERVAL).isEmpty());
            QVERIFY(bench.requests(PT_DELETE_DEVICE).isEmpty());
        }
        QCOMPARE(boxes.count(), 0);
    }
};

QTEST_MAIN(ConfigurationLoadTest)
#include "tst_configurationload.moc"
