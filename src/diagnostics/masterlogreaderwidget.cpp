#include "masterlogreaderwidget.h"

#include "messageboxes.h"
#include "plotclock.h"
#include "screenfit.h"
#include "settings.h"
#include "uiseams.h"

#include <QCloseEvent>
#include <QDebug>
#include <QFile>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSpacerItem>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTextStream>
#include <QTimer>

namespace {
quint8 typeOf(const Packet &reply)
{
    return reply.data.isEmpty() ? 0 : quint8(reply.data.at(0));
}
} // namespace

MasterLogReaderWidget::MasterLogReaderWidget(quint8 masterType, quint32 serialNumber, QWidget *parent)
    : QWidget(parent), m_serialNumber(serialNumber), m_masterType(masterType)
{
    registerPacketMetaTypes();
    setObjectName(QStringLiteral("MasterLogReaderWidget"));
    setWindowTitle(tr("Form"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(900, 600);

    m_grid = new QGridLayout(this);
    m_grid->setObjectName(QStringLiteral("gridLayout"));
    m_read = new QPushButton(tr("Read log"), this);
    m_read->setObjectName(QStringLiteral("pbReadLog"));
    m_clear = new QPushButton(tr("Clear log"), this);
    m_clear->setObjectName(QStringLiteral("pbClearLog"));
    m_index = new QLabel(tr("Index:"), this);
    m_index->setObjectName(QStringLiteral("lblIndex"));
    m_indexValue = new QLabel(QStringLiteral("0"), this);
    m_indexValue->setObjectName(QStringLiteral("lblIndexValue"));
    m_save = new QPushButton(QIcon(QStringLiteral(":/icons/images/icons/png/save.png")), tr("Save log"), this);
    m_save->setObjectName(QStringLiteral("pbSaveLog"));
    for (QPushButton *button : {m_read, m_clear, m_save})
        button->setMinimumWidth(120);
    m_grid->addWidget(m_read, 0, 0);
    m_grid->addWidget(m_clear, 0, 1);
    m_grid->addWidget(m_index, 0, 2);
    m_grid->addWidget(m_indexValue, 0, 3);
    m_grid->addItem(new QSpacerItem(412, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 0, 4);
    m_grid->addWidget(m_save, 0, 5);
    m_table = new QTableWidget(0, 6, this);
    m_table->setObjectName(QStringLiteral("twLog"));
    m_table->setHorizontalHeaderLabels(
        {tr("Time"), tr("Event"), tr("Task"), tr("Stack"), tr("Description"), tr("Data")});
    m_table->horizontalHeader()->setDefaultSectionSize(120);
    fitHeaderTitles(m_table->horizontalHeader());
    m_grid->addWidget(m_table, 1, 0, 1, 6);

    const QByteArray geometry = appSettings.value(QLatin1String(SettingsKey::LogWindowGeometry)).toByteArray();
    if (!geometry.isEmpty())
        restoreGeometry(geometry);

    connect(this, &MasterLogReaderWidget::logCleared, this, &MasterLogReaderWidget::onLogCleared);
    connect(m_save, &QPushButton::clicked, this, &MasterLogReaderWidget::saveLog);
    if (!isEepromMode()) {
        if (geometry.isEmpty())
            resize(900, 400);
        m_index->hide();
        m_indexValue->hide();
        connect(m_clear, &QPushButton::clicked, this, [this] {
            // The master keeps no copy of a cleared log.
            const QPointer<MasterLogReaderWidget> self(this);
            if (askQuestion(tr("Clear the master's error log?\nThe events in it cannot be read again."),
                            tr("Clear error logs"), QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
                    == QMessageBox::Yes
                && self)
                clearEventLog();
        });
        connect(m_read, &QPushButton::clicked, this, [this] {
            readEventLog();
            m_table->setRowCount(0);
        });
        QTimer::singleShot(0, this, &MasterLogReaderWidget::readEventLog);
    } else {
        if (geometry.isEmpty())
            resize(350, 400);
        m_clear->hide();
        m_read->hide();
        for (int column : {TimeColumn, TaskColumn, StackColumn, DescriptionColumn})
            m_table->setColumnHidden(column, true);
        QTimer::singleShot(0, this, &MasterLogReaderWidget::readEepromLog);
    }
}

MasterLogReaderWidget::~MasterLogReaderWidget()
{
    appSettings.setValue(QLatin1String(SettingsKey::LogWindowGeometry), saveGeometry());
}

void MasterLogReaderWidget::closeEvent(QCloseEvent *event)
{
    m_stopped = true;
    event->accept();
}

void MasterLogReaderWidget::readEventLog()
{
    m_stopped = false;
    // A new chain: the replies of a chain still running are dropped.
    const quint64 chain = ++m_chain;
    const QPointer<MasterLogReaderWidget> self(this);
    emit sendPacket(QByteArray(1, char(PT_LOG_FIND_FIRST)), [self, chain](const Packet &reply) {
        return self && self->onChainReply(reply, chain);
    });
}

bool MasterLogReaderWidget::onChainReply(const Packet &reply, quint64 chain)
{
    if (m_stopped || chain != m_chain)
        return false;
    switch (typeOf(reply)) {
    case PT_LOG_FIND_ACK: {
        const QPointer<MasterLogReaderWidget> self(this);
        emit sendPacket(QByteArray(1, char(PT_LOG_FIND_NEXT)), [self, chain](const Packet &next) {
            return self && self->onChainReply(next, chain);
        });
        t_Log_TROMBEL entry;
        if (!logEntryFromReply(reply.data, &entry)) {
            qWarning().noquote() << QStringLiteral("Log entry too short: %1 bytes").arg(reply.data.size());
            return true;
        }
        onLogEntryRead(entry);
        return true;
    }
    case PT_LOG_FIND_NOT_FOUND:
        m_table->resizeColumnsToContents();
        return true;
    default:
        return false;
    }
}

void MasterLogReaderWidget::onLogEntryRead(const t_Log_TROMBEL &logEntry)
{
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    const QStringList texts = logEntryTexts(logEntry);
    for (int column = 0; column < texts.size(); ++column)
        m_table->setItem(row, column, new QTableWidgetItem(texts.at(column)));
    m_table->scrollToBottom();
    m_table->resizeColumnToContents(TimeColumn);
    m_table->resizeColumnToContents(EventColumn);
}

void MasterLogReaderWidget::readEepromLog()
{
    const QPointer<MasterLogReaderWidget> self(this);
    QByteArray request(1, char(PT_HUBRO_EEPROM_READ));
    request.append(char(0xD3)).append(char(0x03)).append(char(0x20));
    emit sendPacket(request, [self](const Packet &reply) {
        if (!self || typeOf(reply) != PT_HUBRO_EEPROM_READ_ACK)
            return false;
        if (reply.data.size() < EepromLogReplySize) {
            qWarning().noquote() << QStringLiteral("EEPROM log too short: %1 bytes").arg(reply.data.size());
            return true;
        }
        self->onEepromLogRead(reply.data);
        return true;
    });
}

void MasterLogReaderWidget::onEepromLogRead(const QByteArray &reply)
{
    m_indexValue->setText(QString::number(eepromLogLastIndex(reply)));
    m_table->setRowCount(0);
    for (const EepromLogRecord &record : eepromLogRecords(reply)) {
        if (record.errorCode == 0xFF)
            continue;
        const int row = m_table->rowCount();
        m_table->insertRow(row);
        m_table->setItem(row, EventColumn, new QTableWidgetItem(eepromLogEventText(record.errorCode)));
        m_table->setItem(row, DataColumn, new QTableWidgetItem(QString::number(record.data)));
        m_table->scrollToBottom();
    }
    const QMargins margins = m_grid->contentsMargins();
    const int margin = qMax(margins.left(), margins.right());
    const int w = (width() - m_table->verticalHeader()->width() - (2 * margin + 2)) / 2;
    m_table->setColumnWidth(EventColumn, w);
    m_table->setColumnWidth(DataColumn, w);
}

void MasterLogReaderWidget::clearEventLog()
{
    const QPointer<MasterLogReaderWidget> self(this);
    emit sendPacket(QByteArray(1, char(PT_LOG_CLEAR)), [self](const Packet &reply) {
        if (!self || typeOf(reply) != PT_LOG_CLEAR_ACK)
            return false;
        emit self->logCleared();
        return true;
    });
}

void MasterLogReaderWidget::onLogCleared()
{
    m_table->setRowCount(0);
}

QString MasterLogReaderWidget::cellText(int row, int column) const
{
    const QTableWidgetItem *item = m_table->item(row, column);
    return item ? item->text() : QString();
}

QString MasterLogReaderWidget::logText(const QDateTime &start) const
{
    QString text;
    QTextStream out(&text);
    out << tr("Start log ") << start.toString(QStringLiteral("dd.MM.yyyy-hh:mm:ss")) << '\n';
    for (int row = 0; row < m_table->rowCount(); ++row) {
        if (isEepromMode()) {
            out << cellText(row, EventColumn) << '\t' << cellText(row, DataColumn) << '\n';
            continue;
        }
        QStringList cells;
        for (int column : {TimeColumn, EventColumn, TaskColumn, StackColumn, DescriptionColumn, DataColumn})
            cells << cellText(row, column);
        out << cells.join(QLatin1Char('\t')) << '\n';
    }
    if (isEepromMode())
        out << tr("Last restart") << '\t' << m_indexValue->text() << '\n';
    out << tr("End log") << '\n';
    out.flush();
    return text;
}

void MasterLogReaderWidget::saveLog()
{
    const QDateTime now = PlotClock::now();
    const QString proposed = QStandardPaths::standardLocations(QStandardPaths::DocumentsLocation).value(0)
                             + QStringLiteral("/%1_%2.CSV")
                                   .arg(m_serialNumber, 10, 10, QLatin1Char('0'))
                                   .arg(now.toString(QStringLiteral("ddMMyyyy_hhmmss")));
    const QString path =
        UiSeams::getSaveFileName(this, tr("Save log"), proposed, tr("CSV files(*.CSV);;All files(*)"));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        showWarningMessage(tr("Failed to save selected file"), tr("Error"));
        return;
    }
    QTextStream out(&file);
    out.setCodec("UTF-8");
    out << logText(now);
}
