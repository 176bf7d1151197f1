// The master's own commands: each is one packet through sendPacket, its
// callback handles the answer.

#include "hubroitem.h"

#include "appglobals.h"
#include "hubrostatus.h"
#include "messageboxes.h"
#include "passworddialog.h"
#include "qtpropertymanager.h"
#include "settings.h"
#include "settingsresetprocess.h"
#include "uiseams.h"

#include <QDateTime>
#include <QDebug>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QSpacerItem>

namespace {

constexpr int RestartReconnectMs = 20000;

// The callback of a request whose answer only has to be of one type.
ResponseCb accepting(PacketType type)
{
    return matchPacketType(type);
}

void syncSettings()
{
    appSettings.sync();
}

// A box shown out of the reply callback that asks for it, once the callback
// has returned; nothing when the item is gone by then.
void showLater(QObject *context, QMessageBox::Icon icon, const QString &text, const QString &title)
{
    QTimer::singleShot(0, context, [icon, text, title] {
        if (icon == QMessageBox::Critical)
            showCriticalMessage(text, title);
        else if (icon == QMessageBox::Information)
            showInformationMessage(text, title);
        else
            showWarningMessage(text, title);
    });
}

} // namespace

void HubroItem::send(const QByteArray &packet, ResponseCb cb)
{
    // The item may be replaced (deleteLater) while an answer is still on its way.
    const QPointer<HubroItem> self(this);
    emit sendPacket(packet, [self, cb](const Packet &reply) { return self && cb && cb(reply); });
}

// ---------------------------------------------------------------- status and headers

void HubroItem::requestStatus()
{
    send(plainRequest(PT_HUBRO_INFO), [this](const Packet &reply) { return onStatusAnswer(reply); });
}

bool HubroItem::onStatusAnswer(const Packet &reply)
{
    if (packetTypeOf(reply) != PT_HUBRO_INFO_ACK)
        return false;
    const std::optional<hubroInfo_t> record =
        HubroStatus::recordFromStatusAnswer(reply.data, m_info.bDevType, hasCheckByte());
    if (!record) {
        qWarning().noquote() << QStringLiteral("Status answer of %1 bytes is too short; the last record is kept")
                                    .arg(replySize(reply));
        return true;
    }
    updateHubroItem(*record);
    emit hubroInfoUpdated();
    return true;
}

void HubroItem::reboot(int reconnectTimeout)
{
    qDebug().noquote() << QStringLiteral("send PT_REBOOT reconnectTimeout =") << reconnectTimeout;
    send(plainRequest(PT_REBOOT), [this, reconnectTimeout](const Packet &reply) {
        if (packetTypeOf(reply) != PT_REBOOT_ACK) {
            qWarning().noquote() << QStringLiteral("PT_REBOOT failed");
            return false;
        }
        qDebug().noquote() << QStringLiteral("Reconnect after %1 seconds").arg(reconnectTimeout / 1000);
        emit restarted(reconnectTimeout);
        return true;
    });
}

void HubroItem::setKeyboardLock(bool lock)
{
    send(MasterRequest::keyboardLock(lock), [this](const Packet &reply) {
        const quint8 type = packetTypeOf(reply);
        if (type != PT_KEYBOARD_LOCK_ACK) {
            qWarning().noquote() << QStringLiteral("Keyboard toggle error. Packet type %1").arg(type);
            return false;
        }
        const bool locked = replySize(reply) > 1 && reply.data.at(1) == 0;
        qDebug().noquote() << QStringLiteral("Keyboard %1").arg(locked ? QStringLiteral("locked")
                                                                       : QStringLiteral("unlocked"));
        return true;
    });
}

void HubroItem::clearLog()
{
    const bool older = HubroStatus::isOlderMaster(m_info);
    const PacketType answer = older ? PT_HUBRO_EEPROM_WRITE_ACK : PT_LOG_CLEAR_ACK;
    send(older ? MasterRequest::clearOlderLog() : plainRequest(PT_LOG_CLEAR),
         [this, answer](const Packet &reply) {
             if (packetTypeOf(reply) != answer)
                 return false;
             emit logCleared();
             return true;
         });
}

void HubroItem::setClock()
{
    send(MasterRequest::timeSet(quint32(QDateTime::currentSecsSinceEpoch())), accepting(PT_USB_TIME_SET_ACK));
}

void HubroItem::requestCurrentStatus()
{
    send(plainRequest(PT_CURRENT_STATUS_REQ), [this](const Packet &reply) {
        if (packetTypeOf(reply) != PT_CURRENT_STATUS_ACK)
            return false;
        const int size = replySize(reply);
        if (size < 2)
            return true;
        switch (quint8(reply.data.at(1))) {
        case PT_FW_UPLOAD_TIMEOUT:
            emit uploadTimeout();
            break;
        case PT_FW_UPDATE_BUSY:
            if (size >= 3)
                emit updateInProgress(quint8(reply.data.at(2)));
            break;
        case PT_FW_UPDATE_TIMEOUT:
            emit updateTimeout();
            break;
        default:
            break;
        }
        return true;
    });
}

void HubroItem::readUploadedFirmwareHeaders()
{
    if (!isOnline())
        return;
    requestFirmwareHeader(0);
}

void HubroItem::requestFirmwareHeader(int slot)
{
    QByteArray &header = m_firmwareHeaders[size_t(slot)];
    if (header.size() < FirmwareHeaderSize)
        header = QByteArray(FirmwareHeaderSize, '\0');
    header[0] = 0;
    header[1] = 0;
    send(MasterRequest::firmwareHeader(slot),
         [this, slot](const Packet &reply) { return onFirmwareHeaderAnswer(slot, reply); });
}

bool HubroItem::onFirmwareHeaderAnswer(int slot, const Packet &reply)
{
    if (packetTypeOf(reply) != PT_FW_READ_HEADER_ACK)
        return false;
    const QByteArray header = firmwareHeaderFromAnswer(reply.data, replySize(reply));
    m_firmwareHeaders[size_t(slot)] = header;

    QString text;
    if (!isEmptyFirmwareHeader(header)) {
        const QString firmware = HubroStatus::versionText(firmwareHeaderFirmware(header));
        const QString time = firmwareHeaderTimeText(header);
        switch (slot) {
        case 0:
            text = QStringLiteral("%1 (%2)").arg(firmware, time);
            break;
        case 2:
            text = QStringLiteral("%3 - %1 (%2)").arg(firmware, time, deviceTypeName(firmwareHeaderDeviceType(header)));
            break;
        default:
            text = QStringLiteral("%1, %2 (%3)")
                       .arg(firmware, HubroStatus::versionText(firmwareHeaderHardware(header)), time);
            break;
        }
    }
    QtProperty *row = slot == 0 ? m_propBackupRadio
        : slot == 1             ? m_propBackupCore
        : slot == 2             ? m_propUploadedFirmware
                                : m_propBaseCore;
    m_stringManager->setValue(row, isViewingMode() ? QString() : text);

    // Slots in the order 0, 1, 3, 2.
    switch (slot) {
    case 0:
        requestFirmwareHeader(1);
        break;
    case 1:
        requestFirmwareHeader(3);
        break;
    case 3:
        requestFirmwareHeader(2);
        break;
    default:
        emit firmwareHeadersUpdated();
        break;
    }
    return true;
}

void HubroItem::mk1HeaderRead()
{
    send(MasterRequest::withByte(PT_HEADER_FIRMWARE_READ_REQ, 0xFF), [this](const Packet &reply) {
        switch (packetTypeOf(reply)) {
        case PT_HEADER_FIRMWARE_READ_ACK:
            QTimer::singleShot(timings().mk1Ping, this, &HubroItem::mk1HeaderPing);
            return true;
        case PT_TRY_AGAIN_LATER:
            qDebug().noquote() << QStringLiteral("Interface is busy");
            return true;
        default:
            return false;
        }
    });
}

void HubroItem::mk1HeaderPing()
{
    if (!m_uploadTimer.isActive())
        return;
    send(MasterRequest::withByte(PT_HEADER_FIRMWARE_READ_PING, 0xFF), [this](const Packet &reply) {
        switch (packetTypeOf(reply)) {
        case PT_HEADER_FIRMWARE_READ_RECEIVED:
            mk1HeaderReceived(reply.data.mid(1, replySize(reply) - 1));
            return true;
        case PT_HEADER_FIRMWARE_READ_BUSY:
        case PT_HEADER_FIRMWARE_READ_ERROR:
            qWarning().noquote() << QStringLiteral("Failed to read MK1 header or firmware is outdated");
            return true;
        default:
            return false;
        }
    });
}

void HubroItem::mk1HeaderReceived(const QByteArray &response)
{
    const std::optional<Mk1Piece> piece = mk1PieceFromResponse(response, HubroStatus::isOlderMaster(m_info));
    if (!piece)
        return;
    if (piece->offset == 0 || m_mk1Header.size() != Mk1HeaderSize)
        m_mk1Header = QByteArray(Mk1HeaderSize, '\0');
    m_mk1Header.replace(piece->offset, piece->data.size(), piece->data);

    const int end = piece->offset + piece->data.size();
    if (end >= 64) {
        const Mk1Header header = decodeMk1Header(m_mk1Header);
        m_buildNumber = header.buildNumber;
        m_radioFirmwareText = mk1HeaderText(header);
        m_stringManager->setValue(m_propRadioFirmware, m_radioFirmwareText);
    }
    if (end < Mk1HeaderSize)
        QTimer::singleShot(timings().mk1Ping, this, &HubroItem::mk1HeaderPing);
}

// ---------------------------------------------------------------- nearby masters

void HubroItem::startNearbyMasterDetection()
{
    switchNearbyDetection(true);
}

void HubroItem::stopNearbyMasterDetection()
{
    switchNearbyDetection(false);
}

void HubroItem::switchNearbyDetection(bool on)
{
    const PacketType request = on ? PT_NEARBY_HUBRO_INFO_READ_START : PT_NEARBY_HUBRO_INFO_READ_STOP;
    const quint8 ack = on ? PT_NEARBY_HUBRO_INFO_READ_START_ACK : PT_NEARBY_HUBRO_INFO_READ_STOP_ACK;
    send(MasterRequest::withByte(request, 0x00), [this, on, ack](const Packet &reply) {
        if (packetTypeOf(reply) != ack) {
            showLater(this, QMessageBox::Warning,
                      on ? tr("Failed to start nearby hubro detection") : tr("Failed to stop nearby hubro detection"),
                      tr("Fail"));
            return false;
        }
        if (on) {
            emit nearbyMasterDetectionStarted();
            m_nearbyTimer.setInterval(timings().nearby);
            m_nearbyTimer.start();
        } else {
            emit nearbyMasterDetectionStopped();
            m_nearbyTimer.stop();
        }
        return true;
    });
}

void HubroItem::requestNearbyInfo()
{
    send(plainRequest(PT_NEARBY_HUBRO_INFO_READ), [this](const Packet &reply) {
        if (packetTypeOf(reply) != PT_NEARBY_HUBRO_INFO_ACK)
            return false;
        const std::optional<NearbyMasterInfo> info = nearbyMasterInfoFromAnswer(
            reply.data, replySize(reply), currentChannel(), QDateTime::currentDateTime());
        if (!info)
            qWarning().noquote() << QStringLiteral("Nearby master answer of %1 bytes ignored").arg(replySize(reply));
        else if (info->serial != 0)
            emit nearbyMasterInfoUpdated(*info);
        return true;
    });
}

// ---------------------------------------------------------------- radio modes

void HubroItem::startChannelScan()
{
    send(plainRequest(PT_USB_CHANNEL_SCAN_ENABLE), [this](const Packet &reply) {
        if (packetTypeOf(reply) != PT_USB_CHANNEL_SCAN_ENABLE_ACK)
            return false;
        m_info.Options.btfRFMode = 2;
        emit channelScanStarted();
        return true;
    });
}

void HubroItem::stopChannelScan()
{
    send(plainRequest(PT_USB_CHANNEL_SCAN_DISABLE), [this](const Packet &reply) {
        if (packetTypeOf(reply) != PT_USB_CHANNEL_SCAN_DISABLE_ACK)
            return false;
        emit channelScanFinished();
        return true;
    });
}

void HubroItem::toggleConfigurationMode(bool enable)
{
    if (enable && m_connectedDevices >= maxDeviceCount()) {
        showWarningDetails(tr("The device address space is full"), tr("Сonfiguration denied"), tr("Warning!"));
        return;
    }
    send(plainRequest(enable ? PT_USB_CONFIG_ENABLE : PT_USB_CONFIG_DISABLE), [this](const Packet &reply) {
        switch (packetTypeOf(reply)) {
        case PT_USB_CONFIG_ENABLE_ERROR:
            showLater(this, QMessageBox::Warning, tr("Failed to enable configuration mode"), tr("Error"));
            break;
        case PT_USB_CONFIG_ENABLE_ACK:
            m_info.Options.btfRFMode = 1;
            m_configurationMode = 1;
            break;
        case PT_USB_CONFIG_DISABLE_ACK:
            m_configurationMode = 0;
            m_info.Options.btfRFMode = 0;
            break;
        default:
            return false;
        }
        emit updated(this);
        emit configStateChanged(m_configurationMode);
        return true;
    });
}

void HubroItem::enableTechRun()
{
    if (m_info.bTestRunMode == 1) {
        qDebug().noquote() << QStringLiteral("Techrun already enabled");
        return;
    }
    send(MasterRequest::withByte(PT_USB_SET_HUBRO_MODE, 0x01), [](const Packet &reply) {
        if (packetTypeOf(reply) != PT_USB_SET_HUBRO_MODE_ACK) {
            qDebug().noquote() << QStringLiteral("Techrun mode FAILED on Zentar-HUBRO");
            return false;
        }
        qDebug().noquote() << QStringLiteral("Techrun mode run on Zentar-HUBRO");
        return true;
    });
}

// ---------------------------------------------------------------- new-device filters

void HubroItem::resetConfigFilter()
{
    send(MasterRequest::configFilterReset(), [](const Packet &reply) {
        if (packetTypeOf(reply) == PT_USB_CONFIG_SET_FILTER_ACK)
            qDebug().noquote() << QStringLiteral("PT_USB_CONFIG_SET_FILTER resetConfigFilter");
        return true;
    });
}

bool HubroItem::filterRefused(const Packet &reply)
{
    if (packetTypeOf(reply) == PT_USB_CONFIG_SET_FILTER_ACK)
        return false;
    showLater(this, QMessageBox::Critical,
              tr("Serial number filtering is not supported on this %1").arg(itemTypeName()), tr("Error"));
    return true;
}

void HubroItem::setConfigFilterDevType(int devType)
{
    const quint32 serial = appSettings.value(QLatin1String(SettingsKey::SerialNumberFilter), 0).toUInt();
    const int rssi = appSettings.value(QLatin1String(SettingsKey::FilterRSSI), false).toBool()
        ? appSettings.value(QLatin1String(SettingsKey::FilterRSSIValue), -60).toInt()
        : 0;
    send(MasterRequest::configFilterDevType(serial, quint8(devType), qint8(rssi)),
         [this, serial, devType, rssi](const Packet &reply) {
             if (filterRefused(reply))
                 return false;
             qDebug().noquote() << QStringLiteral("Filter by type PT_USB_CONFIG_SET_FILTER serial=%1 type=%2 RSSI=%3")
                                       .arg(serial)
                                       .arg(devType)
                                       .arg(rssi);
             return true;
         });
}

void HubroItem::setConfigFilterSerial(quint32 serialNumber)
{
    const int devType = appSettings.value(QLatin1String(SettingsKey::TypeFilter), false).toBool()
        ? appSettings.value(QLatin1String(SettingsKey::DeviceTypeFilter), 0).toInt()
        : 0;
    send(MasterRequest::configFilterSerial(serialNumber, quint8(devType)),
         [this, serialNumber, devType](const Packet &reply) {
             if (filterRefused(reply))
                 return false;
             qDebug().noquote() << QStringLiteral("Filter by serial PT_USB_CONFIG_SET_FILTER serial=%1 type=%2")
                                       .arg(serialNumber)
                                       .arg(devType);
             appSettings.setValue(QLatin1String(SettingsKey::SerialNumberFilter), serialNumber);
             syncSettings();
             return true;
         });
}

// ---------------------------------------------------------------- device updates, flash, debug

void HubroItem::sendDeviceUpdateStart(bool fast)
{
    const quint16 value = fast ? (deviceType() == 0 ? 40 : 10) : 100;
    send(MasterRequest::deviceUpdateMode(value), accepting(PT_DEVICE_SEND_DATA_ACK));
}

void HubroItem::sendDeviceUpdateEnd()
{
    send(MasterRequest::deviceUpdateMode(100), accepting(PT_DEVICE_SEND_DATA_ACK));
}

void HubroItem::eraseFlash()
{
    send(plainRequest(PT_FW_UPLOAD_ERASE_FLASH), [this](const Packet &reply) {
        const bool ok = packetTypeOf(reply) == PT_FW_UPLOAD_ERASE_FLASH_ACK;
        emit flashErasingStarted(ok);
        return ok;
    });
}

void HubroItem::enableDebugMode()
{
    send(plainRequest(PT_USB_DEBUG_MODE_ON), accepting(PT_USB_DEBUG_MODE_ON));
}

// ---------------------------------------------------------------- channel group

void HubroItem::setChannelGroup()
{
    const int current = channelGroup();
    QStringList groups{tr("Default"), tr("Group 1"), tr("Group 2"), tr("Group 3")};
    groups[current] += tr(" (Current)");

    QInputDialog dialog;
    dialog.setWindowTitle(tr("Set channel group"));
    // The padding widens the dialog.
    dialog.setLabelText(tr("Select channel group:") + QString(40, QLatin1Char(' ')));
    dialog.setComboBoxItems(groups);
    dialog.setComboBoxEditable(false);
    dialog.setTextValue(groups.at(current));
    const QPointer<HubroItem> self(this);
    const int result = UiSeams::execDialog(&dialog);
    if (!self || result != QDialog::Accepted)
        return;
    const int chosen = groups.indexOf(dialog.textValue());
    if (chosen < 0 || chosen == current)
        return;
    send(MasterRequest::withByte(PT_USB_CHANNEL_GROUP_SET, quint8(chosen)),
         [this, chosen](const Packet &reply) { return onChannelGroupAnswer(chosen, reply); });
}

bool HubroItem::onChannelGroupAnswer(int group, const Packet &reply)
{
    if (packetTypeOf(reply) != PT_USB_CHANNEL_GROUP_SET_ACK) {
        showLater(this, QMessageBox::Warning, tr("Failed to change channel group. Try to restart the device."),
                  tr("Error"));
        return false;
    }
    const int channel = HubroStatus::groupChannels(group).value(0);
    emit channelChanged(channel, false, false);
    send(MasterRequest::channelSet(0, quint8(channel)),
         [this](const Packet &answer) { return onGroupChannelAnswer(answer); });
    return true;
}

bool HubroItem::onGroupChannelAnswer(const Packet &reply)
{
    const bool ok = packetTypeOf(reply) == PT_USB_CHANNEL_SET_ACK;
    QTimer::singleShot(0, this, [this, ok] {
        const QPointer<HubroItem> self(this);
        if (!ok) {
            showWarningMessage(tr("Failed to change channel group. Try to restart the device."), tr("Error"));
            return;
        }
        showInformationMessage(tr("Channel group was set. The device will restart to apply the new settings. All "
                                  "devices will be lost and will need to be reconfigured."),
                               tr("Restart required!"));
        if (!self)
            return;
        reboot(RestartReconnectMs);
    });
    return ok;
}

// ---------------------------------------------------------------- password

void HubroItem::loginWithPassword()
{
    const QString hasPasswordKey = QLatin1String(SettingsKey::HasPassword);
    const QString serialKey = QLatin1String(SettingsKey::Serial);
    if (appSettings.contains(hasPasswordKey) && !appSettings.value(hasPasswordKey, false).toBool()) {
        const bool sameMaster = appSettings.contains(serialKey)
            && appSettings.value(serialKey).toUInt() == m_info.dwSerialId;
        appSettings.remove(hasPasswordKey);
        syncSettings();
        // The flag tells of the master whose configuration was saved last; for
        // another master the password is asked as usual.
        if (sameMaster) {
            removePassword(0);
            return;
        }
    }

    PasswordDialog dialog;
    const QPointer<HubroItem> self(this);
    const int result = UiSeams::execDialog(&dialog);
    if (!self)
        return;
    switch (result) {
    case QDialogButtonBox::Ok: {
        const quint64 hash = dialog.passwordHash();
        send(MasterRequest::login(hash), [this, hash](const Packet &reply) { return onLoginAnswer(hash, reply); });
        break;
    }
    case QDialogButtonBox::Reset:
        startConfigurationReset();
        break;
    default:
        emit masterDisconnect();
        break;
    }
}

bool HubroItem::onLoginAnswer(quint64 hash, const Packet &reply)
{
    switch (packetTypeOf(reply)) {
    case PT_PASSWORD_LOGIN_OK:
        appSettings.remove(QLatin1String(SettingsKey::HasPassword));
        appSettings.setValue(QLatin1String(SettingsKey::Ull), qulonglong(hash));
        syncSettings();
        qDebug().noquote() << QStringLiteral("LOGIN_OK: The hash updated");
        emit connected();
        emit loginSuccessfull();
        return true;
    case PT_PASSWORD_LOGIN_FAIL: {
        const quint64 stored = appSettings.value(QLatin1String(SettingsKey::Ull), 0).toULongLong();
        qDebug().noquote() << QStringLiteral("Login failed. (ull == hash) is %1").arg(stored == hash ? 1 : 0);
        if (stored == hash)
            onStoredHashRefused(hash);
        else
            QTimer::singleShot(0, this, &HubroItem::askAfterWrongPassword);
        return true;
    }
    default:
        return false;
    }
}

void HubroItem::onStoredHashRefused(quint64 hash)
{
    const QString serialKey = QLatin1String(SettingsKey::Serial);
    const bool hasSerial = appSettings.contains(serialKey);
    qDebug().noquote() << (hasSerial ? QStringLiteral("Configuration NOT checked")
                                     : QStringLiteral("Configuration checked"));
    if (hasSerial) {
        const quint32 stored = appSettings.value(serialKey).toUInt();
        if (stored == m_info.dwSerialId) {
            removePassword(hash);
        } else {
            qWarning().noquote() << QStringLiteral("WRONG SERIAL in setts =") << stored << QStringLiteral("in dev =")
                                 << m_info.dwSerialId;
            emit masterDisconnect();
        }
    } else if (m_connectionType == Bluetooth) {
        removePassword(hash);
    } else {
        emit masterDisconnect();
    }
    appSettings.remove(QLatin1String(SettingsKey::HasPassword));
    syncSettings();
}

void HubroItem::askAfterWrongPassword()
{
    const QPointer<HubroItem> self(this);
    const int answer = askQuestion(tr("If you forgot password, you can reset device configuration.\nWarning! All "
                                      "settings will be lost!"),
                                   tr("Incorrect password"),
                                   QMessageBox::Retry | QMessageBox::Cancel | QMessageBox::Reset, QMessageBox::Retry,
                                   QMessageBox::Cancel);
    if (!self)
        return;
    switch (answer) {
    case QMessageBox::Retry:
        loginWithPassword();
        break;
    case QMessageBox::Reset:
        startConfigurationReset();
        break;
    default:
        emit masterDisconnect();
        break;
    }
}

void HubroItem::removePassword(quint64 hash)
{
    qWarning().noquote() << QStringLiteral("The password will be removed.");
    send(plainRequest(PT_PASSWORD_REMOVE), [this, hash](const Packet &reply) {
        const bool ok = packetTypeOf(reply) == PT_PASSWORD_REMOVE_ACK;
        if (ok) {
            qDebug().noquote() << QStringLiteral("Password removed successfully");
            if (hash != 0)
                changePassword(0, hash, false);
        } else {
            showLater(this, QMessageBox::Warning, tr("Command PT_PASSWORD_REMOVE failed"), tr("Password removing"));
        }
        QTimer::singleShot(timings().reconnectedSignal, this, &HubroItem::connected);
        return ok;
    });
}

void HubroItem::changePassword(quint64 oldHash, quint64 newHash, bool showMessage)
{
    const bool enabled = isPasswordEnabled();
    if (!enabled)
        oldHash = 0;
    if (enabled && oldHash != 0 && newHash == 0) {
        const quint64 stored = appSettings.value(QLatin1String(SettingsKey::Ull), 0).toULongLong();
        if (stored != oldHash) {
            showWarningMessage(tr("The current password is entered incorrectly"), tr("Password removing"));
            emit removePasswordFailed();
            return;
        }
    }
    if ((oldHash == 0 && newHash == 0) || oldHash == newHash)
        return;

    send(MasterRequest::passwordChange(oldHash, newHash), [this, oldHash, newHash, showMessage](const Packet &reply) {
        switch (packetTypeOf(reply)) {
        case PT_PASSWORD_CHANGE_ACK: {
            appSettings.setValue(QLatin1String(SettingsKey::Ull), qulonglong(newHash));
            syncSettings();
            emit enableAction(true);
            QString text;
            if (oldHash != 0 && newHash == 0)
                text = tr("Password was removed");
            else if (oldHash == 0 && newHash != 0)
                text = tr("Password was set successfully");
            else
                text = tr("Password was change successfully");
            if (showMessage)
                showLater(this, QMessageBox::Information, text, tr("Success"));
            return true;
        }
        case PT_PASSWORD_CHANGE_FAIL:
            emit changePasswordFailed();
            return true;
        default:
            return false;
        }
    });
}

// ---------------------------------------------------------------- configuration reset

void HubroItem::startConfigurationReset()
{
    m_busy = true;
    connect(this, &HubroItem::hubroInfoUpdated, this, &HubroItem::onResetStatusArrived, Qt::UniqueConnection);
    requestStatus();
}

void HubroItem::onResetStatusArrived()
{
    disconnect(this, &HubroItem::hubroInfoUpdated, this, &HubroItem::onResetStatusArrived);
    // Out of the status callback: the questions below wait for the user.
    QTimer::singleShot(0, this, [this] {
        const QPointer<HubroItem> self(this);
        if (m_info.bCaseState == 0) {
            showInformationMessage(tr("To perform the reset procedure of the device configuration, it is necessary "
                                      "to open the case"),
                                   tr("Device configuration reset"));
            if (!self)
                return;
            m_busy = false;
            loginWithPassword();
            return;
        }
        const int answer = askUser(tr("Warning! All settings will be lost!\n\nWill be need to confirm by pressing "
                                      "case button."),
                                   tr("Are you sure you want to reset the configuration?"),
                                   tr("Device configuration reset"), QMessageBox::Yes | QMessageBox::No);
        if (!self)
            return;
        if (answer != QMessageBox::Yes) {
            m_busy = false;
            loginWithPassword();
            return;
        }
        emit settingsResetStarted();
        auto *process = new SettingsResetProcess(this);
        m_settingsReset = process;
        connect(process, &SettingsResetProcess::sendPacket, this, &DeviceItem::sendPacket);
        connect(process, &SettingsResetProcess::restartMaster, this, &HubroItem::reboot);
        connect(process, &SettingsResetProcess::closeConnection, this, &HubroItem::masterDisconnect);
        process->start();
    });
}

// ---------------------------------------------------------------- settings writer

void HubroItem::writeSetting(QtProperty *property)
{
    if (property == m_propPowerAdjustment) {
        send(MasterRequest::withByte(PT_HUBRO_POWER_ADJUSTMENT, quint8(m_editEnumManager->value(property))),
             [this](const Packet &reply) { return onSettingAnswer(reply); });
    } else if (property == m_propBluetooth) {
        const int value = m_editEnumManager->value(property);
        if (value != 1 && m_connectionType == Bluetooth) {
            m_busy = true;
            const QPointer<HubroItem> self(this);
            const int answer = askQuestion(tr("Are you sure you want to turn off Bluetooth? The wireless connection "
                                              "will be lost"),
                                           tr("Turning off Bluetooth"), QMessageBox::Yes | QMessageBox::No);
            if (!self)
                return;
            m_busy = false;
            if (answer != QMessageBox::Yes) {
                m_editEnumManager->setValue(property, 1);
                emit updateProperties(this);
                return;
            }
        }
        send(MasterRequest::withByte(PT_BT_DISABLE, value != 1 ? 1 : 0),
             [this](const Packet &reply) { return onSettingAnswer(reply); });
    } else if (property == m_propInterval) {
        const int seconds = m_intervals.value(m_editEnumManager->value(property), -1);
        if (seconds > 0)
            writeInterval(seconds);
    } else if (property == m_propChannel && !m_channelIsText) {
        const int value = HubroStatus::groupChannels(channelGroup()).value(m_editEnumManager->value(property), -1);
        if (value >= 0)
            writeChannel(value);
    } else if (property == m_propWireloopSupply && m_wireloopSupplyEditable) {
        const int value = m_editEnumManager->value(property);
        emit wireloopPowerModeChanged(value);
        send(MasterRequest::withByte(PT_WIRELOOP_POWER_MODE_SET, quint8(value)),
             [this](const Packet &reply) { return onSettingAnswer(reply); });
    }
}

void HubroItem::writeInterval(int seconds)
{
    emit intervalChanged(seconds);
    send(MasterRequest::exchangeInterval(HubroStatus::exchangeIntervalForSeconds(seconds)),
         [this](const Packet &reply) { return onSettingAnswer(reply); });
}

void HubroItem::writeChannel(int value)
{
    emit channelChanged(value, value == HubroStatus::AutoChannel, value == HubroStatus::DynamicChannel);
    quint8 mode = 0;
    int channel = value;
    if (value == HubroStatus::AutoChannel) {
        mode = 1;
        channel = HubroStatus::recommendedChannel(m_info);
    } else if (value == HubroStatus::DynamicChannel) {
        mode = 2;
        channel = HubroStatus::currentChannel(m_info);
    }
    send(MasterRequest::channelSet(mode, quint8(channel)), [this](const Packet &reply) { return onSettingAnswer(reply); });
}

bool HubroItem::onSettingAnswer(const Packet &reply)
{
    switch (packetTypeOf(reply)) {
    case PT_EXCHANGE_INTERVAL_ACK:
        askRestart(tr("Interval change"));
        return true;
    case PT_USB_CHANNEL_SET_ACK:
    case PT_WIRELOOP_POWER_MODE_SET_ACK:
    case PT_HUBRO_POWER_ADJUSTMENT_ACK:
        qDebug().noquote() << QStringLiteral("HUBRO settings saved");
        return true;
    case PT_BT_DISABLE_ACK:
        if (m_connectionType == Bluetooth)
            emit masterDisconnect();
        else if (m_propBluetooth && m_editEnumManager->value(m_propBluetooth) != 0)
            askRestart(tr("Bluetooth change"));
        return true;
    default:
        return false;
    }
}

void HubroItem::askRestart(const QString &title)
{
    // One question at a time; it is asked out of the reply callback.
    if (m_restartQuestionOpen)
        return;
    m_restartQuestionOpen = true;
    QTimer::singleShot(0, this, [this, title] {
        const QString text = tr("Reboot required") + QString(40, QLatin1Char(' '));
        const QString informative =
            tr("Your settings has been saved. Device should be restarted for settings to take effect. Restart now?");
        const QPointer<HubroItem> self(this);
        int answer = QMessageBox::No;
        if (UiSeams::messageBoxHook()) {
            answer = askUser(text, informative, title, QMessageBox::Yes | QMessageBox::No);
        } else {
            QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No);
            box.setInformativeText(informative);
            setSafeAnswers(box);
            // At least 660 x 520: a spacer under the rows and one beside them.
            if (auto *grid = qobject_cast<QGridLayout *>(box.layout())) {
                const int rows = grid->rowCount();
                const int columns = grid->columnCount();
                grid->addItem(new QSpacerItem(660, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), rows, 0, 1, columns);
                grid->addItem(new QSpacerItem(0, 520, QSizePolicy::Fixed, QSizePolicy::Minimum), 0, columns, rows + 1, 1);
            }
            m_reconnectPrompt = &box;
            answer = box.exec();
        }
        if (!self)
            return;
        m_restartQuestionOpen = false;
        if (answer == QMessageBox::Yes)
            reboot(RestartReconnectMs);
    });
}
