#include "MdiInicio.h"

MdiInicio::MdiInicio()
{
    setObjectName(QStringLiteral("mdiinicio"));
}

