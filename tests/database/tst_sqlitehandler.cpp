// The SQLite worker on real files: connection names, quoting, the queue of
// rows and its commits, reads, and the copies into a backup file.

#include "collectorrig.h"
#include "messagecapture.h"
#include "sqlitehandler.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
const QStringList valueDescriptions{QStringLiteral("device INTEGER"), QStringLiteral("value REAL"),
                                    QStringLiteral("created TEXT")};
const QStringList valueColumns{QStringLiteral("device"), QStringLiteral("value"), QStringLiteral("created")};
} // namespace

class SqliteHandlerTest : public QObject
{
    Q_OBJECT
private slots:
    void connectionNames_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("name");
        QTest::newRow("folder and suffix") << "/tmp/x/values.sqlite" << "values";
        QTest::newRow("cut at the first dot") << "/tmp/x/backup_1.a.sqlite" << "backup_1";
        QTest::newRow("no folder") << "session.sqlite" << "session";
        QTest::newRow("leading dot keeps the name") << "/tmp/.hidden.sqlite" << ".hidden.sqlite";
        QTest::newRow("no dot") << "/tmp/plain" << "plain";
    }
    void connectionNames()
    {
        QFETCH(QString, path);
        QFETCH(QString, name);
        QCOMPARE(SqliteHandler::connectionNameOf(path), name);
    }

    void quotedNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("quoted");
        QTest::newRow("plain") << "wPowerMain" << "wPowerMain";
        QTest::newRow("underscore and digits") << "_a1_b2" << "_a1_b2";
        QTest::newRow("keyword") << "Order" << "\"Order\"";
        QTest::newRow("leading digit") << "1st" << "\"1st\"";
        QTest::newRow("blank") << "main power" << "\"main power\"";
        QTest::newRow("quote doubled") << "a\"b" << "\"a\"\"b\"";
        QTest::newRow("statement in a name") << "x'); DROP TABLE Device;--" << "\"x'); DROP TABLE Device;--\"";
        QTest::newRow("not ASCII") << QString::fromUtf8("Напряжение") << QString::fromUtf8("\"Напряжение\"");
    }
    void quotedNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, quoted);
        QCOMPARE(SqliteHandler::quotedName(name), quoted);
    }

    // Tables and rows wait for the commit; each connection commits its own;
    // a reused path answers the same name, a second file of that name gets
    // its own.
    void queueAndConnections()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("a")) && QDir(dir.path()).mkpath(QStringLiteral("b")));
        const QString a = dir.filePath(QStringLiteral("a/values.sqlite"));
        const QString b = dir.filePath(QStringLiteral("b/values.sqlite"));
        SqliteHandler handler;
        const QString first = handler.openDatabase(a);
        QCOMPARE(first, QStringLiteral("values"));
        QCOMPARE(handler.openDatabase(dir.filePath(QStringLiteral("a/../a/values.sqlite"))), first);
        const QString second = handler.openDatabase(b);
        QVERIFY(!second.isEmpty() && second != first);

        QVERIFY(handler.createTable(first, QStringLiteral("t"), valueDescriptions));
        QVERIFY(!handler.createTable(first, QStringLiteral("T"), valueDescriptions)); // SQLite's names ignore case
        QVERIFY(handler.createTable(second, QStringLiteral("t"), valueDescriptions));
        QVERIFY(handler.insertValues(first, QStringLiteral("t"), valueColumns, {1, 1.5, QStringLiteral("x")}));
        QVERIFY(handler.insertValues(second, QStringLiteral("t"), valueColumns, {2, 2.5, QStringLiteral("y")}));
        QVERIFY(handler.insertValues(first, QStringLiteral("t"), valueColumns, {3, 3.5, QStringLiteral("z")}));

        Reader readA(a), readB(b);
        QVERIFY(!readA.db().tables().contains(QStringLiteral("t")));
        QCOMPARE(handler.pendingRows(), 5); // two tables, three rows
        QVERIFY(handler.commitValues());
        QCOMPARE(handler.pendingRows(), 0);
        QCOMPARE(readA.rows(QStringLiteral("SELECT device, value FROM t ORDER BY id")),
                 (QList<QVariantList>{{1, 1.5}, {3, 3.5}}));
        QCOMPARE(readB.rows(QStringLiteral("SELECT device, value FROM t")), (QList<QVariantList>{{2, 2.5}}));
        QCOMPARE(handler.filePath(second), QFileInfo(b).canonicalFilePath());

        // A second handler on the same file has a connection of its own:
        // closing it leaves the first one working.
        {
            SqliteHandler other;
            QCOMPARE(other.openDatabase(a), QStringLiteral("values"));
            QCOMPARE(other.selectValues(QStringLiteral("values"), QStringLiteral("t"), {QStringLiteral("device")})
                         .value(QStringLiteral("device"))
                         .size(),
                     2);
        }
        QVERIFY(handler.insertValues(first, QStringLiteral("t"), valueColumns, {4, 4.5, QStringLiteral("w")}));
        QVERIFY(handler.commitValues());
        QCOMPARE(readA.count(QStringLiteral("t")), 3);
    }

    void refusedRows()
    {
        QTemporaryDir dir;
        SqliteHandler handler;
        const QString name = handler.openDatabase(dir.filePath(QStringLiteral("r.sqlite")));
        handler.createTable(name, QStringLiteral("t"), valueDescriptions);
        QVERIFY(handler.commitValues());
        MessageCapture log;
        QVERIFY(!handler.insertValues(name, QStringLiteral("t"), valueColumns, {1, 2, 3, 4}));
        QVERIFY(!handler.insertValues(name, QStringLiteral("missing"), valueColumns, {1, 2, 3}));
        QVERIFY(!handler.deleteValues(name, QStringLiteral("missing")));
        QCOMPARE(log.matching(QStringLiteral("^columns.size\\(\\) != values.size\\(\\)$")).size(), 1);
        QCOMPARE(log.matching(QStringLiteral("^Where is no table")).size(), 2);
        QCOMPARE(handler.pendingRows(), 0);
        QVERIFY(handler.commitValues()); // nothing queued: no transaction
    }

    // DELETE and DROP run once, at once, and take the table's queued rows
    // with them; rows queued afterwards are written.
    void deleteAndDrop()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("d.sqlite"));
        SqliteHandler handler;
        const QString name = handler.openDatabase(path);
        handler.createTable(name, QStringLiteral("t"), valueDescriptions);
        handler.createTable(name, QStringLiteral("u"), valueDescriptions);
        handler.insertValues(name, QStringLiteral("t"), valueColumns, {1, 1.0, QStringLiteral("a")});
        QVERIFY(handler.commitValues());
        handler.insertValues(name, QStringLiteral("t"), valueColumns, {2, 2.0, QStringLiteral("b")});
        handler.insertValues(name, QStringLiteral("u"), valueColumns, {9, 9.0, QStringLiteral("c")});
        QVERIFY(handler.deleteValues(name, QStringLiteral("t")));
        handler.insertValues(name, QStringLiteral("t"), valueColumns, {3, 3.0, QStringLiteral("d")});
        QCOMPARE(handler.pendingRows(), 2);
        QVERIFY(handler.commitValues());
        Reader reader(path);
        QCOMPARE(reader.rows(QStringLiteral("SELECT device FROM t")), (QList<QVariantList>{{3}}));
        QCOMPARE(reader.rows(QStringLiteral("SELECT device FROM u")), (QList<QVariantList>{{9}}));

        handler.insertValues(name, QStringLiteral("u"), valueColumns, {10, 10.0, QStringLiteral("e")});
        QVERIFY(handler.dropTable(name, QStringLiteral("u")));
        QCOMPARE(handler.pendingRows(), 0);
        QVERIFY(!handler.tableNames(name).contains(QStringLiteral("u")));
        QVERIFY(handler.createTable(name, QStringLiteral("u"), valueDescriptions));
        handler.insertValues(name, QStringLiteral("u"), valueColumns, {11, 11.0, QStringLiteral("f")});
        QVERIFY(handler.commitValues());
        QCOMPARE(reader.rows(QStringLiteral("SELECT device FROM u")), (QList<QVariantList>{{11}}));

        // A table still queued is written before it is dropped.
        QVERIFY(handler.createTable(name, QStringLiteral("v"), valueDescriptions));
        handler.insertValues(name, QStringLiteral("v"), valueColumns, {12, 12.0, QStringLiteral("g")});
        QVERIFY(handler.dropTable(name, QStringLiteral("v")));
        QCOMPARE(handler.pendingRows(), 0);
        QVERIFY(!handler.tableNames(name).contains(QStringLiteral("v")));
    }

    // A row whose own statement fails is dropped alone; a transaction that
    // cannot end keeps every row for the next tick and reports once.
    void commitFailures()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("c.sqlite"));
        SqliteHandler handler;
        QSignalSpy errors(&handler, &SqliteHandler::databaseError);
        const QString name = handler.openDatabase(path);
        handler.createTable(name, QStringLiteral("t"), valueDescriptions);
        handler.createTable(name, QStringLiteral("gone"), valueDescriptions);
        QVERIFY(handler.commitValues());
        Reader writer(path, true);
        QVERIFY(writer.exec(QStringLiteral("DROP TABLE gone")));
        handler.insertValues(name, QStringLiteral("t"), valueColumns, {1, 1.0, QStringLiteral("a")});
        handler.insertValues(name, QStringLiteral("gone"), valueColumns, {2, 2.0, QStringLiteral("b")});
        handler.insertValues(name, QStringLiteral("t"), valueColumns, {3, 3.0, QStringLiteral("c")});
        {
            MessageCapture log;
            QVERIFY(handler.commitValues());
            QCOMPARE(log.matching(QStringLiteral("^Statement failed in \"gone\" 1 rows dropped")).size(), 1);
        }
        QCOMPARE(writer.rows(QStringLiteral("SELECT device FROM t ORDER BY id")), (QList<QVariantList>{{1}, {3}}));
        QCOMPARE(errors.count(), 0);

        // Rows are written many to a statement; one that fails drops alone.
        QVERIFY(writer.exec(QStringLiteral("CREATE TABLE checked (id INTEGER PRIMARY KEY AUTOINCREMENT, "
                                           "device INTEGER CHECK (device <> 13), value REAL, created TEXT)")));
        SqliteHandler second;
        const QString other = second.openDatabase(path);
        for (int i = 0; i < 150; ++i)
            second.insertValues(other, QStringLiteral("checked"), valueColumns, {i, double(i), QStringLiteral("x")});
        {
            MessageCapture log;
            QVERIFY(second.commitValues());
            QCOMPARE(log.matching(QStringLiteral("^Statement failed in \"checked\" 1 rows dropped")).size(), 1);
        }
        QCOMPARE(writer.value(QStringLiteral("SELECT count(*) FROM checked")).toInt(), 149);
        QCOMPARE(writer.value(QStringLiteral("SELECT sum(device) FROM checked")).toInt(), 149 * 150 / 2 - 13);
        QCOMPARE(writer.value(QStringLiteral("SELECT min(id) FROM checked WHERE device = 14")).toInt(), 14);

        // A reader in a transaction keeps the commit from ending.
        Reader reader(path);
        QVERIFY(reader.exec(QStringLiteral("BEGIN")));
        QCOMPARE(reader.count(QStringLiteral("t")), 2);
        handler.insertValues(name, QStringLiteral("t"), valueColumns, {4, 4.0, QStringLiteral("d")});
        {
            MessageCapture log;
            QVERIFY(!handler.commitValues());
            QVERIFY(!handler.commitValues());
            QCOMPARE(log.matching(QStringLiteral("^Commit values failed")).size(), 1);
        }
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.first().at(1).toString(), QStringLiteral("database is locked"));
        QCOMPARE(handler.pendingRows(), 1);
        QVERIFY(reader.exec(QStringLiteral("COMMIT")));
        QVERIFY(handler.commitValues());
        QCOMPARE(reader.rows(QStringLiteral("SELECT device FROM t ORDER BY id")),
                 (QList<QVariantList>{{1}, {3}, {4}}));
        QCOMPARE(errors.count(), 1);
    }

    // The timer commits at most CommitInterval ms after the oldest queued row,
    // however often rows come.
    void commitDeadline()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.sqlite"));
        SqliteHandler handler;
        const QString name = handler.openDatabase(path);
        handler.createTable(name, QStringLiteral("t"), valueDescriptions);
        QVERIFY(handler.commitValues());
        Reader reader(path);
        QElapsedTimer clock;
        clock.start();
        handler.insertValues(name, QStringLiteral("t"), valueColumns, {1, 1.0, QStringLiteral("a")});
        handler.startCommitTimer();
        QTimer more;
        QObject::connect(&more, &QTimer::timeout, &handler, [&] {
            handler.insertValues(name, QStringLiteral("t"), valueColumns, {2, 2.0, QStringLiteral("b")});
            handler.startCommitTimer();
            handler.selectValues(name, QStringLiteral("t"), {QStringLiteral("device")});
        });
        more.start(20);
        QTRY_VERIFY_WITH_TIMEOUT(reader.count(QStringLiteral("t")) > 0, 3000);
        QVERIFY2(clock.elapsed() < SqliteHandler::CommitInterval + 300, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(clock.elapsed() >= SqliteHandler::CommitInterval - 20);
    }

    void reads()
    {
        QTemporaryDir dir;
        SqliteHandler handler;
        const QString name = handler.openDatabase(dir.filePath(QStringLiteral("m.sqlite")));
        handler.createTable(name, QStringLiteral("t"), valueDescriptions);
        // An empty table gives SQL's NULL, not the NaN of a failed read; a
        // read writes the tables queued before it.
        QVERIFY(handler.getMinimum(QStringLiteral("t"), QStringLiteral("value")).isNull());
        for (double v : {3.0, NaN, -2.0})
            handler.insertValues(name, QStringLiteral("t"), valueColumns, {7, v, QStringLiteral("x")});
        handler.commitValues();
        QCOMPARE(handler.getMinimum(QStringLiteral("t"), QStringLiteral("value")).toDouble(), -2.0);
        const SelectedValues rows = handler.getValues(QStringLiteral("t"), {QStringLiteral("value")});
        QCOMPARE(rows.value(QStringLiteral("value")).size(), 3);
        QVERIFY(rows.value(QStringLiteral("value")).at(1).isNull()); // NaN is stored as NULL
        bool ok = true;
        QCOMPARE(handler.selectValues(name, QStringLiteral("t"), {QStringLiteral("value")},
                                      QStringLiteral("device = ?"), {8}, &ok),
                 SelectedValues());
        QVERIFY(ok);
        MessageCapture log;
        handler.selectValues(name, QStringLiteral("nope"), {QStringLiteral("value")}, QString(), {}, &ok);
        QVERIFY(!ok);
        QVERIFY(std::isnan(handler.getMinimum(QStringLiteral("nope"), QStringLiteral("value")).toDouble()));
        QCOMPARE(log.matching(QStringLiteral("^Get values failed")).size(), 2);
    }

    // Queued rows are stored as Qt's SQLite driver stores them: the same
    // type and value in a column without affinity, by the statement of many
    // rows and by the one of a single row; text in any script.
    void storedAsTheDriverStores_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::newRow("int") << QVariant(-7);
        QTest::newRow("bool") << QVariant(true);
        QTest::newRow("uint") << QVariant(4294967295u);
        QTest::newRow("long long") << QVariant(std::numeric_limits<qlonglong>::min());
        QTest::newRow("unsigned long long") << QVariant(std::numeric_limits<qulonglong>::max());
        QTest::newRow("double") << QVariant(-1234.5678e-9);
        QTest::newRow("NaN") << QVariant(NaN);
        QTest::newRow("float") << QVariant(1.25f);
        QTest::newRow("created") << QVariant(QStringLiteral("2026-03-02 08:00:00.123"));
        QTest::newRow("not ASCII") << QVariant(QString::fromUtf8("Датчик дыма ✓ 𝄞"));
        QTest::newRow("empty text") << QVariant(QLatin1String(""));
        QTest::newRow("null text") << QVariant(QString());
        QTest::newRow("bytes") << QVariant(QByteArray("\0\x01\xff", 3));
        QTest::newRow("invalid") << QVariant();
        QTest::newRow("date and time") << QVariant(QDateTime(QDate(2026, 3, 2), QTime(8, 0, 1, 2), Qt::UTC));
        QTest::newRow("time") << QVariant(QTime(23, 59, 58, 7));
    }
    void storedAsTheDriverStores()
    {
        QFETCH(QVariant, value);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("s.sqlite"));
        constexpr int Rows = SqliteHandler::ChunkRows + 1;
        {
            SqliteHandler handler;
            const QString name = handler.openDatabase(path);
            QVERIFY(handler.createTable(name, QStringLiteral("ours"), {QStringLiteral("v"), QStringLiteral("n INTEGER")}));
            for (int i = 0; i < Rows; ++i)
                QVERIFY(handler.insertValues(name, QStringLiteral("ours"), {QStringLiteral("v"), QStringLiteral("n")},
                                             {value, i}));
            QVERIFY(handler.commitValues());
        }
        Reader reader(path, true);
        QVERIFY(reader.exec(QStringLiteral("CREATE TABLE theirs (v)")));
        QSqlQuery insert(reader.db());
        QVERIFY(insert.prepare(QStringLiteral("INSERT INTO theirs (v) VALUES (?)")));
        insert.addBindValue(value);
        QVERIFY(insert.exec());
        const QList<QVariantList> theirs = reader.rows(QStringLiteral("SELECT typeof(v), quote(v) FROM theirs"));
        QCOMPARE(theirs.size(), 1);
        const QList<QVariantList> ours = reader.rows(QStringLiteral("SELECT typeof(v), quote(v), n FROM ours ORDER BY id"));
        QCOMPARE(ours.size(), Rows);
        for (int i = 0; i < Rows; ++i)
            QCOMPARE(ours.at(i), (QVariantList{theirs.first().at(0), theirs.first().at(1), i}));
    }

    // A session file is written in write-ahead mode under the name it is
    // given: a reader that never waits reads it during commits. Closed, it
    // is one file in the rollback journal again, unless another connection
    // still holds it.
    void sessionFiles_data()
    {
        QTest::addColumn<bool>("heldAtClose");
        QTest::newRow("alone at close") << false;
        QTest::newRow("held by a reader at close") << true;
    }
    void sessionFiles()
    {
        QFETCH(bool, heldAtClose);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("session-2.sqlite"));
        auto handler = std::make_unique<SqliteHandler>();
        QCOMPARE(handler->openSession(path, QStringLiteral("session")), QStringLiteral("session"));
        QCOMPARE(handler->filePath(QStringLiteral("session")), QFileInfo(path).canonicalFilePath());
        auto reader = std::make_unique<Reader>(path, false, 0);
        QCOMPARE(reader->value(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
        handler->createTable(QStringLiteral("session"), QStringLiteral("t"), valueDescriptions);
        for (int round = 1; round <= 20; ++round) {
            for (int i = 0; i < 500; ++i)
                handler->insertValues(QStringLiteral("session"), QStringLiteral("t"), valueColumns,
                                      {round, double(i), QStringLiteral("x")});
            // Between the commits, and in a transaction of its own across one.
            QCOMPARE(reader->count(QStringLiteral("t")), round == 1 ? -1 : (round - 1) * 500);
            QVERIFY(reader->exec(QStringLiteral("BEGIN")));
            QVERIFY(reader->count(QStringLiteral("sqlite_master")) >= 0);
            QVERIFY(handler->commitValues());
            QCOMPARE(reader->count(QStringLiteral("t")), round == 1 ? -1 : (round - 1) * 500);
            QVERIFY(reader->exec(QStringLiteral("COMMIT")));
        }
        QCOMPARE(reader->count(QStringLiteral("t")), 10000);
        if (!heldAtClose)
            reader.reset();
        handler.reset();
        QCOMPARE(QFileInfo::exists(path + QStringLiteral("-wal")), heldAtClose);
        reader.reset();
        Reader after(path);
        QCOMPARE(after.count(QStringLiteral("t")), 10000);
        QCOMPARE(after.value(QStringLiteral("PRAGMA journal_mode")).toString(),
                 heldAtClose ? QStringLiteral("wal") : QStringLiteral("delete"));
    }

    // Opening reads the schema at once: a file that is no database, a
    // damaged one, one that another process holds locked fail with SQLite's
    // reason and stay as they were.
    void badFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("random bytes") << "random" << "file is not a database";
        QTest::newRow("truncated") << "truncated" << "database disk image is malformed";
        QTest::newRow("locked by another process") << "locked" << "database is locked";
        QTest::newRow("missing folder") << "folder" << "unable to open database file";
    }
    void badFiles()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("bad.sqlite"));
        std::unique_ptr<HelperProcess> locker;
        if (kind == QLatin1String("random")) {
            QByteArray bytes;
            for (int i = 0; i < 8192; ++i)
                bytes += char((i * 7919 + 13) % 251);
            QVERIFY(writeFile(path, bytes));
        } else if (kind == QLatin1String("truncated")) {
            {
                Reader writer(path, true);
                QVERIFY(writer.exec(QStringLiteral("CREATE TABLE t (a TEXT)")));
                for (int i = 0; i < 200; ++i)
                    QVERIFY(writer.exec(QStringLiteral("INSERT INTO t VALUES ('%1')").arg(QString(200, QLatin1Char('x')))));
            }
            QVERIFY(writeFile(path, fileBytes(path).left(4096)));
        } else if (kind == QLatin1String("locked")) {
            {
                Reader writer(path, true);
                QVERIFY(writer.exec(QStringLiteral("CREATE TABLE t (a TEXT)")));
            }
            locker = HelperProcess::locking(path);
            QVERIFY(locker);
        } else {
            path = dir.filePath(QStringLiteral("no/such/folder/x.sqlite"));
        }
        const QByteArray before = fileBytes(path);

        SqliteHandler handler;
        MessageCapture log;
        QCOMPARE(handler.openDatabase(path), QString());
        QCOMPARE(handler.lastError(), reason);
        QCOMPARE(log.matching(QStringLiteral("^Error occured while database opened")).size(), 1);
        QVERIFY(!handler.contains(QStringLiteral("bad")));
        QCOMPARE(fileBytes(path), before);
        if (locker) {
            QVERIFY(locker->release());
            QCOMPARE(handler.openDatabase(path), QStringLiteral("bad"));
        }
    }

    // Copies keep the columns, take new ids and leave out rows at the
    // bounds; a present Device or UsedField row is not copied again.
    void backupCopies()
    {
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("session.sqlite"));
        const QString target = dir.filePath(QStringLiteral("backup_1.sqlite"));
        SqliteHandler handler;
        const QString from = handler.openDatabase(source);
        const QString to = handler.openDatabase(target);
        QCOMPARE(to, QStringLiteral("backup_1"));
        handler.createTable(from, QStringLiteral("t"), valueDescriptions);
        handler.createTable(from, QStringLiteral("Device"),
                            {QStringLiteral("type INTEGER"), QStringLiteral("serial INTEGER"),
                             QStringLiteral("created TEXT")});
        handler.createTable(from, QStringLiteral("UsedField"),
                            {QStringLiteral("device INTEGER"), QStringLiteral("name TEXT")});
        const QStringList times{QStringLiteral("2024-01-01 00:00:00.000"), QStringLiteral("2024-01-01 00:00:00.001"),
                                QStringLiteral("2024-01-02 00:00:00.000"), QStringLiteral("2024-01-03 00:00:00.000")};
        for (int i = 0; i < times.size(); ++i)
            handler.insertValues(from, QStringLiteral("t"), valueColumns, {i % 2 ? 5 : 6, double(i), times.at(i)});
        handler.insertValues(from, QStringLiteral("Device"),
                             {QStringLiteral("type"), QStringLiteral("serial"), QStringLiteral("created")},
                             {4, 5, times.first()});
        handler.insertValues(from, QStringLiteral("UsedField"), {QStringLiteral("device"), QStringLiteral("name")},
                             {5, QStringLiteral("t")});
        QVERIFY(handler.commitValues());

        QVERIFY(handler.backupTable(to, from, QStringLiteral("t"), valueDescriptions, times.at(0), times.at(3)));
        Reader reader(target);
        QCOMPARE(reader.rows(QStringLiteral("SELECT id, device, value, created FROM t")),
                 (QList<QVariantList>{{1, 5, 1.0, times.at(1)}, {2, 6, 2.0, times.at(2)}}));
        QVERIFY(handler.backupTable(to, from, QStringLiteral("t"), valueDescriptions, QString(), times.at(2)));
        QCOMPARE(reader.count(QStringLiteral("t")), 4);
        QVERIFY(handler.backupTable(to, from, QStringLiteral("t"), valueDescriptions, times.at(0), QString(),
                                    QStringLiteral("5")));
        QCOMPARE(reader.rows(QStringLiteral("SELECT id, device, value FROM t WHERE id > 4")),
                 (QList<QVariantList>{{5, 5, 1.0}, {6, 5, 3.0}}));

        const QStringList device{QStringLiteral("type INTEGER"), QStringLiteral("serial INTEGER"),
                                 QStringLiteral("created TEXT")};
        const QStringList used{QStringLiteral("device INTEGER"), QStringLiteral("name TEXT")};
        for (int round = 0; round < 2; ++round) {
            QVERIFY(handler.addDeviceToBackup(to, from, device, QStringLiteral("5")));
            QVERIFY(handler.addUsedFieldToBackup(to, from, used, QStringLiteral("5"), QStringLiteral("t")));
        }
        QCOMPARE(reader.rows(QStringLiteral("SELECT type, serial, created FROM Device")),
                 (QList<QVariantList>{{4, 5, times.first()}}));
        QCOMPARE(reader.rows(QStringLiteral("SELECT device, name FROM UsedField")),
                 (QList<QVariantList>{{5, QStringLiteral("t")}}));

        MessageCapture log;
        QVERIFY(!handler.backupTable(to, from, QStringLiteral("nope"), valueDescriptions));
        QCOMPARE(handler.lastError(), QStringLiteral("no such table: nope"));
        QVERIFY(handler.removeDatabase(to));
        QVERIFY(!handler.contains(to));
        QVERIFY(!handler.backupTable(to, from, QStringLiteral("t"), valueDescriptions));
    }
};

QTEST_MAIN(SqliteHandlerTest)
#include "tst_sqlitehandler.moc"
