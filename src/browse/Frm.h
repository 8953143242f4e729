// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "skin/TwipsBox.h"

#include <QMdiSubWindow>
#include <QPixmap>

class PictureLabel;
class QLabel;
class RichTextView;

// The results window: a child of the main window's document area, shown
// maximized as soon as it is built, with no buttons of its own (its close
// picture is the way out). A banner and a tool bar across the top, the
// counter box beneath them, the listing on a parchment and a dedication
// line under it; the layout follows the window's size.
class Frm : public QMdiSubWindow {
    Q_OBJECT
public:
    Frm();

    // Lists every quotation of the collection.
    void todos();
    // Prints the selected part of the listing, or all of it.
    void imprimir();

    // The counter text: lbl1 first, the counter box follows it, then lbl2.
    void setCounterLine(const QString &line);
    // "Todos", "Por Autor" or "Por Tema".
    void setCaption(const QString &caption);

    // The window's own area, on which every element lies.
    QWidget *client() const { return m_client; }

    RichTextView *rtb1 = nullptr;
    QLabel *lbl1 = nullptr;
    QLabel *lbl2 = nullptr;

    PictureLabel *pct1 = nullptr;
    PictureLabel *imgnuevo = nullptr;
    PictureLabel *imgprint = nullptr;
    PictureLabel *imgrun = nullptr;
    PictureLabel *imgcerrar = nullptr;
    PictureLabel *pct2 = nullptr;
    PictureLabel *Image2 = nullptr;
    PictureLabel *img1a = nullptr;
    PictureLabel *img2a = nullptr;
    PictureLabel *imgprint2 = nullptr;
    PictureLabel *imgprint1 = nullptr;
    PictureLabel *img1 = nullptr;
    PictureLabel *Image1 = nullptr;
    QLabel *lbldedi = nullptr;
    QLabel *lbldedi1 = nullptr;
    PictureLabel *img2 = nullptr;
    PictureLabel *imgper = nullptr;

    // The count of the listing of every quotation.
    qint64 encontrados() const { return m_encontrados; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // After a long listing gave way and the next could not be read: the
    // window shows no quotation, and its counter says so.
    void showNothing();
    void layoutWindow();
    void layoutCounterBox();
    void showMenu(QMenu *menu, const QPoint &globalPos);

    QWidget *m_client = nullptr;
    QPixmap m_background;
    qint64 m_encontrados = 0;
    bool m_printing = false;

    TwipsBox m_pct1;
    TwipsBox m_rtb1;
    TwipsBox m_pct2;
    TwipsBox m_lbl1;
    TwipsBox m_lbl2;
    TwipsBox m_Image2;
    TwipsBox m_img1a;
    TwipsBox m_img2a;
    TwipsBox m_img1;
    TwipsBox m_Image1;
    TwipsBox m_lbldedi;
    TwipsBox m_lbldedi1;
    TwipsBox m_img2;
    TwipsBox m_imgper;
};
