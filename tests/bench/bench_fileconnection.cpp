// Configuration file connection: the time to open a generated configuration
// file of a full 125-device master (lock, read, parse) and build the master
// and device items, alone and with the device table model filled as the
// window fills it, beside the floor of the same run: reading the file and
// parsing its JSON alone. Prints the median and the worst of the rounds;
// last line the median of the open with the table model.
//
//   bench_fileconnection [--rounds N]

#include "appglobals.h"
#include "benchstats.h"
#include "configurationfixture.h"
#include "deviceitem.h"
#include "devicetablemodel.h"
#include "fileconnection.h"
#include "hubroitem.h"
#include "registerdeviceclasses.h"
#include "settings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace {
// Milliseconds to open the file and build its items, optionally into a model.
double openOnce(const QString &path, bool withModel)
{
    DeviceTableModel model;
    FileConnection connection;
    if (withModel) {
        QObject::connect(&connection, &Connection::masterConnected, &model,
                         [&model](HubroItem *master) { model.deviceConnected(master); });
        QObject::connect(&connection, &Connection::deviceConnected, &model,
                         [&model](DeviceItem *item) { model.deviceConnected(item); });
    }
    QElapsedTimer timer;
    timer.start();
    if (!connection.connectToMaster(File, path, MasterOrdinary) || connection.devices().size() != 125)
        qFatal("the file did not open whole");
    const double ms = timer.nsecsElapsed() / 1e6;
    model.clear();
    connection.disconnectFromMaster();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return ms;
}

// Milliseconds to read the file and parse its JSON, nothing else.
double parseOnce(const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        qFatal("the file is no JSON object");
    return timer.nsecsElapsed() / 1e6;
}
} // namespace

int main(int argc, char **argv)
{
    // Offscreen, and never the user's settings store.
    const int isolated = runIsolated(argv);
    if (isolated >= 0)
        return isolated;
    QApplication app(argc, argv);
    qInstallMessageHandler(discardMessage);
    const int rounds = roundsFromArguments(app, QStringLiteral("Rounds."));
    registerDeviceModelNames();
    registerDeviceClasses();


    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("full.conf"));
    const QByteArray bytes = ConfigurationJson::toBytes(ConfigurationFixture::document());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    file.close();

    std::printf("file: %d bytes, master and 125 devices, rounds: %d\n", bytes.size(), rounds);
    std::vector<double> floor;
    parseOnce(path); // warm-up
    for (int round = 0; round < rounds; ++round)
        floor.push_back(parseOnce(path));
    std::printf("%-29s median %7.3f ms, worst %7.3f ms\n", "floor: read and parse:", median(floor), worst(floor));
    double withModelMs = 0;
    for (const bool withModel : {false, true}) {
        std::vector<double> times;
        openOnce(path, withModel); // warm-up
        for (int round = 0; round < rounds; ++round)
            times.push_back(openOnce(path, withModel));
        std::printf("%-29s median %7.3f ms, worst %7.3f ms, %.1f x floor\n",
                    withModel ? "open, items and table model:" : "open and items:", median(times), worst(times),
                    median(times) / median(floor));
        if (withModel)
            withModelMs = median(times);
    }
    std::printf("result: %.3f ms\n", withModelMs);
    return 0;
}
