#include "proxykeys.h"
#include "proxypassword.h"
#include "secretservice.h"
#include "settings.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {
// What a new run of the program would read.
QString readAgain()
{
    ProxyPassword fresh;
    QSignalSpy known(&fresh, &ProxyPassword::known);
    fresh.read();
    if (!fresh.isKnown() && !known.wait(10000))
        return QStringLiteral("<no answer>");
    return fresh.password();
}
} // namespace

// The proxy password with a secret store that answers: the test's own.
class ProxyPasswordTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        service = std::make_unique<SecretService>();
        if (!service->missing().isEmpty())
            QSKIP(qPrintable(service->missing()));
    }
    void cleanupTestCase() { service.reset(); }
    void init() { appSettings.clear(); }

    void writtenToTheStoreNotTheFile_data()
    {
        QTest::addColumn<QString>("password");
        QTest::newRow("plain") << QStringLiteral("s3cret");
        QTest::newRow("spaces and Cyrillic") << QStringLiteral(" пароль 1 ");
        QTest::newRow("empty: removed") << QString();
    }
    void writtenToTheStoreNotTheFile()
    {
        QFETCH(QString, password);
        ProxyPassword proxy;
        QSignalSpy written(&proxy, &ProxyPassword::written);
        proxy.write(password);
        QCOMPARE(proxy.password(), password); // used at once
        QVERIFY(written.wait(10000));
        QCOMPARE(written.first().first().toBool(), true);
        QVERIFY(proxy.notKeptReason().isEmpty());
        QCOMPARE(readAgain(), password);
        QVERIFY(!appSettings.contains(QLatin1String(SettingsKey::ProxyPassword)));
        if (!password.isEmpty())
            QVERIFY(!settingsFileBytes().contains(password.toUtf8()));
    }

    void plainTextOfAnOlderVersionIsMoved()
    {
        appSettings.setValue(QLatin1String(SettingsKey::ProxyPassword), QStringLiteral("from 1.13"));
        appSettings.sync();
        ProxyPassword proxy;
        proxy.read();
        QVERIFY(proxy.isKnown());
        QCOMPARE(proxy.password(), QStringLiteral("from 1.13"));
        // It leaves the file once the store holds it.
        QTRY_VERIFY_WITH_TIMEOUT(!appSettings.contains(QLatin1String(SettingsKey::ProxyPassword)), 10000);
        QVERIFY(!settingsFileBytes().contains("from 1.13"));
        QCOMPARE(readAgain(), QStringLiteral("from 1.13"));
    }

    void aWriteOutrunsAnEarlierRead()
    {
        ProxyPassword setup;
        QSignalSpy done(&setup, &ProxyPassword::written);
        setup.write(QStringLiteral("stored"));
        QVERIFY(done.wait(10000));

        ProxyPassword proxy;
        QSignalSpy known(&proxy, &ProxyPassword::known);
        proxy.read();
        proxy.write(QStringLiteral("typed")); // before the store answered the read
        QSignalSpy written(&proxy, &ProxyPassword::written);
        QVERIFY(written.wait(10000));
        QCOMPARE(known.count(), 1);
        QCOMPARE(proxy.password(), QStringLiteral("typed"));
        QCOMPARE(readAgain(), QStringLiteral("typed"));
    }

private:
    std::unique_ptr<SecretService> service;
};

int main(int argc, char **argv)
{
    runOnPrivateBus(argv);
    QCoreApplication app(argc, argv);
    ProxyPasswordTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_proxypassword.moc"
