#include "vorl.h"

#include "filelocker.h"

#include <QDebug>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>

// ---- Block records ---------------------------------------------------------------

void Block::append(quint8 byte)
{
    m_data.append(char(byte));
}

void Block::prepend(quint8 byte)
{
    m_data.prepend(char(byte));
}

QByteArray Block::data() const
{
    return m_data;
}

quint32 Block::address() const
{
    return m_address;
}

int Block::size() const
{
    return m_data.size();
}

bool Block::isValid() const
{
    return m_valid;
}

void Block::setAddress(quint32 address)
{
    m_address = quint16(address);
}

quint8 Block::dataSum() const
{
    quint8 sum = 0;
    for (const char c : m_data)
        sum = quint8(sum + quint8(c));
    return sum;
}

BlockV1::BlockV1(const QByteArray &record)
{
    m_raw = record;
    if (record.size() < PrefixSize)
        return;
    const auto *bytes = reinterpret_cast<const uchar *>(record.constData());
    m_address = qFromLittleEndian<quint16>(bytes);
    m_length = bytes[2];
    m_data = record.mid(PrefixSize);
    m_valid = true;
}

QByteArray BlockV1::serialize() const
{
    QByteArray bytes(PrefixSize, '\0');
    qToLittleEndian<quint16>(m_address, reinterpret_cast<uchar *>(bytes.data()));
    bytes[2] = char(quint8(m_data.size()));
    return bytes + m_data;
}

BlockV2::BlockV2(const QByteArray &record)
{
    m_raw = record;
    if (record.size() < PrefixSize)
        return;
    const auto *bytes = reinterpret_cast<const uchar *>(record.constData());
    m_address32 = qFromLittleEndian<quint32>(bytes);
    m_length = bytes[4];
    m_data = record.mid(PrefixSize);
    m_valid = true;
}

QByteArray BlockV2::serialize() const
{
    QByteArray bytes(PrefixSize, '\0');
    qToLittleEndian<quint32>(m_address32, reinterpret_cast<uchar *>(bytes.data()));
    bytes[4] = char(quint8(m_data.size()));
    return bytes + m_data;
}

// ---- The container ---------------------------------------------------------------

int VORL::longestLine() const
{
    int longest = 0;
    for (const QByteArray &line : m_lines)
        longest = std::max(longest, line.size());
    return longest;
}

void registerFirmwareMetaTypes()
{
    qRegisterMetaType<Header>("Header");
    qRegisterMetaType<pVORL>("pVORL");
    registerBootSectionHeaderMetaType();
}

namespace {

const QByteArray EndMarker = QByteArrayLiteral("\n---END_OF_VORL---\n");
constexpr int HeaderLineSize = BootSectionHeaderSize + 2;

// The lines of a text file, each with its LF (the last one may lack it).
QList<QByteArray> textLines(QByteArray text)
{
    text.replace("\r\n", "\n");
    QList<QByteArray> lines;
    int start = 0;
    while (start < text.size()) {
        const int end = text.indexOf('\n', start);
        const int next = end < 0 ? text.size() : end + 1;
        lines << text.mid(start, next - start);
        start = next;
    }
    return lines;
}

quint16 sum16(const QByteArray &bytes, int count)
{
    quint16 sum = 0;
    for (int i = 0; i < count; ++i)
        sum = quint16(sum + quint8(bytes.at(i)));
    return sum;
}

QString deviceNameOf(const QString &description)
{
    const QString afterDevice = description.split(QStringLiteral("Device: ")).last();
    return afterDevice.split(QStringLiteral(", HW:")).first();
}

// The image the blocks make, in list order: gaps filled with 0xFF, a block
// below the position appended without a gap. Its size is worked out first:
// blocks far apart would otherwise ask for gigabytes.
QByteArray assembleImage(const QList<pBlock> &blocks, quint32 minAddress, quint32 maxAddress)
{
    quint64 size = 0;
    quint64 position = minAddress;
    for (const pBlock &block : blocks) {
        const quint64 address = block->address();
        if (address > position)
            size += address - position;
        position = address + quint64(block->size());
        size += quint64(block->size());
    }
    if (position < maxAddress)
        size += maxAddress - position;
    if (size > VORL::MaxImageSize) {
        qWarning().noquote() << QStringLiteral("Firmware image of %1 bytes (blocks from 0x%2 to 0x%3) not assembled")
                                    .arg(size)
                                    .arg(minAddress, 0, 16)
                                    .arg(maxAddress, 0, 16);
        return QByteArray();
    }

    QByteArray image;
    image.reserve(int(size));
    position = minAddress;
    for (const pBlock &block : blocks) {
        const quint64 address = block->address();
        if (address > position)
            image.append(int(address - position), char(0xFF));
        position = address + quint64(block->size());
        image.append(block->data());
    }
    if (position < maxAddress)
        image.append(int(maxAddress - position), char(0xFF));
    return image;
}

} // namespace

HUBRO32BootSectionHeader_t checkHeaderSum(const QByteArray &headerLine)
{
    if (headerLine.size() < HeaderLineSize)
        throw bad_format_exception(VORL::tr("Header is too short"));
    const int covered = headerLine.size() - 2;
    const quint16 stored = qFromLittleEndian<quint16>(reinterpret_cast<const uchar *>(headerLine.constData()) + covered);
    if (sum16(headerLine, covered) != stored)
        throw bad_format_exception(VORL::tr("Header crc is broken"));
    return bootSectionHeaderFromBytes(headerLine);
}

pVORL parseContainer(const QByteArray &content, bool descramble, const FirmwareKey &key)
{
    const QList<QByteArray> lines = textLines(content);
    const QString description = lines.isEmpty() ? QString() : QString::fromUtf8(lines.at(0));
    const QByteArray headerLine = lines.size() > 1 ? QByteArray::fromBase64(lines.at(1)) : QByteArray();
    const HUBRO32BootSectionHeader_t fileHeader = checkHeaderSum(headerLine);

    pVORL vorl(new VORL);
    vorl->m_rawHeader = headerLine;
    Header &header = vorl->m_header;
    header.buildTime = QDateTime::fromSecsSinceEpoch(qint64(fileHeader.buildTime));
    header.name = deviceNameOf(description);
    header.flags = fileHeader.flags;
    header.deviceType = fileHeader.deviceType;
    header.hardwareVersion = fileHeader.hardwareVersion;
    header.firmwareVersion = fileHeader.firmwareVersion;
    header.buildNumber = fileHeader.buildNumber;
    header.firmwareSize = fileHeader.firmwareSize;
    header.reserved = fileHeader.reserved3;

    const bool textData = header.deviceType == VORL::TextLinesDeviceType;
    const bool wideAddresses = (header.flags & 0x01) != 0;
    quint16 firmwareSum = 0;
    int keyPosition = 0;
    for (int n = 2; n < lines.size(); ++n) {
        const QByteArray line = textData ? lines.at(n) : QByteArray::fromBase64(lines.at(n));
        firmwareSum = quint16(firmwareSum + sum16(line, line.size()));
        if (line.isEmpty())
            continue;
        if (!descramble)
            vorl->m_lines << line;
        QByteArray record = line;
        for (char &c : record) {
            c = char(quint8(c) ^ key[size_t(keyPosition)]);
            keyPosition = (keyPosition + 1) % FirmwareKeySize;
        }
        if (descramble)
            vorl->m_lines << record;
        if (textData)
            continue;

        const int prefix = wideAddresses ? BlockV2::PrefixSize : BlockV1::PrefixSize;
        if (record.size() < prefix)
            throw bad_format_exception(VORL::tr("Data record in line %1 is too short").arg(n + 1));
        pBlock block = wideAddresses ? pBlock(new BlockV2(record)) : pBlock(new BlockV1(record));
        vorl->m_minAddress = std::min(vorl->m_minAddress, block->address());
        if (block->size() > 0) {
            const quint64 last = quint64(block->address()) + quint64(block->size()) - 1;
            vorl->m_maxAddress = quint32(std::max<quint64>(vorl->m_maxAddress, std::min<quint64>(last, 0xFFFFFFFFu)));
        }
        vorl->m_blocks << block;
    }
    if (textData)
        return vorl;

    vorl->m_image = assembleImage(vorl->m_blocks, vorl->m_minAddress, vorl->m_maxAddress);
    if (firmwareSum != fileHeader.firmwareSum)
        throw bad_format_exception(VORL::tr("CRC Check error for firmware: %1").arg(description));
    return vorl;
}

QList<QByteArray> splitCombinedFirmware(const QByteArray &content)
{
    QList<QByteArray> pieces;
    int position = 0;
    bool found = true;
    while (position < content.size() && found) {
        const int marker = content.indexOf(EndMarker, position);
        found = marker >= 0;
        const int end = found ? marker : content.size();
        if (end == position)
            throw bad_format_exception(VORL::tr("Empty firmware in combined file"));
        pieces << content.mid(position, end - position);
        position = found ? marker + EndMarker.size() : content.size();
    }
    return pieces;
}

namespace {

// The file's bytes as a text-mode read gives them: CR LF read as LF.
QByteArray readTextFile(const QString &path)
{
    // Regular files only, opened without blocking: a pipe given a container's
    // name would hold the window until something writes to it.
    QString error;
    QByteArray content = FileLocker::readRegularFile(path, &error);
    if (!error.isEmpty()) {
        qWarning().noquote() << error;
        throw vorl_exception(VORL::tr("Cannot open file"), error);
    }
    content.replace("\r\n", "\n");
    return content;
}

} // namespace

pVORL readContainer(const QString &path, bool descramble, const FirmwareKey &key)
{
    if (!QFileInfo::exists(path))
        throw not_exists_exception(VORL::tr("file does not exists"));
    return parseContainer(readTextFile(path), descramble, key);
}

QList<pVORL> loadCombinedFirmware(const QString &path, bool descramble, const FirmwareKey &key)
{
    QList<pVORL> containers;
    for (const QByteArray &piece : splitCombinedFirmware(readTextFile(path)))
        containers << parseContainer(piece, descramble, key);
    return containers;
}
