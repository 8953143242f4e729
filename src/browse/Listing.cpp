// SPDX-License-Identifier: GPL-3.0-or-later
#include "Listing.h"

#include "RichTextView.h"

#include <algorithm>

namespace {
const QChar CR(u'\r');
}

void Listing::add(const QString &frace, const QString &autor)
{
    // One growth and straight copies: a million quotations are appended
    // in a tenth of the time seven appends each would take.
    const qsizetype from = m_text.size();
    const qsizetype size = from + frace.size() + autor.size() + 7;
    if (size > m_text.capacity())
        m_text.reserve(qMax(size, 2 * m_text.capacity()));
    m_text.resize(size);
    char16_t *out = reinterpret_cast<char16_t *>(m_text.data()) + from;
    const auto put = [&out](const QString &part) {
        std::copy_n(reinterpret_cast<const char16_t *>(part.constData()), part.size(), out);
        out += part.size();
    };
    put(frace);
    *out++ = u'\r';
    *out++ = u'-';
    *out++ = u'-';
    put(autor);
    *out++ = u'-';
    *out++ = u'-';
    *out++ = u'\r';
    *out++ = u'\r';
    m_lines.append(m_text, from);
    ++m_count;
}

void Listing::reuse(QString buffer)
{
    if (!m_text.isEmpty())
        return;
    m_text = std::move(buffer);
    m_text.resize(0);
}

void Listing::moveInto(RichTextView *view)
{
    m_lines.finish(m_text.size());
    // A long text grew by doubling: what it never used goes back now.
    m_text.squeeze();
    QString text = std::move(m_text);
    m_text = QString();
    view->setText(text, std::move(m_lines));
    m_lines = LineIndex();
    m_count = 0;
}

QString Listing::block(const QString &frace, const QString &autor)
{
    return frace + CR + QLatin1String("--") + autor + QLatin1String("--");
}
