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
class QTableWidgetItem;
class QTimer;

// The program-update window: asks the update service for the versions of
// the program and of the device models present, and lists every product the
// service has a newer version of, the program on top. One check runs at a
// time; closing the window ends it. Links open with a click (or Enter) in
// the system's browser.
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
    // service does not answer (2000 ms; the check goes on until the client's
    // reply time-out, and a new check ends it). Tests change both.
    static void setCheckUrl(const QString &url);
    static QString checkUrl();
    static void setNoResponseTimeout(int ms);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void checkForUpdates();
    void postRequest();
    void openLink(QTableWidgetItem *item);
    void onPasswordWritten(bool kept);
    void openProxySetup();
    void onReplyReceived(const QList<QMap<QString, QString>> &reply);
    void onErrorReceived(const QString &errorString);
    void fillUpdatesTable(const QList<QMap<QString, QString>> &reply, QMap<QString, QString> updates);
    void fitRowHeights();

    Ui::CheckUpdates *ui;
    // Items go with a lost link, a restart or a removal while the window is open.
    QList<QPointer<DeviceItem>> deviceList;
    QMap<QString, QString> requestedProducts;
    NetworkManager *networkManager;
    QTimer *noResponse;
};
