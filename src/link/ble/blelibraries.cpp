#include "blelibraries.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
int forcedAvailable = -1;
QString &testFolder()
{
    static QString folder;
    return folder;
}
} // namespace

namespace BleLibraries {

bool available()
{
    if (forcedAvailable >= 0)
        return forcedAvailable != 0;
#ifdef TANDREL_BLE_BACKENDS
    return true;
#else
    return false;
#endif
}

void setAvailableForTesting(int value)
{
    forcedAvailable = value;
}

QString fileName(const QString &name)
{
    return QStringLiteral("lib") + name + QStringLiteral(".so");
}

QString locate(const QString &name)
{
    const QString folder = testFolder().isEmpty() ? QCoreApplication::applicationDirPath() : testFolder();
    const QString beside = folder + QDir::separator() + fileName(name);
    if (QFileInfo::exists(beside))
        return beside;
    return QDir::cleanPath(folder + QStringLiteral("/../../") + name + QStringLiteral("/release/") + fileName(name));
}

void setFolderForTesting(const QString &folder)
{
    testFolder() = folder;
}

} // namespace BleLibraries
