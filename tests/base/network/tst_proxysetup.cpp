#include "networkmanager.h"
#include "proxykeys.h"
#include "proxypassword.h"
#include "proxysetup.h"
#include "settings.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>

namespace {
QVariant stored(const char *key)
{
    return appSettings.value(QLatin1String(key));
}

QVariantList storedKeys()
{
    return proxyKeysOf(appSettings);
}

// The store's file, read back as another program run would.
QVariantList keysOnDisk()
{
    return proxyKeysOf(QSettings(appSettings.fileName(), appSettings.format()));
}

struct Form
{
    explicit Form(ProxySetup &dialog)
        : enable(dialog.findChild<QCheckBox *>(QStringLiteral("cbEnable"))),
          type(dialog.findChild<QComboBox *>(QStringLiteral("cbType"))),
          host(dialog.findChild<QLineEdit *>(QStringLiteral("leHost"))),
          port(dialog.findChild<QSpinBox *>(QStringLiteral("sbPort"))),
          user(dialog.findChild<QLineEdit *>(QStringLiteral("leUser"))),
          password(dialog.findChild<QLineEdit *>(QStringLiteral("lePassword"))),
          defaults(dialog.findChild<QPushButton *>(QStringLiteral("pbDefault")))
    {
    }
    QCheckBox *enable;
    QComboBox *type;
    QLineEdit *host;
    QSpinBox *port;
    QLineEdit *user;
    QLineEdit *password;
    QPushButton *defaults;
};

const QVariantList Defaults = {1, 3, QStringLiteral("proxy.zorvo.invalid"), 3128, QString()};

QString password()
{
    return ProxyPassword::instance()->password();
}
} // namespace

class ProxySetupTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initTestResources(); }
    void init() { appSettings.clear(); }

    void freshStoreShowsTheDefaultsOff()
    {
        NetworkManager manager;
        ProxySetup dialog(&manager);
        Form form(dialog);
        QVERIFY(!form.enable->isChecked());
        QCOMPARE(form.type->currentIndex(), 3);
        QCOMPARE(form.host->text(), QStringLiteral("proxy.zorvo.invalid"));
        QCOMPARE(form.port->value(), 3128);
        QVERIFY(form.user->text().isEmpty());
        dialog.reject();
        QVERIFY(appSettings.allKeys().isEmpty()); // looking stores nothing
    }

    void formShowsTheStoredKeys()
    {
        storeProxyKeys(1, 1, QStringLiteral("gw.local"), 8080, QStringLiteral("ivan"), QStringLiteral("p a s s"));
        NetworkManager manager;
        ProxySetup dialog(&manager);
        Form form(dialog);
        QVERIFY(form.enable->isChecked());
        QCOMPARE(form.type->count(), 6);
        const QStringList kinds = {"Defaultp proxy", "Socks5 proxy", "No proxy", "Http proxy", "Http caching proxy",
                                   "FtpCaching proxy"};
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(form.type->itemText(i), kinds.at(i));
            QCOMPARE(form.type->itemData(i).toInt(), i);
        }
        QCOMPARE(form.type->currentIndex(), 1);
        QCOMPARE(form.host->text(), QStringLiteral("gw.local"));
        QCOMPARE(form.port->value(), 8080);
        QCOMPARE(form.user->text(), QStringLiteral("ivan"));
        QCOMPARE(form.password->echoMode(), QLineEdit::Normal); // shown as typed
        QCOMPARE(form.password->text(), QStringLiteral("p a s s"));
        QVERIFY(dialog.windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!(dialog.windowFlags() & Qt::WindowContextHelpButtonHint));
    }

    void unusualStoredValues()
    {
        // A type outside the list and a port that is no number.
        appSettings.setValue(QLatin1String(SettingsKey::ProxyType), 9);
        appSettings.setValue(QLatin1String(SettingsKey::ProxyPort), QStringLiteral("eighty"));
        NetworkManager manager;
        ProxySetup dialog(&manager);
        Form form(dialog);
        QCOMPARE(form.type->currentIndex(), -1);
        QCOMPARE(form.port->value(), 0);
        QVERIFY(!form.enable->isChecked());
        // Loading stored nothing.
        QVERIFY(!appSettings.contains(QLatin1String(SettingsKey::ProxyOn)));
        QVERIFY(!appSettings.contains(QLatin1String(SettingsKey::ProxyHost)));
    }

    void okStoresTheForm()
    {
        storeProxyKeys(1, 3, QStringLiteral("proxy.zorvo.invalid"), 3128, QString(), QStringLiteral("old secret"));
        NetworkManager manager;
        ProxySetup dialog(&manager);
        Form form(dialog);
        QCOMPARE(form.password->text(), QStringLiteral("old secret"));
        form.type->setCurrentIndex(4);
        form.host->setText(QStringLiteral("cache.lan"));
        form.port->setValue(65535);
        form.user->setText(QStringLiteral("ivan"));
        form.password->clear();
        // Typed as an input method commits it: the text is not ASCII.
        QInputMethodEvent typed;
        typed.setCommitString(QStringLiteral(" пароль 1 "));
        QApplication::sendEvent(form.password, &typed);
        QSignalSpy written(ProxyPassword::instance(), &ProxyPassword::written);
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const QVariantList expected = {1, 4, QStringLiteral("cache.lan"), 65535, QStringLiteral("ivan")};
        QCOMPARE(storedKeys(), expected);
        QCOMPARE(keysOnDisk(), expected);
        // The password is used from now on; no secret store answers here, so
        // it is kept in memory only, and the write says so.
        QCOMPARE(password(), QStringLiteral(" пароль 1 "));
        QVERIFY(written.wait(10000));
        QCOMPARE(written.first().first().toBool(), false);
        QVERIFY(!ProxyPassword::instance()->notKeptReason().isEmpty());
        const QByteArray file = settingsFileBytes();
        QVERIFY(!file.contains("password"));
        QVERIFY(!file.contains(QStringLiteral("пароль").toUtf8()));
        QVERIFY(!file.contains("old secret"));
    }

    void okLeavesAnUntouchedPassword()
    {
        storeProxyKeys(1, 3, QStringLiteral("gw.local"), 3128, QStringLiteral("u"), QStringLiteral("kept"));
        QVERIFY(QSignalSpy(ProxyPassword::instance(), &ProxyPassword::written).wait(10000));
        NetworkManager manager;
        ProxySetup dialog(&manager);
        QSignalSpy written(ProxyPassword::instance(), &ProxyPassword::written);
        dialog.accept();
        QCOMPARE(password(), QStringLiteral("kept"));
        QVERIFY(!written.wait(200)); // nothing written again
    }

    void cancelKeepsTheSettings_data()
    {
        QTest::addColumn<bool>("storedBefore");
        QTest::addColumn<int>("onBefore");
        QTest::addColumn<bool>("toggle");
        QTest::addColumn<bool>("defaults");
        QTest::newRow("only looked, proxy on") << true << 1 << false << false;
        QTest::newRow("only looked, proxy off") << true << 0 << false << false;
        QTest::newRow("Enable switched off, then Cancel") << true << 1 << true << false;
        QTest::newRow("Enable switched on, then Cancel") << true << 0 << true << false;
        QTest::newRow("Default pressed, then Cancel") << true << 0 << false << true;
        QTest::newRow("fresh store, Enable switched on, then Cancel") << false << 0 << true << false;
    }
    void cancelKeepsTheSettings()
    {
        QFETCH(bool, storedBefore);
        QFETCH(int, onBefore);
        QFETCH(bool, toggle);
        QFETCH(bool, defaults);
        if (storedBefore)
            storeProxyKeys(onBefore, 1, QStringLiteral("old.host"), 1080, QStringLiteral("u"), QStringLiteral("p"));
        const QStringList keysBefore = appSettings.allKeys();
        const QVariantList before = storedKeys();
        const QString passwordBefore = password();

        NetworkManager manager;
        manager.applyProxySettings();
        const QNetworkProxy::ProxyType typeBefore = manager.proxy().type();
        ProxySetup dialog(&manager);
        Form form(dialog);
        QSignalSpy texts(&dialog, qOverload<const QString &, const QString &>(&ProxySetup::setText));
        form.host->setText(QStringLiteral("new.host"));
        form.password->setText(QStringLiteral("typed"));
        if (toggle)
            form.enable->toggle();
        if (defaults)
            QTest::mouseClick(form.defaults, Qt::LeftButton);
        dialog.reject();

        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(appSettings.allKeys(), keysBefore);
        QCOMPARE(storedKeys(), before);
        QCOMPARE(keysOnDisk(), before);
        QCOMPARE(password(), passwordBefore);
        QCOMPARE(manager.proxy().type(), typeBefore);
        // A change the Enable box made at once is taken back, and said.
        if (toggle || (defaults && onBefore == 0))
            QCOMPARE(texts.last().first().toString(),
                     onBefore == 1 && storedBefore ? QStringLiteral("Proxy ON") : QStringLiteral("Proxy OFF"));
        else
            QVERIFY(texts.isEmpty());
    }

    void enableTakesEffectAtOnce()
    {
        storeProxyKeys(1, 3, QStringLiteral("gw.local"), 3128, QString(), QString());
        NetworkManager manager;
        manager.applyProxySettings();
        QCOMPARE(manager.proxy().type(), QNetworkProxy::HttpProxy);
        ProxySetup dialog(&manager);
        Form form(dialog);
        QSignalSpy texts(&dialog, qOverload<const QString &, const QString &>(&ProxySetup::setText));
        form.host->setText(QStringLiteral("typed.but.not.stored"));

        form.enable->setChecked(false);
        QCOMPARE(stored(SettingsKey::ProxyOn).toInt(), 0);
        QCOMPARE(keysOnDisk().first().toInt(), 0);
        QCOMPARE(manager.proxy().type(), QNetworkProxy::DefaultProxy);
        QCOMPARE(texts.count(), 1);
        QCOMPARE(texts.last(), (QVariantList{QStringLiteral("Proxy OFF"), QStringLiteral("color: rgb(0, 0, 0);")}));

        // On again: the stored host applies, not the typed one.
        form.enable->setChecked(true);
        QCOMPARE(stored(SettingsKey::ProxyOn).toInt(), 1);
        QCOMPARE(manager.proxy().hostName(), QStringLiteral("gw.local"));
        QCOMPARE(texts.last().first().toString(), QStringLiteral("Proxy ON"));
    }

    void defaultButton_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("then OK") << true;
        QTest::newRow("then Cancel") << false;
    }
    void defaultButton()
    {
        QFETCH(bool, ok);
        storeProxyKeys(0, 1, QStringLiteral("old.host"), 1080, QStringLiteral("u"), QStringLiteral("p"));
        NetworkManager manager;
        ProxySetup dialog(&manager);
        Form form(dialog);
        QTest::mouseClick(form.defaults, Qt::LeftButton);
        // Nothing but the Enable box's own key is stored by the button.
        QCOMPARE(storedKeys(), (QVariantList{1, 1, QStringLiteral("old.host"), 1080, QStringLiteral("u")}));
        QCOMPARE(password(), QStringLiteral("p"));
        QCOMPARE(form.type->currentIndex(), 3);
        QCOMPARE(form.host->text(), QStringLiteral("proxy.zorvo.invalid"));
        QCOMPARE(form.port->value(), 3128);
        QVERIFY(form.user->text().isEmpty() && form.password->text().isEmpty());
        if (ok) {
            dialog.accept();
            QCOMPARE(storedKeys(), Defaults);
            QCOMPARE(password(), QString());
        } else {
            dialog.reject();
            QCOMPARE(storedKeys(), (QVariantList{0, 1, QStringLiteral("old.host"), 1080, QStringLiteral("u")}));
            QCOMPARE(password(), QStringLiteral("p"));
        }
    }
};

QTEST_MAIN(ProxySetupTest)
#include "tst_proxysetup.moc"
