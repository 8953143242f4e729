// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "skin/SkinnedDialog.h"

#include <QtGlobal>

class PictureLabel;
class MessageLabel;
class Notice;
class QLabel;
class QPushButton;
class QTimer;
class TitlePair;

// The program's own message dialog, always modeless and one window object
// for the whole run. A fresh window asks the exit question; nuevo(),
// nombre() and error() switch it to the record-created question, the
// name-required message and the no-database message. Its last mode is the
// farewell, after which the end timer ends the program on its 21st tick.
class FrmSalir : public SkinnedDialog {
    Q_OBJECT
public:
    enum class Mode { ExitQuestion, RecordCreated, NameRequired, NoDatabase };

    FrmSalir();

    // Each shows the window (building it first if needed) and switches it.
    void nuevo();
    void nombre();
    void error();
    // The farewell started by the user-name dialog's "Cancelar" and close
    // picture: the main window is not touched.
    void farewellFromUser();

    // One tick of the end timer: the tick that finds contador at 20 ends
    // the program; every other tick counts.
    void Timer1_Timer();

    Mode mode() const { return m_mode; }
    bool inFarewell() const { return m_farewell; }
    qint16 ticks() const { return contador; }

    // Showing an open dialog keeps its mode and brings it forward.
    void setVisible(bool visible) override;

    QPushButton *cmdconec;
    QPushButton *cmdaceptar;
    QPushButton *cmdno;
    QPushButton *cmdsi;
    QPushButton *CancelButton;
    QPushButton *OKButton;
    QTimer *Timer1;
    PictureLabel *imgerror;
    PictureLabel *imgicon2;
    PictureLabel *imgicon1;
    PictureLabel *Image11;
    QLabel *lbltitulo;
    QLabel *lbltitulo1;
    PictureLabel *imgico;
    MessageLabel *lblcuestion;
    PictureLabel *imgicon;
    // Tells screen readers the farewell, which no control with the focus
    // says any more.
    Notice *notice;

public slots:
    // Esc: the dialog has no cancel button.
    void reject() override;

protected:
    // A close request of the window system (Alt+F4) acts as the close
    // picture in the questions, as "Aceptar" in the no-database message,
    // and is refused during the farewell.
    void closeEvent(QCloseEvent *event) override;

private:
    void OKButton_Click();
    void CancelButton_Click();
    void Image11_Click();
    void imgerror_Click();
    void cmdsi_Click();
    void cmdno_Click();
    void cmdaceptar_Click();
    void cmdconec_Click();

    void farewellFromNoDatabase();
    void enterFarewell();
    void startEndTimer();
    void setQuestionTop(int twips);
    void closeDialog();

    TitlePair *m_title;
    qint16 contador = 0;
    Mode m_mode = Mode::ExitQuestion;
    bool m_farewell = false;
    bool m_closing = false;
};
