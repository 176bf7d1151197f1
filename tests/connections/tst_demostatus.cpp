// The bundled demo tells one story per device: the simulation's and the
// configuration file's devices, in English and in Russian, have a status text
// that agrees with the row's colour and with the marks of its property rows;
// no part of a status says the same thing twice and no title stands without
// its value.
#include "connectionfixture.h"
#include "deviceitem.h"
#include "fileconnection.h"
#include "qtpropertybrowser.h"
#include "simulatedconnection.h"

#include <QColor>
#include <QRegularExpression>
#include <QTranslator>
#include <QtTest>

#include <memory>

namespace {
const QColor AlarmColour(255, 180, 180);
const QColor FaultColour(255, 234, 173);
const QColor OfflineColour(210, 210, 210);

// Every property of the item's tree, groups and their rows.
QList<QtProperty *> treeRows(const DeviceItem &item)
{
    QList<QtProperty *> rows;
    QList<QtProperty *> pending = item.data(DeviceRole::TopProperties).value<QList<QtProperty *>>();
    while (!pending.isEmpty()) {
        QtProperty *property = pending.takeFirst();
        rows << property;
        pending << property->subProperties();
    }
    return rows;
}

// The parts of a status text: separated by commas or by the wide gaps some
// models put between their parts.
QStringList statusParts(const QString &status)
{
    QStringList parts;
    for (const QString &part : status.split(QRegularExpression(QStringLiteral(",\\s*|\\s{3,}"))))
        if (!part.trimmed().isEmpty())
            parts << part.trimmed();
    return parts;
}

// What is wrong with one device's row; empty when it agrees with itself.
QStringList disagreements(const DeviceItem &item)
{
    const QString normal = QCoreApplication::translate("DeviceItem", "Normal");
    const QString noAlarm = QCoreApplication::translate("DI_Fotra", "No alarm");
    const QString status = item.data(DeviceRole::StatusText).toString();
    const QStringList parts = statusParts(status);
    const QColor colour = item.data(Qt::BackgroundRole).value<QColor>();
    QStringList found;

    if (!item.isOnline()) {
        // A device that does not answer shows nothing of a state it has not reported.
        if (colour != OfflineColour)
            found << QStringLiteral("offline, painted %1").arg(colour.name());
        return found;
    }
    if ((colour == AlarmColour || colour == FaultColour) && parts.contains(normal))
        found << QStringLiteral("painted %1 but reads \"%2\"").arg(colour.name(), normal);
    if (colour == AlarmColour && parts.contains(noAlarm))
        found << QStringLiteral("painted for an alarm but reads \"%1\"").arg(noAlarm);
    for (QtProperty *row : treeRows(item)) {
        if (!(item.propertyLevel(row) & DeviceItem::MarkAlarm))
            continue;
        if (parts.contains(normal) || parts.contains(noAlarm))
            found << QStringLiteral("row \"%1\" shows an alarm, the status none").arg(row->propertyName());
    }
    for (const QString &part : parts)
        if (parts.count(part) > 1 && !found.contains(QStringLiteral("\"%1\" twice").arg(part)))
            found << QStringLiteral("\"%1\" twice").arg(part);
    if (status.contains(QRegularExpression(QStringLiteral(":\\s*(,|$)"))))
        found << QStringLiteral("a title without its value");
    if (status.contains(QRegularExpression(QStringLiteral("^\\s*,|,\\s*,|,\\s*$|\\s$"))))
        found << QStringLiteral("an empty part");
    return found;
}
} // namespace

class DemoStatusTest : public QObject
{
    Q_OBJECT

    QTemporaryDir copies;

private slots:
    void initTestCase()
    {
        prepareConnectionTests();
        QVERIFY(copies.isValid());
    }

    void statusAgreesWithColourAndRows_data()
    {
        QTest::addColumn<QString>("example");
        QTest::addColumn<QString>("language");
        for (const char *example : {"demo.sim", "demo.conf"})
            for (const char *language : {"english", "russian"})
                QTest::newRow(qPrintable(QStringLiteral("%1 in %2").arg(example, language)))
                    << QString::fromLatin1(example) << QString::fromLatin1(language);
    }
    void statusAgreesWithColourAndRows()
    {
        QFETCH(QString, example);
        QFETCH(QString, language);

        // The texts are taken when the items are made: the language comes first.
        QTranslator russian;
        if (language == QLatin1String("russian")) {
            QVERIFY(russian.load(QStringLiteral(":/tr/tandrel_ru")));
            QCoreApplication::installTranslator(&russian);
        }
        const QString path = copiedInto(copies, QStringLiteral(TANDREL_EXAMPLES_DIR "/") + example);
        QVERIFY(!path.isEmpty());
        std::unique_ptr<Connection> connection;
        if (example.endsWith(QLatin1String(".sim"))) {
            connection = std::make_unique<SimulatedConnection>();
            QVERIFY(connection->connectToMaster(Simulation, path, MasterOrdinary));
        } else {
            connection = std::make_unique<FileConnection>();
            QVERIFY(connection->connectToMaster(File, path, MasterOrdinary));
        }
        QVERIFY(connection->devices().size() > 30);

        QStringList failures;
        for (DeviceItem *item : connection->devices())
            for (const QString &what : disagreements(*item))
                failures << QStringLiteral("%1 %2 (\"%3\"): %4")
                                .arg(item->deviceId())
                                .arg(item->itemTypeName(), item->data(DeviceRole::StatusText).toString(), what);
        QVERIFY(connection->disconnectFromMaster());
        QCoreApplication::removeTranslator(&russian);
        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(DemoStatusTest)
#include "tst_demostatus.moc"
