#include "StoreMessage.h"

#include "Module1.h"
#include "skin/MessageBox.h"
#include "store/QuoteStore.h"

void StoreMessage::show(const QString &what, QWidget *parent)
{
    const QString detail = Module1::db ? Module1::db->lastError()
                                       : QStringLiteral("No hay ninguna base de datos abierta.");
    MessageBox::show(what + QStringLiteral("\n\n") + detail, MessageBox::Icon::Critical, parent);
}
