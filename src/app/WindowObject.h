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
    // A window freshly built by the composition root, seen both as its own
    // class and as a widget. They are one object; only the code that knows
    // the window's class can convert between the two.
    struct Built {
        W *window = nullptr;
        QWidget *widget = nullptr;
    };
    using Builder = Built (*)();

    W *get(Builder build)
    {
        if (!m_widget) {
            if (!build)
                qFatal("Sentalia: a window was referenced before the window builders were installed");
            const Built built = build();
            m_window = built.window;
            m_widget = built.widget;
            m_widget->setAttribute(Qt::WA_DeleteOnClose);
        }
        return m_window;
    }
    W *loaded() const { return m_widget ? m_window : nullptr; }
    void destroy()
    {
        delete m_widget.data();
        m_widget.clear();
        m_window = nullptr;
    }

private:
    // The widget side tells whether the window still exists: it clears
    // itself when the window closes and deletes itself.
    QPointer<QWidget> m_widget;
    W *m_window = nullptr;
};
