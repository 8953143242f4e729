// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Counts in messages, singular or plural as Spanish needs: "1 frase",
// "2 frases"; "Borrada 1 frase", "Borradas 3 frases".
class Wording {
public:
    // "N one" when N is 1, "N many" otherwise.
    static QString count(qint64 n, const char *one, const char *many);
    // one or many alone, as N asks.
    static QString agree(qint64 n, const char *one, const char *many);
};
