#include "networkmanager.h"

#include "appglobals.h"
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
#include <QUrl>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {
using Record = QMap<QString, QString>;

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

NetworkManager::NetworkManager(QObject *parent) : QObject(parent), manager(new QNetworkAccessManager(this))
{
    qRegisterMetaType<QList<QMap<QString, QString>>>("QList<QMap<QString,QString>>");
    QNetworkProxyFactory::setUseSystemConfiguration(false);
    connect(manager, &QNetworkAccessManager::finished, this, &NetworkManager::parseUpdateReply);
    connect(manager, &QNetworkAccessManager::sslErrors, this, &NetworkManager::onSslErrors);
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
    manager->post(request, body);
}

void NetworkManager::applyProxySettings()
{
    QNetworkProxy proxy;
    if (appSettings.value(QLatin1String(SettingsKey::ProxyOn)).toInt() == 1) {
        proxy.setType(QNetworkProxy::ProxyType(appSettings.value(QLatin1String(SettingsKey::ProxyType)).toInt()));
        proxy.setHostName(appSettings.value(QLatin1String(SettingsKey::ProxyHost)).toString());
        proxy.setPort(quint16(appSettings.value(QLatin1String(SettingsKey::ProxyPort)).toInt()));
        proxy.setUser(appSettings.value(QLatin1String(SettingsKey::ProxyUser)).toString());
        proxy.setPassword(appSettings.value(QLatin1String(SettingsKey::ProxyPassword)).toString());
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

void NetworkManager::parseUpdateReply(QNetworkReply *reply)
{
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError) {
        qCritical().noquote() << QStringLiteral("Error: ") + reply->errorString();
        emit errorReceived(reply->errorString());
        return;
    }
    QXmlStreamReader xml(reply->readAll());
    if (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("products")
            && xml.attributes().value(QLatin1String("doctype")) == QLatin1String("check_updates")) {
            QList<Record> records;
            while (xml.readNextStartElement()) {
                if (xml.name() == QLatin1String("product")) {
                    const Record record = readProduct(xml);
                    // A product cut short by an error is not a record.
                    if (!xml.hasError())
                        records.append(record);
                } else {
                    xml.skipCurrentElement();
                }
            }
            emit replyRecieved(records);
        } else {
            xml.raiseError(tr("Wrong XML"));
        }
    }
    if (xml.hasError()) {
        qCritical().noquote() << QStringLiteral("XML reader error: ") + xml.errorString();
        emit errorReceived(xml.errorString());
    }
    xml.clear();
}

void NetworkManager::onSslErrors(QNetworkReply *reply, const QList<QSslError> &errors)
{
    Q_UNUSED(reply)
    QString text = tr("SSL errors: ");
    for (const QSslError &error : errors)
        text += error.errorString() + QStringLiteral(", ");
    text.chop(2);
    emit errorReceived(text);
}
