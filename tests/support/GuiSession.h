// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Fixture.h"

#include <QString>
#include <QStringList>

// Everything a window test needs around it: a private collection opened
// into Module1::db, the program folder pointing at it, message boxes
// recorded instead of shown, the end of the program counted instead of
// performed, and every window destroyed afterwards.
class GuiSession {
public:
    explicit GuiSession(const QString &fixture = QStringLiteral("quotes.mdb"), bool openDatabase = true);
    ~GuiSession();

    const Fixture &fixture() const { return m_fixture; }
    int endRequests() const { return s_endRequests; }

    // Object names of the visible top-level windows, sorted.
    static QStringList visibleWindows();

    // Reopens the collection (after the store was released) to look at it.
    void closeDatabase();

private:
    Fixture m_fixture;
    static int s_endRequests;
};
