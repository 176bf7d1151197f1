#pragma once

#include "packet.h"
#include "plotpanel.h"

#include <QByteArray>

class QLineEdit;

// The window "Noise level" of the master: asks it for the radio noise samples
// measured since the last request, at the interval set, and plots them
// against the time of day, smoothed ("RSSI") and raw ("RAW"). Requests leave
// through sendPacket, which the opener connects to the master item's.
//
// The first READY after initPlot or Start only starts the clock; each later
// one spreads its samples evenly over the time since the previous one.
// Replies that arrive while stopped, or after the window is gone, are dropped.
class MasterNoise : public PlotPanel
{
    Q_OBJECT
public:
    explicit MasterNoise(const QString &modelName, QWidget *parent = nullptr);
    ~MasterNoise() override;

    // Sets up the plot and its two graphs, sends the start request and starts plotting.
    void initPlot();

    // The smoothed level after one raw sample (dBm).
    static double smoothed(double average, double raw);
    // The export file: title line, column names, one line per point of graph 0.
    static QString csvText(const QCustomPlot *plot, const QDateTime &now);

signals:
    void sendPacket(QByteArray data, ResponseCb cb);

protected:
    void plottingStarted() override;
    void sampleTick() override;
    QString exportText(const QDateTime &now) const override;
    void closeEvent(QCloseEvent *event) override;

private:
    void request(const QByteArray &data);
    bool onNoiseReply(const Packet &reply);

    double m_average = 0.0;
    qint64 m_lastReplyTime = 0;
    QLineEdit *m_count;
};
