// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BenchData.h"

#include "app/FormBuilders.h"
#include "app/Module1.h"
#include "skin/MessageBox.h"
#include "store/QuoteStore.h"

#include <QApplication>
#include <QFont>
#include <QString>
#include <QTemporaryDir>

namespace BenchData {

// Opens PATH as the program's own collection (Module1::db).
inline void openAsProgramCollection(const QString &path)
{
    QuoteStore::OpenResult opened = QuoteStore::open(path);
    if (!opened)
        qFatal("cannot open %s: %s", qPrintable(path), qPrintable(opened.reason));
    Module1::db = std::move(opened.store);
}

// Before the application object: the offscreen platform unless told.
inline void offscreenUnlessTold()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// After it: the windows as the program builds them, its font, message
// boxes recorded instead of shown, and a collection of RECORDS quotations
// made in DIR and opened as the program's own.
inline void startProgram(const QTemporaryDir &dir, int records)
{
    FormBuilders::install();
    QApplication::setQuitOnLastWindowClosed(false);
    QFont::insertSubstitution(QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"));
    const QString path = dir.filePath(QStringLiteral("frase.mdb"));
    build(path, records);
    openAsProgramCollection(path);
    MessageBox::setRecording(true);
}

} // namespace BenchData
