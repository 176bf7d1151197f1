#include "actionopeners.h"

#include <QHash>

namespace ActionOpeners {

namespace {
QHash<int, Opener> &openers()
{
    static QHash<int, Opener> table;
    return table;
}
} // namespace

void registerOpener(int actionId, Opener opener)
{
    if (opener)
        openers().insert(actionId, std::move(opener));
    else
        openers().remove(actionId);
}

bool hasOpener(int actionId)
{
    return openers().contains(actionId);
}

bool open(int actionId, DeviceItem *item)
{
    // A copy: the opener may register or clear openers while it runs.
    const Opener opener = openers().value(actionId);
    if (!opener || !item)
        return false;
    opener(item);
    return true;
}

void clear()
{
    openers().clear();
}

} // namespace ActionOpeners
