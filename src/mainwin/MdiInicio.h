// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "skin/TwipsBox.h"

#include <QMainWindow>
#include <QPixmap>

class PictureLabel;
class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QTimer;

// The frame of the working phase: a maximized window whose document area
// holds the results window, with the menu bar, three hidden menus that serve
// as context menus, and a status bar with a welcome text, today's date and
// a running clock. It never closes: a close request asks the exit question.
class MdiInicio : public QMainWindow {
    Q_OBJECT
public:
    MdiInicio();

    QMdiArea *mdiArea() const { return m_mdiArea; }

    // Menu bar.
    QMenu *mnuarchivo = nullptr;
    QAction *mnunuevo = nullptr;
    QAction *mnu1 = nullptr;
    QAction *mnusalir = nullptr;
    QMenu *mnuver = nullptr;
    QAction *mnuautor = nullptr;
    QAction *mnutitulo = nullptr;
    QAction *mnu = nullptr;
    QAction *mnutodos = nullptr;
    QMenu *mnuayuda = nullptr;
    QAction *mnuacerca = nullptr;
    QAction *mnutemas = nullptr;

    // Hidden menus, shown only as context menus.
    QMenu *mnuoculto = nullptr;
    QAction *mnunueva1 = nullptr;
    QAction *mnu2 = nullptr;
    QMenu *mnuver1 = nullptr;
    QAction *mnuautor1 = nullptr;
    QAction *mnutema1 = nullptr;
    QAction *mnutodos1 = nullptr;
    QAction *mnu3 = nullptr;
    QMenu *mnuayuda1 = nullptr;
    QAction *mnuacerca1 = nullptr;
    QAction *mnutemas1 = nullptr;
    QAction *mnuu = nullptr;
    QAction *mnusalir1 = nullptr;
    QMenu *mnuprint = nullptr;
    QAction *mnuimprimir1 = nullptr;
    QMenu *mnuoculto1 = nullptr;
    QAction *mnuautor2 = nullptr;
    QAction *mnutema2 = nullptr;
    QAction *mnu4 = nullptr;
    QAction *mnutodos2 = nullptr;

    // Status bar.
    QWidget *Picture1 = nullptr;
    QWidget *pct3 = nullptr;
    QLabel *lblestado = nullptr;
    PictureLabel *Image2 = nullptr;
    PictureLabel *pct2 = nullptr;
    QLabel *lbldate = nullptr;
    PictureLabel *pct1 = nullptr;
    QLabel *lbltime = nullptr;
    PictureLabel *Image1 = nullptr;
    PictureLabel *img1 = nullptr;
    QTimer *Timer1 = nullptr;

    // The actions the entries run.
    void nuevaFrase();
    void porAutor();
    void porTema();
    void verTodos();
    void imprimirEncontrados();
    void acercaDe();
    void temasAyuda();
    void salirPregunta();

    // One tick of the clock.
    void Timer1_Timer();

    // The time of day and the date as the user's regional settings write
    // them: hours, minutes and seconds; the short date.
    static QString timeText(const QTime &time);
    static QString dateText(const QDate &date);

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildStatusBar();
    void composeCaption();
    void layoutStatusBar();
    void fitBackground();

    QMdiArea *m_mdiArea = nullptr;
    QPixmap m_background;   // the picture, once at the top left
    QSize m_backgroundArea; // the white sheet it lies on
    bool m_shownOnce = false;

    // Status-bar elements in twips.
    TwipsBox m_pct3;
    TwipsBox m_lblestado;
    TwipsBox m_Image2;
    TwipsBox m_pct2;
    TwipsBox m_lbldate;
    TwipsBox m_pct1;
    TwipsBox m_lbltime;
    TwipsBox m_Image1;
    TwipsBox m_img1;
};
