#include "checkupdates.h"
#include "screenfit.h"
#include "ui_checkupdates.h"

#include "appglobals.h"
#include "deviceitem.h"
#include "networkmanager.h"
#include "proxypassword.h"
#include "proxysetup.h"
#include "settings.h"
#include "uiseams.h"
#include "versiontext.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStyle>
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

// The name older versions gave the program in their requests; a service's
// reply may still use it for the program's own record.
const QString FormerProgramTitle = QStringLiteral("Конфигуратор Zentar");

bool isProgram(const QString &name)
{
    return name == programTitle || name == FormerProgramTitle;
}

// The web address a link cell opens.
constexpr int LinkRole = Qt::UserRole;

// A cell showing `text` as it is (never markup); a link to `url` when that
// is a web address.
QTableWidgetItem *cellItem(const QString &text, const QString &url = QString(), const QColor &linkColor = QColor())
{
    auto *item = new QTableWidgetItem(text);
    if (isWebAddress(url)) {
        item->setData(LinkRole, url);
        item->setToolTip(url);
        item->setForeground(linkColor);
        QFont font = item->font();
        font.setUnderline(true);
        item->setFont(font);
    }
    return item;
}

QTableWidgetItem *centredItem(QTableWidgetItem *item)
{
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
    fitHeaderTitles(ui->tableWidget->horizontalHeader());
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

    noResponse = new QTimer(this);
    noResponse->setSingleShot(true);
    connect(noResponse, &QTimer::timeout, this, [this] {
        if (!ui->pbCheckForUpdates->isEnabled())
            onErrorReceived(tr("No response from service"));
    });

    // Links open with a click, or with Enter on the current cell.
    connect(ui->tableWidget, &QTableWidget::itemClicked, this, &CheckUpdates::openLink);
    ui->tableWidget->installEventFilter(this);

    // The proxy password comes from the secret store; opening the window
    // changes no proxy setting.
    ProxyPassword *password = ProxyPassword::instance();
    connect(password, &ProxyPassword::written, this, &CheckUpdates::onPasswordWritten);
    password->read();
}

CheckUpdates::~CheckUpdates()
{
    networkManager->abortRequest();
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
    // The table shows the latest check only; one check at a time.
    ui->tableWidget->clearContents();
    ui->tableWidget->setRowCount(0);
    networkManager->abortRequest();
    setInfoText(tr("Checking for updates..."), BlackText);
    // The request goes on after the note, until the client's time-out: a late
    // reply is still shown.
    noResponse->start(s_noResponseTimeout);

    ProxyPassword *password = ProxyPassword::instance();
    if (password->isKnown()) {
        postRequest();
        return;
    }
    // The secret store has not answered yet.
    connect(password, &ProxyPassword::known, this, &CheckUpdates::postRequest, Qt::UniqueConnection);
    password->read();
}

void CheckUpdates::postRequest()
{
    disconnect(ProxyPassword::instance(), &ProxyPassword::known, this, &CheckUpdates::postRequest);
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

bool CheckUpdates::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->tableWidget && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            openLink(ui->tableWidget->currentItem());
    }
    return QWidget::eventFilter(watched, event);
}

void CheckUpdates::openLink(QTableWidgetItem *item)
{
    const QString url = item ? item->data(LinkRole).toString() : QString();
    if (!url.isEmpty())
        QDesktopServices::openUrl(QUrl(url));
}

void CheckUpdates::onPasswordWritten(bool kept)
{
    const ProxyPassword *password = ProxyPassword::instance();
    if (!kept && !password->password().isEmpty())
        setInfoText(tr("The proxy password is not saved: no secret store answers (%1). It is used until the "
                       "program closes.")
                        .arg(password->notKeptReason()),
                    RedText);
}

void CheckUpdates::onErrorReceived(const QString &errorString)
{
    noResponse->stop();
    ui->pbCheckForUpdates->setEnabled(true);
    setInfoText(errorString, RedText);
}

void CheckUpdates::onReplyReceived(const QList<QMap<QString, QString>> &reply)
{
    noResponse->stop();
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
        const QString installed = isProgram(name) ? programVersion : requestedProducts.take(name);
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

void CheckUpdates::fitRowHeights()
{
    // Rows as high as their contents, measuring only rows with a text that
    // may take more than one line: one single-line row gives the height of
    // the others.
    QTableWidget *table = ui->tableWidget;
    const QFontMetrics metrics(table->font());
    const int margin = 2 * (table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1);
    QVector<int> widths;
    for (int column = 0; column < table->columnCount(); ++column)
        widths << table->columnWidth(column) - margin;
    // A text's width as the sum of its characters' (kerning only narrows
    // it): far cheaper than laying out each text. A character outside the
    // basic plane counts as too wide, so such a row is measured.
    QHash<QChar, int> advances;
    const auto fits = [&](const QString &text, int width) {
        int sum = 0;
        for (const QChar c : text) {
            if (c == QLatin1Char('\n') || c.isSurrogate())
                return false;
            auto it = advances.find(c);
            if (it == advances.end())
                it = advances.insert(c, metrics.horizontalAdvance(c));
            sum += *it;
            if (sum > width)
                return false;
        }
        return true;
    };
    const auto oneLine = [&](int row) {
        for (int column = 0; column < widths.size(); ++column) {
            const QTableWidgetItem *item = table->item(row, column);
            if (item && !fits(item->text(), widths.at(column)))
                return false;
        }
        return true;
    };
    int lineHeight = -1;
    QVector<int> taller;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (!oneLine(row)) {
            taller << row;
        } else if (lineHeight < 0) {
            table->resizeRowToContents(row);
            lineHeight = table->rowHeight(row);
        }
    }
    if (lineHeight >= 0)
        table->verticalHeader()->setDefaultSectionSize(lineHeight); // every row
    for (int row : qAsConst(taller))
        table->resizeRowToContents(row);
}

void CheckUpdates::fillUpdatesTable(const QList<QMap<QString, QString>> &reply, QMap<QString, QString> updates)
{
    // The rows are gathered first and the table sized once: no work per row
    // beyond its items.
    QList<const QMap<QString, QString> *> listed;
    QStringList installed;
    for (const QMap<QString, QString> &record : reply) {
        const QString name = record.value(QStringLiteral("name"));
        if (!updates.contains(name))
            continue;
        if (isProgram(name)) { // on top, a later one above an earlier one
            listed.prepend(&record);
            installed.prepend(QCoreApplication::applicationVersion());
        } else {
            listed.append(&record);
            installed.append(updates.take(name));
        }
    }

    QTableWidget *table = ui->tableWidget;
    const QColor linkColor = table->palette().color(QPalette::Link);
    table->setUpdatesEnabled(false);
    table->setRowCount(listed.size());
    for (int row = 0; row < listed.size(); ++row) {
        const QMap<QString, QString> &record = *listed.at(row);
        table->setItem(row, 0, cellItem(record.value(QStringLiteral("name")), record.value(QStringLiteral("link")),
                                        linkColor));
        table->setItem(row, 1, centredItem(cellItem(installed.at(row))));
        table->setItem(row, 2, centredItem(cellItem(record.value(QStringLiteral("curr_ver")))));
        table->setItem(row, 3, cellItem(record.value(QStringLiteral("descr"))));
        const QString error = record.value(QStringLiteral("error"));
        if (error.isEmpty()) {
            const QString file = record.value(QStringLiteral("link_file"));
            table->setItem(row, 4,
                           centredItem(cellItem(isWebAddress(file) ? tr("Download") : file, file, linkColor)));
        } else {
            table->setItem(row, 4, cellItem(error));
        }
    }
    table->resizeColumnToContents(0);
    table->horizontalHeader()->setSectionResizeMode(3, QHeaderView::Stretch);
    fitRowHeights();
    table->setUpdatesEnabled(true);
    setInfoText(tr("Available updates found"), BlackText);
}
