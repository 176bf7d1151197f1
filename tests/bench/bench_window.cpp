// What the main window costs the GUI thread: the initial read of a master
// into the real, shown window against the same read into a bare
// DeviceConnection, with the fake master pacing its replies at the serial
// link's baud rate; then how often the program wakes while idle on the demo
// simulation.
//
//   bench_window [--runs N] [--baud B] [--idle S] [--log file|none] [--view tile|table|tree]
//
// GUI-thread CPU is CLOCK_THREAD_CPUTIME_ID of the GUI thread from the
// connection request until the last device has arrived. Idle wake-ups are the
// GUI thread's event-dispatcher wake-ups (and the timer events delivered)
// over S seconds once the demo has loaded and settled; a bare shown window
// is measured the same way as the floor.

#include "benchread.h"
#include "benchstats.h"
#include "appglobals.h"
#include "devicecontextmenu.h"
#include "deviceconnection.h"
#include "logging.h"
#include "mainwindow.h"
#include "masterbench.h"
#include "paintcounter.h"
#include "registerdeviceclasses.h"
#include "registermasterclass.h"
#include "resources.h"
#include "serialthreadworker.h"
#include "settings.h"
#include "uiseams.h"
#include "windowbench.h"

#include <QAbstractEventDispatcher>
#include <QAbstractItemView>
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>
#include <vector>

namespace {
struct Read
{
    double cpuMs = 0;
    double wallMs = 0;
    int viewPaints = 0; // of the device view's rows
    bool complete = false;
};

// Runs the event loop until `devices` devices have been reported by the
// connection (or two minutes have passed); the GUI thread's CPU meanwhile.
template <class Start>
Read timedRead(Connection *&connection, int devices, Start start)
{
    Read read;
    int connected = 0;
    QEventLoop loop;
    QElapsedTimer wall;
    double cpuStart = 0;
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);
    cpuStart = threadCpuMs();
    wall.start();
    if (!start())
        return read;
    QObject::connect(connection, &Connection::deviceConnected, &loop, [&] {
        if (++connected == devices)
            loop.quit();
    });
    QObject::connect(connection, &Connection::connectionLost, &loop, &QEventLoop::quit);
    loop.exec();
    read.cpuMs = threadCpuMs() - cpuStart;
    read.wallMs = double(wall.nsecsElapsed()) / 1e6;
    read.complete = connected == devices;
    return read;
}

Read bareRead(int devices, int baud)
{
    SimMaster sim(healthyRecord());
    fillMixedInstallation(sim, devices, baud);
    DeviceConnection bare;
    Connection *connection = &bare;
    const Read read = timedRead(connection, devices, [&] {
        return bare.connectToMaster(Serial, sim.address(), MasterOrdinary);
    });
    bare.forceDisconnect();
    return read;
}

Read windowRead(int devices, int baud)
{
    SimMaster sim(healthyRecord());
    fillMixedInstallation(sim, devices, baud);
    Read read;
    {
        MainWindow window{QString()};
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            return read;
        QTest::qWait(50);
        PaintCounter paints(window.currentItemView()->viewport());
        Connection *connection = nullptr;
        read = timedRead(connection, devices, [&] {
            if (!window.establishConnection(Serial, sim.address()))
                return false;
            connection = window.currentConnection();
            return connection != nullptr;
        });
        read.viewPaints = paints.count;
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return read;
}

// A right-click on a device while every radio device (all of one type) is
// selected in the table: the time until the menu would open.
double rightClickMs(int devices, int baud)
{
    SimMaster sim(healthyRecord());
    for (int address = 0; address < devices; ++address)
        sim.setDevice(simDevice(quint8(address), 4));
    sim.fake.setBaudRate(baud);
    MainWindow window{QString()};
    window.show();
    if (!QTest::qWaitForWindowExposed(&window) || !window.establishConnection(Serial, sim.address())
        || !QTest::qWaitFor([&] { return window.currentConnection()->devices().size() == devices; }, 60000))
        return -1;
    QAbstractItemView *view = window.currentItemView();
    const QAbstractItemModel *model = view->model();
    // The master stays at the top, outside the selection.
    view->selectionModel()->select(QItemSelection(model->index(1, 0), model->index(devices, model->columnCount() - 1)),
                                   QItemSelectionModel::ClearAndSelect);
    const QPoint at = view->visualRect(model->index(1, 0)).center();
    DeviceContextMenu::setRunner([](QMenu *, const QPoint &) {});
    QElapsedTimer timer;
    timer.start();
    emit view->customContextMenuRequested(at);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    DeviceContextMenu::setRunner(nullptr);
    return ms;
}

// Voluntary context switches (each one a sleep that ended) of the calling
// thread, or of every thread of the process.
long long contextSwitches(const QString &statusFile)
{
    QFile file(statusFile);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith("voluntary_ctxt_switches:"))
            return line.mid(24).trimmed().toLongLong();
    }
    return 0;
}

long long threadSwitches()
{
    return contextSwitches(QStringLiteral("/proc/thread-self/status"));
}

long long processSwitches()
{
    long long sum = 0;
    const QStringList tasks = QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &task : tasks)
        sum += contextSwitches(QStringLiteral("/proc/self/task/%1/status").arg(task));
    return sum;
}

// Counts what wakes the GUI thread: dispatcher wake-ups, the thread's own
// sleeps that ended, and timer events by the class of their receiver; and
// the sleeps that ended in every thread of the process.
class WakeCounter : public QObject
{
public:
    WakeCounter()
    {
        connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, this, [this] {
            if (m_counting)
                ++m_wakes;
        });
        qApp->installEventFilter(this);
        m_end.setSingleShot(true);
    }
    ~WakeCounter() override { qApp->removeEventFilter(this); }

    struct Figures
    {
        double wakesPerSecond = 0;
        double sleepsPerSecond = 0;
        double processSleepsPerSecond = 0;
        double timersPerSecond = 0;
        double cpuMsPerSecond = 0;
        std::map<QByteArray, int> timerSources;
    };

    Figures measure(int seconds)
    {
        m_wakes = 0;
        m_timers = 0;
        m_sources.clear();
        QEventLoop loop;
        connect(&m_end, &QTimer::timeout, &loop, &QEventLoop::quit);
        const double cpuStart = threadCpuMs();
        const long long sleepsStart = threadSwitches();
        const long long processStart = processSwitches();
        m_counting = true;
        m_end.start(seconds * 1000);
        loop.exec();
        m_counting = false;
        Figures figures;
        figures.cpuMsPerSecond = (threadCpuMs() - cpuStart) / seconds;
        // The end of the measurement woke the thread once.
        figures.wakesPerSecond = double(std::max(0, m_wakes - 1)) / seconds;
        figures.sleepsPerSecond = double(std::max(0LL, threadSwitches() - sleepsStart - 1)) / seconds;
        figures.processSleepsPerSecond = double(std::max(0LL, processSwitches() - processStart - 1)) / seconds;
        figures.timersPerSecond = double(m_timers) / seconds;
        figures.timerSources = m_sources;
        return figures;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (m_counting && event->type() == QEvent::Timer && watched != &m_end) {
            ++m_timers;
            QByteArray name = watched->metaObject()->className();
            if (!watched->objectName().isEmpty())
                name += ' ' + watched->objectName().toLatin1();
            if (watched->parent())
                name += QByteArray(" in ") + watched->parent()->metaObject()->className();
            ++m_sources[name];
        }
        return false;
    }

private:
    QTimer m_end;
    bool m_counting = false;
    int m_wakes = 0;
    int m_timers = 0;
    std::map<QByteArray, int> m_sources;
};

void printIdle(const char *what, const WakeCounter::Figures &f)
{
    printf("%s: GUI thread %.1f wake-ups/s (%.1f sleeps ended/s), %.1f timer events/s, %.2f ms CPU/s; "
           "all threads %.1f sleeps ended/s\n",
           what, f.wakesPerSecond, f.sleepsPerSecond, f.timersPerSecond, f.cpuMsPerSecond, f.processSleepsPerSecond);
    for (const auto &source : f.timerSources)
        printf("    %5d timer events  %s\n", source.second, source.first.constData());
}

bool idleOnDemo(const QString &folder, int seconds)
{
    const QString path = folder + QStringLiteral("/demo.sim");
    QFile::remove(path);
    if (!QFile::copy(QStringLiteral(TANDREL_EXAMPLES_DIR "/demo.sim"), path)) {
        fprintf(stderr, "cannot copy the demo\n");
        return false;
    }
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    WakeCounter counter;

    {
        QMainWindow bare;
        bare.resize(800, 600);
        bare.show();
        if (!QTest::qWaitForWindowExposed(&bare))
            return false;
        QTest::qWait(500);
        printIdle("bare window idle", counter.measure(std::min(seconds, 3)));
    }

    MainWindow window(path);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    if (!QTest::qWaitFor([&] { return window.currentConnection() && !window.currentConnection()->devices().isEmpty(); },
                         20000)) {
        fprintf(stderr, "the demo did not load\n");
        return false;
    }
    QTest::qWait(3000); // start-up single shots and the first refreshes settle
    printIdle("window idle on the demo", counter.measure(seconds));
    return true;
}
} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home;
    useBenchHome(home);
    // The window's measurement databases go there too.
    qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
    initTandrelResources();
    QApplication app(argc, argv);

    QCommandLineParser parser;
    parser.addHelpOption();
    LinkBenchOptions::add(parser, 3, SerialThreadWorker::SerialBaudRate, QStringLiteral("Pace replies at this baud rate."));
    parser.addOption({QStringLiteral("idle"), QStringLiteral("Seconds of idle measurement on the demo (0: none)."),
                      QStringLiteral("s"), QStringLiteral("10")});
    parser.addOption({QStringLiteral("view"), QStringLiteral("The window's view: tile, table or tree."),
                      QStringLiteral("mode"), QStringLiteral("table")});
    parser.process(app);
    const QStringList views{QStringLiteral("tile"), QStringLiteral("table"), QStringLiteral("tree")};
    const int view = views.indexOf(parser.value(QStringLiteral("view")));
    if (view < 0) {
        fprintf(stderr, "unknown view\n");
        return 1;
    }
    appSettings.setValue(QLatin1String(SettingsKey::ViewMode), view);
    const LinkBenchOptions options = LinkBenchOptions::read(parser);
    const int runs = options.runs;
    const int baud = options.baud;
    const QString logMode = options.logMode;
    qInstallMessageHandler(options.logDiscarded() ? discardMessage : logMessageHandler);
    const int idleSeconds = std::max(0, parser.value(QStringLiteral("idle")).toInt());

    prepareWindowBench();

    if (idleSeconds > 0 && !idleOnDemo(home.path(), idleSeconds))
        return 1;

    printf("initial read into the main window (%s view) and into a bare connection, replies paced at %d baud, "
           "log: %s\n",
           qPrintable(views.at(view)), baud, qPrintable(logMode));
    // A first read of each kind warms caches, fonts and the style.
    windowRead(8, baud);
    bareRead(8, baud);

    std::map<int, double> windowCpu;
    std::map<int, double> bareCpu;
    for (const int devices : {32, 125}) {
        std::vector<double> window;
        std::vector<double> bare;
        for (int run = 0; run < runs; ++run) {
            const Read w = windowRead(devices, baud);
            const Read b = bareRead(devices, baud);
            if (!w.complete || !b.complete) {
                fprintf(stderr, "%d devices: run %d incomplete\n", devices, run + 1);
                return 1;
            }
            printf("%3d devices, run %d: window %.1f ms CPU (%.0f ms wall, %d repaints of the rows), bare %.1f ms CPU "
                   "(%.0f ms wall)\n",
                   devices, run + 1, w.cpuMs, w.wallMs, w.viewPaints, b.cpuMs, b.wallMs);
            window.push_back(w.cpuMs);
            bare.push_back(b.cpuMs);
        }
        windowCpu[devices] = median(window);
        bareCpu[devices] = median(bare);
        printf("%3d devices: GUI-thread CPU, median: window %.1f ms, bare %.1f ms, window/bare %.2f\n", devices,
               windowCpu[devices], bareCpu[devices], windowCpu[devices] / bareCpu[devices]);
    }
    for (const int devices : {32, 125})
        printf("right-click with %d devices of one type selected: %.2f ms\n", devices, rightClickMs(devices, baud));
    const double growth = windowCpu[125] / windowCpu[32];
    printf("window growth from 32 to 125 devices: %.2f (goal 4.5 or below; devices grow 3.9 times)\n", growth);

    if (idleSeconds > 0) {
        // Nothing of the closed windows and connections may go on running
        // once their last single shots are over.
        QTest::qWait(5000);
        WakeCounter counter;
        printIdle("idle after the reads (windows and connections closed)", counter.measure(std::min(idleSeconds, 3)));
    }

    const double ratio = windowCpu[125] / bareCpu[125];
    printf("result: %.2f x bare\n", ratio);
    return 0;
}
