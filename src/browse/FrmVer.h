// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "skin/SkinnedDialog.h"

#include <QChar>
#include <QList>
#include <QPoint>
#include <QString>

class Notice;
class PictureLabel;
class QFrame;
class QLabel;
class QPushButton;
class SelectionMarker;
class TitlePair;
class TopicCombo;

// The search dialog: one of 24 author initials (letter face) or a topic
// (topic face), chosen at load from Module1::portema. "Aceptar" lists the
// quotations found in the results window and closes the dialog.
class FrmVer : public SkinnedDialog {
    Q_OBJECT
public:
    static constexpr const char *TopicDesignText = "(Seleccionelo)";

    // A letter label and its place inside fra1, in twips.
    struct Letter {
        QChar letter;
        int left;
        int top;
        PictureLabel *label;
    };

    FrmVer();

    // Event handlers. A letter typed in the letter face (either case, an
    // accented vowel as its plain letter) chooses it as its click does.
    void letter_Click(int index);
    void OKButton_Click();
    void CancelButton_Click();
    void Image12_Click();

    // The letter the marker frames (its left edge 50 twips before the
    // label's), tested in the order of the letters; a null QChar when the
    // marker frames none.
    QChar markedLetter() const;
    const QList<Letter> &letters() const { return m_letters; }
    const Letter *letterFor(QChar letter) const;

    // What the last search of the run found and asked for; kept across
    // closings of the dialog.
    static qint64 found() { return s_found; }
    static QString lastQuery() { return s_query; }
    static QChar chosenLetter() { return s_letter; }

    TitlePair *titulo = nullptr; // lbltitulo and its shadow lbltitulo1
    QLabel *lbltitulo = nullptr;
    QLabel *lbltitulo1 = nullptr;
    QFrame *fra1 = nullptr;
    SelectionMarker *SHP1 = nullptr;
    QFrame *fra2 = nullptr;
    TopicCombo *cbo1 = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;
    PictureLabel *Image12 = nullptr;
    // Tells screen readers the letter just chosen ("M, seleccionada").
    Notice *notice = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void searchTopic();
    void searchInitial();

    QList<Letter> m_letters;

    static qint64 s_found;
    static QString s_query;
    static QChar s_letter;
};
