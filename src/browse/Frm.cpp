#include "Frm.h"

Frm::Frm()
{
    setObjectName(QStringLiteral("frm"));
}
void Frm::todos() {}
void Frm::imprimir() {}
