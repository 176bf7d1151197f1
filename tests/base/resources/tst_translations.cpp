// The Russian catalogue covers every text of the sources, consistently.
#include "appglobals.h"
#include "resources.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
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

// The calls whose text arguments reach the user: message boxes and the status bar.
const QRegularExpression &shownTextCall()
{
    static const QRegularExpression re(QStringLiteral(
        "\\b(showCriticalMessage|showInformationMessage|showWarningMessage|showWarningDetails|askQuestion|askUser|"
        "askChoice|askWarning|askPowerSave|showNonModalMessage|showMessage|QMessageBox\\s+\\w+|new\\s+QMessageBox)"
        "\\s*\\("));
    return re;
}

// Index just past the parenthesis that closes the one opened before `from`.
int closingParen(const QString &code, int from)
{
    int depth = 1;
    QChar quote;
    for (int i = from; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (!quote.isNull()) {
            if (c == QLatin1Char('\\'))
                ++i;
            else if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char('(')) {
            ++depth;
        } else if (c == QLatin1Char(')') && --depth == 0) {
            return i + 1;
        }
    }
    return int(code.size());
}

// The arguments without what goes through the translation system: tr(),
// translate(), the no-op markers and wrappers named tr<Something>().
QString untranslatedPart(const QString &arguments)
{
    static const QRegularExpression translating(
        QStringLiteral("\\b(tr|translate|trUtf8|tr[A-Z]\\w*|QT_TR_NOOP|QT_TRANSLATE_NOOP)\\s*\\("));
    QString rest;
    int at = 0;
    QRegularExpressionMatch m = translating.match(arguments, at);
    while (m.hasMatch()) {
        rest += arguments.mid(at, m.capturedStart() - at);
        at = closingParen(arguments, m.capturedEnd());
        m = translating.match(arguments, at);
    }
    return rest + arguments.mid(at);
}

// The literals with words that a shown text gets past tr(): format strings,
// date and time formats, markup and single letters pass.
QStringList untranslatedShownTexts(const QString &code)
{
    static const QRegularExpression literal(QStringLiteral("\"((?:[^\"\\\\]|\\\\.)*)\""));
    static const QRegularExpression noise(QStringLiteral("<[^>]*>|%\\d+|\\\\[ntr\"]"));
    static const QRegularExpression word(QStringLiteral("[A-Za-z]{2,}"));
    static const QRegularExpression timeFormat(QStringLiteral("^[dMyHhmszAap:. /-]+$"));
    QStringList found;
    QRegularExpressionMatchIterator calls = shownTextCall().globalMatch(code);
    while (calls.hasNext()) {
        const QRegularExpressionMatch call = calls.next();
        const int end = closingParen(code, call.capturedEnd());
        const QString rest = untranslatedPart(code.mid(call.capturedEnd(), end - call.capturedEnd()));
        QRegularExpressionMatchIterator literals = literal.globalMatch(rest);
        while (literals.hasNext()) {
            const QString text = literals.next().captured(1);
            const QString words = QString(text).remove(noise);
            if (words.contains(word) && !timeFormat.match(words).hasMatch())
                found << text;
        }
    }
    return found;
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

    // The scan below, on made-up lines: what it must find and what it must let pass.
    void shownTextScan_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("literal in a box") << QStringLiteral("showWarningMessage(QStringLiteral(\"Error loading firmware: %1\").arg(e), tr(\"T\"));")
                                          << QStringList{"Error loading firmware: %1"};
        QTest::newRow("plain literal title") << QStringLiteral("askQuestion(tr(\"Sure?\"), \"Confirm\", QMessageBox::Yes);")
                                             << QStringList{"Confirm"};
        QTest::newRow("translated") << QStringLiteral("askUser(tr(\"A (b)\"), QCoreApplication::translate(\"C\", \"D e\"), tr(\"F\"), b);")
                                    << QStringList();
        QTest::newRow("wrapper named tr...") << QStringLiteral("showWarningDetails(t, trDelegate(\"Can't change\"), x);")
                                             << QStringList();
        QTest::newRow("markup and format") << QStringLiteral("showCriticalMessage(QStringLiteral(\"<b>%1</b>\\n%2\").arg(a, b), t);")
                                           << QStringList();
        QTest::newRow("time format") << QStringLiteral("showCriticalMessage(tr(\"At %1\").arg(t.toString(QStringLiteral(\"HH:mm:ss\"))), x);")
                                     << QStringList();
        QTest::newRow("hand-built box") << QStringLiteral("QMessageBox box(QMessageBox::Warning, tr(\"W\"), QLatin1String(\"Bad text\"));")
                                        << QStringList{"Bad text"};
        QTest::newRow("status bar") << QStringLiteral("statusBar()->showMessage(QStringLiteral(\"Saved to %1\").arg(f));")
                                    << QStringList{"Saved to %1"};
        QTest::newRow("other calls") << QStringLiteral("qDebug() << QStringLiteral(\"Log line\"); setObjectName(\"name\");")
                                     << QStringList();
    }

    void shownTextScan()
    {
        QFETCH(QString, code);
        QFETCH(QStringList, found);
        QCOMPARE(untranslatedShownTexts(code), found);
    }

    // Every text handed to a message box or the status bar goes through tr().
    void shownTextsAreTranslated()
    {
        QStringList offenders;
        QDirIterator files(QStringLiteral(SOURCE_DIR "/src"), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                           QDir::Files, QDirIterator::Subdirectories);
        int scanned = 0;
        while (files.hasNext()) {
            QFile file(files.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            ++scanned;
            for (const QString &text : untranslatedShownTexts(QString::fromUtf8(file.readAll())))
                offenders << file.fileName() + QStringLiteral(": ") + text;
        }
        QVERIFY(scanned > 100);
        QVERIFY2(offenders.isEmpty(), qPrintable(offenders.join('\n')));
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
