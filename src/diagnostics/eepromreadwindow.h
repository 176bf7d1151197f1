#pragma once

#include <QByteArray>
#include <QString>
#include <QWidget>

class QTableWidget;

// What device EEPROM reads brought back: one row per answer, the bytes in
// hexadecimal and, for the statistics block and the last assert code, their
// meaning. A top-level window that deletes itself when closed.
class EepromReadWindow : public QWidget
{
    Q_OBJECT
public:
    enum Column { DeviceColumn, AddressColumn, DataColumn, DecodedColumn };

    explicit EepromReadWindow(QWidget *parent = nullptr);

    void addResult(const QString &device, int address, const QByteArray &data, const QString &decoded);
    QTableWidget *table() const { return m_table; }

    // The bytes as upper-case hex pairs separated by blanks.
    static QString hexText(const QByteArray &data);

private:
    QTableWidget *m_table;
};
