#include "FrmAbout.h"

FrmAbout::FrmAbout()
{
    setObjectName(QStringLiteral("frmAbout"));
}

