// The measurement collector on real SQLite files: the session collector in a
// thread of its own as the main window runs it, a second connection reading
// what it wrote.

#include "appglobals.h"
#include "collectorrig.h"
#include "deviceitem.h"
#include "messagecapture.h"

#include <QRegularExpression>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

std::unique_ptr<DeviceItem> makeDevice(int type, quint32 serial)
{
    deviceInfo_t info;
    info.deviceType = quint8(type);
    info.serialNumber = serial;
    info.linkState = 2;
    return std::make_unique<DeviceItem>(info, false);
}

QVariantMap choice(std::initializer_list<std::pair<QString, QStringList>> entries)
{
    QVariantMap map;
    for (const auto &entry : entries)
        map.insert(entry.first, entry.second);
    return map;
}

// The value column of a table, oldest first; NULL (a break row) as an invalid variant.
QVariantList series(const Reader &reader, const QString &table, const QString &where = QString())
{
    QVariantList values;
    const QString sql = QStringLiteral("SELECT value FROM %1%2 ORDER BY id")
                            .arg(SqliteHandler::quotedName(table), where.isEmpty() ? QString() : " WHERE " + where);
    for (const QVariantList &row : reader.rows(sql))
        values << (row.first().isNull() ? QVariant() : row.first());
    return values;
}

const QString created = QStringLiteral("created");

// A session file as earlier sessions left it.
void writeSessionFixture(const QString &path)
{
    Reader writer(path, true);
    const QString id = QStringLiteral("id INTEGER PRIMARY KEY AUTOINCREMENT, ");
    writer.exec("CREATE TABLE Device (" + id + "type INTEGER, serial INTEGER, created TEXT);");
    writer.exec("CREATE TABLE UsedField (" + id + "device INTEGER, name TEXT);");
    writer.exec("CREATE TABLE wPowerMain (" + id + "device INTEGER, value REAL, created TEXT);");
    writer.exec("CREATE TABLE RFNoise (" + id + "device INTEGER, value REAL, created TEXT);");
    writer.exec("INSERT INTO Device (type, serial, created) VALUES (4, 1001, '2024-01-01 10:00:00.000'), "
                "(5, 2002, '2024-01-01 09:00:00.000')");
    writer.exec("INSERT INTO UsedField (device, name) VALUES (1001, 'wPowerMain'), (2002, 'wPowerMain'), "
                "(3003, 'wPowerMain'), (1001, 'RFNoise')");
    writer.exec("INSERT INTO wPowerMain (device, value, created) VALUES "
                "(1001, 1.0, '2024-01-01 10:00:00.000'), (1001, 2.0, '2024-01-01 11:00:00.000'), "
                "(2002, 5.0, '2024-01-01 11:30:00.000'), (1001, 3.0, '2024-01-01 12:00:00.000')");
    writer.exec("INSERT INTO RFNoise (device, value, created) VALUES (1001, -90.0, '2024-01-01 11:00:00.000')");
}

// Hands over the values 1 .. 75 of table "a" for device 1001, one every
// 20 ms, calling `each` after each; the longest time from a hand-over until
// another connection sees the value, or -1 when not all arrive. `firstSeen`
// runs when the first one is seen. `newest` reads the newest value there.
qint64 longestCommitWait(SessionRig &rig, const Reader &reader, const std::function<void()> &each,
                         const std::function<void()> &firstSeen = {},
                         const QString &newest = QStringLiteral("SELECT max(value) FROM a"))
{
    const int total = 75;
    QVector<qint64> handed(total + 1, -1);
    QElapsedTimer clock;
    clock.start();
    int next = 1;
    int seen = 0;
    qint64 longest = 0;
    QTimer feed;
    QObject::connect(&feed, &QTimer::timeout, [&] {
        if (next > total)
            return feed.stop();
        handed[next] = clock.elapsed();
        rig.collector->appendValue(QStringLiteral("a"), 1001, double(next++));
        each();
    });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const int last = reader.value(newest).toInt();
        if (last > 0 && seen == 0 && firstSeen)
            firstSeen();
        for (; seen < last; ++seen)
            longest = qMax(longest, clock.elapsed() - handed[seen + 1]);
    });
    feed.start(20);
    poll.start(10);
    return QTest::qWaitFor([&] { return seen >= total; }, 20000) ? longest : -1;
}

// A session recording "a" of device 1001 that was handed one value, once
// another connection sees its row; null when it does not come.
std::unique_ptr<SessionRig> startedWithOneRow(double value)
{
    setStoredChoice(choice({{"4:1001", {"a"}}}));
    auto rig = std::make_unique<SessionRig>();
    if (rig->start() != sessionPath())
        return nullptr;
    rig->collector->appendDevice(4, 1001);
    rig->collector->appendValue(QStringLiteral("a"), 1001, value);
    rig->sync();
    Reader reader(sessionPath());
    if (!QTest::qWaitFor([&] { return reader.count(QStringLiteral("a")) == 1; }, 5000))
        return nullptr;
    return rig;
}

} // namespace

class CollectorTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { registerDeviceModelNames(); }

    void init()
    {
        removeDatabaseFiles(sessionPath());
        removeDatabaseFiles(sessionPath(2));
        setStoredChoice(QVariant());
    }

    // The files' tables, CREATE texts and rows; a session closes with break
    // rows; a second session adds no second set of types and no second Device row.
    void sessionSchemaAndRows()
    {
        setStoredChoice(choice({{"4:1001", {"wPowerMain", "main power"}}}));
        QStringList expectedTypes;
        QList<QVariantList> typeRows;
        for (int code = 0; code < DeviceModelCount; ++code) {
            if (!deviceModelNames.value(code).isEmpty())
                typeRows << QVariantList{code, deviceModelNames.at(code)};
        }
        QVERIFY(!typeRows.isEmpty());

        SessionRig rig;
        QCOMPARE(rig.start(), sessionPath());
        QCOMPARE(rig.collector->connectionName(), sessionPath());
        rig.collector->appendDevice(4, 1001);
        rig.collector->appendValue(QStringLiteral("wPowerMain"), 1001, 3.5);
        rig.collector->appendValue(QStringLiteral("main power"), 1001, 1.0);
        rig.sync();
        Reader reader(sessionPath());
        QTRY_COMPARE(reader.count(QStringLiteral("wPowerMain")), 1);

        const QString id = QStringLiteral("id INTEGER PRIMARY KEY AUTOINCREMENT");
        QCOMPARE(reader.createText("DeviceType") + ';', "CREATE TABLE DeviceType (" + id + ", type INTEGER, name TEXT);");
        QCOMPARE(reader.createText("UsedField") + ';', "CREATE TABLE UsedField (" + id + ", device INTEGER, name TEXT);");
        QCOMPARE(reader.createText("Device") + ';',
                 "CREATE TABLE Device (" + id + ", type INTEGER, serial INTEGER, created TEXT);");
        QCOMPARE(reader.createText("wPowerMain") + ';',
                 "CREATE TABLE wPowerMain (" + id + ", device INTEGER, value REAL, created TEXT);");
        QCOMPARE(reader.createText("main power") + ';',
                 "CREATE TABLE \"main power\" (" + id + ", device INTEGER, value REAL, created TEXT);");

        QCOMPARE(reader.rows(QStringLiteral("SELECT type, name FROM DeviceType ORDER BY id")), typeRows);
        QCOMPARE(reader.rows(QStringLiteral("SELECT type, serial FROM Device")), (QList<QVariantList>{{4, 1001}}));
        const QVariant deviceCreated = reader.value(QStringLiteral("SELECT created FROM Device"));
        QVERIFY(isCreatedText(deviceCreated));
        QCOMPARE(reader.rows(QStringLiteral("SELECT device, value FROM wPowerMain")),
                 (QList<QVariantList>{{1001, 3.5}}));
        QVERIFY(isCreatedText(reader.value(QStringLiteral("SELECT created FROM wPowerMain"))));
        QTRY_COMPARE(reader.rows(QStringLiteral("SELECT device, name FROM UsedField ORDER BY id")),
                     (QList<QVariantList>{{1001, "wPowerMain"}, {1001, "main power"}}));
        QCOMPARE(reader.value(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = 'DeviceType'")).toInt(),
                 typeRows.size());

        rig.stop();
        QCOMPARE(series(reader, "wPowerMain"), (QVariantList{3.5, QVariant()}));
        QCOMPARE(series(reader, "main power"), (QVariantList{1.0, QVariant()}));
        const QVariant breakTime = reader.value(QStringLiteral("SELECT created FROM wPowerMain WHERE id = 2"));
        QVERIFY(isCreatedText(breakTime));
        QCOMPARE(reader.value(QStringLiteral("SELECT created FROM \"main power\" WHERE id = 2")), breakTime);

        QCOMPARE(rig.start(), sessionPath());
        rig.collector->appendDevice(4, 1001);
        rig.collector->appendValue(QStringLiteral("main power"), 1001, 2.0);
        rig.stop();
        QCOMPARE(reader.count(QStringLiteral("DeviceType")), typeRows.size());
        QCOMPARE(reader.rows(QStringLiteral("SELECT serial, created FROM Device")),
                 (QList<QVariantList>{{1001, deviceCreated}}));
        QCOMPARE(reader.count(QStringLiteral("UsedField")), 2);
        QCOMPARE(series(reader, "main power"), (QVariantList{1.0, QVariant(), 2.0, QVariant()}));
    }

    // Which values the stored choice lets through: the serial number and the
    // name decide, the type does not; a bad key ends the walk.
    void storedChoice_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("name");
        QTest::addColumn<uint>("serial");
        QTest::addColumn<bool>("written");
        const QVariant one = choice({{"4:1001", {"a"}}});
        QTest::newRow("chosen") << one << "a" << 1001u << true;
        QTest::newRow("same serial, another type") << QVariant(choice({{"7:1001", {"a"}}})) << "a" << 1001u << true;
        QTest::newRow("name not chosen") << one << "b" << 1001u << false;
        QTest::newRow("name in another case") << one << "A" << 1001u << false;
        QTest::newRow("another serial") << one << "a" << 1002u << false;
        QTest::newRow("nothing chosen yet") << QVariant() << "a" << 1001u << false;
        QTest::newRow("bad key before the device") << QVariant(choice({{"12:345:6", {"x"}}, {"4:1001", {"a"}}}))
                                                   << "a" << 1001u << false;
        QTest::newRow("bad key after the device") << QVariant(choice({{"4:1001", {"a"}}, {"9:1:2", {"x"}}})) << "a"
                                                  << 1001u << true;
    }
    void storedChoice()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, name);
        QFETCH(uint, serial);
        QFETCH(bool, written);
        setStoredChoice(stored);
        SessionRig rig;
        QCOMPARE(rig.start(), sessionPath());
        rig.collector->appendDevice(4, serial);
        rig.collector->appendValue(name, serial, 1.5);
        rig.stop();
        Reader reader(sessionPath());
        QCOMPARE(series(reader, name), written ? (QVariantList{1.5, QVariant()}) : QVariantList());
    }

    // Break rows: a run of NaN writes one; values reported while no session
    // is open are dropped; what was reported before the thread ended goes
    // into that session.
    void breakRowsAndSessionEnds()
    {
        setStoredChoice(choice({{"4:1001", {"a"}}}));
        SessionRig rig;
        rig.collector->appendValue(QStringLiteral("a"), 1001, -1.0); // no session yet
        QCOMPARE(rig.start(), sessionPath());
        rig.collector->appendDevice(4, 1001);
        for (double v : {NaN, NaN, 1.0, NaN, NaN, 2.0})
            rig.collector->appendValue(QStringLiteral("a"), 1001, v);

        // The last value waits behind a busy collector when the thread is told to end.
        QSemaphore gate;
        QMetaObject::invokeMethod(rig.collector, [&gate] { gate.acquire(); }, Qt::QueuedConnection);
        rig.collector->appendValue(QStringLiteral("a"), 1001, 3.0);
        rig.thread.exit(0);
        gate.release();
        rig.thread.wait();
        rig.collector->appendValue(QStringLiteral("a"), 1001, 4.0); // the session is closed

        QCOMPARE(rig.start(), sessionPath());
        rig.stop();
        Reader reader(sessionPath());
        QCOMPARE(series(reader, "a"), (QVariantList{QVariant(), 1.0, QVariant(), 2.0, 3.0, QVariant(), QVariant()}));
        const QList<QVariantList> times = reader.rows(QStringLiteral("SELECT created FROM a ORDER BY id"));
        for (int i = 1; i < times.size(); ++i)
            QVERIFY(times.at(i - 1).first().toString() <= times.at(i).first().toString());
    }

    // The selection window's two signals: changes logged against the choice
    // read when it opened, break rows for what was removed, the choice saved,
    // devices bound and entered.
    void storingMapHandlers()
    {
        setStoredChoice(choice({{"4:1001", {"a", "b"}}, {"5:2002", {"c"}}}));
        auto first = makeDevice(4, 1001);
        auto second = makeDevice(5, 2002);
        SessionRig rig;
        QCOMPARE(rig.start(), sessionPath());
        for (const char *name : {"a", "b"})
            rig.collector->appendValue(QLatin1String(name), 1001, 1.0);
        rig.collector->appendValue(QStringLiteral("c"), 2002, 1.0);
        rig.collector->openMeasurementsLogging({first.get(), second.get()}, nullptr);

        StoringMap map;
        map.insert(first.get(), {"a", "d"});
        map.insert(second.get(), {"c"});
        {
            MessageCapture log;
            rig.collector->setStoringMap(map);
            rig.sync();
            QCOMPARE(log.count(QStringLiteral("4:1001: +d/-b")), 1);
            QCOMPARE(log.count(QStringLiteral("5:2002: no changes")), 1);
            QCOMPARE(log.count(QStringLiteral("storingMap swapped")), 1);
        }
        QCOMPARE(appSettings.value(QLatin1String(SettingsKey::SQLiteStoringMap)).toMap(),
                 choice({{"4:1001", {"a", "d"}}, {"5:2002", {"c"}}}));
        QCOMPARE(DeviceInfoCollector::storingMap(), map);
        QCOMPARE(first->infoCollector(), rig.collector);
        QCOMPARE(second->infoCollector(), rig.collector);
        rig.collector->appendValue(QStringLiteral("b"), 1001, 5.0); // no longer chosen
        rig.collector->appendValue(QStringLiteral("d"), 1001, 2.0);
        rig.sync();

        {
            MessageCapture log;
            rig.collector->resetStoringMap();
            rig.sync();
            QCOMPARE(log.count(QStringLiteral("4:1001: -a/-b")), 1);
            QCOMPARE(log.count(QStringLiteral("5:2002: -c")), 1);
            QCOMPARE(log.count(QStringLiteral("storingMap cleared")), 1);
        }
        QVERIFY(appSettings.value(QLatin1String(SettingsKey::SQLiteStoringMap)).toMap().isEmpty());
        QVERIFY(DeviceInfoCollector::storingMap().isEmpty());
        rig.collector->appendValue(QStringLiteral("a"), 1001, 9.0);
        rig.stop();

        Reader reader(sessionPath());
        QCOMPARE(reader.rows(QStringLiteral("SELECT type, serial FROM Device ORDER BY type")),
                 (QList<QVariantList>{{4, 1001}, {5, 2002}}));
        QCOMPARE(series(reader, "a"), (QVariantList{1.0, QVariant(), QVariant()}));
        QCOMPARE(series(reader, "b"), (QVariantList{1.0, QVariant(), QVariant()}));
        QCOMPARE(series(reader, "c"), (QVariantList{1.0, QVariant(), QVariant()}));
        QCOMPARE(series(reader, "d"), (QVariantList{2.0, QVariant()}));
    }

    // A device that connects is bound when the stored choice names it.
    void loadStoringMap()
    {
        setStoredChoice(choice({{"4:1001", {"a"}}, {"5:2002", {"c"}}}));
        auto listed = makeDevice(4, 1001);
        auto otherType = makeDevice(6, 2002);
        SessionRig rig;
        QCOMPARE(rig.start(), sessionPath());
        rig.collector->loadStoringMap(listed.get());
        rig.collector->loadStoringMap(otherType.get());
        rig.sync();
        QCOMPARE(listed->infoCollector(), rig.collector);
        QCOMPARE(otherType->infoCollector(), nullptr);
        Reader reader(sessionPath());
        QTRY_COMPARE(reader.rows(QStringLiteral("SELECT type, serial FROM Device")), (QList<QVariantList>{{4, 1001}}));

        setStoredChoice(choice({{"1:2:3", {"a"}}, {"4:1001", {"a"}}}));
        auto late = makeDevice(4, 1001);
        MessageCapture log;
        rig.collector->loadStoringMap(late.get());
        QCOMPARE(late->infoCollector(), nullptr);
        QCOMPARE(log.matching(QStringLiteral("^Wrong key of SQLite storing map")).size(), 1);
    }

    // A reset drops every stored series and the choice; the type table and
    // the devices' binding stay.
    void reset()
    {
        setStoredChoice(choice({{"4:1001", {"a", "b"}}}));
        auto device = makeDevice(4, 1001);
        SessionRig rig;
        QCOMPARE(rig.start(), sessionPath());
        rig.collector->loadStoringMap(device.get());
        rig.collector->appendValue(QStringLiteral("a"), 1001, 1.0);
        rig.collector->appendValue(QStringLiteral("b"), 1001, 2.0);
        rig.sync();
        Reader reader(sessionPath());
        QTRY_COMPARE(reader.count(QStringLiteral("b")), 1);
        const int types = reader.count(QStringLiteral("DeviceType"));

        rig.collector->resetSessionDatabase();
        QVERIFY(!appSettings.value(QLatin1String(SettingsKey::SQLiteStoringMap)).isValid());
        rig.collector->appendValue(QStringLiteral("a"), 1001, 3.0);
        rig.sync();
        QCOMPARE(reader.count(QStringLiteral("a")), -1);
        QCOMPARE(reader.count(QStringLiteral("b")), -1);
        QCOMPARE(reader.count(QStringLiteral("Device")), 0);
        QCOMPARE(reader.count(QStringLiteral("UsedField")), 0);
        QCOMPARE(reader.count(QStringLiteral("DeviceType")), types);
        QCOMPARE(device->infoCollector(), rig.collector);
        rig.stop();
        QCOMPARE(reader.count(QStringLiteral("a")), -1);
    }

    // The viewer's and the selection dialog's queries.
    void queries()
    {
        writeSessionFixture(sessionPath());
        SessionRig rig;
        QCOMPARE(rig.start(), sessionPath());
        DeviceInfoCollector *collector = rig.collector;
        QSignalSpy values(collector, &DeviceInfoCollector::selectedValuesReceived);
        QSignalSpy columns(collector, &DeviceInfoCollector::columnContentReceived);
        QSignalSpy graphs(collector, &DeviceInfoCollector::backupGraphsReceived);
        QSignalSpy minimum(collector, &DeviceInfoCollector::minimumReceived);
        QSignalSpy sizes(collector, &DeviceInfoCollector::tableSizeReceived);

        GraphSettings_t graph;
        graph.type = 4;
        graph.serial = 1001;
        graph.field = QStringLiteral("wPowerMain");
        graph.data = QStringLiteral("plotted");
        graph.pen = QPen(Qt::red, 3);
        collector->getValues(graph, {created, QStringLiteral("value")}, 7);
        graph.lastCreated = QStringLiteral("2024-01-01 11:00:00.000");
        collector->getValues(graph, {QStringLiteral("value")});
        collector->getColumnContent(QStringLiteral("Device"), QStringLiteral("serial"), QStringLiteral("type = 4"));
        collector->getColumnContent(QStringLiteral("Device"), QStringLiteral("serial"), QStringLiteral("type"), 5,
                                    QStringLiteral("tag"));
        collector->getBackupGraphs();
        collector->getMinimum(QStringLiteral("Device"), created);
        collector->getTableSize(QStringLiteral("wPowerMain"));
        collector->getTableSize(QStringLiteral("never"));
        rig.sync();

        QCOMPARE(values.count(), 2);
        const auto all = values.at(0).at(0).value<GraphSettings_t>();
        QCOMPARE(all.serial, 1001u);
        QCOMPARE(all.data, QVariant(QStringLiteral("plotted")));
        QCOMPARE(all.pen, QPen(Qt::red, 3));
        QCOMPARE(values.at(0).at(1).value<SelectedValues>(),
                 (SelectedValues{{created,
                                  {"2024-01-01 10:00:00.000", "2024-01-01 11:00:00.000", "2024-01-01 12:00:00.000"}},
                                 {"value", {1.0, 2.0, 3.0}}}));
        QCOMPARE(values.at(0).at(2).toBool(), false);
        QCOMPARE(values.at(0).at(3), QVariant(7));
        QCOMPARE(values.at(1).at(1).value<SelectedValues>(), (SelectedValues{{"value", {3.0}}}));
        QCOMPARE(values.at(1).at(2).toBool(), true);
        QCOMPARE(values.at(1).at(3), QVariant(-1));

        QCOMPARE(columns.count(), 2);
        QCOMPARE(columns.at(0).at(1).value<ColumnContent>(), ColumnContent{1001});
        QCOMPARE(columns.at(1).at(0).toString(), QStringLiteral("serial"));
        QCOMPARE(columns.at(1).at(1).value<ColumnContent>(), ColumnContent{2002});
        QCOMPARE(columns.at(1).at(2), QVariant(QStringLiteral("tag")));

        QCOMPARE(graphs.count(), 1);
        QList<QVariantList> found;
        for (const GraphSettings_t &g : graphs.first().first().value<QList<GraphSettings_t>>())
            found << QVariantList{g.type, g.serial, g.field, g.lastCreated, g.data};
        QCOMPARE(found, (QList<QVariantList>{{4, 1001u, "wPowerMain", QString(), QVariant()},
                                             {5, 2002u, "wPowerMain", QString(), QVariant()},
                                             {4, 1001u, "RFNoise", QString(), QVariant()}}));

        QCOMPARE(minimum.count(), 1);
        QCOMPARE(minimum.first().first().toString(), QStringLiteral("2024-01-01 09:00:00.000"));
        QCOMPARE(sizes.count(), 1);
        QCOMPARE(sizes.first().first().toInt(), 4);
    }

    // Names SQLite would not take bare, a statement in a parameter name, and
    // serial numbers above 2^31 travel whole.
    void namesAndSerials()
    {
        const QStringList names{"main power", "quote\"d", "x'); DROP TABLE Device;--", "Order"};
        const uint big = 3000000000u;
        setStoredChoice(choice({{"4:1001", names}, {"4:3000000000", {"a"}}}));
        SessionRig rig;
        QCOMPARE(rig.start(), sessionPath());
        rig.collector->appendDevice(4, 1001);
        rig.collector->appendDevice(4, big);
        for (const QString &name : names)
            rig.collector->appendValue(name, 1001, 1.0);
        rig.collector->appendValue(QStringLiteral("a"), big, 1.5);
        rig.stop();

        Reader reader(sessionPath());
        for (const QString &name : names)
            QCOMPARE(series(reader, name), (QVariantList{1.0, QVariant()}));
        QCOMPARE(reader.rows(QStringLiteral("SELECT serial, typeof(serial) FROM Device ORDER BY id")),
                 (QList<QVariantList>{{1001, "integer"}, {qlonglong(big), "integer"}}));
        QCOMPARE(reader.rows(QStringLiteral("SELECT device, value FROM a WHERE value IS NOT NULL")),
                 (QList<QVariantList>{{qlonglong(big), 1.5}}));

        DeviceInfoCollector file;
        file.openDatabase(sessionPath());
        QSignalSpy values(&file, &DeviceInfoCollector::selectedValuesReceived);
        QSignalSpy graphs(&file, &DeviceInfoCollector::backupGraphsReceived);
        GraphSettings_t graph;
        graph.serial = big;
        graph.field = QStringLiteral("a");
        file.getValues(graph, {QStringLiteral("value")});
        graph.serial = 1001;
        graph.field = names.at(2);
        file.getValues(graph, {QStringLiteral("value")});
        file.getBackupGraphs();
        QTRY_COMPARE(graphs.count(), 1);
        QCOMPARE(values.count(), 2);
        QCOMPARE(values.at(0).at(1).value<SelectedValues>().value("value").size(), 2);
        QCOMPARE(values.at(1).at(1).value<SelectedValues>().value("value").size(), 2);
        QList<uint> serials;
        for (const GraphSettings_t &g : graphs.first().first().value<QList<GraphSettings_t>>())
            serials << g.serial;
        QVERIFY(serials.contains(big));
    }

    // Files of one name in two folders, and a session.sqlite besides the
    // live one, each keep their own connection.
    void filesOfOneName()
    {
        QTemporaryDir dir;
        QDir(dir.path()).mkpath(QStringLiteral("one"));
        QDir(dir.path()).mkpath(QStringLiteral("two"));
        const QString one = dir.filePath(QStringLiteral("one/values.sqlite"));
        const QString two = dir.filePath(QStringLiteral("two/values.sqlite"));
        for (const auto &[path, device] : {std::pair<QString, int>{one, 1}, {two, 2}}) {
            Reader writer(path, true);
            writer.exec(QStringLiteral("CREATE TABLE t (id INTEGER PRIMARY KEY AUTOINCREMENT, device INTEGER)"));
            writer.exec(QStringLiteral("INSERT INTO t (device) VALUES (%1)").arg(device));
        }
        const auto devicesOf = [](DeviceInfoCollector &collector) {
            QSignalSpy spy(&collector, &DeviceInfoCollector::columnContentReceived);
            collector.getColumnContent(QStringLiteral("t"), QStringLiteral("device"));
            return spy.wait(5000) ? spy.first().at(1).value<ColumnContent>() : ColumnContent{-1};
        };
        DeviceInfoCollector first, second;
        QSignalSpy opened(&second, &DeviceInfoCollector::connectionNameChanged);
        first.openDatabase(one);
        second.openDatabase(two);
        QCOMPARE(opened.count(), 1);
        QCOMPARE(opened.first().first().toString(), two);
        QCOMPARE(devicesOf(first), ColumnContent{1});
        QCOMPARE(devicesOf(second), ColumnContent{2});
        const int connections = QSqlDatabase::connectionNames().size();
        second.openDatabase(one); // the worker of the file before goes with its connection
        QCOMPARE(QSqlDatabase::connectionNames().size(), connections);
        QCOMPARE(devicesOf(second), ColumnContent{1});

        // The live session goes on while a file collector reads another session.sqlite.
        setStoredChoice(choice({{"4:1001", {"t"}}}));
        const QString otherSession = dir.filePath(QStringLiteral("two/session.sqlite"));
        QVERIFY(QFile::copy(two, otherSession));
        const QByteArray otherBytes = fileBytes(otherSession);
        SessionRig rig;
        QCOMPARE(rig.start(), sessionPath());
        rig.collector->appendDevice(4, 1001);
        rig.collector->appendValue(QStringLiteral("t"), 1001, 1.0);
        {
            DeviceInfoCollector viewer;
            viewer.openDatabase(otherSession);
            QCOMPARE(devicesOf(viewer), ColumnContent{2});
        }
        rig.collector->appendValue(QStringLiteral("t"), 1001, 2.0);
        rig.stop();
        Reader reader(sessionPath());
        QCOMPARE(series(reader, "t"), (QVariantList{1.0, 2.0, QVariant()}));
        QCOMPARE(fileBytes(otherSession), otherBytes);
    }

    // A session file another process holds locked is reported with SQLite's
    // reason and left as it is; nothing is stored meanwhile.
    void lockedSessionFile()
    {
        setStoredChoice(choice({{"4:1001", {"a"}}}));
        QDir().mkpath(QFileInfo(sessionPath()).path());
        {
            Reader writer(sessionPath(), true);
            QVERIFY(writer.exec(QStringLiteral("CREATE TABLE x (a TEXT)")));
        }
        std::unique_ptr<HelperProcess> locker = HelperProcess::locking(sessionPath());
        QVERIFY(locker);
        const QByteArray before = fileBytes(sessionPath());

        SessionRig rig;
        QSignalSpy errors(rig.collector, &DeviceInfoCollector::databaseError);
        QSignalSpy damaged(rig.collector, &DeviceInfoCollector::sessionDatabaseDamaged);
        MessageCapture log;
        QCOMPARE(rig.start(), QString());
        rig.collector->appendDevice(4, 1001);
        rig.collector->appendValue(QStringLiteral("a"), 1001, 1.0);
        rig.sync();
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.first().at(0).toString(), sessionPath());
        QCOMPARE(errors.first().at(1).toString(), QStringLiteral("database is locked"));
        QCOMPARE(damaged.count(), 0);
        QCOMPARE(rig.collector->connectionName(), QString());
        QCOMPARE(log.matching(QStringLiteral("^Error occured while database opened")).size(), 1);
        rig.stop();
        QVERIFY(locker->release());
        QCOMPARE(fileBytes(sessionPath()), before);
    }

    // A damaged session file, found when it opens or when a commit reads a
    // damaged page, is reported with a free name beside it. Set aside, it is
    // renamed whole and recording goes on in a new file with the devices of
    // the session; refused, it stays as it was and nothing is recorded.
    void damagedSessionFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("setAside");
        QTest::addColumn<QString>("reason");
        const QString notDatabase = QStringLiteral("file is not a database");
        const QString malformed = QStringLiteral("database disk image is malformed");
        QTest::newRow("garbage, set aside") << "garbage" << true << notDatabase;
        QTest::newRow("garbage, refused") << "garbage" << false << notDatabase;
        QTest::newRow("truncated, set aside") << "truncated" << true << malformed;
        QTest::newRow("truncated, refused") << "truncated" << false << malformed;
        QTest::newRow("damaged pages, found by a commit, set aside") << "pages" << true << malformed;
    }
    void damagedSessionFile()
    {
        QFETCH(QString, kind);
        QFETCH(bool, setAside);
        QFETCH(QString, reason);
        setStoredChoice(choice({{"4:1001", {"a"}}}));
        QDir().mkpath(QFileInfo(sessionPath()).path());
        if (kind == QLatin1String("garbage")) {
            QByteArray bytes;
            for (int i = 0; i < 8192; ++i)
                bytes += char((i * 7919 + 13) % 251);
            QVERIFY(writeFile(sessionPath(), bytes));
        } else {
            {
                Reader writer(sessionPath(), true);
                QVERIFY(writer.exec(QStringLiteral("CREATE TABLE a (id INTEGER PRIMARY KEY AUTOINCREMENT, "
                                                   "device INTEGER, value REAL, created TEXT)")));
                QVERIFY(writer.exec(QStringLiteral("BEGIN")));
                for (int i = 0; i < 300; ++i)
                    QVERIFY(writer.exec(QStringLiteral("INSERT INTO a (device, value, created) VALUES (7, %1, '%2')")
                                            .arg(i)
                                            .arg(QString(200, QLatin1Char('x')))));
                QVERIFY(writer.exec(QStringLiteral("COMMIT")));
            }
            QByteArray bytes = fileBytes(sessionPath());
            if (kind == QLatin1String("truncated")) {
                bytes = bytes.left(4096);
            } else {
                // The schema page stays whole: the file opens, the table's pages are noise.
                for (int i = 4096; i < bytes.size(); ++i)
                    bytes[i] = char((i * 31 + 7) % 253);
            }
            QVERIFY(writeFile(sessionPath(), bytes));
        }
        const QByteArray before = fileBytes(sessionPath());
        const bool atOpen = kind != QLatin1String("pages");

        SessionRig rig;
        QSignalSpy errors(rig.collector, &DeviceInfoCollector::databaseError);
        QSignalSpy damaged(rig.collector, &DeviceInfoCollector::sessionDatabaseDamaged);
        QSignalSpy names(rig.collector, &DeviceInfoCollector::connectionNameChanged);
        QCOMPARE(rig.start(), atOpen ? QString() : sessionPath());
        rig.collector->appendDevice(4, 1001);
        rig.collector->appendValue(QStringLiteral("a"), 1001, 1.0);
        rig.sync();
        QTRY_COMPARE_WITH_TIMEOUT(damaged.count(), 1, 5000);
        QCOMPARE(errors.count(), 0);
        QCOMPARE(damaged.first().at(0).toString(), sessionPath());
        QCOMPARE(damaged.first().at(1).toString(), reason);
        const QString aside = damaged.first().at(2).toString();
        const QFileInfo asideInfo(aside);
        QCOMPARE(asideInfo.path(), QFileInfo(sessionPath()).path());
        QVERIFY2(asideInfo.fileName().startsWith(QLatin1String("session-damaged-"))
                     && asideInfo.fileName().endsWith(QLatin1String(".sqlite")),
                 qPrintable(aside));
        QVERIFY(!asideInfo.exists());

        if (!setAside) {
            rig.collector->appendValue(QStringLiteral("a"), 1001, 2.0);
            rig.sync();
            rig.stop();
            QCOMPARE(fileBytes(sessionPath()), before);
            QVERIFY(!QFileInfo::exists(aside));
            QCOMPARE(damaged.count(), 1);
            return;
        }
        names.clear();
        rig.collector->setAsideSessionDatabase(aside);
        QTRY_COMPARE(names.count(), 1);
        QCOMPARE(names.first().first().toString(), sessionPath());
        // Renamed, not rewritten: an open writes nothing but the journal mode in the header.
        QCOMPARE(fileBytes(aside).mid(100), before.mid(100));
        if (atOpen)
            QCOMPARE(fileBytes(aside), before);
        rig.collector->setAsideSessionDatabase(aside); // once only
        rig.collector->appendValue(QStringLiteral("a"), 1001, 2.0);
        rig.sync();
        rig.stop();
        QCOMPARE(names.count(), 1);
        Reader reader(sessionPath());
        QCOMPARE(reader.value(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
        QVERIFY(reader.count(QStringLiteral("DeviceType")) > 0);
        QCOMPARE(reader.rows(QStringLiteral("SELECT type, serial FROM Device")), (QList<QVariantList>{{4, 1001}}));
        QCOMPARE(reader.rows(QStringLiteral("SELECT device, name FROM UsedField")),
                 (QList<QVariantList>{{1001, "a"}}));
        QCOMPARE(series(reader, "a"), (QVariantList{2.0, QVariant()}));
        QCOMPARE(damaged.count(), 1);
    }

    // A second program records into a file of its own while the first goes
    // on; a killed program's file is free for the next one.
    void secondProgramRecords()
    {
        HelperProcess first({QStringLiteral("write"), QStringLiteral("601"), QStringLiteral("20")});
        QCOMPARE(first.waitFor(QStringLiteral("open ")), QStringLiteral("open ") + sessionPath());
        QVERIFY(!first.waitFor(QStringLiteral("value 5 ")).isEmpty());

        setStoredChoice(choice({{"4:1001", {"wValue"}}}));
        {
            SessionRig second;
            QSignalSpy errors(second.collector, &DeviceInfoCollector::databaseError);
            MessageCapture log;
            QCOMPARE(second.start(), sessionPath(2));
            QCOMPARE(log.matching(QStringLiteral("^Another running program records measurements into")).size(), 1);
            second.collector->appendDevice(4, 1001);
            for (int i = 1; i <= 5; ++i)
                second.collector->appendValue(QStringLiteral("wValue"), 1001, double(i));
            Reader reader(sessionPath(2));
            QTRY_COMPARE(reader.count(QStringLiteral("wValue")), 5);
            second.stop();
            QCOMPARE(errors.count(), 0);
            QCOMPARE(reader.rows(QStringLiteral("SELECT DISTINCT device FROM wValue")), (QList<QVariantList>{{1001}}));
        }
        QVERIFY(!first.waitFor(QStringLiteral("value 40 ")).isEmpty());
        first.process.kill();
        QVERIFY(first.process.waitForFinished(5000));
        {
            Reader reader(sessionPath(), true);
            QCOMPARE(reader.rows(QStringLiteral("SELECT DISTINCT device FROM wValue")), (QList<QVariantList>{{601}}));
            QVERIFY(reader.count(QStringLiteral("wValue")) >= 5);
        }
        SessionRig next;
        QCOMPARE(next.start(), sessionPath());
    }

    // A reader that never waits for a lock reads the file at any time while
    // a session starts with many new devices, tables and series.
    void readerWhileRecording()
    {
        QVariantMap chosen;
        QStringList fields;
        for (int f = 0; f < 11; ++f)
            fields << QStringLiteral("f%1").arg(f);
        for (int d = 0; d < 125; ++d)
            chosen.insert(QStringLiteral("4:%1").arg(2000 + d), fields);
        setStoredChoice(chosen);
        SessionRig rig;
        QCOMPARE(rig.start(), sessionPath());
        Reader reader(sessionPath(), false, 0);
        int round = 0;
        int reads = 0;
        QStringList failures;
        QTimer feed;
        QObject::connect(&feed, &QTimer::timeout, [&] {
            if (round == 0) {
                for (int d = 0; d < 125; ++d)
                    rig.collector->appendDevice(4, quint32(2000 + d));
            }
            if (round++ >= 20)
                return feed.stop();
            for (int d = 0; d < 125; ++d) {
                for (const QString &field : qAsConst(fields))
                    rig.collector->appendValue(field, quint32(2000 + d), double(round));
            }
        });
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QSqlQuery query(reader.db());
            query.setForwardOnly(true);
            if (!query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !query.next())
                failures << query.lastError().text();
            ++reads;
        });
        feed.start(50);
        poll.start(2);
        QTRY_VERIFY_WITH_TIMEOUT(!feed.isActive(), 20000);
        QTRY_COMPARE_WITH_TIMEOUT(reader.count(QStringLiteral("f10")), 125 * 20, 10000);
        poll.stop();
        QVERIFY(reads > 20);
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1String("; "))));
        QCOMPARE(reader.count(QStringLiteral("Device")), 125);
        QCOMPARE(reader.count(QStringLiteral("UsedField")), 125 * 11);
    }

    // Values reach another connection within the commit interval however
    // fast they come and however often the viewer reads.
    void commitsWithinTheInterval()
    {
        const std::unique_ptr<SessionRig> started = startedWithOneRow(0.0);
        QVERIFY(started);
        SessionRig &rig = *started;
        Reader reader(sessionPath());

        GraphSettings_t graph;
        graph.serial = 1001;
        graph.field = QStringLiteral("a");
        const qint64 longest =
            longestCommitWait(rig, reader, [&] { rig.collector->getValues(graph, {QStringLiteral("value")}); });
        QVERIFY(longest >= 0);
        QVERIFY2(longest < SqliteHandler::CommitInterval + 400, qPrintable(QString::number(longest)));
    }

    // The commit interval counts from a value's hand-over, also when the
    // collector's thread was busy (a long commit) when it came: the value
    // does not wait that long again before its interval starts.
    void intervalCountsFromTheHandOver()
    {
        const std::unique_ptr<SessionRig> started = startedWithOneRow(0.0);
        QVERIFY(started);
        SessionRig &rig = *started;
        Reader reader(sessionPath());

        constexpr int BusyMs = 400;
        QSemaphore held;
        QMetaObject::invokeMethod(rig.collector, [&held] { held.acquire(); }, Qt::QueuedConnection);
        QElapsedTimer clock;
        clock.start();
        rig.collector->appendValue(QStringLiteral("a"), 1001, 1.0);
        QTimer::singleShot(BusyMs, [&held] { held.release(); });
        QTRY_COMPARE_WITH_TIMEOUT(reader.count(QStringLiteral("a")), 2, 10000);
        // Counted from the end of the busy stretch, it would come an
        // interval after it.
        QVERIFY2(clock.elapsed() < BusyMs + SqliteHandler::CommitInterval, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(clock.elapsed() >= SqliteHandler::CommitInterval - 20);
    }

    // A graph read on a file made before value tables had an index: every
    // row of the device, decoded; then only the rows after the newest one;
    // a break row as NaN, a row whose time does not read left out; nothing
    // from a table that is not there.
    void graphsOfAnOldFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("old.sqlite"));
        writeSessionFixture(path);
        {
            Reader writer(path, true);
            QVERIFY(writer.exec("INSERT INTO wPowerMain (device, value, created) VALUES "
                                "(1001, NULL, '2024-01-01 12:30:00.000'), (1001, 9.0, 'yesterday'), "
                                "(1001, -4.5, '2024-01-01 13:00:00.500')"));
        }
        DeviceInfoCollector file;
        QSignalSpy received(&file, &DeviceInfoCollector::graphReceived);
        GraphSettings_t graph;
        graph.serial = 1001;
        graph.field = QStringLiteral("wPowerMain");
        DeviceInfoCollector none;
        QSignalSpy unanswered(&none, &DeviceInfoCollector::graphReceived);
        none.getGraph(graph, 1); // no file open: no answer
        file.openDatabase(path);
        Reader reader(path);
        QCOMPARE(reader.rows(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index'")).size(), 0);
        file.getGraph(graph, 2);
        QTRY_COMPARE(received.count(), 1);
        const auto seconds = [](const char *text) {
            return double(QDateTime::fromString(QLatin1String(text), QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"))
                              .toMSecsSinceEpoch()
                          / 1000);
        };
        GraphPoints all = received.first().at(1).value<GraphPoints>();
        QCOMPARE(received.first().at(2).toBool(), false);
        QCOMPARE(received.first().at(3), QVariant(2));
        const QList<double> keys{seconds("2024-01-01 10:00:00.000"), seconds("2024-01-01 11:00:00.000"),
                                 seconds("2024-01-01 12:00:00.000"), seconds("2024-01-01 12:30:00.000"),
                                 seconds("2024-01-01 13:00:00.500")};
        const QList<double> values{1.0, 2.0, 3.0, NaN, -4.5};
        QCOMPARE(all.points.size(), keys.size());
        for (int i = 0; i < keys.size(); ++i) {
            QCOMPARE(all.points.at(i).key, keys.at(i));
            QCOMPARE(std::isnan(all.points.at(i).value), std::isnan(values.at(i)));
            if (!std::isnan(values.at(i)))
                QCOMPARE(all.points.at(i).value, values.at(i));
        }
        QCOMPARE(all.lastCreated, QStringLiteral("2024-01-01 13:00:00.500"));
        QVERIFY(all.any);
        QCOMPARE(all.low, -4.5);
        QCOMPARE(all.high, 3.0);
        QCOMPARE(all.firstKey, keys.first());
        QCOMPARE(all.lastKey, keys.last());

        graph.lastCreated = QStringLiteral("2024-01-01 12:00:00.000");
        file.getGraph(graph, 3);
        QTRY_COMPARE(received.count(), 2);
        const GraphPoints newer = received.at(1).at(1).value<GraphPoints>();
        QCOMPARE(received.at(1).at(2).toBool(), true);
        QCOMPARE(newer.points.size(), 2);
        QCOMPARE(newer.points.first().key, keys.at(3));
        QCOMPARE(newer.lastKey, keys.last());

        MessageCapture log;
        graph.field = QStringLiteral("nope");
        file.getGraph(graph, 4);
        QTRY_COMPARE(received.count(), 3);
        QVERIFY(received.at(2).at(1).value<GraphPoints>().points.isEmpty());
        QVERIFY(received.at(2).at(1).value<GraphPoints>().lastCreated.isEmpty());
        QCOMPARE(log.matching(QStringLiteral("^Get values failed")).size(), 1);
        QCOMPARE(unanswered.count(), 0);
    }

    // The value tables the collector makes carry an index on device, time
    // and value: a graph and a poll for its newest rows are read from it
    // alone. The table itself is as before.
    void valueTablesHaveTheirIndex()
    {
        const std::unique_ptr<SessionRig> started = startedWithOneRow(1.0);
        QVERIFY(started);
        SessionRig &rig = *started;
        Reader reader(sessionPath());
        QCOMPARE(reader.createText(QStringLiteral("a")),
                 QStringLiteral("CREATE TABLE a (id INTEGER PRIMARY KEY AUTOINCREMENT, device INTEGER, value REAL, "
                                "created TEXT)"));
        for (const char *where : {"device = 1001", "device = 1001 AND created > '2024-01-01 00:00:00.000'"}) {
            QString plan;
            for (const QVariantList &row :
                 reader.rows(QStringLiteral("EXPLAIN QUERY PLAN SELECT created, value FROM a WHERE ") + where))
                plan += row.last().toString();
            QVERIFY2(plan.contains(QLatin1String("USING COVERING INDEX")), qPrintable(plan));
        }
        // The other tables have none.
        QCOMPARE(reader.rows(QStringLiteral("SELECT tbl_name FROM sqlite_master WHERE type = 'index'")),
                 (QList<QVariantList>{{QStringLiteral("a")}}));
    }

    // The viewer reading long graphs again and again holds no commit: values
    // reach another connection within the commit interval meanwhile.
    void graphReadsHoldNoCommit()
    {
        {
            Reader writer(sessionPath(), true);
            QVERIFY(writer.exec("CREATE TABLE a (id INTEGER PRIMARY KEY AUTOINCREMENT, device INTEGER, value REAL, "
                                "created TEXT)"));
            QVERIFY(writer.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200000) "
                                "INSERT INTO a (device, value, created) "
                                "SELECT 1001, -i, '2024-01-01 10:00:00.000' FROM n"));
        }
        setStoredChoice(choice({{"4:1001", {"a"}}}));
        SessionRig rig;
        QCOMPARE(rig.start(), sessionPath());
        rig.collector->appendDevice(4, 1001);
        rig.sync();
        Reader reader(sessionPath());
        int answers = 0;
        QList<int> sizes;
        QObject answered; // answers after the test's end go nowhere
        QObject::connect(rig.collector, &DeviceInfoCollector::graphReceived, &answered,
                         [&](const GraphSettings_t &, const GraphPoints &points) {
                             ++answers;
                             sizes << points.points.size();
                         });
        GraphSettings_t graph;
        graph.serial = 1001;
        graph.field = QStringLiteral("a");
        constexpr int Reads = 40;
        for (int i = 0; i < Reads; ++i)
            rig.collector->getGraph(graph, i);

        int readsAtFirstCommit = -1;
        // The values' ids follow the table's rows: the newest is found without a walk through them.
        const qint64 longest = longestCommitWait(rig, reader, [] {}, [&] { readsAtFirstCommit = answers; },
                                                 QStringLiteral("SELECT max(id) - 200000 FROM a"));
        QVERIFY(longest >= 0);
        QVERIFY2(longest < SqliteHandler::CommitInterval + 400, qPrintable(QString::number(longest)));
        QTRY_COMPARE_WITH_TIMEOUT(answers, Reads, 120000);
        // The reads were still going at the first commit.
        QVERIFY2(readsAtFirstCommit < Reads, qPrintable(QString::number(readsAtFirstCommit)));
        QVERIFY(sizes.first() >= 200000);
    }

    // A reader's transaction held over commits keeps its view and lets the
    // rows in; another process's write lock makes the rows wait, none lost,
    // the failure reported once.
    void heldLocks_data()
    {
        QTest::addColumn<bool>("otherProcess");
        QTest::newRow("reader in a transaction") << false;
        QTest::newRow("exclusive lock of another process") << true;
    }
    void heldLocks()
    {
        QFETCH(bool, otherProcess);
        setStoredChoice(choice({{"4:1001", {"a"}}}));
        SessionRig rig;
        QSignalSpy errors(rig.collector, &DeviceInfoCollector::databaseError);
        QCOMPARE(rig.start(), sessionPath());
        rig.collector->appendDevice(4, 1001);
        rig.collector->appendValue(QStringLiteral("a"), 1001, 0.0);
        rig.sync();
        Reader reader(sessionPath());
        QTRY_COMPARE(reader.count(QStringLiteral("a")), 1);

        std::unique_ptr<HelperProcess> locker;
        if (otherProcess) {
            locker = HelperProcess::locking(sessionPath());
            QVERIFY(locker);
        } else {
            QVERIFY(reader.exec(QStringLiteral("BEGIN")));
            QCOMPARE(reader.count(QStringLiteral("a")), 1);
        }
        int next = 1;
        QTimer feed;
        QObject::connect(&feed, &QTimer::timeout, [&] {
            if (next <= 40)
                rig.collector->appendValue(QStringLiteral("a"), 1001, double(next++));
        });
        feed.start(25);
        QTRY_VERIFY_WITH_TIMEOUT(next > 40, 10000);
        rig.sync();
        if (otherProcess) {
            QTRY_COMPARE_WITH_TIMEOUT(errors.count(), 1, 5000);
            QVERIFY(locker->release());
        } else {
            Reader other(sessionPath());
            QTRY_COMPARE_WITH_TIMEOUT(other.count(QStringLiteral("a")), 41, 5000);
            QCOMPARE(reader.count(QStringLiteral("a")), 1);
            QVERIFY(reader.exec(QStringLiteral("COMMIT")));
        }
        QTRY_COMPARE_WITH_TIMEOUT(reader.count(QStringLiteral("a")), 41, 5000);
        QCOMPARE(reader.value(QStringLiteral("SELECT sum(value) FROM a")).toInt(), 40 * 41 / 2);
        QCOMPARE(errors.count(), otherProcess ? 1 : 0);
        if (otherProcess)
            QCOMPARE(errors.first().at(1).toString(), QStringLiteral("database is locked"));
    }

    // Backups of a date range: the whole session or single graphs, the file
    // name from the time of making, exclusive bounds, failures reported.
    void backups()
    {
        setStoredChoice(choice({{"4:1001", {"wPowerMain"}}}));
        writeSessionFixture(sessionPath());
        QTemporaryDir dir;
        SessionRig rig;
        QCOMPARE(rig.start(), sessionPath());
        DeviceInfoCollector *collector = rig.collector;
        QSignalSpy names(collector, &DeviceInfoCollector::backupConnectionNameReceived);
        QSignalSpy progress(collector, &DeviceInfoCollector::setProgressBarValue);
        QSignalSpy closed(collector, &DeviceInfoCollector::backupFileClosed);
        QSignalSpy failed(collector, &DeviceInfoCollector::backupFailed);
        const QString start = QStringLiteral("2024-01-01 10:00:00.000");
        const QString end = QStringLiteral("2024-01-01 12:00:00.000");

        const QDateTime before = QDateTime::currentDateTime();
        collector->makeBackupfile(dir.path());
        rig.sync();
        const QDateTime after = QDateTime::currentDateTime();
        QCOMPARE(names.count(), 1);
        const QString full = names.takeFirst().first().toString();
        QVERIFY2(QRegularExpression(QStringLiteral("^backup_\\d{8}_\\d{9}$")).match(full).hasMatch(), qPrintable(full));
        const QDateTime made = QDateTime::fromString(full.mid(6), QStringLiteral("_yyyyMMdd_hhmmsszzz"));
        QVERIFY(made >= before.addMSecs(-1) && made <= after);
        collector->backupDeviceTypeTable(full, true);
        collector->backup(full, start, end);
        collector->closeBackupfile(full);
        rig.sync();
        QCOMPARE(progress.count(), 2);
        QCOMPARE(progress.at(0).first().toInt(), 50);
        QCOMPARE(progress.at(1).first().toInt(), 100);
        QCOMPARE(closed.count(), 1);
        QCOMPARE(closed.first().first().toString(), full);
        {
            Reader backup(dir.filePath(full + ".sqlite"));
            QCOMPARE(backup.count("Device"), 2);
            QCOMPARE(backup.count("UsedField"), 4);
            QCOMPARE(backup.count("DeviceType"), Reader(sessionPath()).count("DeviceType"));
            QCOMPARE(backup.rows("SELECT id, device, value FROM wPowerMain ORDER BY id"),
                     (QList<QVariantList>{{1, 1001, 2.0}, {2, 2002, 5.0}}));
            QCOMPARE(backup.rows("SELECT id, device, value FROM RFNoise"), (QList<QVariantList>{{1, 1001, -90.0}}));
        }

        // One graph. The clock moves on first, so that the next name differs.
        const auto nextMillisecond = [] {
            const QDateTime now = QDateTime::currentDateTime();
            QTRY_VERIFY(QDateTime::currentDateTime() > now);
        };
        nextMillisecond();
        collector->makeBackupfile(dir.path());
        rig.sync();
        const QString single = names.takeFirst().first().toString();
        QVERIFY(!single.isEmpty() && single != full);
        progress.clear();
        collector->backupDeviceTypeTable(single, false);
        collector->backup(single, QString(), end, QStringLiteral("1001"), QStringLiteral("wPowerMain"), 42);
        collector->closeBackupfile(single);
        rig.sync();
        QCOMPARE(progress.count(), 1);
        QCOMPARE(progress.first().first().toInt(), 42);
        {
            Reader backup(dir.filePath(single + ".sqlite"));
            QCOMPARE(backup.rows("SELECT type, serial FROM Device"), (QList<QVariantList>{{4, 1001}}));
            QCOMPARE(backup.rows("SELECT device, name FROM UsedField"), (QList<QVariantList>{{1001, "wPowerMain"}}));
            QCOMPARE(backup.rows("SELECT device, value FROM wPowerMain ORDER BY id"),
                     (QList<QVariantList>{{1001, 1.0}, {1001, 2.0}}));
            QCOMPARE(backup.count("RFNoise"), -1);
        }

        // A failed copy is reported, ends that backup, and the file still closes.
        nextMillisecond();
        collector->makeBackupfile(dir.path());
        rig.sync();
        const QString broken = names.takeFirst().first().toString();
        progress.clear();
        collector->backup(broken, QString(), QString(), QStringLiteral("1001"), QStringLiteral("nope"), 5);
        collector->backup(broken);
        collector->closeBackupfile(broken);
        rig.sync();
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.first().at(0).toString(), broken);
        QCOMPARE(failed.first().at(1).toString(), QStringLiteral("no such table: nope"));
        QCOMPARE(progress.count(), 0);
        QCOMPARE(closed.last().first().toString(), broken);

        collector->makeBackupfile(dir.filePath(QStringLiteral("missing")));
        rig.sync();
        QCOMPARE(names.takeFirst().first().toString(), QString());

        // Reads and writes still go to the session after the backups.
        QSignalSpy values(collector, &DeviceInfoCollector::selectedValuesReceived);
        GraphSettings_t graph;
        graph.serial = 1001;
        graph.field = QStringLiteral("wPowerMain");
        collector->getValues(graph, {QStringLiteral("value")});
        rig.collector->appendValue(QStringLiteral("wPowerMain"), 1001, 7.0);
        rig.sync();
        QCOMPARE(values.count(), 1);
        QCOMPARE(values.first().at(1).value<SelectedValues>().value("value"), (ColumnContent{1.0, 2.0, 3.0}));
        Reader reader(sessionPath());
        QTRY_COMPARE(series(reader, "wPowerMain", "device = 1001"), (QVariantList{1.0, 2.0, 3.0, 7.0}));
    }
};

QTEST_MAIN(CollectorTest)
#include "tst_collector.moc"
