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
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include <memory>

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


// A cell as text: a label's text as set (markup included), else the item's.
QString cell(QTableWidget *table, int row, int column)
{
    if (auto *label = qobject_cast<QLabel *>(table->cellWidget(row, column)))
        return label->text();
    QTableWidgetItem *item = table->item(row, column);
    return item ? item->text() : QStringLiteral("<none>");
}

// "Product|FW version|Available version|Changes|Link" for each row, with the
// product's anchor reduced to its text.
QStringList rowsOf(QTableWidget *table)
{
    QStringList rows;
    for (int row = 0; row < table->rowCount(); ++row) {
        QString name = cell(table, row, 0);
        name.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
        QString link = cell(table, row, 4);
        if (link.contains(QLatin1String(">Download</a>")))
            link = QStringLiteral("Download");
        rows << QStringList{name, cell(table, row, 1), cell(table, row, 2), cell(table, row, 3), link}.join(
            QLatin1Char('|'));
    }
    return rows;
}

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
    }
    void cleanup() { CheckUpdates::setCheckUrl(QString()); }

    void firstOpeningStoresTheDefaults()
    {
        appSettings.clear();
        CheckUpdates window({});
        QCOMPARE(proxyKeysOf(appSettings),
                 (QVariantList{1, 3, QStringLiteral("proxy.zorvo.invalid"), 3128, QString(), QString()}));
        // A store that has a proxy type keeps what it holds.
        storeProxyKeys(0, 1, QStringLiteral("gw"), 1080);
        CheckUpdates again({});
        QCOMPARE(proxyKeysOf(appSettings).first().toInt(), 0);
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

    void failuresKeepTheTable()
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
        QCOMPARE(w.table()->rowCount(), 1);

        const quint16 closedPort = closedLoopbackPort();
        CheckUpdates::setCheckUrl(QStringLiteral("http://127.0.0.1:%1/version/").arg(closedPort));
        QVERIFY(w.check());
        QVERIFY2(w.status()->text().contains(QLatin1String("refused")), qPrintable(w.status()->text()));
        QCOMPARE(w.status()->styleSheet(), QStringLiteral("color: rgb(255, 0, 0);"));
        QCOMPARE(w.table()->rowCount(), 1);
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
            "<link_file>https://zorvo.invalid/p.zip</link_file></product>");
        LoopbackHttp server([&](const HttpRequest &) { return HttpResponse::ok(reply); });
        CheckUpdates::setCheckUrl(server.url());
        Window w;
        QVERIFY(w.check());
        QTableWidget *table = w.table();
        QCOMPARE(table->rowCount(), 3);

        auto *evil = qobject_cast<QLabel *>(table->cellWidget(0, 0));
        QVERIFY(evil);
        QCOMPARE(evil->textFormat(), Qt::PlainText);
        QCOMPARE(evil->text(), QStringLiteral("Evil \"<b>bold</b>"));
        auto *evilFile = qobject_cast<QLabel *>(table->cellWidget(0, 4));
        QCOMPARE(evilFile->textFormat(), Qt::PlainText);
        QCOMPARE(evilFile->text(), QStringLiteral("file:///etc/passwd"));
        QCOMPARE(cell(table, 0, 3), QStringLiteral("<img src=x>")); // an item: never markup

        auto *fine = qobject_cast<QLabel *>(table->cellWidget(1, 0));
        QCOMPARE(fine->textFormat(), Qt::RichText);
        QVERIFY(fine->openExternalLinks());
        QCOMPARE(fine->text(),
                 QStringLiteral("<a href=\"https://zorvo.invalid/a?b=1&amp;c=2\">Fine &amp; &lt;Co&gt;</a>"));
        // A quote cannot end the address early: such an address is no link.
        auto *fineFile = qobject_cast<QLabel *>(table->cellWidget(1, 4));
        QCOMPARE(fineFile->textFormat(), Qt::PlainText);
        QCOMPARE(fineFile->text(), QStringLiteral("http://zorvo.invalid/f\" onclick=\"x"));
        // An ordinary product looks as it always did.
        QCOMPARE(cell(table, 2, 0), QStringLiteral("<a href=\"HTTP://zorvo.invalid/p\">Plain</a>"));
        QCOMPARE(cell(table, 2, 4), QStringLiteral("<a href=\"https://zorvo.invalid/p.zip\">Download</a>"));
        QVERIFY(qobject_cast<QLabel *>(table->cellWidget(2, 4))->openExternalLinks());

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
        QVERIFY(w.statusIs(QStringLiteral("Proxy OFF"), false));
        QCOMPARE(appSettings.value(QLatin1String(SettingsKey::ProxyOn)).toInt(), 0);
        QCOMPARE(w.window->findChild<NetworkManager *>()->proxy().type(), QNetworkProxy::DefaultProxy);
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
