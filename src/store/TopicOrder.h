// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

// The order in which topic lists show their topics: alphabetical by Spanish
// collation, case and accents ignored in the first pass ("amor" sits among
// the A's, "ÉXITO" among the E's, "NIÑEZ" after every N...); topics equal
// in that sense keep the order they were given in.
class TopicOrder {
public:
    static QStringList sorted(QStringList topics);
};
