// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "skin/SkinnedDialog.h"
#include "store/TextRules.h"

class PictureLabel;
class QLabel;
class QLineEdit;
class QPushButton;
class QuoteEdit;
class TitlePair;
class TopicCombo;

// The new-quote dialog: author, quotation and topic, the topic either
// picked from the existing ones or typed as a new one. "Aceptar" checks the
// inputs, stores one record and hands over to the record-created question.
class FrmNuevo : public SkinnedDialog {
    Q_OBJECT
public:
    static constexpr int MaxQuoteLength = TextRules::MaxQuoteLength;
    static constexpr const char *TopicDesignText = "(Seleccione tema)";

    FrmNuevo();

    // Modal, as every opening but one. A dialog already open (modeless,
    // after "Si" of the record-created question) is brought forward
    // instead of being opened a second time.
    static void openModal();
    // Modeless: after the record-created question's "Si".
    static void openModeless();

    // Event handlers.
    void Label5_Click();
    void txtautor_Enter();
    void cbo1_Enter();
    void OKButton_Click();
    void CancelButton_Click();
    void Image12_Click();

    // True while the topic is typed as a new one into txtema.
    bool temanuevo = false;

    QLineEdit *txtema = nullptr;
    TopicCombo *cbo1 = nullptr;
    QuoteEdit *txtfrace = nullptr;
    QLineEdit *txtautor = nullptr;
    QPushButton *CancelButton = nullptr;
    QPushButton *OKButton = nullptr;
    PictureLabel *Image12 = nullptr;
    PictureLabel *Label5 = nullptr;
    TitlePair *heading = nullptr;      // Label4 and its shadow Label6
    TitlePair *autorCaption = nullptr; // Label1 / Label7
    TitlePair *fraceCaption = nullptr; // Label8 / Label2
    TitlePair *temaCaption = nullptr;  // Label9 / Label3

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void fail(const QString &message, QWidget *focus);
    void save(const QString &tema);
};
