// The main window as a new user meets it: the property window shows titles
// and values side by side at the dock's first width and after the user
// narrows and widens it; the device tree keeps readable columns under the
// device filter.
#include "appglobals.h"
#include "mainwindow.h"
#include "qttreepropertybrowser.h"
#include "registerdeviceclasses.h"
#include "registermasterclass.h"
#include "settings.h"
#include "testsupport.h"
#include "windowtests.h"

#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

namespace {
void saveScreenshot(QWidget *widget, const QString &name)
{
    QDir().mkpath(QStringLiteral(SCREENSHOT_DIR));
    QVERIFY(widget->grab().save(QStringLiteral(SCREENSHOT_DIR "/") + name));
}

// What a person sees of the property window's two columns.
struct Columns
{
    int titles = 0, values = 0, viewport = 0, titleHint = 0;
    bool scrolls = false;
};

Columns columnsOf(QtTreePropertyBrowser *browser)
{
    QTreeWidget *tree = browser->treeWidget();
    const QAbstractItemView *rows = tree;
    Columns c;
    c.titles = tree->header()->sectionSize(0);
    c.values = tree->header()->sectionSize(1);
    c.viewport = tree->viewport()->width();
    c.titleHint = rows->sizeHintForColumn(0);
    c.scrolls = tree->horizontalScrollBar()->maximum() > 0;
    return c;
}

// The window on a copy of the demo configuration file, with fresh settings,
// once it shows a device's properties.
void openFirstTime(const QTemporaryDir &folder, std::unique_ptr<MainWindow> &window)
{
    appSettings.clear();
    const QString demo = folder.filePath(QStringLiteral("demo.conf"));
    QVERIFY(QFile::copy(QStringLiteral(TANDREL_EXAMPLES_DIR "/demo.conf"), demo));
    QFile::setPermissions(demo, QFile::ReadOwner | QFile::WriteOwner);
    window = std::make_unique<MainWindow>(demo);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTRY_VERIFY(window->propertyWindowItem());
}

QString describe(const Columns &c)
{
    return QStringLiteral("titles %1 (want %2), values %3, viewport %4, scrolls %5")
        .arg(c.titles)
        .arg(c.titleHint)
        .arg(c.values)
        .arg(c.viewport)
        .arg(c.scrolls);
}
} // namespace

class WindowLayoutTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        prepareWindowTests();
    }
    void cleanupTestCase() { MainWindow::setDeviceSelection(nullptr); }

    // A configuration file opened with fresh settings: titles whole and the
    // values beside them, also after the user narrows and widens the dock.
    void propertyColumnsFromTheFirstStart()
    {
        QTemporaryDir folder;
        std::unique_ptr<MainWindow> window;
        openFirstTime(folder, window);
        QVERIFY(window && window->propertyWindowItem());
        QtTreePropertyBrowser *browser = window->propertyTreeBrowser();
        auto *dock = window->findChild<QDockWidget *>(QStringLiteral("propertiesDock"));
        const auto readable = [browser] {
            const Columns c = columnsOf(browser);
            return c.titles >= c.titleHint && c.values >= c.viewport / 3 && !c.scrolls;
        };
        QTRY_VERIFY2(readable(), qPrintable(describe(columnsOf(browser))));
        saveScreenshot(window.get(), QStringLiteral("properties-first-start.png"));

        // The window's own fitting of the first start has run.
        for (int turn = 0; turn < 3; ++turn)
            QCoreApplication::processEvents();
        QVERIFY2(readable(), qPrintable(describe(columnsOf(browser))));
        const int firstWidth = dock->width();
        window->resizeDocks({dock}, {220}, Qt::Horizontal);
        // Narrow: the values keep their third, nothing hides behind a scroll bar.
        QTRY_VERIFY2(dock->width() < firstWidth && columnsOf(browser).values >= columnsOf(browser).viewport / 3
                         && !columnsOf(browser).scrolls,
                     qPrintable(describe(columnsOf(browser))));
        saveScreenshot(dock, QStringLiteral("properties-narrow.png"));
        window->resizeDocks({dock}, {firstWidth}, Qt::Horizontal);
        QTRY_VERIFY2(readable(), qPrintable(describe(columnsOf(browser))));
    }

    // Table and tree: the device columns are as wide as their titles and
    // rows, and a device filter does not narrow them.
    void deviceColumnsUnderAFilter_data()
    {
        QTest::addColumn<int>("viewMode");
        QTest::newRow("table") << 1;
        QTest::newRow("tree") << 2;
    }

    void deviceColumnsUnderAFilter()
    {
        QFETCH(int, viewMode);
        QTemporaryDir folder;
        std::unique_ptr<MainWindow> window;
        openFirstTime(folder, window);
        QVERIFY(window && window->propertyWindowItem());
        window->findChild<QComboBox *>(QStringLiteral("cbViewMode"))->setCurrentIndex(viewMode);
        auto *view = window->findChild<QTreeView *>(QStringLiteral("treeView"));
        view->expandAll();
        QHeaderView *header = view->header();
        const QAbstractItemView *rows = view;
        const auto fitted = [header, rows] {
            for (int section = 0; section < 6; ++section) {
                if (header->sectionSize(section)
                    < std::max(rows->sizeHintForColumn(section), header->sectionSizeHint(section)))
                    return false;
            }
            return true;
        };
        QTRY_VERIFY(fitted());
        QVector<int> widths;
        for (int section = 0; section < 6; ++section)
            widths << header->sectionSize(section);

        auto *filter = window->findChild<QLineEdit *>(QStringLiteral("leFilter"));
        for (const QString &text : {QStringLiteral("TIRUN"), QStringLiteral("no such device"), QString()}) {
            filter->setText(text);
            view->expandAll();
            QTRY_VERIFY(fitted());
            for (int section = 0; section < 6; ++section)
                QVERIFY2(header->sectionSize(section) >= widths.at(section),
                         qPrintable(QStringLiteral("%1: column %2 is %3 px, was %4")
                                        .arg(text)
                                        .arg(section)
                                        .arg(header->sectionSize(section))
                                        .arg(widths.at(section))));
            if (text == QLatin1String("TIRUN"))
                saveScreenshot(view, QStringLiteral("devices-filtered-%1.png").arg(viewMode));
        }
    }
};

QTEST_MAIN(WindowLayoutTest)
#include "tst_windowlayout.moc"
