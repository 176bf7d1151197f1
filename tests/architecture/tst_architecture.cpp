// The layers hold: no source under src/ includes a project header of a later
// library. Libraries are ranked bottom to top as src/CMakeLists.txt lists them;
// includes are bare file names, so a header's library is the folder that holds
// it, and a name held by two folders is itself an error.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Bottom to top. The two Bluetooth LE libraries stand apart below everything:
// they include nothing of the program, and the program's link layer may include
// their export declarations.
const QStringList &libraryOrder()
{
    static const QStringList order = {
        QStringLiteral("lookout"),
        QStringLiteral("tether"),
        QStringLiteral("base/core"),
        QStringLiteral("base/resources"),
        QStringLiteral("base/propertybrowser"),
        QStringLiteral("base/widgets"),
        QStringLiteral("base/dialogs"),
        QStringLiteral("base/panels"),
        QStringLiteral("base/network"),
        QStringLiteral("base/plot"),
        QStringLiteral("link/protocol"),
        QStringLiteral("link/queue"),
        QStringLiteral("link/discovery"),
        QStringLiteral("link/files"),
        QStringLiteral("link/simulation"),
        QStringLiteral("link/ble"),
        QStringLiteral("model/core"),
        QStringLiteral("model/devices"),
        QStringLiteral("model/master"),
        QStringLiteral("model/views"),
        QStringLiteral("connections"),
        QStringLiteral("firmware"),
        QStringLiteral("diagnostics"),
        QStringLiteral("database"),
        QStringLiteral("app"),
    };
    return order;
}

// The library a source folder belongs to: the longest listed prefix.
QString libraryOf(const QString &folder)
{
    QString best;
    for (const QString &lib : libraryOrder())
        if ((folder == lib || folder.startsWith(lib + QLatin1Char('/'))) && lib.size() > best.size())
            best = lib;
    return best;
}

struct Finding
{
    QStringList violations; // "file includes header (library)"
    QStringList problems;   // unlisted folders, names held twice
};

Finding checkTree(const QString &srcRoot)
{
    Finding out;
    const QDir root(srcRoot);
    QHash<QString, QString> headerLibrary; // file name -> library
    QStringList sources;
    QDirIterator it(srcRoot, {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = root.relativeFilePath(path);
        const QString folder = QFileInfo(rel).path();
        const QString lib = libraryOf(folder);
        if (lib.isEmpty()) {
            out.problems << QStringLiteral("%1: folder belongs to no listed library").arg(rel);
            continue;
        }
        sources << rel;
        if (rel.endsWith(QLatin1String(".h"))) {
            const QString name = QFileInfo(rel).fileName();
            const auto known = headerLibrary.constFind(name);
            if (known != headerLibrary.constEnd() && *known != lib)
                out.problems << QStringLiteral("%1: the name is also a header of %2").arg(rel, *known);
            headerLibrary.insert(name, lib);
        }
    }

    static const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s*[<\"]([^>\"]+)[>\"]"));
    for (const QString &rel : qAsConst(sources)) {
        const QString lib = libraryOf(QFileInfo(rel).path());
        const int rank = libraryOrder().indexOf(lib);
        QFile file(root.filePath(rel));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            out.problems << QStringLiteral("%1: unreadable").arg(rel);
            continue;
        }
        int lineNumber = 0;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine());
            ++lineNumber;
            const auto m = include.match(line);
            if (!m.hasMatch())
                continue;
            const QString name = QFileInfo(m.captured(1)).fileName();
            const auto target = headerLibrary.constFind(name);
            if (target == headerLibrary.constEnd())
                continue; // Qt, the standard library, generated files
            if (libraryOrder().indexOf(*target) > rank)
                out.violations << QStringLiteral("%1:%2 (%3) includes %4 of %5")
                                      .arg(rel).arg(lineNumber).arg(lib, name, *target);
        }
    }
    return out;
}

void writeFile(const QString &path, const QByteArray &text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
}

} // namespace

class ArchitectureTest : public QObject
{
    Q_OBJECT

private slots:
    void sourcesKeepTheLadder()
    {
        const Finding found = checkTree(QStringLiteral(SOURCE_DIR "/src"));
        QVERIFY2(found.problems.isEmpty(), qPrintable(found.problems.join(QLatin1Char('\n'))));
        QVERIFY2(found.violations.isEmpty(), qPrintable(found.violations.join(QLatin1Char('\n'))));
    }

    // Every library folder of the tree is one the ladder knows, in the order
    // src/CMakeLists.txt adds them.
    void ladderMatchesTheBuild()
    {
        QFile cmake(QStringLiteral(SOURCE_DIR "/src/CMakeLists.txt"));
        QVERIFY(cmake.open(QIODevice::ReadOnly | QIODevice::Text));
        static const QRegularExpression sub(QStringLiteral("^\\s*add_subdirectory\\(([^)\\s]+)\\)"));
        QStringList added;
        while (!cmake.atEnd()) {
            const auto m = sub.match(QString::fromUtf8(cmake.readLine()));
            if (m.hasMatch())
                added << m.captured(1);
        }
        QVERIFY(!added.isEmpty());
        int last = -1;
        for (const QString &lib : qAsConst(added)) {
            const int rank = libraryOrder().indexOf(lib);
            QVERIFY2(rank >= 0, qPrintable(lib + QStringLiteral(" is not on the ladder")));
            QVERIFY2(rank > last, qPrintable(lib + QStringLiteral(" is added out of order")));
            last = rank;
        }
    }

    // The check itself: a planted upward include, a name held twice and a
    // stray folder are each found; includes downward and of Qt are not.
    void checkerFindsWhatIsPlanted()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString src = dir.filePath(QStringLiteral("src"));
        writeFile(src + QStringLiteral("/base/core/settings.h"), "#pragma once\n#include <QString>\n");
        writeFile(src + QStringLiteral("/model/core/deviceitem.h"), "#pragma once\n#include \"settings.h\"\n");
        writeFile(src + QStringLiteral("/model/views/devicetablemodel.h"), "#pragma once\n#include \"deviceitem.h\"\n");
        Finding clean = checkTree(src);
        QVERIFY(clean.problems.isEmpty());
        QVERIFY(clean.violations.isEmpty());

        writeFile(src + QStringLiteral("/model/core/deviceitem.cpp"),
                  "#include \"deviceitem.h\"\n\n#include \"devicetablemodel.h\"\n");
        writeFile(src + QStringLiteral("/base/core/logging.cpp"), "# include <deviceitem.h>\n");
        const Finding planted = checkTree(src);
        QCOMPARE(planted.violations.size(), 2);
        QVERIFY(planted.violations.at(0).contains(QLatin1String("devicetablemodel.h of model/views"))
                || planted.violations.at(1).contains(QLatin1String("devicetablemodel.h of model/views")));
        QVERIFY(planted.violations.join(QLatin1Char(' ')).contains(QLatin1String("logging.cpp:1")));

        writeFile(src + QStringLiteral("/link/protocol/settings.h"), "#pragma once\n");
        writeFile(src + QStringLiteral("/scratch/x.h"), "#pragma once\n");
        const Finding twice = checkTree(src);
        QCOMPARE(twice.problems.size(), 2);
    }
};

QTEST_GUILESS_MAIN(ArchitectureTest)
#include "tst_architecture.moc"
