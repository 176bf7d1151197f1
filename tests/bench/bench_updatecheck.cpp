// The program-update window listing a long reply, offscreen, against a
// loopback service: from the click on "Check for updates" until the table
// holds every product and has been painted once. Beside it, the floor: the
// update client alone posting the same request and reading the same reply
// into its records (network, parse), in the same run.
//
// Every product of the reply is newer than what is installed, so every one
// is listed. Goal for the window: 5,000 products in under 0.5 s.
//
//   bench_updatecheck [--rounds N] [--products N]
//
// Ends with "result: <median click to listed> ms".

#include "benchstats.h"
#include "checkupdates.h"
#include "loopbackhttp.h"
#include "networkmanager.h"
#include "settings.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include <cstdio>

namespace {
QByteArray longReply(int products)
{
    QByteArray body;
    body.reserve(products * 220);
    for (int i = 0; i < products; ++i) {
        const QByteArray n = QByteArray::number(i);
        body += "<product><name>Product " + n + "</name><curr_ver>2." + n + "</curr_ver><descr>Fixes " + n
                + "</descr><link>http://zorvo.invalid/p/" + n + "</link><link_file>http://zorvo.invalid/f/" + n
                + ".zip</link_file></product>";
    }
    return updateReply(body);
}

double elapsedMs(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

// The client alone: request posted until its records are read.
double clientRound(const QString &url)
{
    NetworkManager manager;
    manager.applyProxySettings();
    QSignalSpy replies(&manager, &NetworkManager::replyRecieved);
    QMap<QString, QString> products;
    QElapsedTimer timer;
    timer.start();
    manager.requestUpdates(url, {}, &products);
    if (!replies.wait(60000))
        return -1;
    return elapsedMs(timer);
}

// The window: the click until every product is listed and painted once.
double windowRound(int products, int *rows)
{
    auto *window = new CheckUpdates({});
    window->resize(1200, 700);
    window->show();
    QApplication::processEvents();
    auto *button = window->findChild<QPushButton *>(QStringLiteral("pbCheckForUpdates"));
    auto *table = window->findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    auto *status = window->findChild<QLabel *>(QStringLiteral("lblStatus"));
    QElapsedTimer timer;
    timer.start();
    QTest::mouseClick(button, Qt::LeftButton);
    const bool listed = QTest::qWaitFor(
        [&] { return table->rowCount() == products && status->text() == QLatin1String("Available updates found"); },
        120000);
    table->viewport()->repaint();
    const double ms = elapsedMs(timer);
    *rows = table->rowCount();
    window->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return listed ? ms : -1;
}
} // namespace

int main(int argc, char **argv)
{
    const int isolated = runIsolated(argv);
    if (isolated >= 0)
        return isolated;
    QApplication app(argc, argv);
    qInstallMessageHandler(discardMessage);
    QCoreApplication::setApplicationVersion(QStringLiteral("1.14.4043"));

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption roundsOption(QStringLiteral("rounds"), QStringLiteral("Measured rounds (default 5)."),
                                          QStringLiteral("N"), QStringLiteral("5"));
    const QCommandLineOption productsOption(QStringLiteral("products"),
                                            QStringLiteral("Products in the reply (default 5000)."),
                                            QStringLiteral("N"), QStringLiteral("5000"));
    parser.addOption(roundsOption);
    parser.addOption(productsOption);
    parser.process(app);
    const int rounds = qMax(1, parser.value(roundsOption).toInt());
    const int products = qMax(1, parser.value(productsOption).toInt());

    // A direct connection to the loopback service.
    appSettings.setValue(QLatin1String(SettingsKey::ProxyOn), 0);
    appSettings.setValue(QLatin1String(SettingsKey::ProxyType), 2);
    const QByteArray reply = longReply(products);
    LoopbackHttp server([&](const HttpRequest &) { return HttpResponse::ok(reply); });
    CheckUpdates::setCheckUrl(server.url());
    CheckUpdates::setNoResponseTimeout(120000);

    std::vector<double> client;
    std::vector<double> window;
    int rows = 0;
    for (int r = 0; r < rounds; ++r) {
        client.push_back(clientRound(server.url()));
        window.push_back(windowRound(products, &rows));
    }
    std::printf("%d products (%d KiB reply), %d rounds\n", products, int(reply.size() / 1024), rounds);
    std::printf("client alone, request to records: median %.1f ms, worst %.1f ms\n", median(client), worst(client));
    std::printf("window, click to %d rows listed and painted: median %.1f ms, worst %.1f ms; goal: under 500 ms\n",
                rows, median(window), worst(window));
    std::printf("result: %.1f ms\n", median(window));
    return 0;
}
