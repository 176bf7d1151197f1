// The Russian catalogue covers every text of the sources, consistently.
#include "appglobals.h"
#include "resources.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

namespace {
struct Message
{
    QString context, source, comment, translation;
    bool finished = true;
};

QVector<Message> readTs(const QString &path)
{
    QVector<Message> out;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return out;
    QXmlStreamReader xml(&f);
    QString context;
    Message m;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const auto name = xml.name();
        if (name == QLatin1String("name"))
            context = xml.readElementText();
        else if (name == QLatin1String("message"))
            m = Message{context, {}, {}, {}, true};
        else if (name == QLatin1String("source"))
            m.source = xml.readElementText();
        else if (name == QLatin1String("comment"))
            m.comment = xml.readElementText();
        else if (name == QLatin1String("translation")) {
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            m.finished = type.isEmpty();
            m.translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            out << m;
        }
    }
    return out;
}

QString key(const Message &m)
{
    return m.context + QChar(0) + m.source + QChar(0) + m.comment;
}
} // namespace

class TranslationsTest : public QObject
{
    Q_OBJECT
    QString tsPath = QStringLiteral(SOURCE_DIR "/src/base/resources/translations/tandrel_ru.ts");

private slots:
    void everySourceTextIsTranslated()
    {
        QTemporaryDir dir;
        const QString fresh = dir.filePath(QStringLiteral("fresh_ru.ts"));
        QProcess lupdate;
        lupdate.start(QStringLiteral(LUPDATE_PATH),
                      {QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none"),
                       QStringLiteral(SOURCE_DIR "/src"), QStringLiteral("-ts"), fresh});
        QVERIFY(lupdate.waitForFinished(120000));
        QCOMPARE(lupdate.exitCode(), 0);

        QHash<QString, Message> committed;
        for (const Message &m : readTs(tsPath))
            committed.insert(key(m), m);

        QStringList missing;
        const QVector<Message> needed = readTs(fresh);
        QVERIFY(!needed.isEmpty());
        for (const Message &m : needed) {
            const auto it = committed.constFind(key(m));
            if (it == committed.constEnd() || !it->finished || it->translation.isEmpty())
                missing << m.context + QStringLiteral(": ") + m.source;
        }
        QVERIFY2(missing.isEmpty(),
                 qPrintable(QStringLiteral("run scripts/update-translations and translate:\n") + missing.join('\n')));
    }

    void sameTextSameTranslation()
    {
        QHash<QString, QString> seen;
        QStringList clashes;
        for (const Message &m : readTs(tsPath)) {
            if (!m.finished)
                continue;
            const QString k = m.source + QChar(0) + m.comment;
            const auto it = seen.constFind(k);
            if (it == seen.constEnd())
                seen.insert(k, m.translation);
            else if (*it != m.translation)
                clashes << m.source;
        }
        QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join('\n')));
    }

    void embeddedCatalogues()
    {
        initTandrelResources();
        QTranslator qtbaseRu, qtbaseEn, app;
        QVERIFY(qtbaseRu.load(QStringLiteral(":/tr/qtbase_ru_RU")));
        QVERIFY(qtbaseEn.load(QStringLiteral(":/tr/qtbase_en_US")));
        QVERIFY(app.load(QStringLiteral(":/tr/tandrel_ru")));
        QCoreApplication::installTranslator(&app);
        QCOMPARE(QCoreApplication::translate("main", "Zentar Configurator"), QStringLiteral("Конфигуратор Zentar"));
        // Model names read the same in both languages.
        registerDeviceModelNames();
        QCOMPARE(deviceModelNames.at(19), QStringLiteral("Water meter"));
        QCOMPARE(deviceModelNames.at(1), QStringLiteral("Zentar-HUBRO32-MK2"));
        QCoreApplication::removeTranslator(&app);
    }
};

QTEST_GUILESS_MAIN(TranslationsTest)
#include "tst_translations.moc"
