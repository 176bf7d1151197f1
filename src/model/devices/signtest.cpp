#include "signtest.h"

#include "deviceitem.h"
#include "messageboxes.h"
#include "senddatamanager.h"

#include <QDebug>
#include <QPointer>
#include <QTime>

namespace {
int watchdogInterval = 40000;
}

SignTest::SignTest(DeviceItem *item) : QObject(item), m_item(item)
{
    m_watchdog.setInterval(watchdogInterval);
    connect(&m_watchdog, &QTimer::timeout, this, &SignTest::expired);
}

void SignTest::setWatchdogInterval(int ms)
{
    watchdogInterval = ms;
}

void SignTest::start()
{
    m_toggle = false;
    m_running = true;
    m_watchdog.setInterval(watchdogInterval);
    m_watchdog.stop();
}

void SignTest::end()
{
    m_running = false;
    m_watchdog.stop();
}

void SignTest::onReading(bool lit)
{
    if (!m_running)
        return;
    if (lit && m_toggle) {
        turnOff(m_item);
        m_toggle = false;
        m_watchdog.start();
    } else if (!lit && !m_toggle) {
        turnOn(m_item);
        m_toggle = true;
        m_watchdog.start();
    }
}

void SignTest::turnOn(DeviceItem *item)
{
    SendDataManager::instance()->enqueue({item}, QByteArray::fromHex("0004010FFF"));
}

void SignTest::turnOff(DeviceItem *item)
{
    SendDataManager::instance()->enqueue({item}, QByteArray::fromHex("00040103FF"));
}

void SignTest::expired()
{
    // The next reading repeats the command that did not take effect.
    m_toggle = !m_toggle;
    if (m_boxOpen) {
        qWarning().noquote() << QStringLiteral("Sign %1: state still not changed").arg(m_item->deviceId());
        return;
    }
    m_boxOpen = true;
    // Shown from the event loop, not from the timer's own expiry: the
    // watchdog keeps running while the box is open.
    QMetaObject::invokeMethod(this, &SignTest::showFailure, Qt::QueuedConnection);
}

void SignTest::showFailure()
{
    // The box runs the event loop: the item, and this with it, may go meanwhile.
    QPointer<SignTest> self(this);
    showCriticalMessage(tr("Error occured: %1.\nRetrying...").arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))),
                        tr("Failed to change state"));
    if (self)
        m_boxOpen = false;
}

QList<DeviceAction> SignTest::actions()
{
    return {DeviceAction{StartAction, tr("Start sign test")}, DeviceAction{EndAction, tr("End sign test")}};
}
