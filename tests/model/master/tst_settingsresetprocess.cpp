// The configuration reset procedure: request, warning with countdown, pings,
// outcome boxes, restart, and ending it early.
#include "settingsresetprocess.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

namespace {
constexpr int TickMs = 20;

Packet reply(uint8_t type)
{
    Packet packet;
    packet.data = QByteArray(1, char(type));
    return packet;
}

QString countdownText(int seconds)
{
    return QStringLiteral("Exit configuration reset after %1 s").arg(seconds);
}

// Owns the process through a Qt parent, as the master item does, and stands
// in for the link: keeps each request with its reply callback.
struct Fixture
{
    QObject owner;
    QPointer<SettingsResetProcess> process = new SettingsResetProcess(&owner);
    QList<QByteArray> sent;
    QList<ResponseCb> callbacks;
    QSignalSpy restart{process.data(), &SettingsResetProcess::restartMaster};
    QSignalSpy closing{process.data(), &SettingsResetProcess::closeConnection};
    QSignalSpy requests{process.data(), &SettingsResetProcess::sendPacket};

    Fixture()
    {
        process->setTickInterval(TickMs);
        QObject::connect(process.data(), &SettingsResetProcess::sendPacket,
                         [this](const QByteArray &packet, const ResponseCb &cb) {
                             sent << packet;
                             callbacks << cb;
                         });
    }

    bool answerLast(uint8_t type) { return callbacks.last()(reply(type)); }

    // Started and armed: the warning is up and the first ping is out.
    bool arm()
    {
        process->start();
        if (!answerLast(PT_RESET_SETTINGS_ACK))
            return false;
        return requests.wait(5000) && sent.last() == QByteArray(1, char(PT_RESET_SETTINGS_PING));
    }
};
} // namespace

class SettingsResetProcessTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initTestResources(); }

    void runsToTheRestart()
    {
        MessageBoxRecorder boxes;
        Fixture f;
        f.process->start();
        QCOMPARE(f.sent, QList<QByteArray>{QByteArray(1, char(PT_RESET_SETTINGS_REQ))});
        QVERIFY(f.answerLast(PT_RESET_SETTINGS_ACK));

        QPointer<QMessageBox> box = f.process->confirmationBox();
        QVERIFY(box);
        QVERIFY(box->isVisible());
        QVERIFY(!box->isModal());
        QCOMPARE(box->text(), QStringLiteral("Warning! Device configuration about to be erased!\n\n"
                                             "Confirm by pressing case button."));
        QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Close));
        QCOMPARE(box->icon(), QMessageBox::Warning);
        QCOMPARE(box->informativeText(), countdownText(16));

        // Busy twice, then done: three pings, each a tick after the answer before.
        for (int ping = 1; ping <= 3; ++ping) {
            QVERIFY(f.requests.wait(5000));
            QCOMPARE(f.sent.size(), 1 + ping);
            QCOMPARE(f.sent.last(), QByteArray(1, char(PT_RESET_SETTINGS_PING)));
            QVERIFY(f.answerLast(ping < 3 ? PT_RESET_SETTINGS_BUSY : PT_RESET_SETTINGS_DONE));
        }
        QCOMPARE(f.restart.size(), 1);
        QCOMPARE(f.restart.at(0).at(0).toInt(), 20000);
        QCOMPARE(f.closing.size(), 0);
        QVERIFY(!f.process->confirmationBox());
        QTRY_VERIFY(!box);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().kind, UiSeams::MessageBoxRequest::Information);
        QCOMPARE(boxes.last().text, QStringLiteral("Configuration reseted successfully"));
        QCOMPARE(boxes.last().title, QStringLiteral("Success"));
        QVERIFY(!boxes.last().modal);

        // Nothing runs on: no further ping, the object stays with its owner.
        QVERIFY(!f.requests.wait(10 * TickMs));
        QVERIFY(f.process);
    }

    void countdownStopsAtOne()
    {
        Fixture f;
        f.process->start();
        QVERIFY(f.answerLast(PT_RESET_SETTINGS_ACK));
        QMessageBox *box = f.process->confirmationBox();

        // Sample the text on every pass of the event loop: each tick shows up.
        QStringList shown{box->informativeText()};
        QTimer sampler;
        QObject::connect(&sampler, &QTimer::timeout, [&] {
            if (box->informativeText() != shown.last())
                shown << box->informativeText();
        });
        sampler.start(0);
        QTRY_COMPARE(f.process->secondsShown(), 0);
        QTest::qWait(5 * TickMs); // a few more ticks: the count stays at 1
        sampler.stop();

        QStringList expected;
        for (int seconds = 16; seconds >= 1; --seconds)
            expected << countdownText(seconds);
        QCOMPARE(shown, expected);
        QVERIFY(box->isVisible()); // the master, not the count, decides the end
    }

    void otherRequestReplyLeavesItIdle()
    {
        MessageBoxRecorder boxes;
        Fixture f;
        f.process->start();
        QVERIFY(!f.answerLast(PT_RESET_SETTINGS_FAIL));
        QVERIFY(!f.process->confirmationBox());
        QVERIFY(!f.requests.wait(10 * TickMs));
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(f.closing.size(), 0);
    }

    void refusalWhileTheWarningIsOpen()
    {
        MessageBoxRecorder boxes;
        Fixture f;
        QVERIFY(f.arm());
        QPointer<QMessageBox> box = f.process->confirmationBox();
        QVERIFY(f.answerLast(PT_RESET_SETTINGS_FAIL));
        QCOMPARE(f.closing.size(), 1);
        QCOMPARE(f.restart.size(), 0);
        QTRY_VERIFY(!box);
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().kind, UiSeams::MessageBoxRequest::Warning);
        QCOMPARE(boxes.last().text, QStringLiteral("Configuration reset confirmation timed out"));
        QCOMPARE(boxes.last().title, QStringLiteral("Failure"));
        QVERIFY(!f.requests.wait(10 * TickMs));
    }

    void userClosesTheWarning()
    {
        MessageBoxRecorder boxes;
        Fixture f;
        QVERIFY(f.arm());
        QPointer<QMessageBox> box = f.process->confirmationBox();
        box->button(QMessageBox::Close)->click();
        QTRY_VERIFY(!box);
        QCOMPARE(f.closing.size(), 1);
        QVERIFY(!f.process->confirmationBox());
        const int shown = f.process->secondsShown();
        QVERIFY(shown > 0);

        // The ping already out is still answered; a late refusal stays silent.
        QVERIFY(f.answerLast(PT_RESET_SETTINGS_FAIL));
        QCOMPARE(boxes.count(), 0);
        QCOMPARE(f.closing.size(), 1);
        QVERIFY(!f.requests.wait(10 * TickMs));
        QCOMPARE(f.process->secondsShown(), shown); // the countdown stopped
    }

    void abortTwiceReportsAndDeletesOnce()
    {
        MessageBoxRecorder boxes;
        Fixture f;
        QVERIFY(f.arm());
        QPointer<QMessageBox> box = f.process->confirmationBox();
        QSignalSpy destroyed(f.process.data(), &QObject::destroyed);
        f.process->abort();
        f.process->abort();
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.last().kind, UiSeams::MessageBoxRequest::Warning);
        QCOMPARE(boxes.last().text, QStringLiteral("Settings reset process aborted"));
        QCOMPARE(boxes.last().title, QStringLiteral("Failure"));
        QCOMPARE(f.closing.size(), 0);
        QTRY_VERIFY(!f.process);
        QCOMPARE(destroyed.size(), 1);
        QVERIFY(!box);

        // The link answers the ping that was out: nothing happens.
        QVERIFY(f.callbacks.last()(reply(PT_RESET_SETTINGS_DONE)));
        QCOMPARE(f.restart.size(), 0);
        QCOMPARE(boxes.count(), 1);
    }

    // The owner goes away while the deferred deletion is still pending.
    void abortThenOwnerDeletedIsOneDeletion()
    {
        MessageBoxRecorder boxes;
        auto *f = new Fixture;
        QVERIFY(f->arm());
        QPointer<SettingsResetProcess> process = f->process;
        QPointer<QMessageBox> box = process->confirmationBox();
        process->abort();
        QVERIFY(process);
        ResponseCb late = f->callbacks.last();
        delete f;
        QVERIFY(!process);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!box);
        QVERIFY(late(reply(PT_RESET_SETTINGS_BUSY)));
    }

    void ownerDeletedWhileArmedTakesTheWarningAlong()
    {
        auto *f = new Fixture;
        QVERIFY(f->arm());
        QPointer<QMessageBox> box = f->process->confirmationBox();
        QSignalSpy closing(f->process.data(), &SettingsResetProcess::closeConnection);
        ResponseCb late = f->callbacks.last();
        delete f;
        QVERIFY(!box);
        QCOMPARE(closing.size(), 0);
        QVERIFY(late(reply(PT_RESET_SETTINGS_DONE)));
    }

    void abortAfterSuccessReportsNoFailure()
    {
        MessageBoxRecorder boxes;
        Fixture f;
        QVERIFY(f.arm());
        QVERIFY(f.answerLast(PT_RESET_SETTINGS_DONE));
        QCOMPARE(boxes.count(), 1);
        f.process->abort();
        QCOMPARE(boxes.count(), 1);
        QTRY_VERIFY(!f.process);
    }
};

QTEST_MAIN(SettingsResetProcessTest)
#include "tst_settingsresetprocess.moc"
