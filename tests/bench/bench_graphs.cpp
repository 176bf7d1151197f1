// From Add in the graph selection dialog until the points are drawn, on a
// database of 1 000 000 rows in one value table, 500 000 of them for the
// graph's device:
//
//   1. the session way: the viewer's collector in a thread of its own;
//   2. the file way: the same database opened as a file in the viewer.
//
// Each way prints the time from Add until graphAdded and until the replot
// after it is done, and the GUI thread's longest busy stretch meanwhile
// (the longest gap between the beats of a 1 ms timer). The floor is measured
// in the same run: the bare query of those rows through Qt's SQLite driver
// into variants, as the collector reads them. Goal: under 0.5 s each way.
//
// Ends with "result: <the slower of the two ways> ms".

#include "../database/measurementfile.h"
#include "appglobals.h"
#include "benchstats.h"
#include "deviceinfocollector.h"
#include "deviceitem.h"
#include "sqlitedialog.h"
#include "sqliteview.h"
#include "uiseams.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <qcustomplot.h>

#include <cstdio>

namespace {

constexpr int Rows = 1000000;
constexpr quint32 Serial = 101;

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
    itemWithText(serials, QString::number(Serial))->setSelected(true);
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
        query.addBindValue(qlonglong(Serial));
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
    registerDeviceModelNames();
    const QString key = DeviceItem::fieldNamesForType(4).at(0);
    const QString title = DeviceItem::parameterTitleForType(4, key);

    const QString path = home.filePath(QStringLiteral("measurements.sqlite"));
    {
        MeasurementFile file(path);
        file.addDevice(4, Serial);
        file.addDevice(4, Serial + 1);
        const qint64 start = QDateTime::currentSecsSinceEpoch() - Rows;
        // Two devices interleaved second by second: half the rows each.
        file.addSeries(key, Serial, start, Rows / 2, [](int i) { return QVariant(std::sin(i / 500.0) * 40.0); });
        file.addSeries(key, Serial + 1, start, Rows / 2, [](int i) { return QVariant(i % 100); });
    }
    std::printf("database: %d rows in one value table, %d for the graph's device\n", Rows, Rows / 2);

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

    // 1. The session way.
    Way session;
    {
        QThread thread;
        auto *collector = new DeviceInfoCollector;
        collector->moveToThread(&thread);
        QObject::connect(&thread, &QThread::finished, collector, &QObject::deleteLater);
        thread.start();
        QMetaObject::invokeMethod(collector, "openDatabase", Qt::BlockingQueuedConnection, Q_ARG(QString, path));
        {
            SQLiteView view(collector);
            view.setAttribute(Qt::WA_DeleteOnClose, false);
            view.resize(1440, 800);
            view.show();
            view.openDialog();
            session = addAndTime(view, title);
        }
        thread.quit();
        thread.wait();
    }
    print("session", session);

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

    std::printf("goal: under 500 ms each way; the floor above is the driver's share\n");
    std::printf("result: %.0f ms\n", std::max(session.drawn, file.drawn));
    return 0;
}
