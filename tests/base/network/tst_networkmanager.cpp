#include "appglobals.h"
#include "loopbackhttp.h"
#include "networkmanager.h"
#include "proxykeys.h"
#include "settings.h"

#include <QNetworkProxyFactory>
#include <QSignalSpy>
#include <QtTest>

using Records = QList<QMap<QString, QString>>;
using StringMap = QMap<QString, QString>;
Q_DECLARE_METATYPE(QList<UpdateCheckDevice>)

namespace {
const QString Url = QStringLiteral("http://updates.zorvo.invalid/version/");

// What one request brings back: records (when replyRecieved came) and error text.
struct Outcome
{
    bool replied = false;
    Records records;
    QString error;
};

Outcome runCheck(NetworkManager &manager, const QString &url)
{
    QSignalSpy replies(&manager, &NetworkManager::replyRecieved);
    QSignalSpy errors(&manager, &NetworkManager::errorReceived);
    QMap<QString, QString> products;
    manager.requestUpdates(url, {}, &products);
    Outcome out;
    if (!QTest::qWaitFor([&] { return !replies.isEmpty() || !errors.isEmpty(); }, 5000))
        return out;
    QCoreApplication::processEvents(); // an error follows its records at once
    out.replied = !replies.isEmpty();
    if (out.replied)
        out.records = replies.first().first().value<Records>();
    if (!errors.isEmpty())
        out.error = errors.first().first().toString();
    return out;
}
} // namespace

class NetworkManagerTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationVersion(QStringLiteral("1.14.4043"));
        appSettings.clear();
    }

    void systemProxyConfigurationIsOff()
    {
        QNetworkProxyFactory::setUseSystemConfiguration(true);
        NetworkManager manager;
        QVERIFY(!QNetworkProxyFactory::usesSystemConfiguration());
    }

    void requestDocument_data()
    {
        QTest::addColumn<QList<UpdateCheckDevice>>("devices");
        QTest::addColumn<QByteArray>("products");
        QTest::addColumn<StringMap>("requested");
        const QByteArray program = "    <product name=\"" + programTitle.toUtf8() + "\" ver=\"1.14.4043\"/>\n";
        QTest::newRow("no devices") << QList<UpdateCheckDevice>() << program << StringMap();
        QTest::newRow("two of one model: the later one") << QList<UpdateCheckDevice>{
            {QStringLiteral("Smoke"), QStringLiteral("1.05")}, {QStringLiteral("Smoke"), QStringLiteral("0.00")}}
            << program + "    <product name=\"Smoke\" ver=\"0.00\"/>\n"
            << StringMap{{QStringLiteral("Smoke"), QStringLiteral("0.00")}};
        // Sorted by UTF-16 code units: upper case before lower, Cyrillic last.
        QTest::newRow("sorted by name") << QList<UpdateCheckDevice>{
            {QStringLiteral("Ёлка"), QStringLiteral("2.10")}, {QStringLiteral("beta"), QStringLiteral("1.00")},
            {QStringLiteral("Zeta & <Co>"), QStringLiteral("1.05")}}
            << program + "    <product name=\"Zeta &amp; &lt;Co&gt;\" ver=\"1.05\"/>\n"
                         "    <product name=\"beta\" ver=\"1.00\"/>\n"
                         "    <product name=\"Ёлка\" ver=\"2.10\"/>\n"
            << StringMap{{QStringLiteral("Ёлка"), QStringLiteral("2.10")},
                                      {QStringLiteral("beta"), QStringLiteral("1.00")},
                                      {QStringLiteral("Zeta & <Co>"), QStringLiteral("1.05")}};
    }
    void requestDocument()
    {
        QFETCH(QList<UpdateCheckDevice>, devices);
        QFETCH(QByteArray, products);
        QFETCH(StringMap, requested);
        LoopbackHttp server([](const HttpRequest &) { return HttpResponse::ok(updateReply(QByteArray())); });
        NetworkManager manager;
        manager.applyProxySettings();
        QMap<QString, QString> map{{QStringLiteral("stale"), QStringLiteral("9.99")}};
        QSignalSpy replies(&manager, &NetworkManager::replyRecieved);
        manager.requestUpdates(server.url(), devices, &map);
        QCOMPARE(map, requested); // rewritten before the post returns
        QVERIFY(replies.wait(5000));

        QCOMPARE(server.requests().size(), 1);
        const HttpRequest request = server.requests().first();
        QCOMPARE(request.method, QByteArray("POST"));
        QCOMPARE(request.target, QByteArray("/version/"));
        QCOMPARE(request.header("Content-Type"), QByteArray("application/x-www-form-urlencoded"));
        // The document follows "xml=" as written: not percent-encoded.
        QByteArray body = request.body;
        const QRegularExpression date(QStringLiteral("date=\"(\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d)\""));
        const QRegularExpressionMatch match = date.match(QString::fromUtf8(body));
        QVERIFY(match.hasMatch());
        QVERIFY(qAbs(QDateTime::fromString(match.captured(1), QStringLiteral("yyyy-MM-dd hh:mm:ss"))
                         .secsTo(QDateTime::currentDateTime()))
                < 60);
        body.replace(match.captured(1).toUtf8(), "DATE");
        QCOMPARE(body, "xml=<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<products date=\"DATE\" ver=\"1\" doctype=\"check_updates\">\n"
                           + products + "</products>\n");
    }

    void replies_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("replied");
        QTest::addColumn<Records>("records");
        QTest::addColumn<QString>("error"); // "*": any reader error text

        const auto rec = [](std::initializer_list<std::pair<const char *, const char *>> pairs) {
            QMap<QString, QString> r;
            for (const auto &p : pairs)
                r.insert(QString::fromUtf8(p.first), QString::fromUtf8(p.second));
            return r;
        };
        QTest::newRow("all eight keys")
            << updateReply("<product><name>A</name><user_var>u</user_var><curr_ver>1.2</curr_ver><date>d</date>"
                             "<descr>x</descr><link>l</link><link_file>f</link_file><error>e</error></product>")
            << true
            << Records{rec({{"name", "A"}, {"user_var", "u"}, {"curr_ver", "1.2"}, {"date", "d"}, {"descr", "x"},
                            {"link", "l"}, {"link_file", "f"}, {"error", "e"}})}
            << QString();
        QTest::newRow("other children skipped, last of a key kept, empty product kept")
            << updateReply("<note><product><name>no</name></product></note>"
                             "<product><future><name>deep</name></future><name>A</name><NAME>up</NAME>"
                             "<name>B</name></product><product/>")
            << true << Records{rec({{"name", "B"}}), rec({})} << QString();
        QTest::newRow("no products") << updateReply("") << true << Records() << QString();
        QTest::newRow("another doctype")
            << QByteArray("<products doctype=\"other\"><product><name>A</name></product></products>") << false
            << Records() << QStringLiteral("Wrong XML");
        QTest::newRow("another root") << QByteArray("<updates doctype=\"check_updates\"/>") << false << Records()
                                      << QStringLiteral("Wrong XML");
        QTest::newRow("malformed tail after one product")
            << QByteArray("<products doctype=\"check_updates\"><product><name>A</name></product>"
                          "<product><name>B</nam")
            << true << Records{rec({{"name", "A"}})} << QStringLiteral("*");
        QTest::newRow("element inside a value")
            << updateReply("<product><name>A</name></product><product><name><b>B</b></name></product>") << true
            << Records{rec({{"name", "A"}})} << QStringLiteral("*");
        QTest::newRow("empty body") << QByteArray() << false << Records() << QStringLiteral("*");
    }
    void replies()
    {
        QFETCH(QByteArray, reply);
        QFETCH(bool, replied);
        QFETCH(Records, records);
        QFETCH(QString, error);
        LoopbackHttp server([&](const HttpRequest &) { return HttpResponse::ok(reply); });
        NetworkManager manager;
        manager.applyProxySettings();
        const Outcome out = runCheck(manager, server.url());
        QCOMPARE(out.replied, replied);
        QCOMPARE(out.records, records);
        if (error == QLatin1String("*"))
            QVERIFY(!out.error.isEmpty());
        else
            QCOMPARE(out.error, error);
    }

    void networkErrors()
    {
        NetworkManager manager;
        manager.applyProxySettings();
        const quint16 closedPort = closedLoopbackPort();
        Outcome out = runCheck(manager, QStringLiteral("http://127.0.0.1:%1/version/").arg(closedPort));
        QVERIFY(!out.replied);
        QVERIFY2(out.error.contains(QLatin1String("refused")), qPrintable(out.error));

        LoopbackHttp server([](const HttpRequest &) {
            HttpResponse r = HttpResponse::ok("<products doctype=\"check_updates\"/>");
            r.status = 404;
            r.reason = "Not Found";
            return r;
        });
        out = runCheck(manager, server.url());
        QVERIFY(!out.replied);
        QVERIFY2(out.error.contains(QLatin1String("Not Found")), qPrintable(out.error));
    }

    void proxyFromSettings_data()
    {
        QTest::addColumn<int>("on");
        QTest::addColumn<int>("type");
        QTest::addColumn<QNetworkProxy>("expected");
        const QNetworkProxy http(QNetworkProxy::HttpProxy, QStringLiteral("proxy.example"), 3128,
                                 QStringLiteral("ivan"), QStringLiteral(" p@ss word "));
        QTest::newRow("on") << 1 << 3 << http;
        QTest::newRow("off") << 0 << 3 << QNetworkProxy();
        QTest::newRow("any other value is off") << 2 << 3 << QNetworkProxy();
        QNetworkProxy socks = http;
        socks.setType(QNetworkProxy::Socks5Proxy);
        QTest::newRow("socks") << 1 << 1 << socks;
    }
    void proxyFromSettings()
    {
        QFETCH(int, on);
        QFETCH(int, type);
        QFETCH(QNetworkProxy, expected);
        storeProxyKeys(on, type, QStringLiteral("proxy.example"), 3128, QStringLiteral("ivan"),
                   QStringLiteral(" p@ss word "));
        NetworkManager manager;
        manager.applyProxySettings();
        const QNetworkProxy proxy = manager.proxy();
        QCOMPARE(proxy.type(), expected.type());
        QCOMPARE(proxy.hostName(), expected.hostName());
        QCOMPARE(proxy.port(), expected.port());
        QCOMPARE(proxy.user(), expected.user());
        QCOMPARE(proxy.password(), expected.password());
    }

    void throughProxy()
    {
        const QByteArray reply = updateReply("<product><name>A</name><curr_ver>2.0</curr_ver></product>");
        LoopbackHttp proxy([&](const HttpRequest &) { return HttpResponse::ok(reply); });
        storeProxyKeys(1, 3, QStringLiteral("127.0.0.1"), proxy.port());
        NetworkManager manager;
        manager.applyProxySettings();
        const Outcome out = runCheck(manager, Url);
        QVERIFY(out.replied);
        QCOMPARE(out.records.size(), 1);
        QCOMPARE(proxy.requests().size(), 1);
        // The proxy is given the whole address of the service.
        QCOMPARE(proxy.requests().first().target, QByteArray("http://updates.zorvo.invalid/version/"));
        QVERIFY(proxy.requests().first().body.startsWith("xml=<?xml"));
    }

    void proxyAsksForCredentials()
    {
        const QByteArray credentials = "Basic " + QByteArray("ivan:s3cret p@ss").toBase64();
        LoopbackHttp proxy([&](const HttpRequest &request) {
            if (request.header("Proxy-Authorization") == credentials)
                return HttpResponse::ok(updateReply(""));
            return HttpResponse::proxyChallenge();
        });
        storeProxyKeys(1, 3, QStringLiteral("127.0.0.1"), proxy.port(), QStringLiteral("ivan"),
                   QStringLiteral("s3cret p@ss"));
        NetworkManager manager;
        manager.applyProxySettings();
        const Outcome out = runCheck(manager, Url);
        QVERIFY2(out.replied, qPrintable(out.error));
        QVERIFY(out.error.isEmpty());
        // Asked first without credentials, then with the stored ones.
        QCOMPARE(proxy.requests().size(), 2);
        QVERIFY(proxy.requests().first().header("Proxy-Authorization").isEmpty());
        QCOMPARE(proxy.requests().last().header("Proxy-Authorization"), credentials);
    }

    void proxyOffGoesStraight()
    {
        LoopbackHttp proxy;
        LoopbackHttp server([](const HttpRequest &) { return HttpResponse::ok(updateReply("")); });
        storeProxyKeys(0, 3, QStringLiteral("127.0.0.1"), proxy.port(), QStringLiteral("ivan"), QStringLiteral("x"));
        NetworkManager manager;
        manager.applyProxySettings();
        const Outcome out = runCheck(manager, server.url());
        QVERIFY(out.replied);
        QCOMPARE(server.requests().size(), 1);
        QCOMPARE(server.requests().first().target, QByteArray("/version/"));
        QVERIFY(proxy.requests().isEmpty());
    }
};

QTEST_GUILESS_MAIN(NetworkManagerTest)
#include "tst_networkmanager.moc"
