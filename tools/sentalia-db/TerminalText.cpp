// SPDX-License-Identifier: GPL-3.0-or-later
#include "TerminalText.h"

#include <QStringDecoder>

#include <cerrno>
#include <iconv.h>
#include <langinfo.h>

namespace {

QByteArray &cachedCharset()
{
    static QByteArray name;
    return name;
}

bool isUtf8Name(const QByteArray &name)
{
    const QByteArray upper = name.toUpper();
    // ASCII is what C and POSIX give; a terminal under them is, in
    // practice, UTF-8.
    return upper.isEmpty() || upper == "UTF-8" || upper == "UTF8" || upper == "ANSI_X3.4-1968"
        || upper == "ASCII" || upper == "US-ASCII";
}

// Converts bytes with an iconv descriptor; on a byte sequence the target
// lacks, writes replacement (if any) and skips one character of the source
// (step tells how long it is). False when a sequence is invalid and no
// replacement is given.
bool convert(iconv_t cd, const QByteArray &in, QByteArray *out, const char *replacement,
             qsizetype (*step)(const char *, qsizetype))
{
    out->clear();
    char *source = const_cast<char *>(in.constData());
    size_t left = size_t(in.size());
    QByteArray buffer(qMax<qsizetype>(64, in.size() * 4), Qt::Uninitialized);
    while (left > 0) {
        char *target = buffer.data();
        size_t room = size_t(buffer.size());
        const size_t done = ::iconv(cd, &source, &left, &target, &room);
        out->append(buffer.constData(), buffer.size() - qsizetype(room));
        if (done != size_t(-1))
            continue;
        if (errno == E2BIG)
            continue;
        if (!replacement || errno == EINVAL)
            return false;
        out->append(replacement);
        const qsizetype skip = step(source, qsizetype(left));
        source += skip;
        left -= size_t(skip);
    }
    return true;
}

// The length of the UTF-8 sequence at the start of text.
qsizetype utf8Step(const char *text, qsizetype left)
{
    const auto lead = static_cast<unsigned char>(text[0]);
    const qsizetype length = lead < 0xc0 ? 1 : lead < 0xe0 ? 2 : lead < 0xf0 ? 3 : 4;
    return qMin(length, left);
}

} // namespace

QByteArray TerminalText::charset()
{
    QByteArray &name = cachedCharset();
    if (name.isEmpty()) {
        const char *codeset = ::nl_langinfo(CODESET);
        name = codeset && !isUtf8Name(codeset) ? QByteArray(codeset) : QByteArrayLiteral("UTF-8");
    }
    return name;
}

bool TerminalText::isUtf8()
{
    return charset() == "UTF-8";
}

void TerminalText::reset()
{
    cachedCharset().clear();
}

bool TerminalText::decode(const QByteArray &bytes, QString *text)
{
    if (isUtf8()) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        *text = decoder.decode(bytes);
        return !decoder.hasError();
    }
    const iconv_t cd = ::iconv_open("UTF-8", charset().constData());
    if (cd == iconv_t(-1)) {
        *text = QString::fromLatin1(bytes);
        return true;
    }
    QByteArray utf8;
    const bool ok = convert(cd, bytes, &utf8, nullptr, nullptr);
    ::iconv_close(cd);
    *text = QString::fromUtf8(utf8);
    return ok;
}

QByteArray TerminalText::encode(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    if (isUtf8())
        return utf8;
    const iconv_t cd = ::iconv_open(charset().constData(), "UTF-8");
    if (cd == iconv_t(-1))
        return utf8;
    QByteArray out;
    convert(cd, utf8, &out, "?", utf8Step);
    ::iconv_close(cd);
    return out;
}
