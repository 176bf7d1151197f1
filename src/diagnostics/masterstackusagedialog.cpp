#include "masterstackusagedialog.h"

#include "diagnosticsrecords.h"
#include "dialogflags.h"
#include "screenfit.h"
#include "settings.h"

#include <QDebug>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPointer>
#include <QPushButton>
#include <QSpacerItem>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

MasterStackUsageDialog::MasterStackUsageDialog(QWidget *parent) : QDialog(parent)
{
    registerPacketMetaTypes();
    setObjectName(QStringLiteral("MasterStackUsageDialog"));
    setWindowTitle(tr("Dialog"));
    setCloseButtonOnly(this);
    setAttribute(Qt::WA_DeleteOnClose);
    resize(720, 306);

    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    m_refresh = new QPushButton(tr("Refresh"), this);
    m_refresh->setObjectName(QStringLiteral("pbRefresh"));
    top->addWidget(m_refresh);
    top->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    layout->addLayout(top);
    m_table = new QTableWidget(0, 6, this);
    m_table->setObjectName(QStringLiteral("twStackUsage"));
    m_table->setHorizontalHeaderLabels(
        {QStringLiteral("#"), tr("Task name"), tr("Stack size"), tr("Stack usage"), tr("Priority"), tr("Type")});
    fitHeaderTitles(m_table->horizontalHeader());
    layout->addWidget(m_table);

    restoreGeometry(appSettings.value(QLatin1String(SettingsKey::StackWindowGeometry)).toByteArray());
    QTimer::singleShot(0, this, [this] {
        m_table->horizontalHeader()->restoreState(
            appSettings.value(QLatin1String(SettingsKey::StackWindowState)).toByteArray());
    });
    connect(m_refresh, &QPushButton::clicked, this, &MasterStackUsageDialog::refresh);
    requestLater();
}

MasterStackUsageDialog::~MasterStackUsageDialog()
{
    appSettings.setValue(QLatin1String(SettingsKey::StackWindowGeometry), saveGeometry());
    appSettings.setValue(QLatin1String(SettingsKey::StackWindowState), m_table->horizontalHeader()->saveState());
}

void MasterStackUsageDialog::refresh()
{
    m_table->setRowCount(0);
    m_nextIndex = 0;
    ++m_chain;
    requestLater();
}

void MasterStackUsageDialog::onStackEntryRead(int index, const QByteArray &stackInfo)
{
    const StackEntry entry = stackEntryFromRecord(stackInfo);
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    const QStringList texts{QString::number(index),
                            entry.taskName,
                            tr("%1 B").arg(entry.size),
                            tr("%1%").arg(entry.usage),
                            entry.priority,
                            entry.type};
    for (int column = 0; column < texts.size(); ++column)
        m_table->setItem(row, column, new QTableWidgetItem(texts.at(column)));
    m_nextIndex = index + 1;
    requestLater();
}

void MasterStackUsageDialog::requestLater()
{
    const quint64 chain = m_chain;
    QTimer::singleShot(0, this, [this, chain] {
        if (chain == m_chain)
            request();
    });
}

void MasterStackUsageDialog::request()
{
    const QPointer<MasterStackUsageDialog> self(this);
    const quint64 chain = m_chain;
    const int asked = m_nextIndex;
    QByteArray data(1, char(PT_USB_DEBUG_STACK_INFO));
    data.append(char(asked));
    emit sendPacket(data, [self, chain, asked](const Packet &reply) {
        // Dropped when the dialog is gone or the chain was refreshed.
        if (!self || chain != self->m_chain || reply.data.isEmpty()
            || quint8(reply.data.at(0)) != PT_USB_DEBUG_STACK_INFO_ACK)
            return false;
        if (reply.data.size() < 2 + StackEntryRecordSize)
            return true; // the listing is complete
        const int index = int(qint8(reply.data.at(1)));
        // An index already listed (or past the one-byte range) would ask for
        // the same entries again and again: the listing ends with the rows read.
        if (index < asked) {
            qWarning().noquote() << QStringLiteral("Stack usage: entry %1 answered for entry %2; listing ended at %3 entries")
                                        .arg(index)
                                        .arg(asked)
                                        .arg(self->m_table->rowCount());
            return true;
        }
        self->onStackEntryRead(index, reply.data.mid(2, StackEntryRecordSize));
        return true;
    });
}
