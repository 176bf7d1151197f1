#include "checkupdates.h"
#include "ui_checkupdates.h"

#include "appglobals.h"
#include "deviceitem.h"
#include "networkmanager.h"
#include "proxysetup.h"
#include "settings.h"
#include "uiseams.h"
#include "versiontext.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidgetItem>
#include <QTimer>
#include <QUrl>
#include <QVersionNumber>

namespace {
QString s_checkUrl;
int s_noResponseTimeout = 2000;

const QString BlackText = QStringLiteral("color: rgb(0, 0, 0);");
const QString RedText = QStringLiteral("color: rgb(255, 0, 0);");

// Only web addresses become links: the reply comes over plain HTTP and the
// link opens in the system's browser.
bool isWebAddress(const QString &text)
{
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
           && !url.host().isEmpty();
}

QLabel *linkLabel(const QString &html)
{
    auto *label = new QLabel(html);
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::LinksAccessibleByMouse
                                   | Qt::LinksAccessibleByKeyboard);
    label->setOpenExternalLinks(true);
    return label;
}

QLabel *plainLabel(const QString &text)
{
    auto *label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QTableWidgetItem *centredItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    return item;
}
} // namespace

void CheckUpdates::setCheckUrl(const QString &url)
{
    s_checkUrl = url;
}

QString CheckUpdates::checkUrl()
{
    return s_checkUrl.isEmpty() ? updateCheckUrl : s_checkUrl;
}

void CheckUpdates::setNoResponseTimeout(int ms)
{
    s_noResponseTimeout = ms;
}

CheckUpdates::CheckUpdates(const QList<DeviceItem *> &devices, QWidget *parent)
    : QWidget(parent), ui(new Ui::CheckUpdates)
{
    ui->setupUi(this);
    for (DeviceItem *device : devices)
        deviceList.append(device);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::ApplicationModal);

    ui->pbCheckForUpdates->setEnabled(true);
    connect(ui->pbCheckForUpdates, &QPushButton::clicked, this, &CheckUpdates::checkForUpdates);
    connect(ui->pbProxySettings, &QPushButton::clicked, this, &CheckUpdates::openProxySetup);

    networkManager = new NetworkManager(this);
    connect(networkManager, &NetworkManager::replyRecieved, this, &CheckUpdates::onReplyReceived);
    connect(networkManager, &NetworkManager::errorReceived, this, &CheckUpdates::onErrorReceived);

    // The first opening switches the proxy on with its defaults.
    if (appSettings.value(QLatin1String(SettingsKey::ProxyType), -1).toInt() == -1)
        ProxySetup::writeProxyDefaults();
}

CheckUpdates::~CheckUpdates()
{
    delete ui;
}

void CheckUpdates::setInfoText(const QString &text, const QString &styleSheet)
{
    ui->lblStatus->setText(text);
    ui->lblStatus->setStyleSheet(styleSheet);
}

void CheckUpdates::checkForUpdates()
{
    ui->pbCheckForUpdates->setEnabled(false);
    // The request goes on after the note: a late reply is still shown.
    QTimer::singleShot(s_noResponseTimeout, this, [this] {
        if (!ui->pbCheckForUpdates->isEnabled())
            onErrorReceived(tr("No response from service"));
    });
    networkManager->applyProxySettings();
    QList<UpdateCheckDevice> devices;
    for (const QPointer<DeviceItem> &device : qAsConst(deviceList))
        if (device)
            devices.append({device->itemTypeName(), versionToString(device->firmwareVersion())});
    networkManager->requestUpdates(checkUrl(), devices, &requestedProducts);
}

void CheckUpdates::openProxySetup()
{
    ProxySetup dialog(networkManager);
    connect(&dialog, &ProxySetup::setText, this, &CheckUpdates::setInfoText);
    UiSeams::execDialog(&dialog);
}

void CheckUpdates::onErrorReceived(const QString &errorString)
{
    ui->pbCheckForUpdates->setEnabled(true);
    setInfoText(errorString, RedText);
}

void CheckUpdates::onReplyReceived(const QList<QMap<QString, QString>> &reply)
{
    ui->pbCheckForUpdates->setEnabled(true);
    if (reply.isEmpty()) {
        setInfoText(tr("There are no updates for devices"), BlackText);
        return;
    }
    const QString programVersion = QCoreApplication::applicationVersion();
    QMap<QString, QString> updates;
    for (const QMap<QString, QString> &record : reply) {
        const QString name = record.value(QStringLiteral("name"));
        const QVersionNumber available = QVersionNumber::fromString(record.value(QStringLiteral("curr_ver")));
        const QString installed = name == programTitle ? programVersion : requestedProducts.take(name);
        if (QVersionNumber::compare(available, QVersionNumber::fromString(installed)) > 0)
            updates.insert(name, installed);
    }
    ui->tableWidget->clearContents();
    ui->tableWidget->setRowCount(0);
    if (updates.isEmpty())
        setInfoText(tr("There are no updates for devices"), BlackText);
    else
        fillUpdatesTable(reply, updates);
}

void CheckUpdates::fillUpdatesTable(const QList<QMap<QString, QString>> &reply, QMap<QString, QString> updates)
{
    QTableWidget *table = ui->tableWidget;
    for (const QMap<QString, QString> &record : reply) {
        const QString name = record.value(QStringLiteral("name"));
        const QString error = record.value(QStringLiteral("error"));
        const QString link = record.value(QStringLiteral("link"));
        if (!updates.contains(name))
            continue;
        const bool program = name == programTitle;
        const int row = program ? 0 : table->rowCount();
        table->insertRow(row);

        // Reply texts never become markup; only web addresses become links.
        if (isWebAddress(link))
            table->setCellWidget(row, 0,
                                 linkLabel(QStringLiteral("<a href=\"") + link.toHtmlEscaped() + QStringLiteral("\">")
                                           + name.toHtmlEscaped() + QStringLiteral("</a>")));
        else
            table->setCellWidget(row, 0, plainLabel(name));
        table->setItem(row, 1, centredItem(program ? QCoreApplication::applicationVersion() : updates.take(name)));
        table->setItem(row, 2, centredItem(record.value(QStringLiteral("curr_ver"))));
        table->setItem(row, 3, new QTableWidgetItem(record.value(QStringLiteral("descr"))));
        if (error.isEmpty()) {
            const QString file = record.value(QStringLiteral("link_file"));
            QLabel *download = isWebAddress(file) ? linkLabel(QStringLiteral("<a href=\"") + file.toHtmlEscaped()
                                                              + tr("\">Download</a>"))
                                                  : plainLabel(file);
            download->setAlignment(Qt::AlignCenter);
            table->setCellWidget(row, 4, download);
        } else {
            table->setItem(row, 4, new QTableWidgetItem(error));
        }
    }
    table->resizeColumnToContents(0);
    table->horizontalHeader()->setSectionResizeMode(3, QHeaderView::Stretch);
    table->resizeRowsToContents();
    setInfoText(tr("Available updates found"), BlackText);
}
