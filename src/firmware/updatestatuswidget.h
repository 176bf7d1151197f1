#pragma once

#include "bootsectionheader.h"
#include "vorl.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class DeviceItem;
class QFrame;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

// One group of radio devices receiving the same firmware in the firmware dock:
// a header button naming the firmware, coloured by how the group went, over a
// list of device rows (address label and progress bar).
class UpdateStatusWidget : public QWidget
{
    Q_OBJECT
public:
    enum State { NotStarted = 0, Current = 1, LastFailed = 2, Stopped = 3, LastSucceeded = 4 };

    explicit UpdateStatusWidget(QWidget *parent = nullptr);

    void setText(const QString &text);
    QString text() const;
    void setFileHeader(const HUBRO32BootSectionHeader_t &header) { m_fileHeader = header; }
    void setFirmware(const pVORL &firmware) { m_firmware = firmware; }
    void setDevices(const QList<DeviceItem *> &devices);

    QList<DeviceItem *> devices() const;
    pVORL firmware() const { return m_firmware; }
    HUBRO32BootSectionHeader_t fileHeader() const { return m_fileHeader; }
    int state() const { return m_state; }
    bool contains(int deviceNumber) const;
    // The results counted so far.
    bool isUpdated(const DeviceItem *device) const;
    bool isFailed(const DeviceItem *device) const;
    // Drops a device that went away: its row goes too.
    void removeDevice(DeviceItem *device);

    void setCurrent();
    void setProgress(DeviceItem *device, int percent);
    void setDeviceResult(DeviceItem *device, bool success);
    void setStopped();
    void updateText();
    void scrollToDevice(DeviceItem *device);
    void setCollapsed(bool collapsed);
    bool isCollapsed() const;

    // The row widgets, top to bottom, for inspection.
    QList<QWidget *> rows() const;
    static QLabel *rowLabel(QWidget *row);
    static QProgressBar *rowBar(QWidget *row);
    QPushButton *headerButton() const { return pbFirmware; }

    static QString makeStyleSheet(int kind, const QString &colour);
    static QString firmwareLabel(int typeCode, const QString &hardware, const QString &firmware);
    static QString fileHeaderText(const HUBRO32BootSectionHeader_t &header);
    static QString firmwareText(const pVORL &firmware);

signals:
    void visibilityChanged(bool state);

private:
    QWidget *rowOf(int deviceNumber) const;
    void countResult(DeviceItem *device, bool success);

    QFrame *frame = nullptr;
    QPushButton *pbFirmware = nullptr;
    QListWidget *lwDevices = nullptr;
    pVORL m_firmware;
    HUBRO32BootSectionHeader_t m_fileHeader;
    QList<QPointer<DeviceItem>> m_devices;
    int m_state = NotStarted;
    QList<int> m_updated; // device numbers
    QList<int> m_failed;
    QPointer<QWidget> m_currentRow;
};
