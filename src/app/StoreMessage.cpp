// SPDX-License-Identifier: GPL-3.0-or-later
#include "StoreMessage.h"

#include "Module1.h"
#include "skin/MessageBox.h"
#include "store/FailureText.h"
#include "store/QuoteStore.h"

#include <QtDebug>

void StoreMessage::show(const QString &what, QWidget *parent)
{
    QString sentence = QStringLiteral("No hay ninguna base de datos abierta.");
    if (const QuoteStore *store = Module1::db.get()) {
        qWarning().noquote() << "Sentalia:" << store->path() << "-" << store->lastError();
        const QuoteStore::Failure failure = store->lastFailure();
        sentence = FailureText::sentence(failure == QuoteStore::Failure::None ? QuoteStore::Failure::Other : failure,
                                         store->path());
    }
    MessageBox::show(what + QStringLiteral("\n\n") + sentence, MessageBox::Icon::Critical, parent);
}
