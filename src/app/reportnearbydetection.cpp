#include "reportnearbydetection.h"

#include "connection.h"
#include "hubroitem.h"

#include <QTimer>

namespace {
// A start still queued behind other requests when the wait ends is awaited
// this long; an answer after it is taken for someone else's start.
constexpr int PendingGraceMs = 2000;
}

void ReportNearbyDetection::begin(Connection *connection, QObject *wait, const std::function<bool()> &start,
                                  std::function<void()> stop)
{
    HubroItem *master = connection ? connection->master() : nullptr;
    if (!master || master->hasChannelGroup())
        return;
    // A child of the master: it goes with the master item at the latest.
    auto *detection = new ReportNearbyDetection(master, std::move(stop));
    connect(master, &HubroItem::nearbyMasterDetectionStarted, detection, &ReportNearbyDetection::onStarted);
    connect(connection, &Connection::masterDisconnected, detection, &ReportNearbyDetection::forget);
    connect(connection, &Connection::masterRestarted, detection, &ReportNearbyDetection::forget);
    connect(wait, &QObject::destroyed, detection, &ReportNearbyDetection::finish);
    detection->m_pending = true;
    if (!start())
        delete detection; // refused before the master was asked: nothing to stop
}

ReportNearbyDetection::ReportNearbyDetection(HubroItem *master, std::function<void()> stop)
    : QObject(master), m_master(master), m_stop(std::move(stop))
{
}

void ReportNearbyDetection::onStarted()
{
    // A start the master refused never comes here: it counts as none.
    if (!m_pending)
        return;
    m_pending = false;
    m_running = true;
    // The master counts detection as running only once this signal is out.
    if (m_finished)
        QMetaObject::invokeMethod(
            this,
            [this] {
                stop();
                deleteLater();
            },
            Qt::QueuedConnection);
}

void ReportNearbyDetection::finish()
{
    m_finished = true;
    if (m_pending) {
        // The start may still be answered; a later one is not ours.
        QTimer::singleShot(PendingGraceMs, this, [this] {
            m_pending = false;
            deleteLater();
        });
        return;
    }
    stop();
    deleteLater();
}

void ReportNearbyDetection::forget()
{
    m_gone = true;
    m_pending = false;
    deleteLater();
}

void ReportNearbyDetection::stop()
{
    if (m_running && !m_gone && m_master->hasChannelGroup())
        m_stop();
    m_running = false;
}
