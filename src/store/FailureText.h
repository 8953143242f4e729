#pragma once

#include "QuoteStore.h"

#include <QString>

// The sentence a user reads when the collection fails: one per kind of
// failure, in Spanish, naming the file (or its folder, when the folder is
// what refuses). The engine's own words are for standard error only.
class FailureText {
public:
    static QString sentence(QuoteStore::Failure failure, const QString &path);
};
