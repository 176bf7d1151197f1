#include "appglobals.h"
#include "checkupdates.h"
#include "deviceitem.h"
#include "loopbackhttp.h"
#include "networkmanager.h"
#include "proxykeys.h"
#include "screenshot.h"
#include "proxysetup.h"
#include "testsupport.h"
#include "updatestatusdock.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include <memory>

#include <unistd.h>

namespace {
deviceInfo_t infoOf(quint8 radio, quint8 type, quint16 firmware)
{
    deviceInfo_t info;
    info.radioAddress = radio;
    info.serialNumber = 1000u + radio;
    info.firmwareVersion = firmware;
    info.deviceType = type;
    info.linkState = 2;
    return info;
}

QByteArray product(const QString &name, const QString &version, const QByteArray &more = QByteArray())
{
    return "<product><name>" + name.toHtmlEscaped().toUtf8() + "</name><curr_ver>" + version.toUtf8()
           + "</curr_ver><descr>news</descr><link>http://zorvo.invalid/" + QByteArray::number(qHash(name))
           + "</link><link_file>http://zorvo.invalid/f</link_file>" + more + "</product>";
}

// A cell's text as shown.
QString cell(QTableWidget *table, int row, int column)
{
    QTableWidgetItem *item = table->item(row, column);
    return item ? item->text() : QStringLiteral("<none>");
}

// The web address a cell opens (empty: none).
QString linkOf(QTableWidget *table, int row, int column)
{
    QTableWidgetItem *item = table->item(row, column);
    return item ? item->data(Qt::UserRole).toString() : QString();
}

// "Product|FW version|Available version|Changes|Link" for each row.
QStringList rowsOf(QTableWidget *table)
{
    QStringList rows;
    for (int row = 0; row < table->rowCount(); ++row)
        rows << QStringList{cell(table, row, 0), cell(table, row, 1), cell(table, row, 2), cell(table, row, 3),
                            cell(table, row, 4)}
                    .join(QLatin1Char('|'));
    return rows;
}

// Resident memory of this process.
qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    return statm.readAll().split(' ').value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

// A reply of exactly `size` bytes listing one product: padded with a comment.
QByteArray replyOfSize(qint64 size, const QByteArray &products)
{
    QByteArray reply = updateReply(products);
    const QByteArray open = "<!--", close = "-->";
    reply += open + QByteArray(int(size - reply.size() - open.size() - close.size()), ' ') + close;
    return reply;
}

// Records the web addresses the program asks the desktop to open.
class OpenedUrls : public QObject
{
    Q_OBJECT
public:
    OpenedUrls()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open");
    }
    ~OpenedUrls() override
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    }
    QStringList urls;
public slots:
    void open(const QUrl &url) { urls << url.toString(); }
};

struct Window
{
    explicit Window(const QList<DeviceItem *> &devices = {}) : window(new CheckUpdates(devices))
    {
        window->show();
    }
    ~Window()
    {
        if (window)
            window->close();
    }
    QPushButton *checkButton() const { return window->findChild<QPushButton *>(QStringLiteral("pbCheckForUpdates")); }
    QLabel *status() const { return window->findChild<QLabel *>(QStringLiteral("lblStatus")); }
    QTableWidget *table() const { return window->findChild<QTableWidget *>(QStringLiteral("tableWidget")); }
    // Clicks the check button and waits until it is enabled again.
    bool check() const
    {
        QTest::mouseClick(checkButton(), Qt::LeftButton);
        return QTest::qWaitFor([this] { return checkButton()->isEnabled(); }, 5000);
    }
    // Clicks a cell as a user would.
    void clickCell(int row, int column) const
    {
        QTableWidget *t = table();
        t->scrollToItem(t->item(row, column));
        QTest::mouseClick(t->viewport(), Qt::LeftButton, Qt::NoModifier,
                          t->visualItemRect(t->item(row, column)).center());
    }
    bool statusIs(const QString &text, bool red) const
    {
        return status()->text() == text
               && status()->styleSheet()
                      == (red ? QLatin1String("color: rgb(255, 0, 0);") : QLatin1String("color: rgb(0, 0, 0);"));
    }
    QPointer<CheckUpdates> window;
};
} // namespace

class CheckUpdatesTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initTestResources();
        registerDeviceModelNames();
        QCoreApplication::setApplicationVersion(QStringLiteral("1.14.4043"));
    }
    void init()
    {
        appSettings.clear();
        storeProxyKeys(0, 3, QStringLiteral("127.0.0.1"), 9);
        CheckUpdates::setNoResponseTimeout(2000);
        NetworkManager::setReplyTimeout(30000);
    }
    void cleanup() { CheckUpdates::setCheckUrl(QString()); }

    void openingChangesNoProxySetting_data()
    {
        QTest::addColumn<bool>("fresh");
        QTest::newRow("fresh store") << true;
        QTest::newRow("a proxy stored, switched off") << false;
    }
    void openingChangesNoProxySetting()
    {
        QFETCH(bool, fresh);
        appSettings.clear();
        if (!fresh)
            storeProxyKeys(0, 1, QStringLiteral("gw"), 1080, QStringLiteral("u"), QStringLiteral("pw"));
        appSettings.sync();
        const QByteArray before = settingsFileBytes();
        const QStringList keys = appSettings.allKeys();
        {
            Window w;
            QTest::qWait(50);
        }
        QCOMPARE(appSettings.allKeys(), keys);
        QCOMPARE(settingsFileBytes(), before);
        QCOMPARE(CheckUpdates::checkUrl(), QStringLiteral("http://updates.zorvo.invalid/version/"));
    }

    void requestNamesTheDevicesStillThere()
    {
        LoopbackHttp server([](const HttpRequest &) { return HttpResponse::ok(updateReply("")); });
        CheckUpdates::setCheckUrl(server.url());
        auto a = std::make_unique<DeviceItem>(infoOf(1, 3, 0x0105), false);
        auto b = std::make_unique<DeviceItem>(infoOf(2, 3, 0x0203), false);
        auto c = std::make_unique<DeviceItem>(infoOf(3, 5, 0xFFFF), false);
        auto d = std::make_unique<DeviceItem>(infoOf(4, 7, 0x0105), false);
        Window w({a.get(), b.get(), c.get(), d.get()});
        d.reset(); // gone while the window is open
        QVERIFY(w.check());
        QVERIFY(w.statusIs(QStringLiteral("There are no updates for devices"), false));

        QCOMPARE(server.requests().size(), 1);
        // The program names itself by one untranslated name.
        QCOMPARE(programTitle, QStringLiteral("Zentar Configurator"));
        QStringList products;
        const QRegularExpression element(QStringLiteral("<product name=\"([^\"]*)\" ver=\"([^\"]*)\"/>"));
        auto it = element.globalMatch(QString::fromUtf8(server.requests().first().body));
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            products << m.captured(1) + QLatin1Char(' ') + m.captured(2);
        }
        QStringList expected = {deviceTypeName(3) + QStringLiteral(" 2.03"), deviceTypeName(5) + QStringLiteral(" 0.00")};
        expected.sort();
        expected.prepend(programTitle + QStringLiteral(" 1.14.4043"));
        QCOMPARE(products, expected);
    }

    void replyTable_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("red");
        const QString smoke = deviceTypeName(3); // installed 1.05
        const QString heat = deviceTypeName(5);  // installed 1.14
        const QString found = QStringLiteral("Available updates found");
        const QString none = QStringLiteral("There are no updates for devices");

        QTest::newRow("same version: not listed") << updateReply(product(smoke, "1.05")) << QStringList() << none
                                                  << false;
        QTest::newRow("1.14.0 is newer than 1.14")
            << updateReply(product(heat, "1.14.0")) << QStringList{heat + "|1.14|1.14.0|news|Download"} << found
            << false;
        QTest::newRow("program on top, wherever it stands")
            << updateReply(product(smoke, "1.06") + product(programTitle, "1.15"))
            << QStringList{programTitle + "|1.14.4043|1.15|news|Download", smoke + "|1.05|1.06|news|Download"}
            << found << false;
        const QString formerTitle = QStringLiteral("Конфигуратор Zentar");
        QTest::newRow("program under the name older versions gave it")
            << updateReply(product(smoke, "1.06") + product(formerTitle, "1.15"))
            << QStringList{formerTitle + "|1.14.4043|1.15|news|Download", smoke + "|1.05|1.06|news|Download"}
            << found << false;
        QTest::newRow("not requested: empty installed version")
            << updateReply(product(QStringLiteral("Gateway"), "0.01"))
            << QStringList{"Gateway||0.01|news|Download"} << found << false;
        QTest::newRow("unparsable or missing version: never newer")
            << updateReply(product(smoke, "new") + "<product><name>X</name></product>") << QStringList() << none
            << false;
        QTest::newRow("error instead of a download")
            << updateReply(product(smoke, "2.00", "<error>Contact support</error>"))
            << QStringList{smoke + "|1.05|2.00|news|Contact support"} << found << false;
        QTest::newRow("no products") << updateReply("") << QStringList() << none << false;
        QTest::newRow("another doctype")
            << QByteArray("<products doctype=\"prices\">" + product(smoke, "9.00") + "</products>") << QStringList()
            << QStringLiteral("Wrong XML") << true;
        QTest::newRow("future keys are skipped")
            << updateReply("<product><size>12</size>" + product(smoke, "1.10").mid(9))
            << QStringList{smoke + "|1.05|1.10|news|Download"} << found << false;
    }
    void replyTable()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QStringList, rows);
        QFETCH(QString, status);
        QFETCH(bool, red);
        LoopbackHttp server([&](const HttpRequest &) { return HttpResponse::ok(reply); });
        CheckUpdates::setCheckUrl(server.url());
        DeviceItem smoke(infoOf(1, 3, 0x0105), false);
        DeviceItem heat(infoOf(2, 5, 0x010E), false);
        Window w({&smoke, &heat});
        QVERIFY(w.check());
        QVERIFY2(w.statusIs(status, red), qPrintable(w.status()->text()));
        QCOMPARE(rowsOf(w.table()), rows);
    }

    void errorsLeaveNoOldTable()
    {
        const QByteArray good = updateReply(product(programTitle, "2.0"));
        QByteArray reply = good;
        LoopbackHttp server([&](const HttpRequest &) { return HttpResponse::ok(reply); });
        CheckUpdates::setCheckUrl(server.url());
        Window w;
        QVERIFY(w.check());
        QCOMPARE(w.table()->rowCount(), 1);

        // A malformed tail: the product before it is listed, then the error.
        reply = "<products doctype=\"check_updates\">" + product(programTitle, "3.0") + "<product><name>";
        QVERIFY(w.check());
        QCOMPARE(rowsOf(w.table()), QStringList{programTitle + "|1.14.4043|3.0|news|Download"});
        QVERIFY(!w.status()->text().isEmpty());
        QCOMPARE(w.status()->styleSheet(), QStringLiteral("color: rgb(255, 0, 0);"));

        reply = QByteArray(); // an empty body
        QVERIFY(w.check());
        QCOMPARE(w.status()->styleSheet(), QStringLiteral("color: rgb(255, 0, 0);"));
        QCOMPARE(w.table()->rowCount(), 0);

        reply = good;
        QVERIFY(w.check());
        QCOMPARE(w.table()->rowCount(), 1);
        const quint16 closedPort = closedLoopbackPort();
        CheckUpdates::setCheckUrl(QStringLiteral("http://127.0.0.1:%1/version/").arg(closedPort));
        QVERIFY(w.check());
        QVERIFY2(w.status()->text().contains(QLatin1String("refused")), qPrintable(w.status()->text()));
        QCOMPARE(w.status()->styleSheet(), QStringLiteral("color: rgb(255, 0, 0);"));
        QCOMPARE(w.table()->rowCount(), 0);
    }

    void boundedReply_data()
    {
        QTest::addColumn<QByteArray>("chunk");
        QTest::addColumn<int>("intervalMs");
        QTest::addColumn<qint64>("length"); // declared; -1: none
        QTest::addColumn<int>("replyTimeout"); // ms; the cap is met long before on a busy machine too
        QTest::addColumn<QString>("error");
        const QString tooLarge = QStringLiteral("The reply of the service is too large (over 1024 KiB)");
        QTest::newRow("endless body") << QByteArray(64 * 1024, 'x') << 0 << qint64(-1) << 30000 << tooLarge;
        QTest::newRow("huge declared body") << QByteArray(64 * 1024, 'x') << 0 << qint64(4) * 1024 * 1024 * 1024
                                            << 30000 << tooLarge;
        QTest::newRow("slow drip") << QByteArray("<") << 20 << qint64(-1) << 1500
                                   << QStringLiteral("The service did not answer within 1.5 s");
    }
    void boundedReply()
    {
        QFETCH(QByteArray, chunk);
        QFETCH(int, intervalMs);
        QFETCH(qint64, length);
        QFETCH(int, replyTimeout);
        QFETCH(QString, error);
        LoopbackHttp server([](const HttpRequest &) { return std::optional<HttpResponse>(); });
        CheckUpdates::setCheckUrl(server.url());
        CheckUpdates::setNoResponseTimeout(60000);
        NetworkManager::setReplyTimeout(replyTimeout);
        Window w;
        const qint64 resident = residentBytes();
        QTest::mouseClick(w.checkButton(), Qt::LeftButton);
        QTRY_COMPARE(server.heldCount(), 1);
        server.streamHeld(chunk, intervalMs, length);

        QTRY_VERIFY_WITH_TIMEOUT(w.checkButton()->isEnabled(), 20000);
        QVERIFY2(w.statusIs(error, true), qPrintable(w.status()->text()));
        QCOMPARE(w.table()->rowCount(), 0);
        // The client hung up; what it read stayed within the cap.
        QTRY_COMPARE(server.openConnections(), 0);
        QVERIFY2(residentBytes() - resident < 64 * 1024 * 1024,
                 qPrintable(QStringLiteral("grew by %1 MiB").arg((residentBytes() - resident) >> 20)));
        // The next check is a new request of its own.
        QTest::mouseClick(w.checkButton(), Qt::LeftButton);
        QTRY_COMPARE(server.heldCount(), 1);
        QCOMPARE(server.requests().size(), 2);
    }

    void replyAtTheCap_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("listed");
        QTest::newRow("1 MiB: read") << NetworkManager::MaxReplySize << true;
        QTest::newRow("1 MiB and a byte: cut") << NetworkManager::MaxReplySize + 1 << false;
    }
    void replyAtTheCap()
    {
        QFETCH(qint64, size);
        QFETCH(bool, listed);
        const QByteArray reply = replyOfSize(size, product(programTitle, "2.0"));
        QCOMPARE(reply.size(), size);
        LoopbackHttp server([&](const HttpRequest &) { return HttpResponse::ok(reply); });
        CheckUpdates::setCheckUrl(server.url());
        Window w;
        QVERIFY(w.check());
        QCOMPARE(w.table()->rowCount(), listed ? 1 : 0);
        QCOMPARE(w.status()->text() == QLatin1String("Available updates found"), listed);
    }

    void oneRequestAtATime()
    {
        LoopbackHttp server([](const HttpRequest &) { return std::optional<HttpResponse>(); });
        CheckUpdates::setCheckUrl(server.url());
        CheckUpdates::setNoResponseTimeout(100);
        Window w;
        QTest::mouseClick(w.checkButton(), Qt::LeftButton);
        QTRY_VERIFY(w.statusIs(QStringLiteral("No response from service"), true));
        QTRY_COMPARE(server.heldCount(), 1);
        // A new check after the note ends the first request.
        QTest::mouseClick(w.checkButton(), Qt::LeftButton);
        QTRY_COMPARE(server.requests().size(), 2);
        QTRY_COMPARE(server.openConnections(), 1);
        QCOMPARE(server.heldCount(), 2);
        server.answerHeld(HttpResponse::ok(updateReply(product(programTitle, "1.50")))); // the ended one
        server.answerHeld(HttpResponse::ok(updateReply(product(programTitle, "1.20"))));
        QTRY_VERIFY(w.statusIs(QStringLiteral("Available updates found"), false));
        QCOMPARE(rowsOf(w.table()), QStringList{programTitle + "|1.14.4043|1.20|news|Download"});
    }

    void closingEndsTheRequest_data()
    {
        QTest::addColumn<bool>("streaming");
        QTest::newRow("waiting for the reply") << false;
        QTest::newRow("while an endless body streams") << true;
    }
    void closingEndsTheRequest()
    {
        QFETCH(bool, streaming);
        LoopbackHttp server([](const HttpRequest &) { return std::optional<HttpResponse>(); });
        CheckUpdates::setCheckUrl(server.url());
        Window w;
        QTest::mouseClick(w.checkButton(), Qt::LeftButton);
        QTRY_COMPARE(server.heldCount(), 1);
        if (streaming) {
            server.streamHeld(QByteArray(1024, 'x'), 10);
            QTRY_VERIFY(server.streamedBytes() > 4096);
        }
        QCOMPARE(server.openConnections(), 1);
        w.window->close();
        QTRY_VERIFY(!w.window);
        QTRY_COMPARE(server.openConnections(), 0);
    }

    void longListIsFilledWithoutCellWidgets()
    {
        constexpr int Products = 5000;
        QByteArray products;
        for (int i = 0; i < Products; ++i)
            products += product(QStringLiteral("Product %1").arg(i), QStringLiteral("2.%1").arg(i));
        const QByteArray reply = updateReply(products);
        QVERIFY(reply.size() <= NetworkManager::MaxReplySize);
        LoopbackHttp server([&](const HttpRequest &) { return HttpResponse::ok(reply); });
        CheckUpdates::setCheckUrl(server.url());
        CheckUpdates::setNoResponseTimeout(60000);
        Window w;
        QVERIFY(w.check());
        QVERIFY2(w.statusIs(QStringLiteral("Available updates found"), false), qPrintable(w.status()->text()));
        QTableWidget *table = w.table();
        QCOMPARE(table->rowCount(), Products);
        for (int row = 0; row < Products; ++row)
            for (int column = 0; column < table->columnCount(); ++column)
                QVERIFY(!table->cellWidget(row, column));
        QCOMPARE(rowsOf(table).last(), QStringLiteral("Product 4999||2.4999|news|Download"));
        // Every row as high as its contents ask, though not each was measured.
        for (int row : {0, 1, 999, 1000, Products / 2, Products - 1}) {
            const int height = table->rowHeight(row);
            table->resizeRowToContents(row);
            QCOMPARE(table->rowHeight(row), height);
        }
    }

    void silenceThenALateReply()
    {
        LoopbackHttp server([](const HttpRequest &) { return std::optional<HttpResponse>(); });
        CheckUpdates::setCheckUrl(server.url());
        CheckUpdates::setNoResponseTimeout(100);
        Window w;
        QTest::mouseClick(w.checkButton(), Qt::LeftButton);
        QVERIFY(!w.checkButton()->isEnabled());
        QTRY_VERIFY(w.statusIs(QStringLiteral("No response from service"), true));
        QVERIFY(w.checkButton()->isEnabled());
        QTRY_COMPARE(server.heldCount(), 1);
        server.answerHeld(HttpResponse::ok(updateReply(product(programTitle, "1.20"))));
        QTRY_VERIFY(w.statusIs(QStringLiteral("Available updates found"), false));
        QCOMPARE(w.table()->rowCount(), 1);
    }

    void hostileReplyIsShownAsText()
    {
        const QByteArray reply = updateReply(
            "<product><name>Evil \"&lt;b&gt;bold&lt;/b&gt;</name><curr_ver>9.0</curr_ver>"
            "<link>javascript:alert(1)</link><link_file>file:///etc/passwd</link_file>"
            "<descr>&lt;img src=x&gt;</descr></product>"
            "<product><name>Fine &amp; &lt;Co&gt;</name><curr_ver>9.0</curr_ver>"
            "<link>https://zorvo.invalid/a?b=1&amp;c=2</link>"
            "<link_file>http://zorvo.invalid/f\" onclick=\"x</link_file></product>"
            "<product><name>Plain</name><curr_ver>9.0</curr_ver><link>HTTP://zorvo.invalid/p</link>"
            "<link_file>https://zorvo.invalid/p.zip</link_file>"
            "<descr>first line\nsecond line</descr></product>");
        LoopbackHttp server([&](const HttpRequest &) { return HttpResponse::ok(reply); });
        CheckUpdates::setCheckUrl(server.url());
        Window w;
        QVERIFY(w.check());
        QTableWidget *table = w.table();
        QCOMPARE(table->rowCount(), 3);

        // Cells are items: their text is shown as it is, never as markup.
        QCOMPARE(cell(table, 0, 0), QStringLiteral("Evil \"<b>bold</b>"));
        QCOMPARE(cell(table, 0, 3), QStringLiteral("<img src=x>"));
        QCOMPARE(cell(table, 0, 4), QStringLiteral("file:///etc/passwd"));
        QCOMPARE(cell(table, 1, 0), QStringLiteral("Fine & <Co>"));
        // Only web addresses become links; a quote cannot end one early.
        QCOMPARE(linkOf(table, 0, 0), QString());
        QCOMPARE(linkOf(table, 0, 4), QString());
        QCOMPARE(linkOf(table, 1, 0), QStringLiteral("https://zorvo.invalid/a?b=1&c=2"));
        QCOMPARE(cell(table, 1, 4), QStringLiteral("http://zorvo.invalid/f\" onclick=\"x"));
        QCOMPARE(linkOf(table, 1, 4), QString());
        QCOMPARE(cell(table, 2, 4), QStringLiteral("Download"));
        QCOMPARE(linkOf(table, 2, 4), QStringLiteral("https://zorvo.invalid/p.zip"));
        QVERIFY(table->item(2, 4)->font().underline());
        QVERIFY(!table->item(0, 4)->font().underline());
        // Rows of more than a line (two lines of description, a long address)
        // are as high as their contents.
        for (int row = 0; row < 3; ++row) {
            const int height = table->rowHeight(row);
            table->resizeRowToContents(row);
            QCOMPARE(table->rowHeight(row), height);
        }
        QVERIFY(table->rowHeight(2) > table->verticalHeader()->defaultSectionSize());

        // A click on a link opens it in the browser; a click on other text opens nothing.
        OpenedUrls opened;
        w.clickCell(1, 0);
        w.clickCell(2, 4);
        w.clickCell(0, 0);
        w.clickCell(0, 4);
        w.clickCell(2, 3);
        QCOMPARE(opened.urls, (QStringList{QStringLiteral("https://zorvo.invalid/a?b=1&c=2"),
                                           QStringLiteral("https://zorvo.invalid/p.zip")}));
        // Enter on the current cell as well.
        table->setCurrentCell(2, 0);
        table->setFocus();
        QTest::keyClick(table, Qt::Key_Return);
        QCOMPARE(opened.urls.last(), QStringLiteral("http://zorvo.invalid/p"));

        // The status label never renders markup either.
        w.window->setInfoText(QStringLiteral("<b>x</b>"), QStringLiteral("color: rgb(0, 0, 0);"));
        QCOMPARE(w.status()->textFormat(), Qt::PlainText);
    }

    void throughTheProxy_data()
    {
        QTest::addColumn<bool>("proxyOn");
        QTest::newRow("proxy on, credentials after a 407") << true;
        QTest::newRow("proxy off") << false;
    }
    void throughTheProxy()
    {
        QFETCH(bool, proxyOn);
        const QByteArray reply = updateReply(product(programTitle, "1.20"));
        const QByteArray credentials = "Basic " + QByteArray("ivan:s3cret").toBase64();
        LoopbackHttp proxy([&](const HttpRequest &request) {
            if (request.header("Proxy-Authorization") == credentials)
                return HttpResponse::ok(reply);
            return HttpResponse::proxyChallenge();
        });
        LoopbackHttp server([&](const HttpRequest &) { return HttpResponse::ok(reply); });
        storeProxyKeys(proxyOn ? 1 : 0, 3, QStringLiteral("127.0.0.1"), proxy.port(), QStringLiteral("ivan"),
                       QStringLiteral("s3cret"));
        if (!proxyOn)
            CheckUpdates::setCheckUrl(server.url());
        Window w;
        QVERIFY(w.check());
        QVERIFY2(w.statusIs(QStringLiteral("Available updates found"), false), qPrintable(w.status()->text()));
        QCOMPARE(rowsOf(w.table()), QStringList{programTitle + "|1.14.4043|1.20|news|Download"});
        QVERIFY(!settingsFileBytes().contains("s3cret"));
        if (proxyOn) {
            QCOMPARE(proxy.requests().size(), 2);
            QCOMPARE(proxy.requests().last().target, QByteArray("http://updates.zorvo.invalid/version/"));
            QVERIFY(server.requests().isEmpty());
        } else {
            QVERIFY(proxy.requests().isEmpty());
            QCOMPARE(server.requests().size(), 1);
        }
    }

    void proxyDialogFromTheWindow()
    {
        storeProxyKeys(1, 3, QStringLiteral("gw.local"), 3128);
        Window w;
        DialogScript dialogs;
        dialogs.then([](QDialog *dialog) {
            screenshot(dialog, QStringLiteral("proxy-setup.png"));
            dialog->findChild<QCheckBox *>(QStringLiteral("cbEnable"))->setChecked(false);
            return int(QDialog::Rejected);
        });
        QTest::mouseClick(w.window->findChild<QPushButton *>(QStringLiteral("pbProxySettings")), Qt::LeftButton);
        QCOMPARE(dialogs.records().size(), 1);
        QCOMPARE(dialogs.records().first().className, QStringLiteral("ProxySetup"));
        // Cancel took back what the Enable box did at once.
        QVERIFY(w.statusIs(QStringLiteral("Proxy ON"), false));
        QCOMPARE(appSettings.value(QLatin1String(SettingsKey::ProxyOn)).toInt(), 1);
        QCOMPARE(w.window->findChild<NetworkManager *>()->proxy().type(), QNetworkProxy::HttpProxy);

        // OK with a new password: used, not written to the settings file; with
        // no secret store here the window says it is not saved.
        dialogs.then([](QDialog *dialog) {
            auto *password = dialog->findChild<QLineEdit *>(QStringLiteral("lePassword"));
            password->clear();
            QTest::keyClicks(password, QStringLiteral("n3w-secret"));
            dialog->accept();
            return int(QDialog::Accepted);
        });
        QTest::mouseClick(w.window->findChild<QPushButton *>(QStringLiteral("pbProxySettings")), Qt::LeftButton);
        QCOMPARE(ProxyPassword::instance()->password(), QStringLiteral("n3w-secret"));
        QTRY_VERIFY(w.status()->text().startsWith(QLatin1String("The proxy password is not saved")));
        QCOMPARE(w.status()->styleSheet(), QStringLiteral("color: rgb(255, 0, 0);"));
        QVERIFY(!settingsFileBytes().contains("n3w-secret"));
    }

    void dockOpensOneWindow()
    {
        DeviceItem smoke(infoOf(1, 3, 0x0105), false);
        LoopbackHttp server([&](const HttpRequest &) {
            return HttpResponse::ok(updateReply(product(programTitle, "1.20") + product(deviceTypeName(3), "1.06")));
        });
        CheckUpdates::setCheckUrl(server.url());
        UpdateStatusDock dock;
        dock.setAvailableDevices({&smoke});
        auto *button = dock.findChild<QPushButton *>(QStringLiteral("pbCheckUpdates"));
        QVERIFY(button);
        dock.show();
        QVERIFY(!button->isVisible()); // no window shows it yet

        const QPointer<CheckUpdates> first = dock.showCheckUpdates();
        QVERIFY(first && first->isVisible());
        QVERIFY(!first->parent());
        QCOMPARE(first->windowModality(), Qt::ApplicationModal);
        Window w;
        w.window->close();
        w.window = first;
        QVERIFY(w.statusIs(QStringLiteral("Attention! Before updating, you need to make sure that the new versions of "
                                          "HUBRO and sensor software are compatible!"),
                           false));
        QCOMPARE(dock.showCheckUpdates(), first.data());

        QVERIFY(w.check());
        QCOMPARE(w.table()->rowCount(), 2);
        w.window->resize(900, 300);
        screenshot(w.window, QStringLiteral("update-table.png"));

        first->close(); // deletes itself
        QTRY_VERIFY(!first);
        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_VERIFY(dock.showCheckUpdates() != nullptr);
        dock.showCheckUpdates()->close();
    }
};

QTEST_MAIN(CheckUpdatesTest)
#include "tst_checkupdates.moc"
