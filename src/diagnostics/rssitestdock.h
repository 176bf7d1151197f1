#pragma once

#include "deviceitem.h"
#include "diagnosticsrecords.h"

#include <QDockWidget>
#include <QList>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

class LQITestManager;
class QLabel;
class QPushButton;
class QVBoxLayout;

// A level bar: the average level filled with a red-yellow-green gradient and
// the lowest and highest levels as outlines (a level of -60 dBm fills 60 % of
// the width); while a test runs, a grey marker moves along it instead.
class RSSIWidget : public QWidget
{
    Q_OBJECT
public:
    explicit RSSIWidget(QWidget *parent = nullptr);

    // Levels in dBm plus 120; -1 unknown.
    int maxValue = -1;
    int averageValue = -1;
    int minValue = -1;
    // Position of the running-test marker; 0 shows the levels.
    float progress = 0;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// One device's row of the link-quality dock: a coloured two-line text and a
// level bar. The row keeps its device by a guarded pointer and the texts it
// shows and reports, so it outlives the device unchanged.
class WidgetRSSIResult : public QWidget
{
    Q_OBJECT
public:
    enum State { InQueue = 0, Started = 1, Done = 2, Failed = 3 };

    explicit WidgetRSSIResult(DeviceItem *device, QWidget *parent = nullptr);

    int state() const { return m_state; }
    // The device, while it exists.
    DeviceItem *device() const { return m_device; }
    QString text() const;
    RSSIWidget *bar() const { return m_bar; }

    void setStarted();
    void setFailed();
    void setResult(quint32 result, qint8 maximumLevel);
    // Radio address, tooltip, packets and levels as text for the system report.
    QString reportText() const;

    // The marker's step (25 ms; tests).
    static void setMarkerInterval(int ms);

private:
    void takeDeviceTexts();
    void showText(const char *colour, const QString &second);
    void stepMarker();

    QLabel *m_label;
    int m_state = InQueue;
    QPointer<DeviceItem> m_device;
    RSSIWidget *m_bar;
    quint32 m_result = 0;
    qint8 m_maximumLevel = 0;
    QString m_heading;  // "address. model"
    uint m_radioAddress = 0;
    QString m_toolTip;
    QTimer m_marker;
};

// The main window's dock "Link quality test": one row per device of the test
// runs of LQITestManager, newest at the bottom, kept until Clear.
class RSSITestDock : public QDockWidget
{
    Q_OBJECT
public:
    // Follows the manager given, else the process-wide one.
    explicit RSSITestDock(QWidget *parent = nullptr, LQITestManager *manager = nullptr);
    ~RSSITestDock() override;

    const QList<WidgetRSSIResult *> &rows() const { return m_rows; }

public slots:
    void testsStarted(const QList<DeviceItem *> &devices);
    void testStarted(DeviceItem *device);
    void testFinished(DeviceItem *device, const rssiShortTest_t &result);
    // Ends the running row as failed; with no device (the master went away)
    // every queued row fails too.
    void testFailed(DeviceItem *device);
    void onStop();
    void clear();
    // The rows as text for the system report.
    QString reportInfo() const;

signals:
    void stop();

private:
    void updateButtons();

    QList<WidgetRSSIResult *> m_rows;
    QPushButton *m_stop;
    QPushButton *m_clear;
    QVBoxLayout *m_rowsLayout;
};
