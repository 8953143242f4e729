// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

// A program-wide window: built from its design on first reference (its
// constructor is its load step), destroyed when it closes, and built afresh
// on the next reference. Values a window must keep across closings live in
// static members of its class, not in the widget.
template <class W>
class WindowObject {
public:
    W *get()
    {
        if (!m_window) {
            m_window = new W();
            m_window->setAttribute(Qt::WA_DeleteOnClose);
        }
        return m_window;
    }
    W *loaded() const { return m_window.data(); }
    void destroy()
    {
        delete m_window.data();
        m_window.clear();
    }

private:
    QPointer<W> m_window;
};
