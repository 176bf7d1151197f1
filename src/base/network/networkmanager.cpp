#include "networkmanager.h"

#include "appglobals.h"
#include "proxypassword.h"
#include "settings.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslError>
#include <QTimer>
#include <QUrl>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {
using Record = QMap<QString, QString>;

int s_replyTimeout = 30000;

// What the access manager keeps of a reply between two reads.
constexpr qint64 ReadBufferSize = 64 * 1024;

bool isRecordKey(QStringRef name)
{
    static const QStringList keys = {QStringLiteral("name"), QStringLiteral("user_var"),
                                     QStringLiteral("curr_ver"), QStringLiteral("date"),
                                     QStringLiteral("descr"), QStringLiteral("link"),
                                     QStringLiteral("link_file"), QStringLiteral("error")};
    for (const QString &key : keys)
        if (name == key)
            return true;
    return false;
}

// The children of one "product" element; the reader stands on its start.
Record readProduct(QXmlStreamReader &xml)
{
    Record record;
    while (xml.readNextStartElement()) {
        if (isRecordKey(xml.name())) {
            const QString key = xml.name().toString();
            record.insert(key, xml.readElementText());
        } else {
            xml.skipCurrentElement();
        }
    }
    return record;
}
} // namespace

NetworkManager::NetworkManager(QObject *parent)
    : QObject(parent), manager(new QNetworkAccessManager(this)), timeout(new QTimer(this))
{
    qRegisterMetaType<QList<QMap<QString, QString>>>("QList<QMap<QString,QString>>");
    QNetworkProxyFactory::setUseSystemConfiguration(false);
    connect(manager, &QNetworkAccessManager::sslErrors, this, &NetworkManager::onSslErrors);
    timeout->setSingleShot(true);
    connect(timeout, &QTimer::timeout, this, [this] {
        fail(tr("The service did not answer within %1 s").arg(s_replyTimeout / 1000.0));
    });
}

NetworkManager::~NetworkManager()
{
    abortRequest();
}

void NetworkManager::setReplyTimeout(int ms)
{
    s_replyTimeout = ms;
}

int NetworkManager::replyTimeout()
{
    return s_replyTimeout;
}

QByteArray NetworkManager::buildUpdateRequest(const QList<UpdateCheckDevice> &devices,
                                              QMap<QString, QString> *products)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly | QIODevice::Text)) {
        qCritical().noquote() << QStringLiteral("Buffer open error: ") + buffer.errorString();
        return QByteArray();
    }
    QXmlStreamWriter xml(&buffer);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("products"));
    xml.writeAttribute(QStringLiteral("date"),
                       QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    xml.writeAttribute(QStringLiteral("ver"), QStringLiteral("1"));
    xml.writeAttribute(QStringLiteral("doctype"), QStringLiteral("check_updates"));

    xml.writeEmptyElement(QStringLiteral("product"));
    xml.writeAttribute(QStringLiteral("name"), programTitle);
    xml.writeAttribute(QStringLiteral("ver"), QCoreApplication::applicationVersion());

    products->clear();
    for (const UpdateCheckDevice &device : devices)
        products->insert(device.model, device.firmware);
    // QMap orders its keys by UTF-16 code units.
    for (auto it = products->cbegin(); it != products->cend(); ++it) {
        xml.writeEmptyElement(QStringLiteral("product"));
        xml.writeAttribute(QStringLiteral("name"), it.key());
        xml.writeAttribute(QStringLiteral("ver"), it.value());
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    buffer.close();
    return bytes;
}

void NetworkManager::requestUpdates(const QString &url, const QList<UpdateCheckDevice> &devices,
                                    QMap<QString, QString> *products)
{
    QNetworkRequest request(QUrl(url, QUrl::TolerantMode));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/x-www-form-urlencoded"));
    // The document goes as it is, not percent-encoded: the service reads it so.
    const QByteArray body = QByteArrayLiteral("xml=") + buildUpdateRequest(devices, products);
    qDebug().noquote() << tr("Request of available updates");
    abortRequest();
    current = manager->post(request, body);
    current->setReadBufferSize(ReadBufferSize);
    connect(current, &QNetworkReply::metaDataChanged, this, &NetworkManager::onMetaDataChanged);
    connect(current, &QNetworkReply::readyRead, this, &NetworkManager::onReadyRead);
    connect(current, &QNetworkReply::finished, this, &NetworkManager::onFinished);
    timeout->start(s_replyTimeout);
}

bool NetworkManager::isBusy() const
{
    return !current.isNull();
}

void NetworkManager::abortRequest()
{
    timeout->stop();
    received.clear();
    received.squeeze();
    if (!current)
        return;
    QNetworkReply *reply = current;
    current = nullptr;
    disconnect(reply, nullptr, this, nullptr);
    reply->abort();
    reply->deleteLater();
}

void NetworkManager::fail(const QString &errorString)
{
    abortRequest();
    qCritical().noquote() << QStringLiteral("Error: ") + errorString;
    emit errorReceived(errorString);
}

void NetworkManager::onMetaDataChanged()
{
    // A declared length over the limit ends the request before its body.
    const QVariant length = current->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > MaxReplySize)
        fail(tr("The reply of the service is too large (over %1 KiB)").arg(MaxReplySize / 1024));
}

void NetworkManager::onReadyRead()
{
    received += current->read(MaxReplySize + 1 - received.size());
    if (received.size() > MaxReplySize)
        fail(tr("The reply of the service is too large (over %1 KiB)").arg(MaxReplySize / 1024));
}

void NetworkManager::applyProxySettings()
{
    QNetworkProxy proxy;
    if (appSettings.value(QLatin1String(SettingsKey::ProxyOn)).toInt() == 1) {
        proxy.setType(QNetworkProxy::ProxyType(appSettings.value(QLatin1String(SettingsKey::ProxyType)).toInt()));
        proxy.setHostName(appSettings.value(QLatin1String(SettingsKey::ProxyHost)).toString());
        proxy.setPort(quint16(appSettings.value(QLatin1String(SettingsKey::ProxyPort)).toInt()));
        proxy.setUser(appSettings.value(QLatin1String(SettingsKey::ProxyUser)).toString());
        proxy.setPassword(ProxyPassword::instance()->password());
        qDebug().noquote() << tr("Proxy installed");
    } else {
        qDebug().noquote() << tr("No proxy");
    }
    manager->setProxy(proxy);
}

QNetworkProxy NetworkManager::proxy() const
{
    return manager->proxy();
}

void NetworkManager::onFinished()
{
    QNetworkReply *reply = current;
    if (reply->error() != QNetworkReply::NoError) {
        fail(reply->errorString());
        return;
    }
    onReadyRead(); // whatever came with the end
    if (!current)
        return;
    const QByteArray bytes = received;
    current = nullptr;
    timeout->stop();
    received.clear();
    reply->deleteLater();
    parseUpdateReply(bytes);
}

NetworkManager::UpdateReply NetworkManager::readUpdateReply(const QByteArray &bytes)
{
    UpdateReply reply;
    QXmlStreamReader xml(bytes);
    if (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("products")
            && xml.attributes().value(QLatin1String("doctype")) == QLatin1String("check_updates")) {
            reply.listed = true;
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("product")) {
                    const Record record = readProduct(xml);
                    // A product cut short by an error is not a record.
                    if (!xml.hasError())
                        reply.records.append(record);
                } else {
                    xml.skipCurrentElement();
                }
            }
        } else {
            xml.raiseError(tr("Wrong XML"));
        }
    }
    if (xml.hasError())
        reply.error = xml.errorString();
    return reply;
}

void NetworkManager::parseUpdateReply(const QByteArray &bytes)
{
    const UpdateReply reply = readUpdateReply(bytes);
    if (reply.listed)
        emit replyRecieved(reply.records);
    if (!reply.error.isEmpty()) {
        qCritical().noquote() << QStringLiteral("XML reader error: ") + reply.error;
        emit errorReceived(reply.error);
    }
}

void NetworkManager::onSslErrors(QNetworkReply *reply, const QList<QSslError> &errors)
{
    if (reply != current)
        return;
    QString text = tr("SSL errors: ");
    for (const QSslError &error : errors)
        text += error.errorString() + QStringLiteral(", ");
    text.chop(2);
    emit errorReceived(text);
}
