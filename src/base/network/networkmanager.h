#pragma once

#include <QList>
#include <QMap>
#include <QNetworkProxy>
#include <QObject>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;
class QSslError;

// One device model named in an update request: its model name and its
// firmware version text ("1.05").
struct UpdateCheckDevice
{
    QString model;
    QString firmware;
};

// The update-check client: posts one XML request naming the program and the
// firmware of the device models present, and reports the product records of
// the reply (replyRecieved) or an error text (errorReceived).
class NetworkManager : public QObject
{
    Q_OBJECT
public:
    // Also switches the system's proxy configuration off for the whole process.
    explicit NetworkManager(QObject *parent = nullptr);

    // Rewrites `products` (model name to firmware text, the last device of a
    // model wins) and posts the request to `url`; the outcome comes by signal.
    void requestUpdates(const QString &url, const QList<UpdateCheckDevice> &devices,
                        QMap<QString, QString> *products);
    // Sets the access manager's proxy from the stored proxy keys.
    void applyProxySettings();
    QNetworkProxy proxy() const;

    // The request document: the program's own product first, then one product
    // per model of `products` (rewritten from `devices`), sorted by name.
    static QByteArray buildUpdateRequest(const QList<UpdateCheckDevice> &devices,
                                         QMap<QString, QString> *products);

signals:
    void replyRecieved(QList<QMap<QString, QString>> reply);
    void errorReceived(QString errorString);

private:
    void parseUpdateReply(QNetworkReply *reply);
    void onSslErrors(QNetworkReply *reply, const QList<QSslError> &errors);

    QNetworkAccessManager *manager;
};
