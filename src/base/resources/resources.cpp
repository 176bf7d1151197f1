#include "resources.h"

#include <QtGlobal>

static void initInGlobalNamespace()
{
    Q_INIT_RESOURCE(images);
    Q_INIT_RESOURCE(translations);
}

void initTandrelResources()
{
    static bool done = false;
    if (!done) {
        initInGlobalNamespace();
        done = true;
    }
}
