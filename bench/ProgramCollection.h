// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/Module1.h"
#include "store/QuoteStore.h"

#include <QString>

namespace BenchData {

// Opens PATH as the program's own collection (Module1::db).
inline void openAsProgramCollection(const QString &path)
{
    QuoteStore::OpenResult opened = QuoteStore::open(path);
    if (!opened)
        qFatal("cannot open %s: %s", qPrintable(path), qPrintable(opened.reason));
    Module1::db = std::move(opened.store);
}

} // namespace BenchData
