#include "FrmTemas.h"

FrmTemas::FrmTemas()
{
    setObjectName(QStringLiteral("frmtemas"));
}

