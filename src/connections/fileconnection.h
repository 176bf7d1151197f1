#pragma once

#include "configurationfilereader.h"
#include "connection.h"
#include "filelocker.h"

#include <QJsonObject>
#include <QString>
#include <QVariant>

#include <memory>
#include <utility>

// A configuration file opened as an offline master: the master item and one
// item per stored device are built from the file (link state 3), the file is
// held locked against every other opener while the connection lasts, and
// every edit the items report is written back into it at once.
//
// A write-back replaces the file whole without letting go of the lock (see
// FileLocker::replaceContents); when it fails, the file on disk stays as it
// was and the user is warned once per edit. Once the file turns out to have
// been removed or replaced by another program, nothing more is written.
// When another program has changed the file's contents since they were read
// here, the edit is not written: the user is asked whether to overwrite the
// file with the edits (Overwrite) or to take the file as it now is (Reload,
// the default: reloadRequested()). Edits made while the question is open are
// kept in the document and go with an overwrite.
class FileConnection : public Connection
{
    Q_OBJECT
public:
    explicit FileConnection(QObject *parent = nullptr);
    ~FileConnection() override;

    // `address` is the file's path; `masterType` is not used. On failure the
    // file is released and nothing of the connection changes.
    bool connectToMaster(ConnectionType type, const QString &address, MasterType masterType) override;
    bool disconnectFromMaster() override;
    // Drops the master and the devices and releases the file.
    void forceDisconnect() override;
    // Takes the device out of the file and out of the connection.
    void removeDevice(int address) override;

    // The file's document as last read or edited.
    QJsonObject document() const { return m_document; }
    bool isFileLocked() const { return m_locker && m_locker->isLocked(); }
    // False once the file was found removed or replaced: edits stay unsaved.
    bool isWritable() const { return !m_writeRefused; }

    // Sets one key of the "master" object, or of every device element whose
    // "id" is radioAddress, and writes the file back.
    void updateMasterValue(const QString &key, const QVariant &value);
    void updateDeviceValue(int radioAddress, const QString &key, const QVariant &value);

signals:
    // The user chose to drop the unsaved edits and open the file again as
    // another program left it; the connection writes nothing more.
    void reloadRequested(const QString &path);

public slots:
    void updateWireloopAddress(int radioAddress, int value);
    void updateMasterWireloopAddress(int radioAddress, int value);
    void updateMasterInterval(int value);
    void updateMasterChannel(int value, bool autoMode, bool dynamicMode);
    void updateWireloopPowerMode(bool value);

private:
    bool loadConfigurationFile();
    // Why a document cannot be opened (unknown master model, device entries
    // that do not read, more entries than addresses); empty when it can.
    QString contentProblem(const QJsonObject &document) const;
    void addDevice(const QJsonObject &element, const ConfigurationFileReader::Vocabulary &vocabulary);
    void setMasterValues(const QList<std::pair<QString, QJsonValue>> &values);
    // Another program's change to the file is overwritten only when told so.
    void writeBack(bool overwriteChanges = false);
    void warnUser(const QString &text, const QString &details);
    void askAboutOutsideChange();
    void detachItems();

    QJsonObject m_document;
    std::unique_ptr<FileLocker> m_locker;
    int m_fileMasterType = 0; // the type code read from "device"
    bool m_writeRefused = false;
    bool m_warningPending = false;
    bool m_changeQuestionPending = false;
};
