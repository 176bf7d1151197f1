#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QNetworkProxy>
#include <QObject>
#include <QPointer>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;
class QSslError;
class QTimer;

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
//
// One request at a time, bounded: a reply over MaxReplySize, or one that has
// not ended within the reply time-out, is cut off and reported as an error.
class NetworkManager : public QObject
{
    Q_OBJECT
public:
    // A real reply is a few KiB.
    static constexpr qint64 MaxReplySize = 1024 * 1024;

    // Also switches the system's proxy configuration off for the whole process.
    explicit NetworkManager(QObject *parent = nullptr);
    // Ends a running request without a word.
    ~NetworkManager() override;

    // How long a request may take from its post to the end of its reply
    // (30 s); tests shorten it.
    static void setReplyTimeout(int ms);
    static int replyTimeout();

    // Rewrites `products` (model name to firmware text, the last device of a
    // model wins) and posts the request to `url`; the outcome comes by signal.
    // A request still running is ended first, without a signal.
    void requestUpdates(const QString &url, const QList<UpdateCheckDevice> &devices,
                        QMap<QString, QString> *products);
    bool isBusy() const;
    // Ends the running request, if any, without a signal.
    void abortRequest();
    // Sets the access manager's proxy from the stored proxy keys and the
    // proxy password as known now.
    void applyProxySettings();
    QNetworkProxy proxy() const;

    // The request document: the program's own product first, then one product
    // per model of `products` (rewritten from `devices`), sorted by name.
    static QByteArray buildUpdateRequest(const QList<UpdateCheckDevice> &devices,
                                         QMap<QString, QString> *products);

    // What a reply document holds: the product records when it is a
    // "products" list of doctype "check_updates" (listed), and the reader's
    // error text when it is no such document or breaks off (then the records
    // before the break are kept).
    struct UpdateReply
    {
        bool listed = false;
        QList<QMap<QString, QString>> records;
        QString error;
    };
    static UpdateReply readUpdateReply(const QByteArray &bytes);

signals:
    void replyRecieved(QList<QMap<QString, QString>> reply);
    void errorReceived(QString errorString);

private:
    void onReadyRead();
    void onMetaDataChanged();
    void onFinished();
    void fail(const QString &errorString);
    void parseUpdateReply(const QByteArray &bytes);
    void onSslErrors(QNetworkReply *reply, const QList<QSslError> &errors);

    QNetworkAccessManager *manager;
    QPointer<QNetworkReply> current;
    QByteArray received;
    QTimer *timeout;
};
