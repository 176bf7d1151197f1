#pragma once

#include "diagnosticsrecords.h"
#include "packet.h"

#include <QByteArray>
#include <QWidget>

class QCloseEvent;
class QDateTime;
class QGridLayout;
class QLabel;
class QPushButton;
class QTableWidget;

// The master's own log as a table: its event log, entry by entry, or for the
// first master model (type 0) the short error log it keeps in its EEPROM. The
// event log can be cleared; either can be saved as tab-separated text.
//
// The reading chain asks for the next entry as soon as one arrives, until the
// master has no more. A new read ends the chain before it, and replies after
// the window was closed or deleted are dropped.
class MasterLogReaderWidget : public QWidget
{
    Q_OBJECT
public:
    enum Column { TimeColumn, EventColumn, TaskColumn, StackColumn, DescriptionColumn, DataColumn };

    MasterLogReaderWidget(quint8 masterType, quint32 serialNumber, QWidget *parent = nullptr);
    ~MasterLogReaderWidget() override;

    bool isEepromMode() const { return m_masterType == 0; }
    QTableWidget *table() const { return m_table; }

    void readEventLog();
    void readEepromLog();
    void onEepromLogRead(const QByteArray &reply);
    void clearEventLog();
    void saveLog();
    // The text a save writes, with the start time given.
    QString logText(const QDateTime &start) const;

signals:
    void sendPacket(QByteArray request, ResponseCb cb);
    void logCleared();

public slots:
    void onLogCleared();
    void onLogEntryRead(const t_Log_TROMBEL &logEntry);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool onChainReply(const Packet &reply, quint64 chain);
    QString cellText(int row, int column) const;

    quint32 m_serialNumber;
    quint8 m_masterType;
    bool m_stopped = false;
    quint64 m_chain = 0;
    QGridLayout *m_grid;
    QPushButton *m_read;
    QPushButton *m_clear;
    QPushButton *m_save;
    QLabel *m_index;
    QLabel *m_indexValue;
    QTableWidget *m_table;
};
