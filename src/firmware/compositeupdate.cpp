#include "compositeupdate.h"

#include "appglobals.h"
#include "deviceitem.h"
#include "droppedfiles.h"
#include "hubroitem.h"
#include "messageboxes.h"
#include "screenfit.h"
#include "settings.h"
#include "uiseams.h"
#include "versiontext.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QDebug>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPersistentModelIndex>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <map>

namespace {

constexpr int KernelType = 45;
// Where the support service is reached; a placeholder domain until one is given.
const char SupportLink[] = "https://support.zorvo.invalid";

QString versionText(quint16 word)
{
    return versionToString(versionOfPackedWord(word));
}

HUBRO32BootSectionHeader_t headerOf(const QTableWidgetItem *item)
{
    return item ? item->data(CompositeUpdate::HeaderRole).value<HUBRO32BootSectionHeader_t>()
                : HUBRO32BootSectionHeader_t();
}

// Same firmware row: type, hardware, firmware, build number and build time.
bool sameRow(const HUBRO32BootSectionHeader_t &a, const HUBRO32BootSectionHeader_t &b)
{
    return a.deviceType == b.deviceType && a.hardwareVersion == b.hardwareVersion
           && a.firmwareVersion == b.firmwareVersion && a.buildNumber == b.buildNumber && a.buildTime == b.buildTime;
}

QString rowName(int type)
{
    switch (type) {
    case 0:
        return CompositeUpdate::tr("HUBRO32 RADIO");
    case 40:
        return CompositeUpdate::tr("HUBRO125 RADIO");
    case 1:
        return CompositeUpdate::tr("HUBRO32 CORE");
    case 41:
    case 141:
        return CompositeUpdate::tr("HUBRO125 CORE");
    default:
        return deviceTypeName(type);
    }
}

bool isNamedSection(int type)
{
    return type == 0 || type == 40 || type == 1 || type == 41 || type == 141;
}

int shownAddress(const DeviceItem *device)
{
    return device->isWireloopAddressing() ? device->wireloopAddress() : device->address();
}

} // namespace

bool CompositeUpdate::VorlOrder::operator()(const pVORL &a, const pVORL &b) const
{
    const QByteArray ha = a ? a->rawHeader() : QByteArray();
    const QByteArray hb = b ? b->rawHeader() : QByteArray();
    if (ha != hb)
        return ha < hb;
    return a.data() < b.data();
}

CompositeUpdate::CompositeUpdate(const HUBRO32BootSectionHeader_t &savedHeader, const QList<DeviceItem *> &devices,
                                 HubroItem *master, QWidget *parent)
    : QWidget(parent), savedHeader(savedHeader), master(master)
{
    registerBootSectionHeaderMetaType();
    qRegisterMetaType<QList<DeviceItem *>>();
    qRegisterMetaType<FirmwareMap>("FirmwareMap");
    for (DeviceItem *device : devices)
        this->devices << device;
    buildForm();
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Window | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowModality(Qt::WindowModal);
    setAcceptDrops(true);
    restoreGeometry(appSettings.value(QLatin1String(SettingsKey::GeometryUpdateWidget)).toByteArray());

    pbSelectAll->setEnabled(false);
    cbDevices->setEnabled(false);
    // Over the rows only: the column titles stay readable.
    overlayLabel = new QLabel(tr("All devices of this type are not connected"), twDevices->viewport());
    overlayLabel->setObjectName(QStringLiteral("overlayLabel"));
    overlayLabel->setAlignment(Qt::AlignCenter);
    overlayLabel->hide();
    twDevices->viewport()->installEventFilter(this);
    cbFastMode->hide();
    lblRefreshTime->hide();
    twFirmwares->setColumnHidden(3, true);
    twDevices->setColumnHidden(5, true);

    if (master && (master->deviceType() & 0xFF) == 0)
        rbOfflineMode->setEnabled(master->hardwareVersion().majorVersion() >= 8);

    connect(pbOpen, &QPushButton::clicked, this, &CompositeUpdate::openFiles);
    connect(pbUpdate, &QPushButton::clicked, this, &CompositeUpdate::startUpdate);
    connect(pbCancel, &QPushButton::clicked, this, &QWidget::close);
    connect(rbPackageMode, &QRadioButton::clicked, this, &CompositeUpdate::switchToPackage);
    connect(rbOfflineMode, &QRadioButton::clicked, this, &CompositeUpdate::switchToOffline);
    connect(pbSelectAll, &QPushButton::clicked, this, &CompositeUpdate::selectAll);
    queueItemChanges(twDevices, &CompositeUpdate::onDeviceItemChanged);
    connect(cbDevices, &QCheckBox::clicked, this, &CompositeUpdate::onDevicesCheckClicked);
    connect(twFirmwares, &QTableWidget::itemSelectionChanged, this, &CompositeUpdate::fillDevices);
    queueItemChanges(twFirmwares, &CompositeUpdate::onFirmwareItemChanged);
    connect(twFirmwares, &QTableWidget::itemDoubleClicked, this, &CompositeUpdate::onFirmwareDoubleClicked);

    showSavedFirmware();
}

CompositeUpdate::~CompositeUpdate() = default;

void CompositeUpdate::queueItemChanges(QTableWidget *table, void (CompositeUpdate::*handler)(QTableWidgetItem *))
{
    // Handled once the event loop turns; the row may be gone by then (the
    // tables are rebuilt as devices and the master come and go), so the item
    // is found again through a persistent index rather than kept.
    connect(table, &QTableWidget::itemChanged, this, [this, table, handler](QTableWidgetItem *item) {
        const QPersistentModelIndex index(table->model()->index(item->row(), item->column()));
        QMetaObject::invokeMethod(
            this,
            [this, table, handler, index] {
                if (QTableWidgetItem *changed = index.isValid() ? table->item(index.row(), index.column()) : nullptr)
                    (this->*handler)(changed);
            },
            Qt::QueuedConnection);
    });
}

void CompositeUpdate::buildForm()
{
    setObjectName(QStringLiteral("CompositeUpdate"));
    setWindowTitle(tr("Composite update"));
    resize(1280, 720);
    setMinimumSize(1024, 240);
    auto *outer = new QVBoxLayout(this);
    splitter = new QSplitter(Qt::Vertical, this);
    splitter->setObjectName(QStringLiteral("splitter"));
    outer->addWidget(splitter);

    auto *top = new QWidget(splitter);
    auto *topLayout = new QVBoxLayout(top);
    auto *fileRow = new QHBoxLayout;
    leFilename = new QLineEdit(tr("Internal"), top);
    leFilename->setObjectName(QStringLiteral("leFilename"));
    leFilename->setReadOnly(true);
    pbOpen = new QPushButton(QIcon(QStringLiteral(":/icons/images/icons/png/open.png")), tr("Open"), top);
    pbOpen->setObjectName(QStringLiteral("pbOpen"));
    pbSelectAll = new QPushButton(tr("Select all"), top);
    pbSelectAll->setObjectName(QStringLiteral("pbSelectAll"));
    pbSelectAll->setCheckable(true);
    pbSelectAll->setFlat(true);
    pbSelectAll->setMinimumWidth(120);
    lblFirmwareCount = new QLabel(QStringLiteral("0/0"), top);
    lblFirmwareCount->setObjectName(QStringLiteral("lblFirmwareCount"));
    fileRow->addWidget(leFilename, 1);
    fileRow->addWidget(pbOpen);
    fileRow->addWidget(pbSelectAll);
    fileRow->addWidget(lblFirmwareCount);
    topLayout->addLayout(fileRow);
    twFirmwares = new QTableWidget(0, 5, top);
    twFirmwares->setObjectName(QStringLiteral("twFirmwares"));
    twFirmwares->setHorizontalHeaderLabels({tr("Type"), tr("HW"), tr("FW"), tr("Build number"), tr("Date")});
    twFirmwares->setSelectionBehavior(QAbstractItemView::SelectRows);
    twFirmwares->setSelectionMode(QAbstractItemView::SingleSelection);
    twFirmwares->setEditTriggers(QAbstractItemView::NoEditTriggers);
    twFirmwares->horizontalHeader()->setStretchLastSection(true);
    topLayout->addWidget(twFirmwares);

    auto *bottom = new QWidget(splitter);
    auto *bottomLayout = new QVBoxLayout(bottom);
    auto *deviceRow = new QHBoxLayout;
    label_3 = new QLabel(tr("Available devices"), bottom);
    label_3->setObjectName(QStringLiteral("label_3"));
    lblDeviceCount = new QLabel(QStringLiteral("0/0"), bottom);
    lblDeviceCount->setObjectName(QStringLiteral("lblDeviceCount"));
    cbDevices = new QCheckBox(tr("Select all"), bottom);
    cbDevices->setObjectName(QStringLiteral("cbDevices"));
    cbDevices->setTristate(true);
    auto *line = new QFrame(bottom);
    line->setObjectName(QStringLiteral("line"));
    line->setFrameShape(QFrame::VLine);
    rbPackageMode = new QRadioButton(tr("Package mode"), bottom);
    rbPackageMode->setObjectName(QStringLiteral("rbPackageMode"));
    rbPackageMode->setToolTip(tr("Update with the configurator turned on.\nUpdating only selected devices of one or "
                                 "more types."));
    rbOfflineMode = new QRadioButton(tr("Offline mode"), bottom);
    rbOfflineMode->setObjectName(QStringLiteral("rbOfflineMode"));
    rbOfflineMode->setToolTip(tr("Updating without participation of the Configurator.\nUpdating the software of all "
                                 "devices of only one type, in which the software version differs from the downloaded "
                                 "one.\nUpdating starts after closing the Configurator."));
    cbFastMode = new QCheckBox(tr("Fast mode"), bottom);
    cbFastMode->setObjectName(QStringLiteral("cbFastMode"));
    lblRefreshTime = new QLabel(bottom);
    lblRefreshTime->setObjectName(QStringLiteral("lblRefreshTime"));
    pbUpdate = new QPushButton(QIcon(QStringLiteral(":/icons/images/icons/png/updateall.png")), tr("Update"), bottom);
    pbUpdate->setObjectName(QStringLiteral("pbUpdate"));
    pbCancel = new QPushButton(QIcon(QStringLiteral(":/icons/images/icons/png/close.png")), tr("Cancel"), bottom);
    pbCancel->setObjectName(QStringLiteral("pbCancel"));
    deviceRow->addWidget(label_3);
    deviceRow->addWidget(lblDeviceCount);
    deviceRow->addWidget(cbDevices);
    deviceRow->addWidget(line);
    deviceRow->addWidget(rbPackageMode);
    deviceRow->addWidget(rbOfflineMode);
    deviceRow->addWidget(cbFastMode);
    deviceRow->addWidget(lblRefreshTime);
    deviceRow->addStretch(1);
    deviceRow->addWidget(pbUpdate);
    deviceRow->addWidget(pbCancel);
    bottomLayout->addLayout(deviceRow);
    twDevices = new QTableWidget(0, 6, bottom);
    twDevices->setObjectName(QStringLiteral("twDevices"));
    twDevices->setHorizontalHeaderLabels(
        {tr("WIRELOOP"), tr("Type"), tr("Serial", "serial number"), tr("HW"), tr("FW"), tr("Build number")});
    twDevices->setEditTriggers(QAbstractItemView::NoEditTriggers);
    bottomLayout->addWidget(twDevices);
    fitHeaderTitles(twFirmwares->horizontalHeader());
    fitHeaderTitles(twDevices->horizontalHeader());
}

// ---------------------------------------------------------------- matching

int CompositeUpdate::matchFirmware(const HUBRO32BootSectionHeader_t &header, const DeviceItem *device) const
{
    return matchLevel(header, deviceFactsOf(device), masterFactsOf(master).type);
}

bool CompositeUpdate::isMasterSection(const pVORL &container) const
{
    return container && isMasterSectionFor(container->fileHeader(), masterFactsOf(master));
}

bool CompositeUpdate::fitsMaster(const HUBRO32BootSectionHeader_t &header) const
{
    return fitsMasterRadio(header, masterFactsOf(master));
}

QList<DeviceItem *> CompositeUpdate::liveDevices() const
{
    QList<DeviceItem *> list;
    for (const QPointer<DeviceItem> &device : devices)
        if (device)
            list << device;
    return list;
}

QSet<int> CompositeUpdate::liveNumbers() const
{
    QSet<int> numbers;
    for (const DeviceItem *device : liveDevices())
        numbers.insert(device->deviceId());
    return numbers;
}

QList<DeviceItem *> CompositeUpdate::preselected() const
{
    QList<DeviceItem *> list;
    for (const QPointer<DeviceItem> &device : preselectedDevices)
        if (device)
            list << device;
    return list;
}

QList<pVORL> CompositeUpdate::deviceFirmwareKeys() const
{
    QList<pVORL> keys;
    for (const auto &entry : deviceFirmwares)
        keys << entry.first;
    return keys;
}

QList<pVORL> CompositeUpdate::masterSectionKeys() const
{
    QList<pVORL> keys;
    for (const auto &entry : masterSections)
        keys << entry.first;
    return keys;
}

// ---------------------------------------------------------------- files

void CompositeUpdate::setFilenameStyle(bool error)
{
    leFilename->setStyleSheet(error ? QStringLiteral("background-color: rgb(255, 200, 200)")
                                    : QStringLiteral("background-color: rgb(255, 255, 255)"));
}

void CompositeUpdate::openFiles()
{
    const QStringList files =
        UiSeams::getOpenFileNames(this, tr("Open Firmware"),
                                  appSettings.value(QLatin1String(SettingsKey::LastFirmwarePath)).toString(),
                                  tr("Firmware File (*.vorl);;All files (*)"));
    if (files.isEmpty())
        return;
    appSettings.setValue(QLatin1String(SettingsKey::LastFirmwarePath), QFileInfo(files.last()).absoluteFilePath());
    appSettings.sync();
    rbPackageMode->setEnabled(true);
    loadFirmwareFiles(files);
    if (twFirmwares)
        twFirmwares->setFocus();
}

void CompositeUpdate::dragEnterEvent(QDragEnterEvent *event)
{
    draggedFiles.clear();
    if (event->mimeData()->hasFormat(QStringLiteral("text/uri-list")) && event->mimeData()->hasUrls()) {
        for (const QString &path : DroppedFiles::localFiles(event->mimeData())) {
            const QFileInfo info(path);
            if (info.exists() && info.isFile())
                draggedFiles << info.absoluteFilePath();
        }
    }
    event->acceptProposedAction();
}

void CompositeUpdate::dropEvent(QDropEvent *event)
{
    const QStringList firmware = filesWithExtension(draggedFiles, QStringLiteral("VORL"));
    event->acceptProposedAction();
    if (firmware.isEmpty()) {
        showWarningMessage(tr("Unsupported file extension."), tr("Warning!"));
        return;
    }
    loadFirmwareFiles(firmware);
}

bool CompositeUpdate::checkExtensions(QStringList &files)
{
    int removed = 0;
    for (int i = files.size() - 1; i >= 0; --i)
        if (QFileInfo(files.at(i)).suffix().toUpper() != QLatin1String("VORL")) {
            files.removeAt(i);
            ++removed;
        }
    if (files.isEmpty()) {
        showWarningDetails(tr("Unsupported extensions of files."),
                           tr("Please contact the support service: <a href=\"%1\">Support</a>")
                               .arg(QLatin1String(SupportLink)),
                           tr("Device update"));
        setFilenameStyle(true);
        leFilename->setText(tr("Unsupported extensions of files"));
        return false;
    }
    if (removed > 0)
        showWarningMessage(tr("There are unsupported extensions of files."), tr("Firmware update file open"));
    if (files.size() == 1)
        leFilename->setText(files.first().mid(files.first().lastIndexOf(QLatin1Char('/')) + 1));
    else if (files.size() <= 4)
        leFilename->setText(tr("%1 files").arg(files.size()));
    else
        leFilename->setText(QString::number(files.size()) + tr(" files"));
    setFilenameStyle(false);
    return true;
}

bool CompositeUpdate::readFiles(const QStringList &files, QList<QList<pVORL>> &containers)
{
    containers.clear();
    for (const QString &file : files) {
        const QString name = QFileInfo(file).fileName();
        try {
            containers << loadCombinedFirmware(file, false);
        } catch (const bad_format_exception &e) {
            qWarning().noquote() << QStringLiteral("bad_format_exception: ") + e.message();
            showWarningDetails(tr("Wrong VORL file format"), tr("%1: %2").arg(name, e.message().trimmed()),
                               tr("VORL format error"));
            containers.clear();
            return false;
        } catch (const vorl_exception &e) {
            qWarning().noquote() << QStringLiteral("Error loading firmware: %1").arg(e.message());
            // The reader's reason (a file too large, not a regular file) is in the detail.
            QString reason = tr("%1: %2").arg(name, e.message());
            if (!e.detail().isEmpty())
                reason += QLatin1Char('\n') + e.detail();
            showWarningDetails(tr("Error loading firmware"), reason, tr("Firmware update file open"));
            containers.clear();
            return false;
        }
    }
    return true;
}

bool CompositeUpdate::hasUsableFirmware(const QList<QList<pVORL>> &files)
{
    const MasterFacts facts = masterFactsOf(master);
    const QList<int> sections = radioSectionTypes(facts.type) + coreSectionTypes(facts.type);
    for (const QList<pVORL> &containers : files) {
        for (const pVORL &container : containers) {
            const int type = container->deviceType();
            if (skippedDeviceTypes().contains(type))
                continue;
            if (type == KernelType)
                return true;
            if (isMasterSection(container) && sections.contains(type))
                return true;
            for (const DeviceItem *device : liveDevices())
                if (matchFirmware(container->fileHeader(), device) >= NotNewer)
                    return true;
        }
    }
    return false;
}

bool CompositeUpdate::loadFirmwareFiles(const QStringList &fileNames)
{
    m_updateMode = PackageMode;
    incompatibleShown = false;
    QStringList files = fileNames;
    if (!checkExtensions(files))
        return false;

    {
        const QSignalBlocker blockDevices(cbDevices);
        cbDevices->setCheckState(Qt::Unchecked);
    }
    pbSelectAll->setChecked(false);
    {
        const QSignalBlocker blockFirmwares(twFirmwares);
        const QSignalBlocker blockDeviceTable(twDevices);
        twFirmwares->setRowCount(0);
        twDevices->setRowCount(0);
    }
    overlayLabel->hide();
    pbSelectAll->setEnabled(true);
    rbPackageMode->setEnabled(true);
    rbOfflineMode->setEnabled(true);
    rbPackageMode->setChecked(true);
    masterSections.clear();
    deviceFirmwares.clear();
    preselectedDevices.clear();
    m_loadedFirmwares.clear();
    m_readFiles.clear();
    QCoreApplication::processEvents();

    QList<QList<pVORL>> read;
    if (!readFiles(files, read))
        return false;
    // Kept for a master that connects later, or another one, and for devices that come.
    m_readFiles = read;
    m_classifiedNumbers = liveNumbers();
    if (!hasUsableFirmware(read)) {
        showIncompatible();
        return true;
    }
    for (const QList<pVORL> &containers : read) {
        const bool goOn = classifyContainers(containers);
        m_loadedFirmwares << containers;
        if (!goOn)
            return true;
    }
    qDebug() << "File open finished";
    showClassified();
    return true;
}

void CompositeUpdate::showClassified()
{
    const bool m = fillMasterSections();
    const bool d = fillDeviceFirmwares();
    if (m && !d) {
        rbPackageMode->setChecked(true);
        rbOfflineMode->setEnabled(false);
    } else if (!m && noOnlineDevice) {
        rbOfflineMode->setChecked(true);
        switchToOffline();
        rbPackageMode->setEnabled(false);
    } else {
        rbPackageMode->setChecked(true);
        if (deviceFirmwares.size() == 1 && twFirmwares->rowCount() > 0)
            twFirmwares->selectRow(0);
    }
    updateFirmwareCount();
    for (int column = 0; column < 3; ++column)
        twFirmwares->resizeColumnToContents(column);
}

void CompositeUpdate::reclassify()
{
    m_classifiedNumbers = liveNumbers();
    clearTables();
    m_updateMode = PackageMode;
    masterSections.clear();
    deviceFirmwares.clear();
    m_loadedFirmwares.clear();
    rbPackageMode->setEnabled(true);
    rbPackageMode->setChecked(true);
    rbOfflineMode->setEnabled(true);
    if (!master) {
        rbOfflineMode->setEnabled(false);
        showOverlay(tr("The master is not connected"));
        return;
    }
    // Quietly: the user was told at the load; the window shows what it finds now.
    if (!hasUsableFirmware(m_readFiles)) {
        rbOfflineMode->setEnabled(false);
        setFilenameStyle(true);
        showOverlay(tr("There are no connected devices compatible with this software."));
        return;
    }
    setFilenameStyle(false);
    pbSelectAll->setEnabled(true);
    for (const QList<pVORL> &containers : qAsConst(m_readFiles)) {
        const bool goOn = classifyContainers(containers, false);
        m_loadedFirmwares << containers;
        if (!goOn)
            break;
    }
    showClassified();
}

bool CompositeUpdate::classifyContainers(const QList<pVORL> &containers, bool interactive)
{
    const MasterFacts facts = masterFactsOf(master);
    for (const pVORL &container : containers) {
        const int type = container->deviceType();
        if (skippedDeviceTypes().contains(type))
            continue;
        if (type == KernelType) {
            if (facts.type == 0 || !interactive)
                break;
            if (master && master->hardwareVersion() != container->hardwareVersion()) {
                showIncompatible();
                break;
            }
            const int answer = askQuestion(tr("A file is selected for a comprehensive update by the HUBRO. The main "
                                              "and backup on the device will be updated. Do you want to continue?"),
                                           tr("Complex update"), QMessageBox::Yes | QMessageBox::No);
            if (answer == QMessageBox::Yes) {
                FirmwareMap map;
                map.insert(container, {master.data()});
                emit defaultUpdate(map, cbFastMode->isChecked());
                close();
                return false;
            }
            masterSections.clear();
            deviceFirmwares.clear();
            leFilename->setText(tr("Open a file"));
            break;
        }
        if (isMasterSection(container)) {
            if (radioSectionTypes(facts.type).contains(type))
                masterSections[container] = 0;
            if (coreSectionTypes(facts.type).contains(type))
                masterSections[container] = 1;
        }
        if (deviceFirmwares.count(container) == 0) {
            for (DeviceItem *device : liveDevices()) {
                const int level = matchFirmware(container->fileHeader(), device);
                if (level <= IncompatibleHardware)
                    continue;
                // 1 once any compatible device is online: an offline device
                // examined last must not drop the firmware from the run.
                const auto found = deviceFirmwares.find(container);
                const int online = device->isOnline() ? 1 : 0;
                if (found == deviceFirmwares.end())
                    deviceFirmwares[container] = online;
                else
                    found->second = std::max(found->second, online);
                if (device->isOnline() && level == Newer && !preselectedDevices.contains(device))
                    preselectedDevices << device;
            }
        }
    }
    if (deviceFirmwares.empty())
        rbOfflineMode->setEnabled(false);
    return true;
}

void CompositeUpdate::showIncompatible()
{
    if (incompatibleShown)
        return;
    incompatibleShown = true;
    pbSelectAll->setEnabled(false);
    rbOfflineMode->setEnabled(false);
    setFilenameStyle(true);
    showWarningDetails(tr("Incompatible firmware(s)."), tr("There are no connected devices compatible with this software."),
                       tr("Device update"));
}

// ---------------------------------------------------------------- rows

int CompositeUpdate::findFirmwareRow(const HUBRO32BootSectionHeader_t &header) const
{
    for (int row = 0; row < twFirmwares->rowCount(); ++row)
        if (sameRow(headerOf(twFirmwares->item(row, 0)), header))
            return row;
    return -1;
}

QString CompositeUpdate::addFirmwareRow(const HUBRO32BootSectionHeader_t &header, Qt::CheckState state,
                                        int preselected)
{
    if (findFirmwareRow(header) >= 0)
        return QString();
    const int type = header.deviceType;
    const QString name = rowName(type);
    const Qt::CheckState shown = preselected > 0 ? state : Qt::Unchecked;
    auto *first = new QTableWidgetItem(name);
    first->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    first->setCheckState(shown);
    first->setData(HeaderRole, QVariant::fromValue(header));
    first->setData(PreselectedRole, preselected);
    first->setData(MasterUncheckedRole, masterSectionTypes().contains(type) && state == Qt::Unchecked);
    first->setData(SavedRole, false);
    const QDateTime built = QDateTime::fromSecsSinceEpoch(qint64(header.buildTime));
    const QStringList texts{versionText(header.hardwareVersion), versionText(header.firmwareVersion),
                            QString::number((header.flags & 0x02) ? header.buildNumber : 0),
                            built.toString(QStringLiteral("dd.MM.yyyy hh.mm.ss"))};
    const QSignalBlocker blocker(shown == Qt::Unchecked ? twFirmwares : nullptr);
    const int row = isNamedSection(type) ? 0 : twFirmwares->rowCount();
    twFirmwares->insertRow(row);
    twFirmwares->setItem(row, 0, first);
    for (int column = 1; column <= 4; ++column) {
        auto *item = new QTableWidgetItem(texts.at(column - 1));
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        twFirmwares->setItem(row, column, item);
    }
    return name;
}

void CompositeUpdate::addDeviceRow(DeviceItem *device, Qt::CheckState state)
{
    const int address = shownAddress(device);
    int row = twDevices->rowCount();
    for (int i = 0; i < twDevices->rowCount(); ++i)
        if (twDevices->item(i, 0)->text().toInt() > address) {
            row = i;
            break;
        }
    twDevices->insertRow(row);
    auto *first = new QTableWidgetItem(QString::number(address));
    first->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    first->setData(Qt::UserRole, int(device->deviceId()));
    first->setCheckState(state);
    twDevices->setItem(row, 0, first);
    const QStringList texts{deviceTypeName(device->deviceType()),
                            QStringLiteral("%1").arg(device->serialNumber(), 10, 10, QLatin1Char('0')),
                            versionToString(device->hardwareVersion()), versionToString(device->firmwareVersion()),
                            QString::number(device->buildNumber())};
    for (int column = 1; column <= 5; ++column) {
        auto *item = new QTableWidgetItem(texts.at(column - 1));
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        twDevices->setItem(row, column, item);
    }
    for (int column = 0; column < 3; ++column)
        twDevices->resizeColumnToContents(column);
    twDevices->horizontalHeader()->setStretchLastSection(true);
}

// A row names its device by number: a device that went leaves no dangling row.
DeviceItem *CompositeUpdate::deviceOfRow(const QTableWidgetItem *item) const
{
    if (!item)
        return nullptr;
    bool ok = false;
    const int number = item->data(Qt::UserRole).toInt(&ok);
    if (!ok)
        return nullptr;
    for (DeviceItem *device : liveDevices())
        if (device->deviceId() == number)
            return device;
    return nullptr;
}

bool CompositeUpdate::masterSectionNewer(const HUBRO32BootSectionHeader_t &header, int kind) const
{
    if (!master)
        return false;
    if (kind == 0) {
        const quint16 running = master->mk1FirmwareVersion();
        if (running < header.firmwareVersion)
            return true;
        return running == header.firmwareVersion
               && (master->buildNumber() < header.buildNumber
                   || master->firmwareHeaderValue(0) < qint64(header.buildTime));
    }
    return master->uploadFlag() < header.buildNumber || master->firmwareHeaderValue(1) < qint64(header.buildTime);
}

bool CompositeUpdate::fillMasterSections()
{
    overlayLabel->hide();
    bool added = false;
    for (const auto &entry : masterSections) {
        const HUBRO32BootSectionHeader_t header = entry.first->fileHeader();
        const Qt::CheckState state = masterSectionNewer(header, entry.second) ? Qt::Checked : Qt::Unchecked;
        if (!addFirmwareRow(header, state, 1).isEmpty())
            added = true;
    }
    return added;
}

bool CompositeUpdate::fillDeviceFirmwares()
{
    overlayLabel->hide();
    noOnlineDevice = true;
    bool added = false;
    for (const auto &entry : deviceFirmwares) {
        const HUBRO32BootSectionHeader_t header = entry.first->fileHeader();
        int c = 0;
        int p = 0;
        for (DeviceItem *device : liveDevices()) {
            const int level = matchFirmware(header, device);
            if (level <= IncompatibleHardware || !device->isOnline())
                continue;
            ++c;
            noOnlineDevice = false;
            if (level == Newer && preselectedDevices.contains(device))
                ++p;
        }
        if (c == 0)
            continue;
        const Qt::CheckState state = p == 0 ? Qt::Unchecked : (p == c ? Qt::Checked : Qt::PartiallyChecked);
        if (!addFirmwareRow(header, state, p).isEmpty())
            added = true;
    }
    twFirmwares->clearSelection();
    return added;
}

void CompositeUpdate::fillSavedFirmware(const QHash<int, bool> &kept)
{
    preselectedDevices.clear();
    {
        const QSignalBlocker blockDevices(twDevices);
        const QSignalBlocker blockFirmwares(twFirmwares);
        twDevices->setRowCount(0);
        twFirmwares->setRowCount(0);
    }
    int c = 0;
    int p = 0;
    {
        const QSignalBlocker blocker(twDevices);
        for (DeviceItem *device : liveDevices()) {
            if (!device->isOnline())
                continue;
            const int level = matchFirmware(savedHeader, device);
            if (level <= IncompatibleHardware)
                continue;
            overlayLabel->hide();
            ++c;
            const bool checked = kept.value(device->deviceId(), level == Newer);
            addDeviceRow(device, checked ? Qt::Checked : Qt::Unchecked);
            if (checked) {
                ++p;
                preselectedDevices << device;
            }
        }
    }
    if (c == 0) {
        showOverlay(tr("There are no devices of the selected type"));
        cbDevices->setEnabled(false);
        lblDeviceCount->setText(QStringLiteral("0/0"));
        rbOfflineMode->setChecked(true);
        rbPackageMode->setEnabled(false);
    } else {
        cbDevices->setEnabled(true);
        const QSignalBlocker blocker(cbDevices);
        cbDevices->setCheckState(p == c ? Qt::Checked : (p > 0 ? Qt::PartiallyChecked : Qt::Unchecked));
        lblDeviceCount->setText(QStringLiteral("%1/%2").arg(p).arg(c));
    }
    const Qt::CheckState state = c != 0 && p == c ? Qt::Checked : (p > 0 && p < c ? Qt::PartiallyChecked : Qt::Unchecked);
    {
        const QSignalBlocker blocker(twFirmwares);
        addFirmwareRow(savedHeader, state, std::max(p, state == Qt::Unchecked ? 0 : 1));
        const int row = findFirmwareRow(savedHeader);
        if (row >= 0) {
            twFirmwares->item(row, 0)->setCheckState(state);
            twFirmwares->item(row, 0)->setData(SavedRole, true);
        }
    }
    lblFirmwareCount->setText(state == Qt::Unchecked ? QStringLiteral("0/1") : QStringLiteral("1/1"));
}

void CompositeUpdate::clearTables()
{
    {
        const QSignalBlocker blockFirmwares(twFirmwares);
        const QSignalBlocker blockDevices(twDevices);
        twFirmwares->setRowCount(0);
        twDevices->setRowCount(0);
    }
    preselectedDevices.clear();
    overlayLabel->hide();
    lblDeviceCount->setText(QStringLiteral("0/0"));
    lblFirmwareCount->setText(QStringLiteral("0/0"));
    {
        const QSignalBlocker blocker(cbDevices);
        cbDevices->setCheckState(Qt::Unchecked);
        cbDevices->setEnabled(false);
    }
    pbSelectAll->setChecked(false);
    pbSelectAll->setEnabled(false);
}

void CompositeUpdate::showOverlay(const QString &text)
{
    overlayLabel->setText(text);
    overlayLabel->resize(twDevices->viewport()->size());
    overlayLabel->show();
}

void CompositeUpdate::showSavedFirmware()
{
    clearTables();
    setFilenameStyle(false);
    rbPackageMode->setEnabled(true);
    if (!master) {
        leFilename->setText(tr("The master is not connected"));
        rbOfflineMode->setEnabled(false);
        rbPackageMode->setChecked(true);
        showOverlay(tr("The master is not connected"));
        return;
    }
    if (savedHeader.deviceType == 0 && (savedHeader.hardwareVersion == 0 || savedHeader.hardwareVersion == 0x00FF)) {
        leFilename->setText(tr("There is no saved firmware in flash"));
        rbOfflineMode->setEnabled(false);
        rbPackageMode->setChecked(true);
    } else if (savedHeader.deviceType == KernelType) {
        leFilename->setText(tr("Open a file"));
        rbOfflineMode->setEnabled(false);
        rbPackageMode->setEnabled(false);
    } else {
        leFilename->setText(tr("Internal"));
        const QVersionNumber firmware = versionOfPackedWord(savedHeader.firmwareVersion);
        qDebug().noquote() << QStringLiteral("Loaded firmware for %1 (hw: %2, fw: %3.%4)")
                                  .arg(deviceTypeName(savedHeader.deviceType))
                                  .arg(savedHeader.hardwareVersion >> 8)
                                  .arg(firmware.majorVersion())
                                  .arg(firmware.minorVersion(), 2, 10, QLatin1Char('0'));
        pbSelectAll->setEnabled(true);
        rbOfflineMode->setEnabled(false);
        rbPackageMode->setChecked(true);
        fillSavedFirmware();
    }
}

void CompositeUpdate::setMaster(HubroItem *newMaster)
{
    if (master == newMaster)
        return;
    master = newMaster;
    if (m_updateMode == SavedFirmware)
        showSavedFirmware();
    else if (!m_readFiles.isEmpty())
        reclassify();
    else
        clearTables();
}

void CompositeUpdate::setSavedHeader(const HUBRO32BootSectionHeader_t &header)
{
    if (header == savedHeader)
        return;
    savedHeader = header;
    if (m_updateMode == SavedFirmware)
        showSavedFirmware();
}

void CompositeUpdate::fillDevices()
{
    if (m_updateMode == SavedFirmware)
        return;
    const int row = twFirmwares->currentRow();
    QTableWidgetItem *current = row >= 0 ? twFirmwares->item(row, 0) : nullptr;
    if (!current)
        return;
    const HUBRO32BootSectionHeader_t header = headerOf(current);
    {
        const QSignalBlocker blocker(twDevices);
        twDevices->setRowCount(0);
        overlayLabel->hide();
        for (DeviceItem *device : liveDevices()) {
            if (!device->isOnline() || matchFirmware(header, device) <= IncompatibleHardware)
                continue;
            addDeviceRow(device, preselectedDevices.contains(device) ? Qt::Checked : Qt::Unchecked);
        }
    }
    twDevices->resizeColumnToContents(0);
    if (twDevices->rowCount() == 0) {
        bool offlineOnly = false;
        for (DeviceItem *device : liveDevices())
            if (matchFirmware(header, device) > IncompatibleHardware)
                offlineOnly = true;
        overlayLabel->setText(offlineOnly ? tr("All devices of this type are not connected")
                                          : tr("There are no devices of the selected type"));
        overlayLabel->resize(twDevices->viewport()->size());
        overlayLabel->show();
    }
    updateDeviceCounters();
    updateFirmwareCount();
}

void CompositeUpdate::updateFirmwareCount()
{
    int checked = 0;
    for (int row = 0; row < twFirmwares->rowCount(); ++row)
        if (twFirmwares->item(row, 0)->checkState() != Qt::Unchecked)
            ++checked;
    lblFirmwareCount->setText(QStringLiteral("%1/%2").arg(checked).arg(twFirmwares->rowCount()));
}

void CompositeUpdate::updateDeviceCounters()
{
    int checked = 0;
    for (int row = 0; row < twDevices->rowCount(); ++row)
        if (twDevices->item(row, 0)->checkState() == Qt::Checked)
            ++checked;
    const int all = twDevices->rowCount();
    lblDeviceCount->setText(QStringLiteral("%1/%2").arg(checked).arg(all));
    const QSignalBlocker blocker(cbDevices);
    if (all == 0 || m_updateMode == OfflineMode) {
        cbDevices->setEnabled(false);
        cbDevices->setCheckState(Qt::Unchecked);
    } else {
        cbDevices->setEnabled(true);
        cbDevices->setCheckState(checked == all ? Qt::Checked : (checked > 0 ? Qt::PartiallyChecked : Qt::Unchecked));
    }
    const int row = twFirmwares->currentRow();
    if (QTableWidgetItem *current = row >= 0 ? twFirmwares->item(row, 0) : nullptr) {
        if (all > 0 && m_updateMode != SavedFirmware) {
            const QSignalBlocker firmwareBlocker(twFirmwares);
            current->setCheckState(cbDevices->checkState());
            current->setData(PreselectedRole, checked);
        }
    }
}

void CompositeUpdate::onDeviceItemChanged(QTableWidgetItem *item)
{
    if (!item || item->column() != 0 || m_updateMode == OfflineMode)
        return;
    DeviceItem *device = deviceOfRow(item);
    if (!device)
        return;
    if (device->isOnline() && item->checkState() == Qt::Checked) {
        if (!preselectedDevices.contains(device))
            preselectedDevices << device;
    } else {
        preselectedDevices.removeAll(device);
    }
    updateDeviceCounters();
    updateFirmwareCount();
}

void CompositeUpdate::onDevicesCheckClicked()
{
    Qt::CheckState state = cbDevices->checkState();
    if (state == Qt::PartiallyChecked) {
        state = Qt::Checked;
        const QSignalBlocker blocker(cbDevices);
        cbDevices->setCheckState(state);
    }
    for (int row = 0; row < twDevices->rowCount(); ++row)
        if (!twDevices->isRowHidden(row))
            twDevices->item(row, 0)->setCheckState(state);
}

void CompositeUpdate::onFirmwareItemChanged(QTableWidgetItem *item)
{
    if (!item || item->column() != 0 || item->checkState() == Qt::PartiallyChecked)
        return;
    if (!item->isSelected()) {
        twFirmwares->setCurrentItem(item);
        fillDevices();
        QCoreApplication::processEvents();
    }
    const HUBRO32BootSectionHeader_t header = headerOf(item);
    {
        const QSignalBlocker blocker(twFirmwares);
        if (item->checkState() == Qt::Checked) {
            for (int row = 0; row < twFirmwares->rowCount(); ++row) {
                QTableWidgetItem *other = twFirmwares->item(row, 0);
                if (other == item)
                    continue;
                const HUBRO32BootSectionHeader_t h = headerOf(other);
                if (m_updateMode == OfflineMode
                    || (h.deviceType == header.deviceType && h.hardwareVersion == header.hardwareVersion))
                    other->setCheckState(Qt::Unchecked);
            }
        }
    }
    updateFirmwareCount();
    int checked = 0;
    for (int row = 0; row < twFirmwares->rowCount(); ++row)
        if (twFirmwares->item(row, 0)->checkState() == Qt::Checked)
            ++checked;
    if (checked == twFirmwares->rowCount())
        pbSelectAll->setChecked(true);
    else if (checked == 0)
        pbSelectAll->setChecked(false);
}

void CompositeUpdate::onFirmwareDoubleClicked(QTableWidgetItem *item)
{
    if (!item || item->column() != 0)
        return;
    const QSignalBlocker blocker(twFirmwares);
    const Qt::CheckState state = item->checkState() == Qt::Unchecked ? Qt::Checked : Qt::Unchecked;
    item->setCheckState(state);
    if (m_updateMode != OfflineMode)
        for (int row = 0; row < twDevices->rowCount(); ++row)
            twDevices->item(row, 0)->setCheckState(state);
    updateFirmwareCount();
}

void CompositeUpdate::selectAll(bool checked)
{
    if (checked) {
        std::map<std::pair<int, int>, int> best;
        for (int row = 0; row < twFirmwares->rowCount(); ++row) {
            const HUBRO32BootSectionHeader_t h = headerOf(twFirmwares->item(row, 0));
            const std::pair<int, int> key(h.deviceType, h.hardwareVersion);
            const auto found = best.find(key);
            if (found == best.end()) {
                best[key] = row;
                continue;
            }
            const HUBRO32BootSectionHeader_t b = headerOf(twFirmwares->item(found->second, 0));
            if (h.firmwareVersion > b.firmwareVersion
                || (h.firmwareVersion == b.firmwareVersion && h.buildNumber > b.buildNumber))
                found->second = row;
        }
        {
            const QSignalBlocker blocker(twFirmwares);
            for (int row = 0; row < twFirmwares->rowCount(); ++row)
                twFirmwares->item(row, 0)->setCheckState(Qt::Unchecked);
        }
        for (const auto &entry : best) {
            QTableWidgetItem *item = twFirmwares->item(entry.second, 0);
            twFirmwares->setCurrentItem(item);
            const QSignalBlocker blocker(twFirmwares);
            item->setCheckState(Qt::Checked);
        }
    } else {
        const QSignalBlocker blocker(twFirmwares);
        for (int row = 0; row < twFirmwares->rowCount(); ++row)
            twFirmwares->item(row, 0)->setCheckState(Qt::Unchecked);
    }
    pbSelectAll->setChecked(checked);
    preselectedDevices.clear();
    if (checked)
        for (DeviceItem *device : liveDevices())
            if (device->isOnline())
                preselectedDevices << device;
    fillDevices();
    updateFirmwareCount();
}

// ---------------------------------------------------------------- modes

void CompositeUpdate::switchToOffline()
{
    if (m_updateMode == OfflineMode)
        return;
    {
        const QSignalBlocker blocker(twDevices);
        for (int row = 0; row < twDevices->rowCount(); ++row)
            twDevices->item(row, 0)->setCheckState(Qt::Unchecked);
    }
    if (m_updateMode == SavedFirmware)
        return;
    m_updateMode = OfflineMode;
    rbPackageMode->setEnabled(false);
    rbOfflineMode->setEnabled(false);
    switchMode(true);
    rbPackageMode->setEnabled(true);
    rbOfflineMode->setEnabled(true);
}

void CompositeUpdate::switchToPackage()
{
    if (m_updateMode == PackageMode || twFirmwares->rowCount() == 0)
        return;
    {
        const QSignalBlocker blocker(twDevices);
        for (int row = 0; row < twDevices->rowCount(); ++row)
            twDevices->item(row, 0)->setCheckState(Qt::Unchecked);
    }
    if (m_updateMode == SavedFirmware)
        return;
    m_updateMode = PackageMode;
    switchMode(false);
}

void CompositeUpdate::switchMode(bool offline)
{
    const QSignalBlocker blocker(twFirmwares);
    if (offline) {
        for (int row = twFirmwares->rowCount() - 1; row >= 0; --row) {
            QTableWidgetItem *item = twFirmwares->item(row, 0);
            if (masterSectionTypes().contains(headerOf(item).deviceType))
                twFirmwares->removeRow(row);
            else
                item->setCheckState(Qt::Unchecked);
        }
        for (const auto &entry : deviceFirmwares)
            addFirmwareRow(entry.first->fileHeader(), Qt::Unchecked, 0);
    } else {
        twFirmwares->setRowCount(0);
        twDevices->setRowCount(0);
        masterSections.clear();
        preselectedDevices.clear();
        deviceFirmwares.clear();
        classifyContainers(m_loadedFirmwares);
        fillMasterSections();
        fillDeviceFirmwares();
    }
    for (int column = 0; column < 3; ++column)
        twFirmwares->resizeColumnToContents(column);
    twFirmwares->clearSelection();
    updateFirmwareCount();
    pbSelectAll->setEnabled(rbPackageMode->isChecked());
    cbDevices->setEnabled(rbPackageMode->isChecked());
}

void CompositeUpdate::onDevicesChanged(const QList<DeviceItem *> &newDevices)
{
    devices.clear();
    for (DeviceItem *device : newDevices) {
        const int state = device->connectionState();
        if (state == 0 || state > 3) {
            qDebug() << "Removed device found";
            continue;
        }
        devices << device;
    }
    if (m_updateMode == SavedFirmware) {
        if (twFirmwares->rowCount() == 0)
            return; // nothing saved to offer
        QHash<int, bool> kept;
        for (int row = 0; row < twDevices->rowCount(); ++row) {
            const QTableWidgetItem *item = twDevices->item(row, 0);
            kept.insert(item->data(Qt::UserRole).toInt(), item->checkState() == Qt::Checked);
        }
        const int scroll = twDevices->verticalScrollBar()->value();
        fillSavedFirmware(kept);
        twDevices->verticalScrollBar()->setValue(scroll);
        return;
    }
    // Devices the loaded files were not matched against: their firmwares may
    // be missing from the list (a master read again, a device bound).
    if (!m_readFiles.isEmpty() && !(liveNumbers() - m_classifiedNumbers).isEmpty()) {
        reclassify();
        return;
    }
    if (rbOfflineMode->isChecked()) {
        // Rows are not checked in this mode: only those of devices that went go.
        const QSignalBlocker blocker(twDevices);
        for (int row = twDevices->rowCount() - 1; row >= 0; --row)
            if (!deviceOfRow(twDevices->item(row, 0)))
                twDevices->removeRow(row);
        updateDeviceCounters();
        return;
    }
    const int row = twFirmwares->currentRow();
    const int scroll = twDevices->verticalScrollBar()->value();
    if (row < 0) {
        const QSignalBlocker blocker(twDevices);
        twDevices->setRowCount(0);
    }
    fillDevices();
    if (row >= 0)
        twFirmwares->setCurrentCell(row, 0);
    twDevices->verticalScrollBar()->setValue(scroll);
}

// ---------------------------------------------------------------- events

void CompositeUpdate::closeEvent(QCloseEvent *event)
{
    appSettings.setValue(QLatin1String(SettingsKey::GeometryUpdateWidget), saveGeometry());
    event->accept();
}

bool CompositeUpdate::eventFilter(QObject *watched, QEvent *event)
{
    // The table's rows change size with the splitter as well as the window.
    if (overlayLabel && watched == twDevices->viewport() && event->type() == QEvent::Resize)
        overlayLabel->resize(twDevices->viewport()->size());
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------- the run

void CompositeUpdate::askOutdated(const QString &text, bool many)
{
    QMessageBox::StandardButtons buttons = many ? QMessageBox::YesToAll | QMessageBox::Yes | QMessageBox::NoToAll
                                                      | QMessageBox::No
                                                : QMessageBox::Yes | QMessageBox::No;
    const int answer = askUser(text, tr("Are you sure you want to upload it?") + QString(16, QLatin1Char(' ')),
                               tr("Attention! Updating"), buttons);
    switch (answer) {
    case QMessageBox::Yes:
        m_outdatedAnswer = 1;
        break;
    case QMessageBox::NoToAll:
        m_outdatedAnswer = 2;
        break;
    case QMessageBox::YesToAll:
        m_outdatedAnswer = 3;
        break;
    default:
        m_outdatedAnswer = 0;
        break;
    }
}

void CompositeUpdate::emitCollected(const FirmwareMap &map)
{
    QCoreApplication::processEvents();
    if (map.isEmpty())
        return;
    emit defaultUpdate(map, cbFastMode->isChecked());
    close();
}

bool CompositeUpdate::masterSectionOutdated(const HUBRO32BootSectionHeader_t &header, int kind) const
{
    if (!master)
        return false;
    const int running = packedVersion(kind == 1 ? master->firmwareVersion() : master->radioFirmwareVersion());
    if (running > header.firmwareVersion)
        return true;
    if (running < header.firmwareVersion)
        return false;
    if (kind == 0)
        return master->buildNumber() > header.buildNumber;
    return quint32(master->firmwareHeaderValue(1)) > header.buildTime;
}

void CompositeUpdate::startUpdate()
{
    int chosen = 0;
    for (int row = 0; row < twFirmwares->rowCount(); ++row)
        if (twFirmwares->item(row, 0)->checkState() != Qt::Unchecked)
            ++chosen;
    if (chosen == 0) {
        showWarningMessage(tr("There are no selected/compatible firmwares.") + QString(49, QLatin1Char(' ')),
                           tr("Device update failed"));
        return;
    }
    if (!master) {
        showWarningMessage(tr("The master is not connected."), tr("Device update failed"));
        return;
    }
    m_outdatedAnswer = -1;
    const bool fast = cbFastMode->isChecked();
    const QList<DeviceItem *> chosenDevices = preselected();

    if (m_updateMode == SavedFirmware) {
        bool outdated = false;
        QList<DeviceItem *> newer;
        for (DeviceItem *device : chosenDevices) {
            const int level = matchFirmware(savedHeader, device);
            if (level == NotNewer)
                outdated = true;
            else if (level == Newer)
                newer << device;
        }
        if (outdated) {
            askOutdated(tr("The selected software for %1 is outdated").arg(deviceTypeName(savedHeader.deviceType & 0xFF)),
                        false);
            if (m_outdatedAnswer != 1)
                return;
        }
        emit internalUpdate(outdated ? chosenDevices : newer, fast);
        close();
        return;
    }

    if (m_updateMode == OfflineMode) {
        for (int row = 0; row < twFirmwares->rowCount(); ++row) {
            QTableWidgetItem *item = twFirmwares->item(row, 0);
            if (item->checkState() != Qt::Checked)
                continue;
            for (const auto &entry : deviceFirmwares)
                if (entry.first->fileHeader() == headerOf(item)) {
                    emit offlineUpdate(entry.first);
                    close();
                    return;
                }
        }
        return;
    }

    FirmwareMap map;
    for (int row = 0; row < twFirmwares->rowCount(); ++row) {
        QTableWidgetItem *item = twFirmwares->item(row, 0);
        if (item->checkState() == Qt::Unchecked)
            continue;
        const HUBRO32BootSectionHeader_t h = headerOf(item);
        for (const auto &entry : masterSections) {
            if (entry.first->fileHeader() != h)
                continue;
            if (masterSectionOutdated(h, entry.second)) {
                askOutdated(tr("The selected software for %1 is outdated").arg(item->text()), false);
                if (m_outdatedAnswer == 0)
                    continue;
            }
            map.insert(entry.first, {master.data()});
        }
        int k = 0;
        for (const auto &entry : deviceFirmwares) {
            if (entry.second == 0)
                continue;
            for (DeviceItem *device : chosenDevices)
                if (matchFirmware(entry.first->fileHeader(), device) == NotNewer)
                    ++k;
        }
        for (const auto &entry : deviceFirmwares) {
            if (entry.second == 0 || entry.first->fileHeader() != h)
                continue;
            QList<DeviceItem *> targets;
            for (DeviceItem *device : chosenDevices)
                if (matchFirmware(h, device) > IncompatibleHardware)
                    targets << device;
            if (k > 0) {
                if (m_outdatedAnswer < 2)
                    askOutdated(tr("The selected software for %1 is outdated").arg(item->text()), k > 1);
                if (m_outdatedAnswer == 2) {
                    emitCollected(map);
                    return;
                }
                if (m_outdatedAnswer == 0)
                    continue;
            }
            if (!targets.isEmpty())
                map.insert(entry.first, targets);
        }
    }
    QCoreApplication::processEvents();
    if (map.isEmpty())
        return;
    emit defaultUpdate(map, fast);
    close();
}
