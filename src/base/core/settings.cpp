#include "settings.h"

#include <QHash>

QSettings appSettings(QStringLiteral("Zorvo"), QStringLiteral("Tandrel"));

QStringList defaultPalette()
{
    return {QStringLiteral("red"),          QStringLiteral("orange"),         QStringLiteral("yellow"),
            QStringLiteral("green"),        QStringLiteral("lightblue"),      QStringLiteral("blue"),
            QStringLiteral("violet"),       QStringLiteral("darkred"),        QStringLiteral("darkorange"),
            QStringLiteral("gold"),         QStringLiteral("darkolivegreen"), QStringLiteral("deepskyblue"),
            QStringLiteral("navy"),         QStringLiteral("purple"),         QStringLiteral("deeppink"),
            QStringLiteral("salmon"),       QStringLiteral("khaki"),          QStringLiteral("lime"),
            QStringLiteral("lightcyan"),    QStringLiteral("cyan"),           QStringLiteral("plum"),
            QStringLiteral("tomato"),       QStringLiteral("darkgoldenrod"),  QStringLiteral("yellowgreen"),
            QStringLiteral("mediumspringgreen"), QStringLiteral("blueviolet"), QStringLiteral("magenta"),
            QStringLiteral("orangered"),    QStringLiteral("limegreen"),      QStringLiteral("turquoise")};
}

QVariant settingDefault(const QString &key)
{
    using namespace SettingsKey;
    static const QHash<QString, QVariant> defaults{
        {LogLevel, 0},
        {Sorting, 0},
        {ViewMode, 1},
        {SortColumn, 0},
        {SortOrder, 0},
        {Language, QStringLiteral("russian")},
        {BackupPath, BackupPathNotChosen},
        {LastRssiLogsPath, QString()},
        {LastCustomCommand, QStringLiteral("00 02")},
        {EepromReadLastLength, 1},
        {DisableExtendedChannelWarning, false},
        {EnableTechrun, false},
        {AutoNumbering, false},
        {StartNumber, 0},
        {AddressHUBRO, false},
        {AddressHUBROValue, 0},
        {TypeFilter, false},
        {DeviceTypeFilter, 0},
        {SerialNumberFilter, 0u},
        {FilterRSSI, false},
        {FilterRSSIValue, -60},
        {LossInterval, false},
        {IndicationTime, 0},
        {LQITime, 0},
        {HasPassword, false},
        {Ull, QVariant::fromValue<quint64>(0)},
        {ProxyType, -1},
    };
    if (key == QLatin1String(Palette))
        return defaultPalette();
    return defaults.value(key);
}

QVariant readSetting(const QString &key)
{
    return appSettings.value(key, settingDefault(key));
}
