// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QTest>

// Twips to pixels, for expectations written in the designs' units.
inline double px(double twips)
{
    return twips / 15.0;
}

// A pixel value within one pixel of a position or size given in twips.
#define NEAR_PX(actual, twips)                                                                                     \
    do {                                                                                                           \
        const double want_ = px(twips);                                                                            \
        const int got_ = (actual);                                                                                 \
        if (qAbs(got_ - want_) > 1.01)                                                                             \
            QFAIL(qPrintable(QStringLiteral("%1 is %2 px, expected %3 px (%4 twips)")                              \
                                 .arg(QString::fromLatin1(#actual))                                                \
                                 .arg(got_)                                                                        \
                                 .arg(want_)                                                                       \
                                 .arg(twips)));                                                                    \
    } while (false)
