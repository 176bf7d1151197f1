#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QTranslator;

// Application-wide tables that exist before main() and survive restarts.

// Exit code with which the main window asks main() to rebuild the application.
constexpr int RestartExitCode = -123456789;

constexpr int DeviceModelCount = 142;

// Display name per device-type code 0..141; empty until registerDeviceModelNames().
extern QStringList deviceModelNames;

extern const QList<int> masterDeviceTypes;       // expander models
extern const QList<int> hubro125DeviceTypes;     // 125-device expander models
extern const QList<int> repeaterDeviceTypes;     // models that can carry other devices
extern const QList<int> communicatorDeviceTypes; // GSM and LTE communicators
extern const QList<int> waterMeterDeviceTypes;   // water-meter readers (one class serves both)

// The program's own product name for the update service: one name, never
// translated, whatever the language in use.
extern const QString programTitle;
extern const QString updateCheckUrl;

// Fills deviceModelNames through the translation system (context "QObject").
void registerDeviceModelNames();
// The same table as the sources spell it, and as `translator` renders it (a
// name it does not hold keeps its source text): files written under another
// language name their models in that language.
QStringList untranslatedDeviceModelNames();
QStringList deviceModelNamesIn(const QTranslator &translator);

// "Unknown type: %1" for codes without a table entry.
QString deviceTypeName(int code);
