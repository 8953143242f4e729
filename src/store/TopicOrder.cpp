// SPDX-License-Identifier: GPL-3.0-or-later
#include "TopicOrder.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>

QStringList TopicOrder::sorted(QStringList topics)
{
    QCollator collator{QLocale(QLocale::Spanish, QLocale::Spain)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    std::stable_sort(topics.begin(), topics.end(),
                     [&collator](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
    return topics;
}
