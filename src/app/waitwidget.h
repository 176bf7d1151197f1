#pragma once

#include "connectiontypes.h"

#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

namespace Ui {
class WaitWidget;
}
class Connection;
class QMovie;

// Application-modal window shown while a device updates itself: the user
// cannot close it. It closes by forceClose() or, at the latest, when its wait
// runs out; finish() tells that the wait ran out, just before it closes.
class WaitWidget : public QWidget
{
    Q_OBJECT
public:
    struct Timings
    {
        int wait = 120000;          // until the window closes by itself
        int reestablish = 1000;     // from the disconnection to establish()
        int reestablishSlow = 10000; // the same for device types 1, 41 and 141
    };
    // Tests shorten the waits of the windows made afterwards.
    static void setTimings(const Timings &timings);
    static Timings timings();

    // `connection` is not owned.
    WaitWidget(int deviceType, Connection *connection, QWidget *parent = nullptr);
    ~WaitWidget() override;

public slots:
    // Remembers the connection's kind, address and master type and closes the
    // connection; once closed, establish() follows with them after a delay
    // (the window stays open). When it cannot be closed, the window closes.
    void onMasterConnected();
    void forceClose();

signals:
    void establish(ConnectionType type, const QString &address, MasterType masterType);
    void finish();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void waitRanOut();

    Ui::WaitWidget *ui;
    QMovie *movie;
    bool closeAllowed = false;
    int deviceType;
    QPointer<Connection> connection;
    ConnectionType connectionType = Serial;
    QString address;
    MasterType masterType = MasterOrdinary;
    QTimer timer;
};
