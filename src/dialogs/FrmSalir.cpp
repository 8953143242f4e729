#include "FrmSalir.h"

FrmSalir::FrmSalir()
{
    setObjectName(QStringLiteral("frmsalir"));
}
void FrmSalir::nuevo() {}
void FrmSalir::nombre() {}
void FrmSalir::error() {}
