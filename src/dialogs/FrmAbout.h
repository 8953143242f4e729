// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "skin/SkinnedDialog.h"

#include <QString>

class PictureLabel;
class QFrame;
class QLabel;
class QPushButton;
class TitlePair;

// The about box: title and version, what the program is for, the
// dedication and the authors, the authors' web page and mail address, a
// hidden panel about the authors, and a button that starts the system's
// information tool. Every way of closing it destroys it, so it always
// opens with the panel hidden.
class FrmAbout : public SkinnedDialog {
    Q_OBJECT
public:
    // Where the authors are found.
    static constexpr const char *WebAddress = "https://sentalia.example.org/";
    static constexpr const char *MailAddress = "equipo@sentalia.example.org";

    // Where the system-information tool is registered.
    static constexpr const char *gREGKEYSYSINFOLOC = "SOFTWARE\\Microsoft\\Shared Tools Location";
    static constexpr const char *gREGVALSYSINFOLOC = "MSINFO";
    static constexpr const char *gREGKEYSYSINFO = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
    static constexpr const char *gREGVALSYSINFO = "PATH";
    // Rights asked when opening a key: query and set values, create and
    // enumerate sub-keys, notify, create links, read control.
    static constexpr quint32 KEY_ALL_ACCESS = 0x2003F;

    FrmAbout();

    // Starts the system-information tool, or says that it is unavailable.
    void StartSysInfo();
    // Reads the value SubKeyRef of the key KeyName below the root KeyRoot
    // into KeyVal as text. True when the value was read; a key or value
    // that cannot be read empties KeyVal.
    bool GetKeyValue(quint32 KeyRoot, const QString &KeyName, const QString &SubKeyRef, QString &KeyVal);

    // Frame pieces with a part to play.
    PictureLabel *Image13; // close picture
    PictureLabel *imgico;

    TitlePair *titlePair;
    QLabel *lbltitle2;
    QLabel *lbltitle1;

    QLabel *lblDisclaimer;
    QLabel *lblVersion;
    QFrame *Line1[2];
    QLabel *lblTitle;
    QLabel *lblDescription;
    PictureLabel *Label5;
    QLabel *Label6;
    PictureLabel *Label9;
    QPushButton *cmdSysInfo;
    QPushButton *cmdOK;
    QLabel *picIcon;

    // The authors' panel and what it holds.
    QFrame *fra;
    PictureLabel *Image14;
    PictureLabel *Image1;
    PictureLabel *Label1;
    PictureLabel *Label2;
    PictureLabel *Label3;
    PictureLabel *Label4;
    PictureLabel *Label7;
    PictureLabel *Label8;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void Label5_Click();
    void Label8_Click();
    void Label9_Click();
    void hidePanel();
};
