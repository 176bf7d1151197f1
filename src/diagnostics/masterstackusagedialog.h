#pragma once

#include "packet.h"

#include <QByteArray>
#include <QDialog>

class QPushButton;
class QTableWidget;

// The master's tasks with their stack size and use, asked for one entry at a
// time by index until the master answers short, or answers an index below the
// one asked for (a repeated entry ends the listing with the rows read).
// Refresh starts the listing again and ends the one still running: its
// replies are dropped, as are replies after the dialog is gone.
class MasterStackUsageDialog : public QDialog
{
    Q_OBJECT
public:
    explicit MasterStackUsageDialog(QWidget *parent = nullptr);
    ~MasterStackUsageDialog() override;

    QTableWidget *table() const { return m_table; }

signals:
    void sendPacket(QByteArray request, ResponseCb cb);

public slots:
    // Appends the row of the entry and asks for the next one.
    void onStackEntryRead(int index, const QByteArray &stackInfo);
    void refresh();

private:
    void requestLater();
    void request();

    int m_nextIndex = 0;
    quint64 m_chain = 0;
    QPushButton *m_refresh;
    QTableWidget *m_table;
};
