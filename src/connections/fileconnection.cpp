#include "fileconnection.h"

#include "appglobals.h"
#include "configurationfilereader.h"
#include "configurationjson.h"
#include "deviceclasses.h"
#include "deviceitem.h"
#include "devicesettings.h"
#include "hubroitem.h"
#include "hubrostatus.h"
#include "messageboxes.h"
#include "settings.h"

#include <QCoreApplication>
#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QPointer>
#include <QTimer>
#include <QTranslator>

namespace {

// The Russian catalogue embedded in the program, whatever language it runs
// in: files saved under it name models and outputs in Russian.
const QTranslator *russianCatalogue()
{
    static const QTranslator *catalogue = [] {
        auto *translator = new QTranslator;
        if (translator->load(QStringLiteral(":/tr/tandrel_ru")))
            return translator;
        delete translator;
        return static_cast<QTranslator *>(nullptr);
    }();
    return catalogue;
}

// A text of the exporter in each language a file may carry it in.
QStringList exporterWords(const char *source)
{
    QStringList words{QCoreApplication::translate("ConfigurationExporter", source), QString::fromUtf8(source)};
    if (const QTranslator *russian = russianCatalogue()) {
        const QString text = russian->translate("ConfigurationExporter", source);
        if (!text.isEmpty())
            words << text;
    }
    return words;
}

ConfigurationFileReader::Vocabulary fileVocabulary()
{
    ConfigurationFileReader::Vocabulary vocabulary;
    vocabulary.modelNames << deviceModelNames << untranslatedDeviceModelNames();
    if (const QTranslator *russian = russianCatalogue())
        vocabulary.modelNames << deviceModelNamesIn(*russian);
    vocabulary.onWords = exporterWords("On");
    vocabulary.offWords = exporterWords("Off");
    return vocabulary;
}

quint8 elementId(const QJsonValue &element)
{
    return quint8(element.toObject().value(QLatin1String("id")).toInt());
}

} // namespace

FileConnection::FileConnection(QObject *parent)
    : Connection(parent)
    , m_locker(std::make_unique<FileLocker>())
{
}

FileConnection::~FileConnection()
{
    detachItems();
}

// ---------------------------------------------------------------- opening

bool FileConnection::connectToMaster(ConnectionType type, const QString &address, MasterType masterType)
{
    Q_UNUSED(masterType)
    if (type != File) {
        m_errorString = tr("Wrong connection type for a configuration file");
        return false;
    }

    // A new locker, so that a failure leaves the file held so far (if any)
    // as it is; a failed one releases its file when it goes.
    auto locker = std::make_unique<FileLocker>();
    const QByteArray bytes = locker->lockFile(address);
    if (!locker->isLocked() || bytes.trimmed().isEmpty()) {
        qWarning().noquote() << QStringLiteral("No data in configuration file (%1)").arg(address);
        m_errorString = locker->isLocked() ? tr("The configuration file %1 is empty").arg(address)
                                           : locker->errorString();
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        qWarning().noquote() << QStringLiteral("Configuration file error ") + parseError.errorString();
        m_errorString = tr("The configuration file %1 is not valid JSON: %2 at offset %3")
                            .arg(address, parseError.errorString())
                            .arg(parseError.offset);
        return false;
    }
    if (!document.isObject()) {
        qWarning().noquote() << QStringLiteral("Configuration file error: no object at the top level");
        m_errorString = tr("The configuration file %1 does not hold a JSON object").arg(address);
        return false;
    }

    // Nothing is built from a file whose master or devices do not read.
    const QString problem = contentProblem(document.object());
    if (!problem.isEmpty()) {
        qWarning().noquote() << QStringLiteral("Configuration file error ") + problem;
        m_errorString = tr("The configuration file %1 cannot be used: %2").arg(address, problem);
        return false;
    }

    // What a file opened before built goes first.
    if (m_master || !m_devices.isEmpty())
        forceDisconnect();
    m_errorString.clear();
    m_connectionType = File;
    m_locker = std::move(locker);
    m_document = document.object();
    m_path = address;
    m_writeRefused = false;
    return loadConfigurationFile();
}

QString FileConnection::contentProblem(const QJsonObject &document) const
{
    const ConfigurationFileReader::Vocabulary vocabulary = fileVocabulary();
    const QJsonObject master = document.value(QLatin1String("master")).toObject();
    const QString model = master.value(QLatin1String("device")).toString();
    if (!model.isEmpty() && !ConfigurationFileReader::isModelName(model, vocabulary.modelNames))
        return tr("the master model \"%1\" is unknown").arg(model.left(60));
    const hubroInfo_t record = ConfigurationFileReader::readMaster(master, vocabulary).record;
    return ConfigurationJson::devicesProblem(document.value(QLatin1String("devices")).toArray(),
                                             HubroStatus::maxDeviceCount(record));
}

bool FileConnection::loadConfigurationFile()
{
    const ConfigurationFileReader::Vocabulary vocabulary = fileVocabulary();
    const ConfigurationFileReader::MasterData data =
        ConfigurationFileReader::readMaster(m_document.value(QLatin1String("master")).toObject(), vocabulary);
    m_fileMasterType = data.record.bDevType;
    appSettings.setValue(QLatin1String(SettingsKey::Interval), data.intervalSeconds);
    appSettings.sync();

    m_master = new HubroItem(data.record, false);
    m_master->setConnection(File);
    connect(m_master, &DeviceItem::wireloopAddressChanged, this, &FileConnection::updateMasterWireloopAddress);
    connect(m_master, &HubroItem::intervalChanged, this, &FileConnection::updateMasterInterval);
    connect(m_master, &HubroItem::channelChanged, this, &FileConnection::updateMasterChannel);
    connect(m_master, &HubroItem::wireloopPowerModeChanged, this, &FileConnection::updateWireloopPowerMode);
    // The master's setting requests that the file carries go into the file.
    connect(m_master, &DeviceItem::sendPacket, this, [this](const QByteArray &data, const ResponseCb &) {
        if (data.size() > 1 && quint8(data.at(0)) == PT_HUBRO_POWER_ADJUSTMENT)
            updateMasterValue(QStringLiteral("power adjustment"), data.at(1) != 0);
    });
    m_master->setOffline();
    emit masterConnected(m_master);
    m_master->setPropertyText(data.radioFirmwareText);

    m_devices.clear();
    const QJsonArray devices = m_document.value(QLatin1String("devices")).toArray();
    for (const QJsonValue &element : devices) {
        if (!element.isObject()) {
            qWarning().noquote() << QStringLiteral("Configuration file: a device entry that is no object is skipped");
            continue;
        }
        addDevice(element.toObject(), vocabulary);
    }
    return true;
}

void FileConnection::addDevice(const QJsonObject &element, const ConfigurationFileReader::Vocabulary &vocabulary)
{
    m_master->radioDeviceConnected();
    const deviceInfo_t info = ConfigurationFileReader::readDevice(element);
    DeviceItem *item = createDeviceItem(info, false);
    item->updateState(info, ConfigurationFileReader::readDeviceState(info.deviceType, element, vocabulary));
    // Settings of the item's class; a key the file lacks keeps the item's own value.
    for (const QString &key : DeviceSettings::keys(item->deviceType())) {
        bool present = false;
        const int value = ConfigurationFileReader::settingValue(element, key, &present);
        if (present)
            DeviceSettings::setValue(item, key, value);
    }

    // Two entries with one number: the later one stands, the earlier item goes
    // (it would stay listed with nobody owning it otherwise).
    if (m_devices.contains(info.radioAddress)) {
        qWarning().noquote() << QStringLiteral("Configuration file: device number %1 appears twice, the last entry is used")
                                    .arg(info.radioAddress);
        removeDeviceLocally(info.radioAddress);
    }
    m_devices.insert(info.radioAddress, item);
    connect(item, &DeviceItem::wireloopAddressChanged, this, &FileConnection::updateWireloopAddress);
    emit deviceConnected(item);
}

// ---------------------------------------------------------------- edits

void FileConnection::updateWireloopAddress(int radioAddress, int value)
{
    updateDeviceValue(radioAddress, QStringLiteral("wireloop address"), value);
    DeviceItem *item = qobject_cast<DeviceItem *>(sender());
    if (!item)
        item = m_devices.value(radioAddress, nullptr);
    if (item)
        item->setAddress(quint8(value));
}

void FileConnection::updateMasterWireloopAddress(int radioAddress, int value)
{
    Q_UNUSED(radioAddress)
    updateMasterValue(QStringLiteral("wireloop address"), value);
    DeviceItem *item = qobject_cast<DeviceItem *>(sender());
    if (!item)
        item = m_master;
    if (item)
        item->setAddress(quint8(value));
}

void FileConnection::updateMasterInterval(int value)
{
    updateMasterValue(QStringLiteral("interval"), value);
}

void FileConnection::updateMasterChannel(int value, bool autoMode, bool dynamicMode)
{
    QList<std::pair<QString, QJsonValue>> values;
    // In the automatic and dynamic modes the value names the mode, not a
    // channel: the channel in use stays as stored.
    if (!autoMode && !dynamicMode)
        values.push_back({QStringLiteral("current channel"), value});

    // The mode under every name the file already uses for it, else under the
    // names the exporter of this master kind writes.
    const QJsonObject master = m_document.value(QLatin1String("master")).toObject();
    const QStringList autoNames{QStringLiteral("auto mode"), QStringLiteral("auto channel")};
    const QStringList dynamicNames{QStringLiteral("dynamic mode"), QStringLiteral("dynamic channel")};
    bool named = false;
    for (const QString &name : autoNames) {
        if (master.contains(name)) {
            values.push_back({name, autoMode});
            named = true;
        }
    }
    for (const QString &name : dynamicNames) {
        if (master.contains(name)) {
            values.push_back({name, dynamicMode});
            named = true;
        }
    }
    if (master.contains(QLatin1String("channel mode"))) {
        values.push_back({QStringLiteral("channel mode"), autoMode ? 1 : dynamicMode ? 2 : 0});
        named = true;
    }
    if (!named) {
        const bool hubro32 = m_fileMasterType == 0;
        values.push_back({hubro32 ? autoNames.at(1) : autoNames.at(0), autoMode});
        values.push_back({hubro32 ? dynamicNames.at(1) : dynamicNames.at(0), dynamicMode});
    }
    setMasterValues(values);
}

void FileConnection::updateWireloopPowerMode(bool value)
{
    updateMasterValue(QStringLiteral("wireloop power"), value);
}

void FileConnection::updateMasterValue(const QString &key, const QVariant &value)
{
    setMasterValues({{key, QJsonValue::fromVariant(value)}});
}

void FileConnection::setMasterValues(const QList<std::pair<QString, QJsonValue>> &values)
{
    QJsonObject master = m_document.value(QLatin1String("master")).toObject();
    for (const auto &value : values)
        master.insert(value.first, value.second);
    m_document.insert(QStringLiteral("master"), master);
    writeBack();
}

void FileConnection::updateDeviceValue(int radioAddress, const QString &key, const QVariant &value)
{
    QJsonArray devices = m_document.value(QLatin1String("devices")).toArray();
    bool changed = false;
    for (int i = 0; i < devices.size(); ++i) {
        if (!devices.at(i).isObject() || elementId(devices.at(i)) != radioAddress)
            continue;
        QJsonObject element = devices.at(i).toObject();
        element.insert(key, QJsonValue::fromVariant(value));
        devices.replace(i, element);
        changed = true;
    }
    if (!changed)
        return;
    m_document.insert(QStringLiteral("devices"), devices);
    writeBack();
}

void FileConnection::removeDevice(int address)
{
    // Every entry of the number goes: one left behind would bring the device
    // back when the file is opened again.
    QJsonArray devices = m_document.value(QLatin1String("devices")).toArray();
    const int before = devices.size();
    for (int i = devices.size() - 1; i >= 0; --i) {
        if (devices.at(i).isObject() && elementId(devices.at(i)) == address)
            devices.removeAt(i);
    }
    if (devices.size() == before)
        return;
    removeDeviceLocally(address);
    m_document.insert(QStringLiteral("devices"), devices);
    writeBack();
}

// ---------------------------------------------------------------- writing

void FileConnection::writeBack(bool overwriteChanges)
{
    if (m_writeRefused) {
        qWarning().noquote() << QStringLiteral("Configuration file (%1) no longer held, the change is not saved").arg(m_path);
        return;
    }
    if (m_changeQuestionPending)
        return; // the answer decides what becomes of this edit too
    if (m_locker->replaceContents(ConfigurationJson::toBytes(m_document), overwriteChanges))
        return;
    if (m_locker->error() == FileLocker::Error::NotHeld)
        return; // closed: nothing is saved any more
    if (m_locker->error() == FileLocker::Error::Changed) {
        askAboutOutsideChange();
        return;
    }
    if (m_locker->error() == FileLocker::Error::LockLost) {
        m_writeRefused = true;
        warnUser(tr("The configuration file was removed or replaced by another program. Changes are no longer "
                    "saved in it."),
                 m_path);
        return;
    }
    warnUser(tr("The change could not be saved in the configuration file."), m_locker->errorString());
}

void FileConnection::warnUser(const QString &text, const QString &details)
{
    // One box for the writes of one edit, shown once the edit is through.
    if (m_warningPending)
        return;
    m_warningPending = true;
    QTimer::singleShot(0, this, [this, text, details] {
        const QPointer<FileConnection> self(this);
        showWarningDetails(text, details, tr("Configuration file"));
        if (self)
            m_warningPending = false;
    });
}

void FileConnection::askAboutOutsideChange()
{
    // Asked once the edit is through, as the warnings are.
    m_changeQuestionPending = true;
    const FileLocker *asked = m_locker.get();
    QTimer::singleShot(0, this, [this, asked] {
        const QPointer<FileConnection> self(this);
        const int answer =
            askChoice(tr("The configuration file %1 was changed by another program since it was opened here.\n"
                         "Reload it as it is now (the changes not yet saved here are lost), or overwrite it with "
                         "the configuration shown here (the other program's changes are lost)?")
                          .arg(m_path),
                      tr("Configuration file"), {tr("Overwrite"), tr("Reload")});
        if (!self)
            return;
        m_changeQuestionPending = false;
        if (m_locker.get() != asked || !m_locker->isLocked())
            return; // closed, or another file opened, meanwhile
        if (answer == 0) {
            writeBack(true);
            return;
        }
        // Nothing more is written from the old contents.
        m_writeRefused = true;
        emit reloadRequested(m_path);
    });
}

// ---------------------------------------------------------------- closing

bool FileConnection::disconnectFromMaster()
{
    forceDisconnect();
    return true;
}

void FileConnection::forceDisconnect()
{
    const bool hadMaster = m_master != nullptr;
    detachItems();
    m_locker->unlockFile();
    // The window drops its rows of the items before they go.
    if (hadMaster)
        emit masterDisconnected();
}

void FileConnection::detachItems()
{
    // Items go by deferred deletion: no late edit of theirs may reach the file.
    if (m_master)
        m_master->disconnect(this);
    for (DeviceItem *item : qAsConst(m_devices))
        item->disconnect(this);
    releaseItems();
}
