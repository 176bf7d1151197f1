// Every window a technician opens lands wholly on the screen it opens on,
// however small the screen (the offscreen screen is 800 x 600), with its
// fields whole.
#include "actionopeners.h"
#include "appglobals.h"
#include "compositeupdate.h"
#include "customplotview.h"
#include "datetimerange.h"
#include "deviceclasses.h"
#include "diagnosticsrecords.h"
#include "devicerssiplot.h"
#include "diagnosticsopeners.h"
#include "hubroitem.h"
#include "mainwindow.h"
#include "masterlogreaderwidget.h"
#include "masternoise.h"
#include "masterstackusagedialog.h"
#include "registerdeviceclasses.h"
#include "registermasterclass.h"
#include "screenfit.h"
#include "settings.h"
#include "startup.h"
#include "sqlitedialog.h"
#include "sqliteview.h"
#include "testsupport.h"
#include "updatestatusdock.h"
#include "waitgenerating.h"
#include "windowtests.h"

#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QScopeGuard>
#include <QScreen>
#include <QTranslator>
#include <QTimeEdit>
#include <QtTest>
#include <qcustomplot.h>

#include <memory>

namespace {
template <class W>
W *shown()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<W *>(widget))
            if (window->isVisible())
                return window;
    }
    return nullptr;
}

void closeAll()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && !qobject_cast<MainWindow *>(widget))
            widget->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

deviceInfo_t record(quint8 radio, int type)
{
    deviceInfo_t info;
    info.radioAddress = radio;
    info.serialNumber = 600000u + radio;
    info.deviceType = quint8(type);
    info.linkState = 2;
    return info;
}

enum Road { RssiPlot, Noise, LogReader, StackUsage, Viewer, GraphSelection, DateRange, BatchWindow, ReportWait };
} // namespace

Q_DECLARE_METATYPE(Road)

class WindowPlacementTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        prepareWindowTests();
        registerDiagnosticsOpeners();
        appSettings.clear();
        window = std::make_unique<MainWindow>(QString());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QApplication::setActiveWindow(window.get());
        device.reset(createDeviceItem(record(5, 4), false));
        master.reset(createDeviceItem(record(0, 0), false));
    }

    void cleanupTestCase()
    {
        closeAll();
        window.reset();
        MainWindow::setDeviceSelection(nullptr);
    }

    void cleanup() { closeAll(); }

    void onTheScreen_data()
    {
        QTest::addColumn<Road>("road");
        QTest::newRow("RSSI plot") << RssiPlot;
        QTest::newRow("noise plot") << Noise;
        QTest::newRow("log reader") << LogReader;
        QTest::newRow("stack usage") << StackUsage;
        QTest::newRow("measurement viewer") << Viewer;
        QTest::newRow("graph selection") << GraphSelection;
        QTest::newRow("date range") << DateRange;
        QTest::newRow("batch window") << BatchWindow;
        QTest::newRow("report wait") << ReportWait;
    }

    void onTheScreen()
    {
        QFETCH(Road, road);
        QWidget *opened = open(road);
        QVERIFY(opened);
        QVERIFY(QTest::qWaitForWindowExposed(opened));
        const QRect screen = opened->screen()->availableGeometry();
        QVERIFY2(screen.contains(opened->frameGeometry()),
                 qPrintable(QStringLiteral("%1: %2,%3 %4x%5 on %6x%7")
                                .arg(opened->objectName())
                                .arg(opened->x())
                                .arg(opened->y())
                                .arg(opened->width())
                                .arg(opened->height())
                                .arg(screen.width())
                                .arg(screen.height())));
        QDir().mkpath(QStringLiteral(SCREENSHOT_DIR));
        QVERIFY(opened->grab().save(QStringLiteral(SCREENSHOT_DIR "/%1.png").arg(QTest::currentDataTag())));
    }

    // The date-range window shows its date and time fields whole.
    void dateFieldsWhole()
    {
        auto *range = static_cast<DateTimeRange *>(open(DateRange));
        QVERIFY(QTest::qWaitForWindowExposed(range));
        for (QAbstractSpinBox *field : range->findChildren<QAbstractSpinBox *>())
            QVERIFY2(field->width() >= field->sizeHint().width(), qPrintable(field->objectName()));
        QVERIFY(range->width() >= 400 && range->height() >= 220);
    }

    // The Russian interface: the RSSI graphs, the date-range window, the log
    // reader's times and the RSSI file's title in Russian.
    void russianInterface()
    {
        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral(":/tr/tandrel_ru")));
        QCoreApplication::installTranslator(&translator);
        const QLocale before;
        QLocale::setDefault(languageLocale(QStringLiteral("russian")));
        const auto restore = qScopeGuard([&translator, before] {
            QCoreApplication::removeTranslator(&translator);
            QLocale::setDefault(before);
        });

        ActionOpeners::open(DeviceItem::PlotRssiAction, device.get());
        auto *plot = shown<DeviceRSSIPlot>();
        QVERIFY(plot);
        auto *graphs = plot->findChild<QCustomPlot *>();
        QVERIFY(graphs);
        QStringList names;
        for (int g = 0; g < graphs->graphCount(); ++g)
            names << graphs->graph(g)->name();
        QCOMPARE(names, (QStringList{QStringLiteral("RSSI, измеренный устройством"),
                                     QStringLiteral("RSSI, измеренный мастером"), QStringLiteral("Шум"),
                                     QStringLiteral("Максимальный шум"), QStringLiteral("Смещение частоты"),
                                     QStringLiteral("Сигнал/шум")}));
        const QString csv = CustomPlotView::csvText(graphs, QDateTime(QDate(2026, 3, 16), QTime(22, 2, 24)));
        QVERIFY2(csv.startsWith(QStringLiteral("# Журнал RSSI. Дата: пн мар. 16 22:02:24 2026\n")), qPrintable(csv.left(60)));
        plot->close();

        DateTimeRange range(nullptr, QDir::tempPath());
        range.setStartDate(QDate(2026, 1, 2));
        QCOMPARE(range.findChild<QDateEdit *>(QStringLiteral("deStart"))->text(), QStringLiteral("02.01.2026"));
        QCOMPARE(range.windowTitle(), QStringLiteral("Сохранение измерений"));

        QCOMPARE(localeTextDate(QDateTime(QDate(2024, 3, 16), QTime(22, 2, 24))),
                 QStringLiteral("сб мар. 16 22:02:24 2024"));
    }

private:
    QWidget *open(Road road)
    {
        switch (road) {
        case RssiPlot:
            ActionOpeners::open(DeviceItem::PlotRssiAction, device.get());
            return shown<DeviceRSSIPlot>();
        case Noise:
            ActionOpeners::open(HubroItem::PlotNoiseAction, master.get());
            return shown<MasterNoise>();
        case LogReader:
            ActionOpeners::open(HubroItem::LogReaderAction, master.get());
            return shown<MasterLogReaderWidget>();
        case StackUsage:
            ActionOpeners::open(HubroItem::StackUsageAction, master.get());
            return shown<MasterStackUsageDialog>();
        case Viewer:
            window->findChild<QAction *>(QStringLiteral("acShowMeasurements"))->trigger();
            return shown<SQLiteView>();
        case GraphSelection:
            if (SQLiteView *viewer = static_cast<SQLiteView *>(open(Viewer))) {
                viewer->openDialog();
                return shown<SQLiteDialog>();
            }
            return nullptr;
        case DateRange: {
            // As the viewer's save command makes it.
            auto *range = new DateTimeRange(nullptr, QDir::tempPath());
            range->setStartDate(QDate(2026, 1, 2));
            range->setEndDate(QDate(2026, 3, 4));
            fitOnScreen(range, window.get());
            range->show();
            return range;
        }
        case BatchWindow: {
            auto *dock = window->findChild<UpdateStatusDock *>();
            return dock ? dock->openCompositeUpdateWidget() : nullptr;
        }
        case ReportWait: {
            // As the report command makes it.
            auto *wait = new WaitGenerating(60000);
            fitOnScreen(wait, window.get());
            wait->show();
            return wait;
        }
        }
        return nullptr;
    }

    std::unique_ptr<MainWindow> window;
    std::unique_ptr<DeviceItem> device;
    std::unique_ptr<DeviceItem> master;
};

QTEST_MAIN(WindowPlacementTest)
#include "tst_windowplacement.moc"
