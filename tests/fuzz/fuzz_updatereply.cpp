// Fuzz target for the reader of the update service's reply: the "products"
// list and the records of its products. Input: the reply's bytes.

#include "fuzzsupport.h"
#include "networkmanager.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    quietLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 200000)
        return 0;
    const NetworkManager::UpdateReply reply = NetworkManager::readUpdateReply(inputBytes(data, size));
    // Every reply ends the check: a list, an error, or both (a list cut short).
    require(reply.listed || !reply.error.isEmpty());
    require(reply.listed || reply.records.isEmpty());
    static const QStringList keys = {QStringLiteral("name"), QStringLiteral("user_var"), QStringLiteral("curr_ver"),
                                     QStringLiteral("date"), QStringLiteral("descr"), QStringLiteral("link"),
                                     QStringLiteral("link_file"), QStringLiteral("error")};
    for (const QMap<QString, QString> &record : reply.records)
        for (auto it = record.begin(); it != record.end(); ++it)
            require(keys.contains(it.key()));
    return 0;
}
