// Fuzz target for the report check: the digest trailer that closes a report.
// Input: a report file's bytes.

#include "fuzzsupport.h"
#include "reportdigest.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 100000)
        return 0;
    const QByteArray report = inputBytes(data, size);
    const bool original = ReportDigest::isOriginal(report);
    if (report.size() < ReportDigest::TrailerSize) {
        require(!original);
    } else {
        // Original exactly when the trailer is the digest of the rest, in either case.
        const QByteArray body = report.left(report.size() - ReportDigest::TrailerSize);
        const QByteArray trailer = report.right(ReportDigest::TrailerSize);
        const QByteArray digest = ReportDigest::trailer(body);
        require(original == (trailer.toLower() == digest && QByteArray::fromHex(trailer).size() == 64));
    }
    // What is signed checks out, and no longer once a byte of it changes.
    const QByteArray signedReport = ReportDigest::sign(report);
    require(signedReport.size() == report.size() + ReportDigest::TrailerSize);
    require(ReportDigest::isOriginal(signedReport));
    require(ReportDigest::isOriginal(report + ReportDigest::trailer(report).toUpper()));
    if (!report.isEmpty()) {
        QByteArray altered = signedReport;
        const int at = int(size_t(data[0]) * 7919 % size_t(report.size()));
        altered[at] = char(altered.at(at) ^ 0x01);
        require(!ReportDigest::isOriginal(altered));
    }
    return 0;
}
