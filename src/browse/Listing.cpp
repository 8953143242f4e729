// SPDX-License-Identifier: GPL-3.0-or-later
#include "Listing.h"

namespace {
const QChar CR(u'\r');
}

void Listing::add(const QString &frace, const QString &autor)
{
    m_text += frace;
    m_text += CR;
    m_text += QLatin1String("--");
    m_text += autor;
    m_text += QLatin1String("--");
    m_text += CR;
    m_text += CR;
    ++m_count;
}

QString Listing::block(const QString &frace, const QString &autor)
{
    return frace + CR + QLatin1String("--") + autor + QLatin1String("--");
}
