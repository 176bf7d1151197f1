// From Add in the graph selection dialog until the points are drawn, on a
// database of N rows (default 1 000 000) in one value table, half of them
// for the graph's device:
//
//   1. the session way: the viewer's collector in a thread of its own;
//   2. the file way: the same database opened as a file in the viewer.
//
// Each way prints the time from Add until graphAdded and until the replot
// after it is done, and the GUI thread's longest busy stretch meanwhile
// (the longest gap between the beats of a 1 ms timer). The floor is measured
// in the same run: the bare query of those rows through Qt's SQLite driver
// into variants. Goal: under 0.5 s each way, the GUI thread never busy for
// more than 100 ms at once.
//
// Then the session way's graph is polled (passes 200 ms apart, the view
// following the time axis) while new rows of its device arrive: each pass's
// time from its start until its rows are drawn, and the GUI thread's longest
// busy stretch over the passes.
//
// The value table has the index the collector gives the tables it makes
// (device, created, value); --no-index leaves it out, as in files written
// before.
//
//   bench_graphs [--rows N] [--passes P] [--no-index]
//
// Ends with "result: <the slower of the two ways> ms".

#include "../database/measurementfile.h"
#include "../database/measurementfixture.h"
#include "appglobals.h"
#include "benchstats.h"
#include "deviceinfocollector.h"
#include "deviceitem.h"
#include "sqlitedialog.h"
#include "sqliteview.h"
#include "uiseams.h"

#include <QApplication>
#include <QCheckBox>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <qcustomplot.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

constexpr quint32 GraphSerial = 101;

double elapsed(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

// The longest gap between beats of a 1 ms timer on the GUI thread.
class BusyMeter : public QObject
{
public:
    BusyMeter()
    {
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] {
            const double now = elapsed(m_clock);
            m_longest = std::max(m_longest, now - m_last);
            m_last = now;
        });
    }
    void start()
    {
        m_clock.start();
        m_last = 0.0;
        m_longest = 0.0;
        m_timer.start();
    }
    double stop()
    {
        m_timer.stop();
        return std::max(m_longest, elapsed(m_clock) - m_last);
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    double m_last = 0.0;
    double m_longest = 0.0;
};

template <typename Predicate>
bool waitFor(Predicate done, int ms = 60000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

QListWidgetItem *itemWithText(QListWidget *list, const QString &text)
{
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->text() == text && !list->item(row)->isHidden())
            return list->item(row);
    }
    return nullptr;
}

struct Way
{
    double added = -1.0;
    double drawn = -1.0;
    double busy = -1.0;
};

// Ticks the one parameter in the viewer's open dialog, presses Add and
// times the rest.
Way addAndTime(SQLiteView &view, const QString &title)
{
    Way way;
    SQLiteDialog *dialog = view.dialog();
    if (!dialog)
        return way;
    auto *types = dialog->findChild<QListWidget *>(QStringLiteral("lwType"));
    auto *serials = dialog->findChild<QListWidget *>(QStringLiteral("lwSerial"));
    auto *parameters = dialog->findChild<QListWidget *>(QStringLiteral("lwParameter"));
    if (!waitFor([&] { return parameters->count() >= 1 && parameters->isEnabled(); }))
        return way;
    types->setCurrentRow(0);
    itemWithText(serials, QString::number(GraphSerial))->setSelected(true);
    itemWithText(parameters, title)->setCheckState(Qt::Checked);

    bool added = false;
    bool drawn = false;
    QElapsedTimer timer;
    auto a = QObject::connect(&view, &SQLiteView::graphAdded, [&] {
        way.added = elapsed(timer);
        added = true;
    });
    auto d = QObject::connect(view.plot(), &QCustomPlot::afterReplot, [&] {
        if (added && !drawn) {
            way.drawn = elapsed(timer);
            drawn = true;
        }
    });
    BusyMeter busy;
    busy.start();
    timer.start();
    dialog->findChild<QPushButton *>(QStringLiteral("pbAdd"))->click();
    waitFor([&] { return drawn; });
    way.busy = busy.stop();
    QObject::disconnect(a);
    QObject::disconnect(d);
    dialog->close();
    return way;
}

// Polls the view's graph `passes` times, about 200 ms apart, while the view
// follows the time axis, with 10 new rows of its device (one a second from
// `next`) written before each pass; the time of each pass from its start
// until its rows are drawn.
std::vector<double> pollAndTime(SQLiteView &view, const QString &path, const QString &key, qint64 next, int passes,
                                double *busiest)
{
    std::vector<double> times;
    auto *polling = view.findChild<QCheckBox *>(QStringLiteral("cbDatabasePolling"));
    if (!view.plot()->graphCount() || !polling || !polling->isEnabled())
        return times;
    QCPGraph *graph = view.plot()->graph(0);
    // The passes come from here rather than from the 30 s poll timer.
    view.setPollInterval(3600000);
    polling->setChecked(true);
    BusyMeter busy;
    busy.start();
    for (int pass = 0; pass < passes; ++pass) {
        // Written by a thread of its own, so that the GUI thread's figures are the view's.
        std::atomic<bool> written{false};
        std::thread write([&] {
            MeasurementFile writer(path);
            writer.addSeries(key, GraphSerial, next, 10, [](int i) { return QVariant(double(i)); });
            written = true;
        });
        waitFor([&] { return written.load(); });
        write.join();
        next += 10;
        const int before = graph->data()->size();
        waitFor([] { return false; }, 200);
        bool drawn = false;
        auto d = QObject::connect(view.plot(), &QCustomPlot::afterReplot, [&] {
            if (graph->data()->size() >= before + 10)
                drawn = true;
        });
        QElapsedTimer timer;
        timer.start();
        view.pollNow();
        const bool done = waitFor([&] { return drawn; }, 10000);
        QObject::disconnect(d);
        if (!done)
            break;
        times.push_back(elapsed(timer));
        waitFor([&] { return view.updateIndex() < 0; }, 5000);
    }
    *busiest = busy.stop();
    polling->setChecked(false);
    return times;
}

void print(const char *name, const Way &way)
{
    std::printf("%-8s graphAdded %8.1f ms   drawn %8.1f ms   GUI thread busiest %6.1f ms\n", name, way.added,
                way.drawn, way.busy);
}

// The rows of the graph's device through Qt's SQLite driver into variants.
double bareQuery(const QString &path, const QString &key, const QString &connection)
{
    double ms = 0.0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        db.open();
        QElapsedTimer timer;
        timer.start();
        QSqlQuery query(db);
        query.setForwardOnly(true);
        query.prepare(QStringLiteral("SELECT created, value FROM \"%1\" WHERE device = ?").arg(key));
        query.addBindValue(qlonglong(GraphSerial));
        query.exec();
        QVector<QVariant> created;
        QVector<QVariant> values;
        while (query.next()) {
            created.append(query.value(0));
            values.append(query.value(1));
        }
        ms = elapsed(timer);
    }
    QSqlDatabase::removeDatabase(connection);
    return ms;
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home;
    useBenchHome(home);
    QApplication app(argc, argv);
    qInstallMessageHandler(discardMessage);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("rows"), QStringLiteral("Rows of the value table (half for the graph)."),
                      QStringLiteral("n"), QStringLiteral("1000000")});
    parser.addOption({QStringLiteral("passes"), QStringLiteral("Polling passes measured."), QStringLiteral("p"),
                      QStringLiteral("10")});
    parser.addOption({QStringLiteral("no-index"), QStringLiteral("No index on the value table.")});
    parser.process(app);
    const int Rows = qMax(2, parser.value(QStringLiteral("rows")).toInt()) / 2 * 2;
    const int passes = qMax(1, parser.value(QStringLiteral("passes")).toInt());
    registerDeviceModelNames();
    const QString key = DeviceItem::fieldNamesForType(4).at(0);
    const QString title = DeviceItem::parameterTitleForType(4, key);

    const QString path = home.filePath(QStringLiteral("measurements.sqlite"));
    const qint64 start = QDateTime::currentSecsSinceEpoch() - Rows;
    {
        MeasurementFile file(path);
        file.addDevice(4, GraphSerial);
        file.addDevice(4, GraphSerial + 1);
        // Two devices, half the rows each.
        file.addSeries(key, GraphSerial, start, Rows / 2, [](int i) { return QVariant(std::sin(i / 500.0) * 40.0); });
        file.addSeries(key, GraphSerial + 1, start, Rows / 2, [](int i) { return QVariant(i % 100); });
        if (!parser.isSet(QStringLiteral("no-index")))
            file.exec(QStringLiteral("CREATE INDEX \"%1 by device and created and value\" ON \"%1\" "
                                     "(device, created, value)")
                          .arg(key));
    }
    std::printf("database: %d rows in one value table, %d for the graph's device, %s\n", Rows, Rows / 2,
                parser.isSet(QStringLiteral("no-index")) ? "no index" : "indexed as the collector indexes its tables");

    // A first read in a thread of its own warms the caches and the
    // allocator the way a collector's thread finds them; then the floor.
    {
        QThread warm;
        QObject::connect(&warm, &QThread::started, &warm, [&] {
            bareQuery(path, key, QStringLiteral("warm"));
            warm.quit();
        }, Qt::DirectConnection);
        warm.start();
        warm.wait();
    }
    const double floor = bareQuery(path, key, QStringLiteral("floor"));
    std::printf("floor    bare query of %d rows   %8.1f ms\n", Rows / 2, floor);

    // 1. The session way, then polling its graph.
    Way session;
    std::vector<double> passTimes;
    double pollBusy = -1.0;
    {
        QThread thread;
        auto *collector = new DeviceInfoCollector;
        collector->moveToThread(&thread);
        QObject::connect(&thread, &QThread::finished, collector, &QObject::deleteLater);
        thread.start();
        QMetaObject::invokeMethod(collector, "openDatabase", Qt::BlockingQueuedConnection, Q_ARG(QString, path));
        {
            const auto device = radioDevice(4, GraphSerial);
            SQLiteView view(collector);
            view.setAttribute(Qt::WA_DeleteOnClose, false);
            view.setDevices(QList<DeviceItem *>{device.get()});
            view.resize(1440, 800);
            view.show();
            view.openDialog();
            session = addAndTime(view, title);
            passTimes = pollAndTime(view, path, key, start + Rows / 2, passes, &pollBusy);
        }
        thread.quit();
        thread.wait();
    }
    print("session", session);
    if (passTimes.empty()) {
        std::printf("polling  no pass ended\n");
    } else {
        std::sort(passTimes.begin(), passTimes.end());
        std::printf("polling  %d passes of the %d-point graph, new rows each: pass min %.1f / median %.1f / max %.1f ms"
                    "   GUI thread busiest %6.1f ms\n",
                    int(passTimes.size()), Rows / 2, passTimes.front(), passTimes[passTimes.size() / 2],
                    passTimes.back(), pollBusy);
    }

    // 2. The file way.
    Way file;
    {
        UiSeams::setFileDialogHook([&](const UiSeams::FileDialogRequest &) { return QStringList{path}; });
        SQLiteView view(nullptr);
        view.setAttribute(Qt::WA_DeleteOnClose, false);
        view.resize(1440, 800);
        view.show();
        view.findChild<QPushButton *>(QStringLiteral("pbOpen"))->click();
        file = addAndTime(view, title);
        UiSeams::setFileDialogHook({});
    }
    print("file", file);

    std::printf("goal: under 500 ms each way, the GUI thread busy at most 100 ms at once; the floor above is the "
                "driver's share\n");
    std::printf("result: %.0f ms\n", std::max(session.drawn, file.drawn));
    return 0;
}
