#include "updatestatuswidget.h"

#include "appglobals.h"
#include "deviceitem.h"
#include "versiontext.h"

#include <QDateTime>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const char *const NumProperty = "num";

QFont rowFont()
{
    QFont font(QStringLiteral("Source"), 10);
    font.setBold(true);
    return font;
}

void styleLabel(QLabel *label, const QString &style)
{
    label->setFont(rowFont());
    label->setStyleSheet(style);
}

int sortAddress(const DeviceItem *device)
{
    return device->isWireloopAddressing() ? device->wireloopAddress() : device->address();
}

QString shownAddress(const DeviceItem *device)
{
    const int address = device->address() == 255 ? device->wireloopAddress() : device->address();
    return address == 0 || address == 255 ? QStringLiteral("*") : QString::number(address);
}

int numberOf(const DeviceItem *device)
{
    return device->data(Qt::UserRole).toInt();
}

} // namespace

UpdateStatusWidget::UpdateStatusWidget(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("UpdateStatusWidget"));
    setWindowTitle(tr("Form"));
    resize(200, 400);
    setMinimumSize(0, 90);
    auto *outer = new QVBoxLayout(this);
    outer->setObjectName(QStringLiteral("verticalLayout_2"));
    outer->setContentsMargins(0, 0, 0, 0);
    frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("frame"));
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Plain);
    outer->addWidget(frame);
    auto *inner = new QVBoxLayout(frame);
    inner->setObjectName(QStringLiteral("verticalLayout"));
    pbFirmware = new QPushButton(tr("Firmware"), frame);
    pbFirmware->setObjectName(QStringLiteral("pbFirmware"));
    pbFirmware->setMinimumHeight(30);
    inner->addWidget(pbFirmware);
    lwDevices = new QListWidget(frame);
    lwDevices->setObjectName(QStringLiteral("lwDevices"));
    lwDevices->setMinimumHeight(30);
    lwDevices->setFrameShadow(QFrame::Raised);
    lwDevices->setSpacing(2);
    lwDevices->setStyleSheet(QStringLiteral("background-color: rgb(240, 240, 240)"));
    inner->addWidget(lwDevices);

    connect(pbFirmware, &QPushButton::clicked, this, [this] {
        const bool visible = lwDevices->isHidden();
        lwDevices->setVisible(visible);
        emit visibilityChanged(visible);
    });
}

void UpdateStatusWidget::setText(const QString &text)
{
    pbFirmware->setText(text);
    pbFirmware->setStyleSheet(makeStyleSheet(2, QStringLiteral("rgb(240, 240, 240)")));
}

QString UpdateStatusWidget::text() const
{
    return pbFirmware->text();
}

void UpdateStatusWidget::setDevices(const QList<DeviceItem *> &devices)
{
    m_updated.clear();
    m_failed.clear();
    m_currentRow = nullptr;
    QList<DeviceItem *> sorted = devices;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const DeviceItem *a, const DeviceItem *b) { return sortAddress(a) < sortAddress(b); });
    m_devices.clear();
    for (DeviceItem *device : sorted) {
        m_devices << device;
        auto *row = new QWidget;
        row->setProperty(NumProperty, int(device->deviceId()));
        auto *layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        auto *label = new QLabel(shownAddress(device), row);
        label->setMinimumWidth(50);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        styleLabel(label, QStringLiteral("background-color: rgb(240, 240, 240);"));
        auto *bar = new QProgressBar(row);
        bar->setValue(0);
        bar->setStyleSheet(makeStyleSheet(1, QStringLiteral("#96C8FF")));
        layout->addWidget(label, 0);
        layout->addWidget(bar, 1);
        auto *item = new QListWidgetItem(lwDevices);
        item->setSizeHint(row->sizeHint());
        lwDevices->setItemWidget(item, row);
    }
    // The header button's height, or a row's when that is taller (rows must not be cut).
    int h = std::max(pbFirmware->minimumHeight(), pbFirmware->sizeHint().height());
    for (QWidget *row : rows())
        h = std::max(h, row->sizeHint().height() + 2 * lwDevices->spacing());
    lwDevices->setMinimumHeight(m_devices.size() * h + 2 * lwDevices->frameWidth());
    const int spacing = frame->layout()->spacing();
    setMinimumHeight(lwDevices->minimumHeight() + 3 * spacing + h);
}

QList<DeviceItem *> UpdateStatusWidget::devices() const
{
    QList<DeviceItem *> list;
    for (const QPointer<DeviceItem> &device : m_devices)
        if (device)
            list << device;
    return list;
}

bool UpdateStatusWidget::contains(int deviceNumber) const
{
    for (const QPointer<DeviceItem> &device : m_devices)
        if (device && device->deviceId() == deviceNumber)
            return true;
    return false;
}

void UpdateStatusWidget::removeDevice(DeviceItem *device)
{
    for (int i = m_devices.size() - 1; i >= 0; --i)
        if (!m_devices.at(i) || m_devices.at(i) == device)
            m_devices.removeAt(i);
    if (!device)
        return;
    if (!contains(device->deviceId())) {
        m_updated.removeAll(numberOf(device));
        m_failed.removeAll(numberOf(device));
    }
    for (int i = lwDevices->count() - 1; i >= 0; --i) {
        QWidget *row = lwDevices->itemWidget(lwDevices->item(i));
        if (row && row->property(NumProperty).toInt() == device->deviceId() && !contains(device->deviceId())) {
            if (row == m_currentRow)
                m_currentRow = nullptr;
            delete lwDevices->takeItem(i);
        }
    }
}

bool UpdateStatusWidget::isUpdated(const DeviceItem *device) const
{
    return device && m_updated.contains(numberOf(device));
}

bool UpdateStatusWidget::isFailed(const DeviceItem *device) const
{
    return device && m_failed.contains(numberOf(device));
}

QList<QWidget *> UpdateStatusWidget::rows() const
{
    QList<QWidget *> list;
    for (int i = 0; i < lwDevices->count(); ++i)
        list << lwDevices->itemWidget(lwDevices->item(i));
    return list;
}

QLabel *UpdateStatusWidget::rowLabel(QWidget *row)
{
    return row ? row->findChild<QLabel *>() : nullptr;
}

QProgressBar *UpdateStatusWidget::rowBar(QWidget *row)
{
    return row ? row->findChild<QProgressBar *>() : nullptr;
}

QWidget *UpdateStatusWidget::rowOf(int deviceNumber) const
{
    for (QWidget *row : rows())
        if (row && row->property(NumProperty).toInt() == deviceNumber)
            return row;
    return nullptr;
}

void UpdateStatusWidget::setCurrent()
{
    pbFirmware->setStyleSheet(makeStyleSheet(2, QStringLiteral("rgb(150, 200, 255)")));
    m_state = Current;
}

void UpdateStatusWidget::setProgress(DeviceItem *device, int percent)
{
    QWidget *row = device ? rowOf(numberOf(device)) : nullptr;
    if (!row)
        return;
    m_currentRow = row;
    rowBar(row)->setValue(std::clamp(percent, 0, 100));
    if (percent < 100) {
        styleLabel(rowLabel(row), QStringLiteral("background-color: rgb(240, 240, 240); color: rgb(0, 0, 255);"));
    } else {
        styleLabel(rowLabel(row), QStringLiteral("background-color: rgb(240, 240, 240); color: rgb(0, 150, 0);"));
        rowBar(row)->setStyleSheet(makeStyleSheet(1, QStringLiteral("#96FF96")));
    }
}

void UpdateStatusWidget::setDeviceResult(DeviceItem *device, bool success)
{
    m_state = success ? LastSucceeded : LastFailed;
    QWidget *row = device ? rowOf(numberOf(device)) : nullptr;
    // A device outside the group, or already counted, changes no count.
    const int number = device ? numberOf(device) : -1;
    if (!row || m_updated.contains(number) || m_failed.contains(number))
        return;
    if (success) {
        setProgress(device, 100);
        m_updated << number;
    } else {
        m_failed << number;
        styleLabel(rowLabel(row), QStringLiteral("color: rgb(255, 0, 0);background-color: rgb(240, 240, 240);"));
    }
    const int total = devices().size();
    if (total != m_updated.size() + m_failed.size())
        return;
    QString style = makeStyleSheet(2, QStringLiteral("rgb(150, 255, 150)"));
    if (m_failed.size() == total)
        style = makeStyleSheet(2, QStringLiteral("rgb(255, 150, 150)"));
    else if (!m_failed.isEmpty())
        style = makeStyleSheet(2, QStringLiteral("rgb(255, 255, 150)"));
    pbFirmware->setStyleSheet(style);
}

void UpdateStatusWidget::setStopped()
{
    pbFirmware->setStyleSheet(makeStyleSheet(2, QStringLiteral("rgb(255, 255, 150)")));
    for (QWidget *row : rows()) {
        if (!row || rowBar(row)->value() >= 100)
            continue;
        rowBar(row)->setStyleSheet(makeStyleSheet(1, QStringLiteral("rgb(255, 255, 150)")));
        styleLabel(rowLabel(row), QStringLiteral("background-color: rgb(240, 240, 240); color: rgb(0, 0, 0);"));
    }
    m_state = Stopped;
}

void UpdateStatusWidget::updateText()
{
    if (m_firmware)
        pbFirmware->setText(firmwareText(m_firmware));
    else if (m_fileHeader.deviceType != 0)
        pbFirmware->setText(fileHeaderText(m_fileHeader));
}

void UpdateStatusWidget::scrollToDevice(DeviceItem *device)
{
    if (!device)
        return;
    for (int i = 0; i < lwDevices->count(); ++i) {
        QWidget *row = lwDevices->itemWidget(lwDevices->item(i));
        if (row && row->property(NumProperty).toInt() == device->deviceId()) {
            lwDevices->scrollToItem(lwDevices->item(i), QAbstractItemView::PositionAtCenter);
            return;
        }
    }
}

void UpdateStatusWidget::setCollapsed(bool collapsed)
{
    lwDevices->setVisible(!collapsed);
}

bool UpdateStatusWidget::isCollapsed() const
{
    return lwDevices->isHidden();
}

QString UpdateStatusWidget::makeStyleSheet(int kind, const QString &colour)
{
    switch (kind) {
    case 1:
        // One chunk as wide as the done part: it looks the same as a row of 1-pixel chunks
        // and is drawn in one go.
        return QStringLiteral("QProgressBar {background-color: rgb(240, 240, 240);border: 2px solid grey;"
                              "border-radius: 5px;text-align: center;}QProgressBar::chunk {background-color: %1;}")
            .arg(colour);
    case 2:
        return QStringLiteral("QPushButton {background-color: %1; border: none;}").arg(colour);
    default:
        return QString();
    }
}

QString UpdateStatusWidget::firmwareLabel(int typeCode, const QString &hardware, const QString &firmware)
{
    // deviceTypeName answers "Unknown type: %1" past the table's last code.
    return deviceTypeName(typeCode) + QLatin1Char(' ') + tr("hw ") + hardware + QLatin1Char(' ') + tr("fw ") + firmware;
}

QString UpdateStatusWidget::fileHeaderText(const HUBRO32BootSectionHeader_t &header)
{
    const QDateTime built = QDateTime::fromSecsSinceEpoch(qint64(header.buildTime));
    return firmwareLabel(header.deviceType, QString::number(header.hardwareVersion >> 8),
                         versionToString(versionOfPackedWord(header.firmwareVersion)))
           + built.toString(QStringLiteral(" (dd.MM.yyyy hh:mm:ss)"));
}

QString UpdateStatusWidget::firmwareText(const pVORL &firmware)
{
    if (!firmware)
        return tr("No information");
    return firmwareLabel(firmware->deviceType(), QString::number(firmware->hardwareVersion().majorVersion()),
                         versionToString(firmware->firmwareVersion()))
           + QStringLiteral(" (") + firmware->date().toString(QStringLiteral("dd.MM.yyyy")) + QLatin1Char(' ')
           + firmware->time().toString(QStringLiteral("hh:mm:ss")) + QLatin1Char(')');
}
