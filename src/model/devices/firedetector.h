#pragma once

// What the heat and smoke detectors share: the case and tech-run commands,
// the case actions, and the alarm-level exchange. The alarm level is an
// 18-byte record that each detector encodes and decodes in its own way: it
// is read with PT_GET_RFADDITIONAL_DATA, written with
// PT_SET_RFADDITIONAL_DATA, and read back a while after the device
// acknowledged the write.

#include "deviceitem.h"

#include <QByteArray>
#include <QString>

class FireDetectorItem : public DeviceItem
{
    Q_OBJECT
public:
    // Length of the alarm-level record.
    static constexpr int RecordBytes = 18;

    bool hasAlarm() const override;
    void executeAction(const int &id) override;

    // The delay of the reads that follow the extra properties and an
    // acknowledged write (1000 ms). Tests shorten it.
    static void setReadDelay(int ms);

public slots:
    void enableCase();
    void disableCase();
    void enableTechRunMode();

protected:
    FireDetectorItem(const deviceInfo_t &info, bool kastrelMode, DescriptionFn describe);

    // Feature 1000: one case action that toggles.
    virtual bool caseToggles() const = 0;
    // The alarm-level reply of the detector, its type and length checked.
    virtual void alarmLevelReceived(const QByteArray &reply) = 0;
    // Reply bytes the detector's decoding reads.
    virtual int alarmLevelReplyBytes() const = 0;
    virtual QString wrongReplyTypeText(quint8 type) const = 0;

    // The field names and key-title pairs both detectors start with.
    static QStringList commonFieldNames();
    static DeviceKit::TitledKeys commonTitles();
    bool firmwareAtLeast(int major, int minor) const;
    bool hardwareAtLeast(int major, int minor) const;

    // Byte 0 bits 5 and 6 not both set, or bit 7 clear.
    bool supplyOrCaseFault() const;
    // The case actions the device offers; and the toggle's text by byte 0 bit 2.
    void addCaseActions();
    void updateCaseAction();

    // PT_GET_RFADDITIONAL_DATA to the device's number; nothing while the
    // item's address is being reset.
    void requestAlarmLevel();
    void requestAlarmLevelLater();
    // PT_SET_RFADDITIONAL_DATA with the record; on the acknowledgement the
    // debug text `done`, a read a while later and the panel in state 4.
    void sendAlarmLevel(const QByteArray &record, const QString &done);

    bool m_thresholdReading = true; // feature 1001 needs it

private:
    void caseCommand(bool on);
    bool alarmLevelReply(const Packet &reply);
    bool acknowledgement(const Packet &reply, const QString &done);

    int m_caseAction = -1; // the toggling action's position; -1 when none
    bool m_caseActionsAdded = false;
};
