#pragma once

#include <QWidget>

namespace Ui {
class ChannelScan;
}
class QMovie;

// Application-modal waiting window shown while the master scans the radio
// channels. Its button only asks for the scan to stop; whoever opened it
// closes it when the scan ends. It deletes itself when closed.
class ChannelScan : public QWidget
{
    Q_OBJECT
public:
    explicit ChannelScan(QWidget *parent = nullptr);
    ~ChannelScan() override;

signals:
    void stopScan();

private:
    Ui::ChannelScan *ui;
    QMovie *movie;
};
