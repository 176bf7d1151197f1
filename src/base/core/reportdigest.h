#pragma once

#include <QByteArray>
#include <QString>

// The trailer that closes a system report: the SHA3-512 digest (FIPS 202) of
// every byte before it, as 128 hexadecimal characters with no line end.
namespace ReportDigest {

constexpr int TrailerSize = 128;

// The 128 lowercase hexadecimal characters of the digest of `body`.
QByteArray trailer(const QByteArray &body);
// `body` followed by its trailer.
QByteArray sign(const QByteArray &body);

// True when the last 128 bytes are the digest of the bytes before them, in
// either case of the hexadecimal digits. Shorter data or a trailer with a
// character that is no hexadecimal digit never matches.
bool isOriginal(const QByteArray &report);

// What a check of a report file found (see checkSystemReportFile).
enum class Verdict { Original, Altered, Unreadable };

} // namespace ReportDigest
