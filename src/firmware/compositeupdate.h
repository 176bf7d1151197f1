#pragma once

#include "bootsectionheader.h"
#include "firmwaremap.h"
#include "firmwarematching.h"
#include "vorl.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QWidget>

#include <map>

class DeviceItem;
class HubroItem;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSplitter;
class QTableWidget;
class QTableWidgetItem;

// The batch update window: loads firmware containers, matches each against the
// master's own sections and the radio devices, lists the usable firmwares and
// the devices each fits, and hands the user's choice to the firmware dock as
// one of three requests. Opened without files it offers the image saved in
// the master's flash.
class CompositeUpdate : public QWidget
{
    Q_OBJECT
public:
    enum UpdateMode { SavedFirmware = 0, PackageMode = 1, OfflineMode = 2 };
    enum RowRole { HeaderRole = Qt::UserRole, PreselectedRole, MasterUncheckedRole, SavedRole };

    CompositeUpdate(const HUBRO32BootSectionHeader_t &savedHeader, const QList<DeviceItem *> &devices,
                    HubroItem *master, QWidget *parent = nullptr);
    ~CompositeUpdate() override;

    bool loadFirmwareFiles(const QStringList &fileNames);

    // The matching rules against this window's master.
    int matchFirmware(const HUBRO32BootSectionHeader_t &header, const DeviceItem *device) const;
    bool isMasterSection(const pVORL &container) const;
    bool fitsMaster(const HUBRO32BootSectionHeader_t &header) const;

    int updateMode() const { return m_updateMode; }
    QList<DeviceItem *> preselected() const;
    QList<pVORL> loadedFirmwares() const { return m_loadedFirmwares; }
    QList<pVORL> deviceFirmwareKeys() const;
    QList<pVORL> masterSectionKeys() const;
    int outdatedAnswer() const { return m_outdatedAnswer; }

    // The master the window matches against, and the image it keeps in its
    // flash: the view is rebuilt for them (no master: nothing to update).
    void setMaster(HubroItem *master);
    void setSavedHeader(const HUBRO32BootSectionHeader_t &header);

public slots:
    // The devices of the connection: every view drops the rows of devices
    // that went and lists those that came.
    void onDevicesChanged(const QList<DeviceItem *> &devices);
    void startUpdate();
    void askOutdated(const QString &text, bool many);
    void openFiles();

signals:
    void defaultUpdate(FirmwareMap map, bool fastMode);
    void internalUpdate(QList<DeviceItem *> devices, bool fastMode);
    void offlineUpdate(pVORL firmware);
    void repeatUpdate();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    struct VorlOrder
    {
        bool operator()(const pVORL &a, const pVORL &b) const;
    };
    using ContainerMap = std::map<pVORL, int, VorlOrder>;

    void buildForm();
    void queueItemChanges(QTableWidget *table, void (CompositeUpdate::*handler)(QTableWidgetItem *));
    bool checkExtensions(QStringList &files);
    // The containers of each file, in file order; empty with the reader's
    // reason shown when a file cannot be read.
    bool readFiles(const QStringList &files, QList<QList<pVORL>> &containers);
    bool hasUsableFirmware(const QList<QList<pVORL>> &files);
    // False when the file's containers ended the load (complex update answered).
    // Outside the user's load (`interactive` false) a complex-update container
    // asks nothing and ends the file's classification.
    bool classifyContainers(const QList<pVORL> &containers, bool interactive = true);
    // The rows of the classified containers and the mode that fits them.
    void showClassified();
    // The loaded files again against the current master and devices.
    void reclassify();
    // The saved-firmware view for the current master and saved header.
    void showSavedFirmware();
    void clearTables();
    void showOverlay(const QString &text);
    DeviceItem *deviceOfRow(const QTableWidgetItem *item) const;
    void showIncompatible();
    bool fillMasterSections();
    bool fillDeviceFirmwares();
    // Checks of devices already shown are kept (by device number); others
    // are checked when the image is newer than what they run.
    void fillSavedFirmware(const QHash<int, bool> &kept = {});
    void fillDevices();
    QString addFirmwareRow(const HUBRO32BootSectionHeader_t &header, Qt::CheckState state, int preselected);
    void addDeviceRow(DeviceItem *device, Qt::CheckState state);
    int findFirmwareRow(const HUBRO32BootSectionHeader_t &header) const;
    void onFirmwareItemChanged(QTableWidgetItem *item);
    void onFirmwareDoubleClicked(QTableWidgetItem *item);
    void onDeviceItemChanged(QTableWidgetItem *item);
    void onDevicesCheckClicked();
    void selectAll(bool checked);
    void switchToOffline();
    void switchToPackage();
    void switchMode(bool offline);
    void updateFirmwareCount();
    void updateDeviceCounters();
    void emitCollected(const FirmwareMap &map);
    bool masterSectionOutdated(const HUBRO32BootSectionHeader_t &header, int kind) const;
    bool masterSectionNewer(const HUBRO32BootSectionHeader_t &header, int kind) const;
    QList<DeviceItem *> liveDevices() const;
    QSet<int> liveNumbers() const;
    void setFilenameStyle(bool error);

    ContainerMap masterSections;
    ContainerMap deviceFirmwares;
    QList<QPointer<DeviceItem>> devices;
    QList<QPointer<DeviceItem>> preselectedDevices;

    // form
    QSplitter *splitter = nullptr;
    QLineEdit *leFilename = nullptr;
    QPushButton *pbOpen = nullptr;
    QPushButton *pbSelectAll = nullptr;
    QLabel *lblFirmwareCount = nullptr;
    QTableWidget *twFirmwares = nullptr;
    QLabel *label_3 = nullptr;
    QLabel *lblDeviceCount = nullptr;
    QCheckBox *cbDevices = nullptr;
    QRadioButton *rbPackageMode = nullptr;
    QRadioButton *rbOfflineMode = nullptr;
    QPushButton *pbUpdate = nullptr;
    QPushButton *pbCancel = nullptr;
    QTableWidget *twDevices = nullptr;
    QCheckBox *cbFastMode = nullptr;
    QLabel *lblRefreshTime = nullptr;

    int m_updateMode = SavedFirmware;
    HUBRO32BootSectionHeader_t savedHeader;
    QPointer<HubroItem> master;
    QList<pVORL> m_loadedFirmwares;
    bool noOnlineDevice = false;
    int m_outdatedAnswer = -1;
    QStringList draggedFiles;
    QLabel *overlayLabel = nullptr;
    bool incompatibleShown = false;
    QList<pVORL> m_loadOrder; // keys in the order they were first classified
    QList<QList<pVORL>> m_readFiles; // the containers of the last load, per file
    QSet<int> m_classifiedNumbers;   // the devices the loaded files were matched against
};
