// The log view and the packet filter of the log dock.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "packet.h"
#include "settings.h"

#include <QDateTime>
#include <QListWidgetItem>

void MainWindow::newLogMessage(int level, const QString &message)
{
    if (level > logLevel)
        return;

    // The message is plain text: escape it before it becomes part of HTML.
    const QString text = message.toHtmlEscaped();
    QString wrapped;
    switch (level) {
    case 0:
        wrapped = QStringLiteral("<font color=red>CRITICAL: %1</font>").arg(text);
        break;
    case 1:
        wrapped = QStringLiteral("<font color=brown>WARNING: %1</font>").arg(text);
        break;
    case 2:
        wrapped = QStringLiteral("DEBUG: %1").arg(text);
        break;
    case 3:
        wrapped = QStringLiteral("<font color=blue>TRACE: %1</font>").arg(text);
        break;
    default:
        wrapped = text;
        break;
    }
    const QDateTime now = QDateTime::currentDateTime();
    const QString prefix = now.toString(QStringLiteral("dd.MM")) + QLatin1Char(' ')
                           + now.toString(QStringLiteral("hh:mm:ss.zzz")) + QStringLiteral("&gt; ");
    QString html = prefix + wrapped;
    html.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    ui->ptLog->appendHtml(html);
}

void MainWindow::setupPacketFilter()
{
    appSettings.beginGroup(QLatin1String(SettingsKey::PacketFilterGroup));
    for (int code = 1; code <= 254; ++code) {
        const QString name = QString::fromLatin1(packetTypeNames[code]);
        if (name.startsWith(QLatin1String("FREE")))
            continue;
        auto *item = new QListWidgetItem(name, ui->lwPacketFilter);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::CheckState(appSettings.value(name, PacketFilterDefaultState).toInt()));
        item->setData(Qt::UserRole, code);
    }
    appSettings.endGroup();

    connect(ui->lwPacketFilter, &QListWidget::itemChanged, this, &MainWindow::onPacketFilterChanged);
    connect(ui->pbFilterSelectAll, &QPushButton::clicked, this, &MainWindow::packetFilterSelectAll);
    connect(ui->pbFilterDeselectAll, &QPushButton::clicked, this, &MainWindow::packetFilterSelectAll);
    connect(ui->leLogFilter, &QLineEdit::textChanged, this, &MainWindow::filterPacketFilterSelection);

    onPacketFilterChanged();
}

QVector<uint8_t> MainWindow::packetLogExclusions() const
{
    QVector<uint8_t> codes;
    for (int row = 0; row < ui->lwPacketFilter->count(); ++row) {
        const QListWidgetItem *item = ui->lwPacketFilter->item(row);
        if (item->checkState() != Qt::Checked)
            codes.append(uint8_t(item->data(Qt::UserRole).toUInt()));
    }
    return codes;
}

void MainWindow::onPacketFilterChanged()
{
    // The link takes the types it leaves out; types without a row are always logged.
    emit packetLogFilterChanged(packetLogExclusions());
}

void MainWindow::packetFilterSelectAll()
{
    const Qt::CheckState state = sender() == ui->pbFilterSelectAll ? Qt::Checked : Qt::Unchecked;
    disconnect(ui->lwPacketFilter, &QListWidget::itemChanged, this, &MainWindow::onPacketFilterChanged);
    for (int row = 0; row < ui->lwPacketFilter->count(); ++row) {
        QListWidgetItem *item = ui->lwPacketFilter->item(row);
        if (!item->isHidden())
            item->setCheckState(state);
    }
    connect(ui->lwPacketFilter, &QListWidget::itemChanged, this, &MainWindow::onPacketFilterChanged);
    onPacketFilterChanged();
}

void MainWindow::filterPacketFilterSelection(const QString &filterString)
{
    for (int row = 0; row < ui->lwPacketFilter->count(); ++row) {
        QListWidgetItem *item = ui->lwPacketFilter->item(row);
        item->setHidden(!item->text().contains(filterString, Qt::CaseInsensitive));
    }
}
