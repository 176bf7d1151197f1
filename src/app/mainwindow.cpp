#include "mainwindow.h"
#include "screenfit.h"
#include "ui_mainwindow.h"

#include "aboutdialog.h"
#include "appglobals.h"
#include "autonumberdialog.h"
#include "connection.h"
#include "deviceinfocollector.h"
#include "deviceitem.h"
#include "deviceoutputcontrol.h"
#include "devicetableitemdelegate.h"
#include "devicetablemodel.h"
#include "discovereddevice.h"
#include "droppedfiles.h"
#include "filelocker.h"
#include "hubroitem.h"
#include "firmwareuploadmanager.h"
#include "logging.h"
#include "lqitestmanager.h"
#include "messageboxes.h"
#include "nearbyexpanderview.h"
#include "nearbyhubromodel.h"
#include "packet.h"
#include "productcode.h"
#include "paintpacer.h"
#include "progresswidget.h"
#include "qteditorfactory.h"
#include "qttreepropertybrowser.h"
#include "rssitestdock.h"
#include "settings.h"
#include "sorteddevicemodel.h"
#include "sqliteview.h"
#include "statisticsdock.h"
#include "taskbarindicator.h"
#include "updatemanager.h"
#include "updatestatusdock.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QDebug>
#include <QHeaderView>
#include <QTreeWidget>
#include <QLabel>
#include <QShortcut>
#include <QSignalBlocker>

namespace {
MainWindow::DeviceSelection &deviceSelection()
{
    static MainWindow::DeviceSelection selection;
    return selection;
}

// Radio devices of the running update that have neither finished nor failed.
int remainingUpdateCount = 0;
} // namespace

void MainWindow::setDeviceSelection(DeviceSelection selection)
{
    deviceSelection() = std::move(selection);
}

QString MainWindow::statusBarText()
{
    return aboutVersionText(QCoreApplication::applicationVersion()) + QLatin1Char(' ')
           + buildDateText(__DATE__);
}

MainWindow::MainWindow(const QString &filePath, QWidget *parent)
    : QMainWindow(parent), ui(new Ui::MainWindow), startupFile(filePath)
{
    registerPacketMetaTypes();
    taskbarButton = new TaskbarIndicator(this);
    enumEditorFactory = new QtEnumEditorFactory(this);
    spinBoxFactory = new QtSpinBoxFactory(this);
    doubleSpinBoxFactory = new QtDoubleSpinBoxFactory(this);
    checkBoxFactory = new QtCheckBoxFactory(this);
    deviceModel = new DeviceTableModel(this);
    nearbyModel = new NearbyHubroModel(this);
    sortedModel = new SortedDeviceModel(this);
    // Lives in collectorThread while a master is connected, so it has no parent.
    collector = new DeviceInfoCollector;
    autoNumberDialog = new AutoNumberDialog(this);
    fileLocker = new FileLocker;
    outputControl = new DeviceOutputControl(this);
    progressWidget = new ProgressWidget;

    ui->setupUi(this);
    setWindowTitle(tr("Zentar Configurator"));
    paintPacer = new PaintPacer(this);
    progressWidget->hide();
    nearbyView = new NearbyExpanderView(
        {ui->leFilter, ui->cbSorting, ui->cbViewMode, ui->treeView, ui->acDetectNearbyHubro}, nearbyModel, this);

    auto *statusLabel = new QLabel(statusBarText(), this);
    statusLabel->setObjectName(QStringLiteral("lblVersion"));
    ui->statusBar->addWidget(statusLabel);

    logEventFilter = new ZorvoLog::EventFilter(this);
    qApp->installEventFilter(logEventFilter);
    qApp->installEventFilter(this);
    connect(logEventFilter, &ZorvoLog::EventFilter::newMessage, this, &MainWindow::newLogMessage);

    logLevel = appSettings.value(QLatin1String(SettingsKey::LogLevel)).toInt();
    logEventFilter->setShownLevel(logLevel);
    ui->propertiesDock->show();

    auto *deleteKey = new QShortcut(QKeySequence(Qt::Key_Delete), this);
    deleteKey->setContext(Qt::WindowShortcut);
    connect(deleteKey, &QShortcut::activated, this, &MainWindow::deleteDevice);

    connect(ui->pbClearLog, &QPushButton::clicked, ui->ptLog, &QPlainTextEdit::clear);
    connect(ui->cbSorting, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &MainWindow::sortList);
    connect(ui->cbViewMode, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &MainWindow::viewModeChanged);

    sortedModel->setDynamicSortFilter(true);
    sortedModel->setSourceModel(deviceModel);
    sortedModel->setRecursiveFilteringEnabled(true);
    sortedModel->setSortRole(Qt::DisplayRole);
    sortedModel->sort(appSettings.value(QLatin1String(SettingsKey::SortColumn)).toInt(),
                      Qt::SortOrder(appSettings.value(QLatin1String(SettingsKey::SortOrder)).toInt()));

    ui->listView->setModel(sortedModel);
    ui->treeView->setModel(sortedModel);
    ui->treeView->setSortingEnabled(true);
    ui->treeView->setItemDelegate(new DeviceTableItemDelegate(this));
    deviceColumnsTimer.setSingleShot(true);
    deviceColumnsTimer.setInterval(0);
    connect(&deviceColumnsTimer, &QTimer::timeout, this, &MainWindow::fitDeviceColumns);
    const auto fitColumnsSoon = [this] { deviceColumnsTimer.start(); };
    connect(sortedModel, &QAbstractItemModel::rowsInserted, this, fitColumnsSoon);
    connect(sortedModel, &QAbstractItemModel::rowsRemoved, this, fitColumnsSoon);
    connect(sortedModel, &QAbstractItemModel::dataChanged, this, fitColumnsSoon);
    connect(sortedModel, &QAbstractItemModel::layoutChanged, this, fitColumnsSoon);
    connect(sortedModel, &QAbstractItemModel::modelReset, this, fitColumnsSoon);
    connect(ui->treeView, &QTreeView::expanded, this, fitColumnsSoon);

    connect(deviceModel, &DeviceTableModel::errorReceived, deviceModel,
            [this](int code) { onDeviceModelError(code); }, Qt::DirectConnection);
    connect(deviceModel, &DeviceTableModel::errorOccuried, deviceModel,
            [this](const QString &text) { onDeviceModelErrorText(text); }, Qt::DirectConnection);

    for (QAbstractItemView *view : {static_cast<QAbstractItemView *>(ui->listView),
                                    static_cast<QAbstractItemView *>(ui->treeView)}) {
        connect(view, &QWidget::customContextMenuRequested, this, &MainWindow::itemViewContextMenuRequested);
        connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this,
                &MainWindow::itemViewCurrentItemChanged);
    }
    connect(ui->treeView->header(), &QHeaderView::sortIndicatorChanged, this,
            [](int column, Qt::SortOrder order) {
                if (column == -1)
                    return;
                appSettings.setValue(QLatin1String(SettingsKey::SortColumn), column);
                appSettings.setValue(QLatin1String(SettingsKey::SortOrder), int(order));
            });

    ui->cbLogLevel->setCurrentIndex(appSettings.value(QLatin1String(SettingsKey::LogLevel), 0).toInt());

    deviceActions = new QActionGroup(this);
    deviceActions->setExclusive(false);
    deviceActions->setEnabled(false);
    connectionActions = new QActionGroup(this);
    connectionActions->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);

    setupDocks();

    propertyBrowser = new QtTreePropertyBrowser(ui->dockWidgetContents_2);
    propertyBrowser->setObjectName(QStringLiteral("propertyBrowser"));
    // The title column takes its titles' width (fitPropertyColumns); the values the rest,
    // however little that is.
    propertyBrowser->setResizeMode(QtTreePropertyBrowser::Interactive);
    // The stretched value column keeps the width it had when the stretch was
    // turned on: the least a section may have.
    QHeaderView *propertyHeader = propertyBrowser->treeWidget()->header();
    propertyHeader->setStretchLastSection(false);
    propertyHeader->resizeSection(propertyHeader->count() - 1, propertyHeader->minimumSectionSize());
    propertyHeader->setStretchLastSection(true);
    ui->vLayPropHandlers->addWidget(propertyBrowser);
    DeviceItem::setPropertyBrowser(propertyBrowser);

    setupPacketFilter();
    setupActions();

    for (QAction *action : {ui->acRestart, ui->acEnableConfig, ui->acDeleteAllDevices, ui->acDetectNearbyHubro,
                            ui->acDeactivateZelvo, ui->acGenerateReport})
        action->setEnabled(false);
    ui->acTROMBELView->setVisible(false);
    ui->leFilter->setEnabled(false);
    ui->wConfigFilter->hide();

    restoreGeometry(appSettings.value(QLatin1String(SettingsKey::Geometry)).toByteArray());
    dockWidthChosen = restoreState(appSettings.value(QLatin1String(SettingsKey::WindowState)).toByteArray());
    ui->acTechrun->setVisible(false);

    ui->splitter->setStretchFactor(0, 3);
    ui->splitter->setStretchFactor(1, 1);

    ui->cbSorting->setCurrentIndex(appSettings.value(QLatin1String(SettingsKey::Sorting)).toInt());

    QTimer::singleShot(0, this, [this, path = startupFile] { openStartupTarget(path); });

    {
        const QSignalBlocker blocker(ui->cbViewMode);
        ui->cbViewMode->setCurrentIndex(appSettings.value(QLatin1String(SettingsKey::ViewMode), 1).toInt());
    }
    viewModeChanged(ui->cbViewMode->currentIndex());

    propertyBrowser->setAlternatingRowColors(false);
    ui->loadingWidget->hide();
    setFocusPolicy(Qt::StrongFocus);

    QTimer::singleShot(0, this, &MainWindow::setupTaskbar);

    connect(ui->leFilter, &QLineEdit::textChanged, this, &MainWindow::setFilter);
    connect(ui->pbExpandTree, &QPushButton::clicked, ui->treeView, &QTreeView::expandAll);
    connect(ui->pbCollapseTree, &QPushButton::clicked, ui->treeView, &QTreeView::collapseAll);

    reconnectWaitTimer.setSingleShot(true);
    connect(&reconnectWaitTimer, &QTimer::timeout, this, [this] {
        const bool updateWait = !updateWaitHandlers.isEmpty();
        endUpdateWait();
        if (updateWait && progressWidget)
            progressWidget->hide();
        // Back, or given up for another connection: nothing to say.
        if (!connection || connection != reconnectWaitConnection || connection->master())
            return;
        reportMasterNotBack();
    });

    autoNumberTimer.setInterval(2000);
    connect(&autoNumberTimer, &QTimer::timeout, this, &MainWindow::autoNumberStep);
    deviceListTimer.setSingleShot(true);
    deviceListTimer.setInterval(0);
    connect(&deviceListTimer, &QTimer::timeout, this, &MainWindow::handOnDeviceList);

    connect(ui->pbClearSerial, &QPushButton::clicked, this, [this] {
        if (HubroItem *master = masterItem())
            master->setConfigFilterSerial(0);
        ui->leSerial->setText(tr("Any"));
    });
    connect(ui->pbClearType, &QPushButton::clicked, this, [this] {
        appSettings.setValue(QLatin1String(SettingsKey::TypeFilter), false);
        appSettings.sync();
        if (HubroItem *master = masterItem())
            master->setConfigFilterDevType(0);
        ui->leDevType->setText(tr("Any"));
    });
}

MainWindow::~MainWindow()
{
    // A connection going down with the window ends no wait with a message.
    reconnectWaitTimer.stop();
    qApp->removeEventFilter(logEventFilter);
    qApp->removeEventFilter(this);
    if (DeviceItem::propertyBrowser() == propertyBrowser)
        DeviceItem::setPropertyBrowser(nullptr);
    if (collectorThread.isRunning()) {
        collectorThread.exit(0);
        collectorThread.wait();
    }
    delete connection;
    delete ui;
    delete fileLocker;
    delete propertyBrowser;
    delete updateDock;
    delete rssiTestDock;
    delete statisticsDock;
    delete measurementsView;
    delete collector;
    delete aboutDialog;
    // Parentless: it would outlive the window (and a restart) otherwise.
    delete progressWidget;
    delete productCodeWindow;
}

void MainWindow::setupDocks()
{
    ui->logDock->hide();

    delete updateDock;
    delete rssiTestDock;
    delete statisticsDock;
    updateDock = new UpdateStatusDock;
    rssiTestDock = new RSSITestDock;
    statisticsDock = new StatisticsDock;

    for (QDockWidget *dock : {static_cast<QDockWidget *>(updateDock), static_cast<QDockWidget *>(rssiTestDock),
                              static_cast<QDockWidget *>(statisticsDock)}) {
        addDockWidget(Qt::RightDockWidgetArea, dock);
        tabifyDockWidget(ui->propertiesDock, dock);
    }
    setTabPosition(Qt::RightDockWidgetArea, QTabWidget::North);

    connect(updateDock, &UpdateStatusDock::waitUpdateComplate, this, &MainWindow::waitForUpdatedMaster);
    connect(updateDock, &UpdateStatusDock::uploadPreparationStart, ui->acRestart, [this] {
        ui->acRestart->setEnabled(false);
    });
    connect(updateDock, &UpdateStatusDock::uploadPreparationStop, ui->acRestart, [this] {
        ui->acRestart->setEnabled(true);
    });
    connect(ui->listView->itemDelegate(), &QAbstractItemDelegate::closeEditor, this, [] { qDebug() << "activated"; });
    const auto showProperties = [this] {
        ui->propertiesDock->show();
        ui->propertiesDock->raise();
    };
    connect(ui->listView, &QAbstractItemView::doubleClicked, this, showProperties);
    connect(ui->treeView, &QAbstractItemView::doubleClicked, this, showProperties);
    connect(rssiTestDock, &RSSITestDock::stop, LQITestManager::instance(), &LQITestManager::stop);

    const QList<QPair<QAction *, QDockWidget *>> panels{{ui->acUpdatePanel, updateDock},
                                                        {ui->acStatisticsPanel, statisticsDock},
                                                        {ui->acDeviceInformationPanel, ui->propertiesDock},
                                                        {ui->acLQIPanel, rssiTestDock}};
    for (const auto &panel : panels) {
        QDockWidget *dock = panel.second;
        connect(panel.first, &QAction::triggered, dock, [dock] {
            dock->show();
            dock->raise();
        });
    }
    connect(statisticsDock, &StatisticsDock::getStatistics, this, &MainWindow::statisticsGet);

    ui->propertiesDock->raise();
}

void MainWindow::setupActions()
{
    for (QAction *action :
         {ui->acAutoNumber, ui->acDeviceReadEeprom, ui->acDeviceWriteEeprom, ui->acKeyboardLock, ui->acEnableConfig,
          ui->acChannelScan, ui->acWriteConfigurationFromFile, ui->acRefreshDevices, ui->acRestart,
          ui->acSaveConfiguration, ui->acDeleteDevice, ui->acStatisticGet, ui->acStatisticsReset, ui->acUpdateDevice,
          ui->acUploadFirmware, ui->acWriteSettings, ui->acChangePassword, ui->acDeleteAllDevices,
          ui->acDeactivateZelvo, ui->acGenerateReport, ui->acDetectNearbyHubro, ui->acSetPreferredRS,
          ui->acClearErrorLogs, ui->acLQITest, ui->acOutputControl, ui->acIndicationControl, ui->acReadProductCode,
          ui->acMeasurementsLogging, ui->acShowMeasurements})
        deviceActions->addAction(action);
    connectionActions->addAction(ui->acOpenDevice);
    connectionActions->addAction(ui->acCloseDevice);

    for (QAction *action : {ui->acConnectToScanner, ui->acMeasurementsLogging, ui->acShowMeasurements,
                            ui->acDeactivateZelvo})
        action->setVisible(false);

    connect(ui->acOpenDevice, &QAction::triggered, this, &MainWindow::deviceOpen);
    connect(ui->acCloseDevice, &QAction::triggered, this, &MainWindow::deviceClose);
    connect(ui->acSaveConfiguration, &QAction::triggered, this, &MainWindow::saveConfiguration);
    connect(ui->acWriteConfigurationFromFile, &QAction::triggered, this, [this] { loadConfiguration(); });
    connect(ui->acViewConfig, &QAction::triggered, this, &MainWindow::openConfigurationView);
    connect(ui->acGenerateReport, &QAction::triggered, this, &MainWindow::generateReport);
    connect(ui->acCheckReport, &QAction::triggered, this, &MainWindow::checkReport);
    connect(ui->acEnableConfig, &QAction::triggered, this, &MainWindow::hubroToggleConfig);
    connect(ui->acDeleteAllDevices, &QAction::triggered, this, &MainWindow::deleteAllDevices);
    connect(ui->acDeactivateZelvo, &QAction::triggered, this, &MainWindow::deactivateZelvo);
    connect(ui->acRestart, &QAction::triggered, this, &MainWindow::restartMaster);
    connect(ui->acChangePassword, &QAction::triggered, this, &MainWindow::changePassword);
    connect(ui->acMeasurementsLogging, &QAction::triggered, this, [this] {
        collector->openMeasurementsLogging(deviceModel->devices(), this);
    });
    connect(ui->acShowMeasurements, &QAction::toggled, this, [this](bool checked) {
        if (!checked) {
            if (measurementsView)
                measurementsView->close();
            return;
        }
        if (!measurementsView) {
            measurementsView = new SQLiteView(collector);
            measurementsView->setAttribute(Qt::WA_DeleteOnClose);
            measurementsView->setMaster(masterItem());
            measurementsView->setDevices(deviceModel->devices());
            connect(measurementsView, &QObject::destroyed, this,
                    [this] { ui->acShowMeasurements->setChecked(false); });
        }
        fitOnScreen(measurementsView, this);
        measurementsView->show();
        measurementsView->raise();
    });
    connect(ui->acAbout, &QAction::triggered, this, [this] {
        // Made when first asked for: nothing of it at start-up.
        if (!aboutDialog)
            aboutDialog = new AboutDialog(nullptr);
        aboutDialog->show();
    });
    connect(ui->acLangEnglish, &QAction::triggered, this, [this] { changeLanguage(QStringLiteral("english")); });
    connect(ui->acLangRussian, &QAction::triggered, this, [this] { changeLanguage(QStringLiteral("russian")); });
    connect(ui->acUpdateDevice, &QAction::triggered, this, &MainWindow::firmwareUpdateDevice);
    connect(ui->acAutoNumber, &QAction::triggered, this, &MainWindow::autoNumber);
    connect(ui->acDeleteDevice, &QAction::triggered, this, &MainWindow::deleteDevice);
    connect(ui->acStatisticsReset, &QAction::triggered, this, &MainWindow::statisticsReset);
    connect(ui->acStatisticGet, &QAction::triggered, this, &MainWindow::statisticsGet);
    connect(ui->acSetPreferredRS, &QAction::triggered, this, &MainWindow::setPreferredRs);
    connect(ui->acLQITest, &QAction::triggered, this, &MainWindow::lqiTest);
    connect(ui->acIndicationControl, &QAction::triggered, this, &MainWindow::deviceSetIndication);
    connect(ui->acOutputControl, &QAction::triggered, this, &MainWindow::deviceSetOutput);
    connect(ui->acReadProductCode, &QAction::triggered, this, &MainWindow::onReadProductCode);
    connect(ui->acDeviceReadEeprom, &QAction::triggered, this, &MainWindow::deviceEepromRead);
    connect(ui->acDeviceWriteEeprom, &QAction::triggered, this, &MainWindow::deviceEepromWrite);
    connect(ui->acDetectNearbyHubro, &QAction::triggered, this, [this] {
        HubroItem *master = masterItem();
        if (master && master->hasChannelGroup())
            stopNearbyHubroDetection();
        else if (!requestNearbyDetection())
            ui->acDetectNearbyHubro->setChecked(false); // nothing started
    });
    // While checked, the device rows show the updates they held back, as often
    // as the device model would refresh them itself.
    refreshTimer.setInterval(DeviceTableModel::RefreshIntervalMs);
    connect(&refreshTimer, &QTimer::timeout, deviceModel, &DeviceTableModel::refresh);
    connect(ui->acRefreshDevices, &QAction::toggled, this, [this](bool checked) {
        if (checked)
            refreshTimer.start();
        else
            refreshTimer.stop();
    });
    connect(ui->acKeyboardLock, &QAction::triggered, this, [this] {
        HubroItem *master = masterItem();
        if (!master)
            return;
        const bool locked = master->isKeyboardLocked();
        ui->acKeyboardLock->setText(locked ? tr("Lock keyboard") : tr("Unlock keyboard"));
        master->setKeyboardLock(!locked);
    });
    connect(ui->acChannelScan, &QAction::triggered, this, [this] {
        HubroItem *master = masterItem();
        if (!master)
            return;
        if (!master->isChannelScanMode())
            master->startChannelScan();
        else
            master->stopChannelScan();
    });
    connect(ui->acClearErrorLogs, &QAction::triggered, this, &MainWindow::clearErrorLogs);

    connect(ui->cbLogLevel, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int index) {
        if (index <= 4) {
            logLevel = index;
            logEventFilter->setShownLevel(logLevel);
        }
    });

    setCheckedLanguage(languageInUse());
}

QString MainWindow::languageInUse()
{
    // Without a stored choice the program starts in Russian.
    return appSettings.value(QLatin1String(SettingsKey::Language), QStringLiteral("russian")).toString();
}

void MainWindow::openStartupTarget(const QString &path)
{
    startupChoice = true;
    if (path.isEmpty())
        runDeviceSelection();
    else if (DroppedFiles::isSimulationFile(path))
        establishConnection(Simulation, path);
    else
        establishConnection(File, path);
    startupChoice = false;
}

void MainWindow::runDeviceSelection()
{
    if (deviceSelection())
        deviceSelection()(this);
    else
        deviceOpen();
}

void MainWindow::setCheckedLanguage(const QString &lang)
{
    ui->acLangEnglish->setChecked(lang == QLatin1String("english"));
    ui->acLangRussian->setChecked(lang == QLatin1String("russian"));
}

void MainWindow::changeLanguage(const QString &langName)
{
    const QString key = QLatin1String(SettingsKey::Language);
    const bool stored = appSettings.contains(key);
    const QString previous = languageInUse();
    const QString question =
        langName == previous
            ? tr("The language has already been changed. To apply, restart the application.\nRestart now?")
            : tr("The application must be restarted to change the language.\nRestart now?");
    appSettings.setValue(key, langName);

    if (askQuestion(question, tr("Language change"), QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
        // The current connection goes down with the window that the restart deletes.
        QCoreApplication::exit(RestartExitCode);
        return;
    }
    // Put the store back as it was: a key that was absent stays absent, so the
    // next start keeps its default language.
    if (stored)
        appSettings.setValue(key, previous);
    else
        appSettings.remove(key);
    setCheckedLanguage(previous);
}

bool MainWindow::confirmInterruptUpdate()
{
    FirmwareUploadManager *uploads = FirmwareUploadManager::instance();
    if (uploads->isAutoUpdateOn())
        return true;
    if (uploads->isUploading()) {
        if (askQuestion(tr("Do you want to interrupt the process?"), tr("Preparations are underway for an upgrade."),
                        QMessageBox::Yes | QMessageBox::No)
            != QMessageBox::Yes)
            return false;
        uploads->reset();
    }
    if (UpdateManager::instance()->isBusy()) {
        const int choice = askChoice(
            tr("Terminal device software is being updated.When the device is disconnected from the configurator, the "
               "update can be completed automatically.")
                + QLatin1Char('\n') + tr("Disconnect device?"),
            QString(),
            {tr("YES and complete the update automatically"), tr("YES and abort update"), tr("No")});
        if (choice == 1)
            UpdateManager::instance()->stop();
        else if (choice != 0)
            return false;
    }
    return true;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!confirmInterruptUpdate()) {
        event->ignore();
        return;
    }
    masterDisconnected();
    appSettings.remove(QLatin1String(SettingsKey::Ull));

    appSettings.setValue(QLatin1String(SettingsKey::Geometry), saveGeometry());
    appSettings.setValue(QLatin1String(SettingsKey::WindowState), saveState());
    appSettings.setValue(QLatin1String(SettingsKey::LogLevel), ui->cbLogLevel->currentIndex());
    appSettings.setValue(QLatin1String(SettingsKey::Sorting), ui->cbSorting->currentIndex());
    appSettings.setValue(QLatin1String(SettingsKey::ViewMode), ui->cbViewMode->currentIndex());

    appSettings.beginGroup(QLatin1String(SettingsKey::PacketFilterGroup));
    for (int row = 0; row < ui->lwPacketFilter->count(); ++row) {
        const QListWidgetItem *item = ui->lwPacketFilter->item(row);
        appSettings.setValue(item->text(), int(item->checkState()));
    }
    appSettings.endGroup();

    QApplication::closeAllWindows();
    QMainWindow::closeEvent(event);
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (shownBefore)
        return;
    shownBefore = true;
    // Only the layout of the docks and the toolbar: which docks the
    // connection shows stays as it set them.
    QList<QDockWidget *> docks;
    QList<bool> visible;
    for (QDockWidget *dock : findChildren<QDockWidget *>()) {
        docks << dock;
        visible << dock->isVisibleTo(this);
    }
    restoreState(appSettings.value(QLatin1String(SettingsKey::WindowState)).toByteArray());
    for (int i = 0; i < docks.size(); ++i)
        docks.at(i)->setVisible(visible.at(i));
}

void MainWindow::setupTaskbar()
{
    qDebug() << "MainWindow::setupTaskbar()";
    taskbarButton->setWindow(this);

    UpdateManager *updates = UpdateManager::instance();
    connect(updates, &UpdateManager::updateStarted, this,
            [this](const QList<DeviceItem *> &) { taskbarButton->setProgressVisible(true); }, Qt::DirectConnection);
    connect(updates, &UpdateManager::updateStarted, this,
            [this](const QList<DeviceItem *> &devices) {
                remainingUpdateCount = devices.size();
                drawTaskbarBadge(remainingUpdateCount);
            },
            Qt::DirectConnection);
    connect(updates, &UpdateManager::deviceUpdateProgress, this,
            [this](int percent) { taskbarButton->setProgressValue(percent); }, Qt::DirectConnection);
    connect(updates, &UpdateManager::deviceUpdateFinished, this,
            [this](DeviceItem *) {
                --remainingUpdateCount;
                drawTaskbarBadge(remainingUpdateCount);
            },
            Qt::DirectConnection);
    connect(updates, &UpdateManager::deviceUpdateFailed, this,
            [this](DeviceItem *) {
                --remainingUpdateCount;
                drawTaskbarBadge(remainingUpdateCount);
                if (remainingUpdateCount == 0)
                    taskbarButton->clearOverlayIcon();
            },
            Qt::DirectConnection);
    connect(updates, &UpdateManager::updateFinished, this,
            [this](const QList<DeviceItem *> &, const QList<DeviceItem *> &) {
                taskbarButton->setProgressValue(0);
                taskbarButton->clearOverlayIcon();
            },
            Qt::DirectConnection);
}

void MainWindow::drawTaskbarBadge(int count)
{
    taskbarButton->setOverlayCount(count);
}

void MainWindow::showDeviceCount(int count)
{
    ui->lblDevCount->setText(QString::number(count));
    if (count > 0)
        drawTaskbarBadge(count);
    else
        taskbarButton->clearOverlayIcon();
}
