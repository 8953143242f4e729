// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "QuoteStore.h"

#include <QString>

// The sentence a user reads when the collection fails: one per kind of
// failure, in Spanish, naming the file (or its folder, when the folder is
// what refuses). The engine's own words are for standard error only.
class FailureText {
public:
    // detail, when given, is the store's Spanish reason; the sentences of
    // failures whose cause varies (a foreign table, an unreachable file)
    // include it.
    static QString sentence(QuoteStore::Failure failure, const QString &path, const QString &detail = QString());

    // The system's error number as a Spanish phrase ("no hay permiso"),
    // for every reason the program and the tool meet; an unknown number
    // gives the system's own words.
    static QString systemReason(int error);
    // The same for the engine's result codes (primary or extended).
    static QString engineReason(int resultCode);
};
