#pragma once

// Firmware containers: a text file with a description line, a base64 header
// line and base64 data lines, one scrambled block record per line. A combined
// file holds several containers, each followed by "\n---END_OF_VORL---\n".

#include "bootsectionheader.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QSharedPointer>
#include <QString>
#include <QTime>
#include <QVersionNumber>

#include <array>
#include <exception>

// ---- Descrambling key ------------------------------------------------------------

constexpr int FirmwareKeySize = 31;
using FirmwareKey = std::array<quint8, FirmwareKeySize>;

// The key this program was built with (all zero when the build was given none).
const FirmwareKey &builtInFirmwareKey();
bool hasBuiltInFirmwareKey();

// ---- Failures --------------------------------------------------------------------

// Every reading failure. The message is for the user and is read with
// message(); detail() says why when the message alone does not (why the file
// could not be opened); what() carries only the class name.
class vorl_exception : public std::exception
{
public:
    explicit vorl_exception(const QString &message, const QString &detail = QString())
        : m_message(message), m_detail(detail)
    {
    }
    QString message() const { return m_message; }
    QString detail() const { return m_detail; }
    const char *what() const noexcept override { return "vorl_exception"; }

private:
    QString m_message;
    QString m_detail;
};

class bad_format_exception : public vorl_exception
{
public:
    using vorl_exception::vorl_exception;
};

class not_exists_exception : public vorl_exception
{
public:
    using vorl_exception::vorl_exception;
};

// ---- Block records ---------------------------------------------------------------

// One data record: address, length byte as read, and the data after the
// address and length prefix.
class Block
{
public:
    virtual ~Block() = default;

    virtual quint8 checksum() const = 0;
    virtual void append(quint8 byte);
    virtual void prepend(quint8 byte);
    virtual QByteArray data() const;
    virtual quint32 address() const;
    virtual int size() const;
    virtual bool isValid() const;
    virtual QByteArray serialize() const = 0;
    virtual void setAddress(quint32 address);
    virtual int version() const = 0;

    // The whole record as decoded and descrambled.
    QByteArray raw() const { return m_raw; }
    // The length byte as read (not compared with the data's size).
    quint8 lengthByte() const { return m_length; }

protected:
    Block() = default;
    // 8-bit wrap-around sum of the data bytes.
    quint8 dataSum() const;

    QByteArray m_raw;
    QByteArray m_data;
    quint16 m_address = 0xFFFF;
    quint8 m_length = 0;
    bool m_valid = false;
};

// 16-bit address (bytes 0-1), length byte 2, data from byte 3.
class BlockV1 : public Block
{
public:
    static constexpr int PrefixSize = 3;
    // A record shorter than its prefix leaves the block invalid.
    explicit BlockV1(const QByteArray &record);

    quint8 checksum() const override { return dataSum(); }
    QByteArray serialize() const override;
    int version() const override { return 0; }
};

// 32-bit address (bytes 0-3), length byte 4, data from byte 5.
class BlockV2 : public Block
{
public:
    static constexpr int PrefixSize = 5;
    explicit BlockV2(const QByteArray &record);

    quint8 checksum() const override { return dataSum(); }
    quint32 address() const override { return m_address32; }
    QByteArray serialize() const override;
    void setAddress(quint32 address) override { m_address32 = address; }
    int version() const override { return 1; }

private:
    quint32 m_address32 = 0xFFFFFFFF;
};

using pBlock = QSharedPointer<Block>;

// ---- The container ---------------------------------------------------------------

struct Header
{
    QString name;               // the device name of the description line
    quint8 flags = 0;
    quint16 deviceType = 0;
    quint16 hardwareVersion = 0;
    quint16 firmwareVersion = 0;
    quint16 buildNumber = 0;
    QDateTime buildTime;        // local time
    quint32 firmwareSize = 0;
    quint16 reserved = 0;       // header bytes 22-23
};

// One container as read; never changed afterwards, shared through pVORL.
class VORL
{
    Q_DECLARE_TR_FUNCTIONS(VORL)
public:
    // Device type whose data lines are text, kept as they stand.
    static constexpr quint16 TextLinesDeviceType = 59;
    // Largest image assembled from the blocks; a larger one is left empty.
    static constexpr quint64 MaxImageSize = 16u * 1024u * 1024u;

    Header header() const { return m_header; }
    HUBRO32BootSectionHeader_t fileHeader() const { return bootSectionHeaderFromBytes(m_rawHeader); }
    QByteArray rawHeader() const { return m_rawHeader; }
    // The data lines as sent to the master, one packet each.
    QList<QByteArray> lines() const { return m_lines; }
    QList<pBlock> blocks() const { return m_blocks; }
    QByteArray image() const { return m_image; }
    quint32 minAddress() const { return m_minAddress; }
    quint32 maxAddress() const { return m_maxAddress; }

    // Low byte of the header's device type.
    int deviceType() const { return m_header.deviceType & 0xFF; }
    QVersionNumber hardwareVersion() const { return versionOfPackedWord(m_header.hardwareVersion); }
    QVersionNumber firmwareVersion() const { return versionOfPackedWord(m_header.firmwareVersion); }
    QDate date() const { return m_header.buildTime.date(); }
    QTime time() const { return m_header.buildTime.time(); }
    // The longest data line (0 without lines).
    int longestLine() const;

private:
    friend QSharedPointer<VORL> parseContainer(const QByteArray &, bool, const FirmwareKey &);

    Header m_header;
    QList<pBlock> m_blocks;
    QList<QByteArray> m_lines;
    QByteArray m_rawHeader;
    QByteArray m_image;
    quint32 m_minAddress = 0x7FFFFFFF;
    quint32 m_maxAddress = 0;
};

using pVORL = QSharedPointer<VORL>;

Q_DECLARE_METATYPE(Header)
Q_DECLARE_METATYPE(pVORL)

// Registers "Header", "pVORL" and "HUBRO32BootSectionHeader_t"; safe to repeat.
void registerFirmwareMetaTypes();

// Verifies the decoded header line (the 16-bit sum of all bytes but the last
// two equals the last two, little-endian) and returns its first 24 bytes.
// Throws bad_format_exception, also for a line shorter than 26 bytes.
HUBRO32BootSectionHeader_t checkHeaderSum(const QByteArray &headerLine);

// A container from the bytes of its file (a CR LF line end counts as LF).
// Pure: throws bad_format_exception for a broken container.
pVORL parseContainer(const QByteArray &content, bool descramble, const FirmwareKey &key = builtInFirmwareKey());

// The container pieces of a combined file (CR LF already read as LF): the
// bytes before each end marker, and after the last one when anything follows
// it. Throws bad_format_exception for an empty piece.
QList<QByteArray> splitCombinedFirmware(const QByteArray &content);

// One container file. Throws not_exists_exception, vorl_exception (cannot be
// opened) or bad_format_exception.
pVORL readContainer(const QString &path, bool descramble, const FirmwareKey &key = builtInFirmwareKey());

// Every container of a combined file (a plain container file gives one), in
// file order; any failure throws and returns nothing.
QList<pVORL> loadCombinedFirmware(const QString &path, bool descramble,
                                  const FirmwareKey &key = builtInFirmwareKey());
