#include "app/appresources.h"

#include <QtGlobal>

static void RegisterResources()
{
    Q_INIT_RESOURCE(resources);
}

void InitAppResources()
{
    static const bool registered = (RegisterResources(), true);
    Q_UNUSED(registered);
}
