// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class TopicCombo;

// The topic list of the open collection, as the search and new-quote
// dialogs show it.
class CollectionTopics {
public:
    // Fills the box from the open collection's topic list; when the
    // collection fails, the list stays empty and the user is told why.
    static void fill(TopicCombo *box);
};
