#include "eepromreadwindow.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

EepromReadWindow::EepromReadWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("EepromReadWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Device EEPROM"));
    auto *layout = new QVBoxLayout(this);
    m_table = new QTableWidget(0, 4, this);
    m_table->setObjectName(QStringLiteral("twEeprom"));
    m_table->setHorizontalHeaderLabels({tr("Device"), tr("Address"), tr("Data"), tr("Decoded")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setWordWrap(false);
    m_table->verticalHeader()->setVisible(false);
    m_table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_table);
    resize(760, 320);
}

QString EepromReadWindow::hexText(const QByteArray &data)
{
    return QString::fromLatin1(data.toHex(' ').toUpper());
}

void EepromReadWindow::addResult(const QString &device, int address, const QByteArray &data, const QString &decoded)
{
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    const QString addressText = QStringLiteral("0x") + QString::number(address, 16).toUpper().rightJustified(4, '0');
    const QStringList texts{device, addressText, hexText(data), decoded.trimmed()};
    for (int column = 0; column < texts.size(); ++column) {
        auto *item = new QTableWidgetItem(texts.at(column));
        item->setToolTip(texts.at(column));
        m_table->setItem(row, column, item);
    }
    m_table->resizeColumnsToContents();
    m_table->resizeRowToContents(row);
    m_table->scrollToItem(m_table->item(row, 0));
}
