#include "FrmVer.h"

FrmVer::FrmVer()
{
    setObjectName(QStringLiteral("frmver"));
}

