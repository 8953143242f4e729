#include "FrmNuevo.h"

FrmNuevo::FrmNuevo()
{
    setObjectName(QStringLiteral("frmnuevo"));
}

