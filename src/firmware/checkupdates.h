#pragma once

#include <QList>
#include <QMap>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace Ui {
class CheckUpdates;
}
class DeviceItem;
class NetworkManager;

// The program-update window: asks the update service for the versions of
// the program and of the device models present, and lists every product the
// service has a newer version of, the program on top.
class CheckUpdates : public QWidget
{
    Q_OBJECT
public:
    explicit CheckUpdates(const QList<DeviceItem *> &devices, QWidget *parent = nullptr);
    ~CheckUpdates() override;

    // Text of the status label (always plain text) and its style sheet.
    void setInfoText(const QString &text, const QString &styleSheet);

    // The address checks go to (updateCheckUrl unless set; an empty text
    // restores it) and how long a check waits before it says that the
    // service does not answer (2000 ms). Tests change both.
    static void setCheckUrl(const QString &url);
    static QString checkUrl();
    static void setNoResponseTimeout(int ms);

private:
    void checkForUpdates();
    void openProxySetup();
    void onReplyReceived(const QList<QMap<QString, QString>> &reply);
    void onErrorReceived(const QString &errorString);
    void fillUpdatesTable(const QList<QMap<QString, QString>> &reply, QMap<QString, QString> updates);

    Ui::CheckUpdates *ui;
    // Items go with a lost link, a restart or a removal while the window is open.
    QList<QPointer<DeviceItem>> deviceList;
    QMap<QString, QString> requestedProducts;
    NetworkManager *networkManager;
};
