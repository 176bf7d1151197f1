#pragma once

#include <QSettings>
#include <QString>
#include <QVariant>

// The one settings store of the program (organisation "Zorvo", application "Tandrel").
// Built before main(); every key of the program goes through it.
extern QSettings appSettings;

// Key names of the store. Readers pass the default with the read; settingDefault()
// gives the documented default of a key, readSetting() reads a key with it.
namespace SettingsKey {
// window and view state
inline constexpr char Geometry[] = "geometry";
inline constexpr char WindowState[] = "windowState";
inline constexpr char LogLevel[] = "loglevel";
inline constexpr char Sorting[] = "sorting";
inline constexpr char ViewMode[] = "viewmode";
inline constexpr char SortColumn[] = "sortcolumn";
inline constexpr char SortOrder[] = "sortorder";
inline constexpr char PacketFilterGroup[] = "packetFilter";
inline constexpr char GeometryMasterNoise[] = "geometryMasterNoise";
inline constexpr char GeometryUpdateWidget[] = "geometryUpdateWidget";
inline constexpr char GeometryDeviceRSSIPlot[] = "geometryDeviceRSSIPlot";
inline constexpr char StackWindowGeometry[] = "stack_window_geometry";
inline constexpr char StackWindowState[] = "stack_window_state";
inline constexpr char LogWindowGeometry[] = "log_window_geometry";
inline constexpr char SqliteViewGeometry[] = "sqlite_view_geometry";
// language
inline constexpr char Language[] = "language";
inline constexpr char QmFile[] = "qm_file";
// last folders and files
inline constexpr char LastLoadConfPath[] = "lastLoadConfPath";
inline constexpr char LastSaveConfPath[] = "lastSaveConfPath";
inline constexpr char ConfigFileName[] = "configfilename";
inline constexpr char ReportFileDir[] = "reportfiledir";
inline constexpr char BackupPath[] = "backupPath";
inline constexpr char LastFirmwarePath[] = "lastFirmwarePath";
inline constexpr char LastRssiLogsPath[] = "lastRssiLogsPath";
inline constexpr char SaveMeasurementsDir[] = "saveMeasurementsDir";
inline constexpr char OpenMeasurementsDir[] = "openMeasurementsDir";
// dialog memories
inline constexpr char LastCustomCommand[] = "last_custom_command";
inline constexpr char EepromReadLastAddress[] = "eepromReadLastAddress";
inline constexpr char EepromReadLastLength[] = "eepromReadLastLength";
inline constexpr char WriteEepromLastData[] = "writeEepromLastData";
inline constexpr char WriteEepromLastAddress[] = "writeEepromLastAddress";
inline constexpr char IndicationModeLast[] = "indicationModeLast";
inline constexpr char DisableExtendedChannelWarning[] = "disable_extended_channel_warning";
inline constexpr char Palette[] = "palette";
// technical run and filters
inline constexpr char EnableTechrun[] = "EnableTechrun";
inline constexpr char AutoNumbering[] = "AutoNumbering";
inline constexpr char StartNumber[] = "StartNumber";
inline constexpr char AddressHUBRO[] = "addressHUBRO";
inline constexpr char AddressHUBROValue[] = "addressHUBROValue";
inline constexpr char TypeFilter[] = "TypeFilter";
inline constexpr char DeviceTypeFilter[] = "DeviceTypeFilter";
inline constexpr char SerialNumberFilter[] = "SerialNumberFilter";
inline constexpr char FilterRSSI[] = "filterRSSI";
inline constexpr char FilterRSSIValue[] = "filterRSSIValue";
inline constexpr char LossInterval[] = "LossInterval";
inline constexpr char LossIntervalValue[] = "LossIntervalValue";
inline constexpr char IndicationTime[] = "IndicationTime";
inline constexpr char LQITime[] = "LQITime";
// master and files
inline constexpr char Interval[] = "interval";
inline constexpr char HasPassword[] = "hasPassword";
inline constexpr char Serial[] = "serial";
inline constexpr char Ull[] = "ull";
inline constexpr char CommonProps[] = "commonProps";
inline constexpr char SQLiteStoringMap[] = "SQLite storing map";
// proxy of the update check
inline constexpr char ProxyOn[] = "proxy_on";
inline constexpr char ProxyType[] = "proxy_type";
inline constexpr char ProxyHost[] = "proxy_host";
inline constexpr char ProxyPort[] = "proxy_port";
inline constexpr char ProxyUser[] = "proxy_user";
inline constexpr char ProxyPassword[] = "proxy_password";
} // namespace SettingsKey

// Tick state of a packet type in the log's packet filter when the store has none (Qt::Checked).
constexpr int PacketFilterDefaultState = 2;

// "backupPath" value meaning that no backup folder has been chosen yet.
inline const QString BackupPathNotChosen = QStringLiteral("def");

// Default colours offered for plot graphs while "palette" is absent.
QStringList defaultPalette();

// The documented default of a top-level key; an invalid QVariant where the key has none.
// "eepromReadLastAddress" has no fixed default (its dialog's first address item).
QVariant settingDefault(const QString &key);

// appSettings.value(key, settingDefault(key)).
QVariant readSetting(const QString &key);
