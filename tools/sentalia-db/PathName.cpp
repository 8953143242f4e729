// SPDX-License-Identifier: GPL-3.0-or-later
#include "PathName.h"

namespace {

// Length of the well-formed UTF-8 sequence that starts at bytes[at], or 0.
qsizetype sequenceLength(const QByteArray &bytes, qsizetype at)
{
    const auto byte = [&](qsizetype i) { return uchar(bytes.at(i)); };
    const uchar lead = byte(at);
    qsizetype length = 0;
    uchar low = 0x80;
    uchar high = 0xBF;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // no overlong forms
        else if (lead == 0xED)
            high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F; // nothing beyond U+10FFFF
    } else {
        return 0;
    }
    if (at + length > bytes.size())
        return 0;
    if (byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (qsizetype i = 2; i < length; ++i) {
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF)
            return 0;
    }
    return length;
}

} // namespace

QString PathName::display(const QByteArray &path)
{
    QString shown;
    qsizetype at = 0;
    while (at < path.size()) {
        const qsizetype length = sequenceLength(path, at);
        if (length == 0) {
            shown += QStringLiteral("\\x") + QString::number(uchar(path.at(at)), 16).toUpper().rightJustified(2, u'0');
            ++at;
        } else {
            shown += QString::fromUtf8(path.constData() + at, length);
            at += length;
        }
    }
    return shown;
}

QString PathName::text(const QByteArray &path)
{
    for (qsizetype at = 0; at < path.size();) {
        const qsizetype length = sequenceLength(path, at);
        if (length == 0)
            return QString::fromLatin1(path);
        at += length;
    }
    return QString::fromUtf8(path);
}

bool PathName::isCollection(const QByteArray &path)
{
    return path.toLower().endsWith(".mdb");
}
