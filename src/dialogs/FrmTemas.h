// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "skin/SkinnedDialog.h"

#include <QString>
#include <QUrl>

class PictureLabel;
class QLabel;
class QTextBrowser;
class TitlePair;

// The help window: the help pages of the folder Ayuda beside the program,
// shown from their entry page on every opening. Links between the pages
// are followed inside the window; addresses on the web and mail addresses
// go to the desktop's browser and mail program.
class FrmTemas : public SkinnedDialog {
    Q_OBJECT
public:
    FrmTemas();

    // The address of the entry page: the program folder, then Ayuda and
    // default.htm joined with the platform's separator.
    static QString entryAddress();

    QTextBrowser *web;
    QLabel *Label1;
    QLabel *Label2;
    PictureLabel *Image15;
    PictureLabel *Image9; // close picture

protected:
    // Esc does nothing: the window has no cancel button, and only the close
    // picture closes it.
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Image9_Click();
    void web_AnchorClicked(const QUrl &url);
    void navigate(const QUrl &url);

    TitlePair *m_title;
};
