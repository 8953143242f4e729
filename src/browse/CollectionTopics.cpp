// SPDX-License-Identifier: GPL-3.0-or-later
#include "CollectionTopics.h"

#include "app/Module1.h"
#include "app/StoreMessage.h"
#include "skin/TopicCombo.h"
#include "store/QuoteStore.h"

void CollectionTopics::fill(TopicCombo *box)
{
    QStringList list;
    if (Module1::db && Module1::db->topicList(&list)) {
        box->setTopics(list);
    } else {
        box->setTopics({});
        StoreMessage::show(QStringLiteral("No se pudo leer la lista de temas."));
    }
}
