#pragma once

#include <QDockWidget>
#include <QString>

class DeviceItem;

// The main window's link-quality test dock: one row per device of a test
// run of LQITestManager.
class RSSITestDock : public QDockWidget
{
    Q_OBJECT
public:
    explicit RSSITestDock(QWidget *parent = nullptr);
    ~RSSITestDock() override;

public slots:
    // Ends the row of the device as failed; with no device, ends the display
    // of the running test.
    void testFailed(DeviceItem *device);
    // The rows as text for the system report.
    QString reportInfo() const;

signals:
    void stop();
};
