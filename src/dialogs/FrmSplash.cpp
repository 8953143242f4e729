#include "FrmSplash.h"

FrmSplash::FrmSplash()
{
    setObjectName(QStringLiteral("frmSplash"));
}

