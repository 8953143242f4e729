// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "skin/SkinnedDialog.h"

class PictureLabel;
class QLabel;
class QLineEdit;
class QPushButton;
class TitlePair;

// The first window of a run: asks for the user's name. A name leads on to
// the splash screen, an empty one to the name-required message, and
// "Cancelar" (or the close picture) to the farewell.
class User : public SkinnedDialog {
    Q_OBJECT
public:
    // The longest name the box takes.
    static constexpr int MaxNameLength = 30;

    User();

    QLineEdit *txtnombre;
    QPushButton *CancelButton;
    QPushButton *OKButton;
    PictureLabel *Image4;
    QLabel *lbl1;
    QLabel *Label1;
    PictureLabel *imgico;

public slots:
    // Esc: "Cancelar" is not a cancel button; the key does nothing.
    void reject() override;

protected:
    // Closing by the window system leaves the program as "Cancelar" does;
    // otherwise it would go on running with no window at all.
    void closeEvent(QCloseEvent *event) override;

private:
    void OKButton_Click();
    void CancelButton_Click();
    void closeDialog();

    TitlePair *m_title;
    bool m_closing = false;
};
