// SPDX-License-Identifier: GPL-3.0-or-later
// The search dialog: its two faces, the letters and the marker that frames
// the chosen one, and what "Aceptar" lists in the results window.

#include "GuiSession.h"

#include "app/Forms.h"
#include "app/Module1.h"
#include "browse/Frm.h"
#include "browse/FrmVer.h"
#include "browse/RichTextView.h"
#include "browse/SelectionMarker.h"
#include "skin/TopicCombo.h"
#include "mainwin/MdiInicio.h"
#include "skin/MessageBox.h"
#include "skin/Notice.h"
#include "skin/PictureLabel.h"
#include "store/QuoteStore.h"
#include "store/TextRules.h"

#include <QAccessible>
#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QFile>
#include <QTest>
#include <QTimer>


namespace {

const QChar CR(u'\r');

QString block(const QString &frace, const QString &autor)
{
    return frace + CR + QStringLiteral("--") + autor + QStringLiteral("--") + CR + CR;
}

FrmVer *openDialog(bool portema)
{
    Module1::portema = portema;
    FrmVer *dialog = Forms::frmver();
    dialog->show();
    return QTest::qWaitForWindowExposed(dialog) ? dialog : nullptr;
}

QWidget *focusOwner(FrmVer *dialog)
{
    QWidget *focus = dialog->focusWidget();
    if (focus && focus == dialog->cbo1->lineEdit())
        return dialog->cbo1;
    return focus;
}

bool dialogGone()
{
    return QTest::qWaitFor([] { return Forms::frmverLoaded() == nullptr; });
}

PictureLabel *letterLabel(FrmVer *dialog, QChar letter)
{
    return dialog->findChild<PictureLabel *>(QStringLiteral("lbl") + letter.toLower());
}

void clickLetter(FrmVer *dialog, QChar letter)
{
    PictureLabel *label = letterLabel(dialog, letter);
    QVERIFY2(label, qPrintable(QString(letter)));
    QTest::mouseClick(label, Qt::LeftButton);
}

// The letter the marker frames: drawn around its label, about 3 px (50
// twips) left of it and level with its top; null when it frames none.
QChar framedLetter(FrmVer *dialog)
{
    for (QChar letter : TextRules::searchLetters()) {
        const QWidget *label = letterLabel(dialog, letter);
        if (label && dialog->SHP1->y() == label->y() && qAbs(label->x() - dialog->SHP1->x() - 3) <= 1)
            return letter;
    }
    return {};
}

// No letter framed: the marker waits outside the frame.
bool framesNothing(FrmVer *dialog)
{
    return framedLetter(dialog).isNull() && dialog->markedLetter().isNull()
           && !dialog->fra1->rect().intersects(dialog->SHP1->geometry());
}

// What a screen reader does instead of a click.
void press(QWidget *widget)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(iface && iface->actionInterface());
    iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
}

// The objects a screen reader finds directly in the window.
QObjectList accessibleChildren(QWidget *window)
{
    QObjectList children;
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(window);
    for (int i = 0; i < iface->childCount(); ++i)
        children << iface->child(i)->object();
    return children;
}

// A collection in which every listing fails while it is read: the text of
// one row lies on overflow pages (1024 bytes each), and one of them is
// damaged. Topic, Index and author come first and stay readable, so the
// topic list loads.
bool makeUnreadableCollection(const QString &path)
{
    const bool made = Fixture::makeCollection(
        path, "CREATE TABLE tabla1 (tema TEXT, \"Index\" INTEGER, autor TEXT, frace TEXT);"
              "INSERT INTO tabla1 VALUES ('VIDA', 1, 'Séneca', 'Una frase.');"
              "INSERT INTO tabla1 VALUES ('VIDA', NULL, 'Sócrates', 'Una frase larga' || hex(zeroblob(4000)));");
    QFile file(path);
    if (!made || !file.open(QIODevice::ReadWrite) || !file.seek(5 * 1024 + 512))
        return false;
    return file.write(QByteArray(64, '\x5a')) == 64;
}

} // namespace

class TstFrmVer : public QObject {
    Q_OBJECT

private slots:
    void faces_data();
    void faces();
    void topicListSorted_data();
    void topicListSorted();
    void letterPlaces_data();
    void letterPlaces();
    void letterClicks_data();
    void letterClicks();
    void reopenedDialogFramesNothing();
    void searchByInitial_data();
    void searchByInitial();
    void searchByTopic_data();
    void searchByTopic();
    void topicMessageThenSearch();
    void noLetterChosen();
    void whatClosesTheDialog_data();
    void whatClosesTheDialog();
    void unreadableCollection_data();
    void unreadableCollection();
    void fromMainWindow_data();
    void fromMainWindow();
};

void TstFrmVer::faces_data()
{
    QTest::addColumn<bool>("portema");
    QTest::addColumn<QString>("title");
    QTest::newRow("author") << false << "Seleccione la letra del autor";
    QTest::newRow("topic") << true << "Seleccione el tema de las frases";
}

void TstFrmVer::faces()
{
    QFETCH(bool, portema);
    QFETCH(QString, title);

    GuiSession session;
    FrmVer *dialog = openDialog(portema);
    QVERIFY(dialog);
    QCOMPARE(dialog->objectName(), QStringLiteral("frmver"));
    QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("lbltitulo"))->text(), title);
    QCOMPARE(dialog->findChild<QLabel *>(QStringLiteral("lbltitulo1"))->text(), title);
    QCOMPARE(dialog->fra1->isVisible(), !portema);
    QCOMPARE(dialog->fra2->isVisible(), portema);
    QCOMPARE(dialog->cbo1->currentText(), QStringLiteral("(Seleccionelo)"));
    QCOMPARE(dialog->cbo1->count(), portema ? 9 : 0);
    QCOMPARE(dialog->OKButton->text(), QStringLiteral("Aceptar"));
    QCOMPARE(dialog->CancelButton->text(), QStringLiteral("Cancelar"));
    QCOMPARE(dialog->Image12->toolTip(), QStringLiteral("Cerrar"));
    // Read by a screen reader: the title once, as the dialog's name and the
    // combo's; the close picture a button.
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(dialog);
    QCOMPARE(iface->role(), QAccessible::Dialog);
    QCOMPARE(iface->text(QAccessible::Name), title);
    QCOMPARE(QAccessible::queryAccessibleInterface(dialog->cbo1)->text(QAccessible::Name), title);
    const QObjectList children = accessibleChildren(dialog);
    QVERIFY(children.contains(dialog->lbltitulo));
    QVERIFY(!children.contains(dialog->lbltitulo1));
    QVERIFY(children.contains(dialog->Image12));
    QVERIFY(!children.contains(dialog->piece(QStringLiteral("Image11"))));
    QCOMPARE(QAccessible::queryAccessibleInterface(dialog->Image12)->role(), QAccessible::Button);
    QCOMPARE(QAccessible::queryAccessibleInterface(dialog->Image12)->text(QAccessible::Name), QStringLiteral("Cerrar"));
    QVERIFY(framesNothing(dialog));
    QCOMPARE(FrmVer::found(), 0);
    QVERIFY(MessageBox::recorded().isEmpty());
    // Created on reference only: the results window is not touched.
    QVERIFY(!Forms::frmLoaded());
}

void TstFrmVer::topicListSorted_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QStringList>("topics");
    QTest::newRow("quotes") << "quotes.mdb"
                            << QStringList{"AMISTAD", "AMISTAD", "amor", "ÉXITO", "L'AMOUR", "NIÑEZ", "PODER", "SABIDURIA", "VIDA"};
    QTest::newRow("empty") << "empty.mdb" << QStringList{};
}

void TstFrmVer::topicListSorted()
{
    QFETCH(QString, fixture);
    QFETCH(QStringList, topics);
    GuiSession session(fixture);
    FrmVer *dialog = openDialog(true);
    QVERIFY(dialog);
    QCOMPARE(dialog->cbo1->topics(), topics);
    QCOMPARE(dialog->cbo1->currentIndex(), -1);
    QCOMPARE(dialog->cbo1->currentText(), QStringLiteral("(Seleccionelo)"));
}

// Each letter a button of its own, in reading order: A to M on the first
// line, N to Z on the second.
void TstFrmVer::letterPlaces_data()
{
    QTest::addColumn<QChar>("letter");
    for (QChar letter : TextRules::searchLetters())
        QTest::newRow(qPrintable(QStringLiteral("lbl") + letter.toLower())) << letter;
}

void TstFrmVer::letterPlaces()
{
    QFETCH(QChar, letter);

    GuiSession session;
    FrmVer *dialog = openDialog(false);
    QVERIFY(dialog);
    QCOMPARE(dialog->letters().size(), 24);
    PictureLabel *label = letterLabel(dialog, letter);
    QVERIFY(label);
    QCOMPARE(label->parentWidget(), static_cast<QWidget *>(dialog->fra1));
    QVERIFY(dialog->fra1->rect().contains(label->geometry()));
    QCOMPARE(label->text(), QString(letter));
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(label);
    QCOMPARE(iface->role(), QAccessible::Button);
    QCOMPARE(iface->text(QAccessible::Name), QString(letter));
    const QString letters = TextRules::searchLetters();
    const qsizetype at = letters.indexOf(letter);
    const QRect place = label->geometry();
    if (at > 0) {
        const QRect before = letterLabel(dialog, letters.at(at - 1))->geometry();
        if (letter == QChar('N'))
            QVERIFY(place.top() > before.top() && place.left() < before.left());
        else
            QVERIFY(place.top() == before.top() && place.left() > before.right());
    }

    // A click frames this letter and only this one.
    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(framedLetter(dialog), letter);
    QCOMPARE(dialog->markedLetter(), letter);
}

void TstFrmVer::letterClicks_data()
{
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<QString>("typed"); // keys typed after the clicks, to the focused button
    QTest::addColumn<QString>("framed"); // after each click and key

    QTest::newRow("M then Z") << "MZ" << "" << "MZ";
    QTest::newRow("A then N") << "AN" << "" << "AN";
    QTest::newRow("same letter twice") << "CC" << "" << "CC";
    QTest::newRow("row two then row one") << "YB" << "" << "YB";
    // A small letter is pressed through a screen reader instead of clicked.
    QTest::newRow("M then Z pressed by a screen reader") << "Mz" << "" << "MZ";
    QTest::newRow("typed m") << "" << "m" << "M";
    QTest::newRow("typed Z, then a") << "" << "Za" << "ZA";
    QTest::newRow("typed accented vowels") << "" << QStringLiteral("éÚ") << "EU";
    QTest::newRow("a click, then a typed letter") << "B" << "y" << "BY";
    QTest::newRow("other keys choose nothing") << "C" << QStringLiteral("qxñ1?") << "CCCCCC";
}

void TstFrmVer::letterClicks()
{
    QFETCH(QString, clicks);
    QFETCH(QString, typed);
    QFETCH(QString, framed);
    const QChar chosen = framed.back();

    GuiSession session;
    FrmVer *dialog = openDialog(false);
    QVERIFY(dialog);
    for (int i = 0; i < clicks.size(); ++i) {
        const QChar letter = clicks.at(i);
        if (letter.isLower())
            press(letterLabel(dialog, letter));
        else
            clickLetter(dialog, letter);
        QTRY_COMPARE(framedLetter(dialog), framed.at(i));
    }
    for (int i = 0; i < typed.size(); ++i) {
        QWidget *focused = QApplication::focusWidget();
        QVERIFY(focused == dialog->OKButton || focused == dialog->CancelButton);
        // As the keyboard gives it, accented or not.
        const QChar key = typed.at(i).toUpper();
        QKeyEvent press(QEvent::KeyPress, key.unicode(), Qt::NoModifier, typed.mid(i, 1));
        QKeyEvent release(QEvent::KeyRelease, key.unicode(), Qt::NoModifier, typed.mid(i, 1));
        QApplication::sendEvent(focused, &press);
        QApplication::sendEvent(focused, &release);
        QTRY_COMPARE(framedLetter(dialog), framed.at(clicks.size() + i));
    }
    QCOMPARE(dialog->markedLetter(), chosen);
    // A screen reader hears the chosen letter, and only it, as checked.
    for (QChar letter : TextRules::searchLetters()) {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(letterLabel(dialog, letter));
        QVERIFY(iface->state().checkable);
        QCOMPARE(bool(iface->state().checked), letter == chosen);
    }
    // ... and is told it through a notification that shows, a single
    // pixel that takes no click.
    QAccessibleInterface *notice = QAccessible::queryAccessibleInterface(dialog->notice);
    QCOMPARE(notice->role(), QAccessible::Notification);
    QCOMPARE(notice->text(QAccessible::Name), QString(chosen) + QStringLiteral(", seleccionada"));
    QVERIFY(!notice->state().invisible);
    QCOMPARE(dialog->notice->size(), QSize(1, 1));
    QVERIFY(dialog->notice->testAttribute(Qt::WA_TransparentForMouseEvents));
    // Choosing changes nothing else.
    QVERIFY(MessageBox::recorded().isEmpty());
    QVERIFY(!Forms::frmLoaded());
    QVERIFY(dialog->isVisible());
}

void TstFrmVer::reopenedDialogFramesNothing()
{
    GuiSession session;
    FrmVer *dialog = openDialog(false);
    QVERIFY(dialog);
    clickLetter(dialog, QChar('M'));
    QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
    QVERIFY(dialogGone());
    QCOMPARE(FrmVer::chosenLetter(), QChar('M'));

    dialog = openDialog(false);
    QVERIFY(dialog);
    clickLetter(dialog, QChar('K'));
    QTest::mouseClick(dialog->CancelButton, Qt::LeftButton);
    QVERIFY(dialogGone());

    dialog = openDialog(false);
    QVERIFY(dialog);
    QVERIFY(framesNothing(dialog));
    // The letter of the last search survives the closings.
    QCOMPARE(FrmVer::chosenLetter(), QChar('M'));
}

void TstFrmVer::searchByInitial_data()
{
    QTest::addColumn<QChar>("letter");
    QTest::addColumn<QString>("counter");
    QTest::addColumn<QString>("text");

    QTest::newRow("A, accents and small letters included")
        << QChar('A') << "4 Frases encontradas con la inicial A"
        << block("La amistad es un alma que habita en dos cuerpos.", "Aristóteles")
               + block("Caminante, no hay camino, se hace camino al andar.", "antonio Machado")
               + block("El que no sabe lo que busca no entiende lo que encuentra.", "Ángel Ganivet")
               + block("Quien bien te quiere te hará llorar.", "ámbar Anónimo");
    QTest::newRow("S, a record without quotation")
        << QChar('S') << "2 Frases encontradas con la inicial S"
        << block("La suerte es lo que sucede cuando la preparación se encuentra con la oportunidad.", "Séneca")
               + block("", "Sin frase");
    QTest::newRow("N, never Ñ") << QChar('N') << "1 Frases encontradas con la inicial N"
                                << block("Lo que no me mata me hace más fuerte.", "Nietzsche");
    QTest::newRow("D, apostrophes") << QChar('D') << "1 Frases encontradas con la inicial D"
                                    << block("L'homme est un apprenti, la douleur est son maître.", "D'Alembert");
    QTest::newRow("Y, line break kept") << QChar('Y') << "1 Frases encontradas con la inicial Y"
                                        << block("Texto con\nsalto de línea.", "Yeats");
    QTest::newRow("Z, last of row two") << QChar('Z') << "1 Frases encontradas con la inicial Z"
                                        << block("El movimiento no existe.", "zenón de Elea");
    QTest::newRow("B, nothing found") << QChar('B') << "0 Frases encontradas con la inicial B" << "";
}

void TstFrmVer::searchByInitial()
{
    QFETCH(QChar, letter);
    QFETCH(QString, counter);
    QFETCH(QString, text);

    GuiSession session;
    FrmVer *dialog = openDialog(false);
    QVERIFY(dialog);
    clickLetter(dialog, letter);
    QTest::mouseClick(dialog->OKButton, Qt::LeftButton);

    QVERIFY(MessageBox::recorded().isEmpty());
    QVERIFY(dialogGone());
    Frm *frm = Forms::frmLoaded();
    QVERIFY(frm);
    QVERIFY(!frm->isHidden());
    QCOMPARE(frm->rtb1->text(), text);
    QCOMPARE(frm->lbl1->text(), counter);
    QCOMPARE(frm->lbl2->text(), counter);
    QCOMPARE(frm->windowTitle(), QStringLiteral("Por Autor"));
    QCOMPARE(FrmVer::chosenLetter(), letter);
}

void TstFrmVer::searchByTopic_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("picked"); // chosen from the list instead
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("counter");
    QTest::addColumn<QString>("searched");
    QTest::addColumn<QString>("firstBlock");

    QTest::newRow("small letters searched in capitals")
        << "vida" << "" << 7 << "7 Frases encontradas con el tema vida" << "VIDA"
        << block("Caminante, no hay camino, se hace camino al andar.", "antonio Machado");
    QTest::newRow("picked from the list") << "" << "VIDA" << 7 << "7 Frases encontradas con el tema VIDA" << "VIDA"
                                          << block("Caminante, no hay camino, se hace camino al andar.", "antonio Machado");
    QTest::newRow("apostrophe") << "L'AMOUR" << "" << 1 << "1 Frases encontradas con el tema L'AMOUR" << "L'AMOUR"
                                << block("L'homme est un apprenti, la douleur est son maître.", "D'Alembert");
    QTest::newRow("apostrophe, small letters")
        << "l'amour" << "" << 1 << "1 Frases encontradas con el tema l'amour" << "L'AMOUR"
        << block("L'homme est un apprenti, la douleur est son maître.", "D'Alembert");
    QTest::newRow("accented capitals") << "niñez" << "" << 2 << "2 Frases encontradas con el tema niñez" << "NIÑEZ"
                                       << block("Hay otros mundos, pero están en este.", "Éluard");
    QTest::newRow("topic never offered") << "Huerfano" << "" << 1 << "1 Frases encontradas con el tema Huerfano"
                                         << "HUERFANO"
                                         << block("Frase con tema que nunca tuvo Index 1.", "Marco Aurelio");
    QTest::newRow("design text in small letters is a topic")
        << "(seleccionelo)" << "" << 0 << "0 Frases encontradas con el tema (seleccionelo)" << "(SELECCIONELO)" << "";
    QTest::newRow("empty topic") << "" << "" << 0 << "0 Frases encontradas con el tema " << "" << "";
}

void TstFrmVer::searchByTopic()
{
    QFETCH(QString, typed);
    QFETCH(QString, picked);
    QFETCH(int, count);
    QFETCH(QString, counter);
    QFETCH(QString, searched);
    QFETCH(QString, firstBlock);

    GuiSession session;
    FrmVer *dialog = openDialog(true);
    QVERIFY(dialog);
    if (!picked.isEmpty()) {
        dialog->cbo1->setCurrentIndex(dialog->cbo1->findText(picked));
    } else {
        dialog->cbo1->lineEdit()->clear();
        dialog->cbo1->setFocus();
        // Typed as the user types it (QTest only types plain ASCII keys).
        for (QChar c : typed) {
            if (c.unicode() < 128)
                QTest::keyClick(dialog->cbo1->lineEdit(), c.toLatin1());
            else
                dialog->cbo1->lineEdit()->insert(QString(c));
        }
        QCOMPARE(dialog->cbo1->currentText(), typed);
    }
    QTest::mouseClick(dialog->OKButton, Qt::LeftButton);

    QVERIFY(MessageBox::recorded().isEmpty());
    QVERIFY(dialogGone());
    Frm *frm = Forms::frmLoaded();
    QVERIFY(frm);
    QVERIFY(!frm->isHidden());
    QCOMPARE(FrmVer::found(), count);
    QCOMPARE(FrmVer::lastQuery(), searched);
    QCOMPARE(frm->lbl1->text(), counter);
    QCOMPARE(frm->lbl2->text(), counter);
    QCOMPARE(frm->windowTitle(), QStringLiteral("Por Tema"));
    const QString text = frm->rtb1->text();
    if (firstBlock.isEmpty())
        QVERIFY2(text.isEmpty(), qPrintable(text.left(200)));
    else
        QVERIFY2(text.startsWith(firstBlock), qPrintable(text.left(200)));
    QCOMPARE(text.count(QStringLiteral("--") + CR + CR), count);
}

void TstFrmVer::topicMessageThenSearch()
{
    GuiSession session;
    FrmVer *dialog = openDialog(true);
    QVERIFY(dialog);
    dialog->OKButton->setFocus();
    QTest::mouseClick(dialog->OKButton, Qt::LeftButton);

    QList<MessageBox::Record> shown = MessageBox::recorded();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().text, QStringLiteral("Seleccione el tema porfavor"));
    QCOMPARE(shown.first().title, QStringLiteral("Sentalia"));
    QCOMPARE(shown.first().icon, MessageBox::Icon::Critical);
    QTRY_COMPARE(focusOwner(dialog), static_cast<QWidget *>(dialog->cbo1));
    QCOMPARE(Forms::frmverLoaded(), dialog);
    QVERIFY(dialog->isVisible());
    QVERIFY(!Forms::frmLoaded());

    // With a topic now chosen the search runs, counting from 0.
    dialog->cbo1->setCurrentIndex(dialog->cbo1->findText(QStringLiteral("PODER")));
    QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
    QCOMPARE(MessageBox::recorded().size(), 1);
    QVERIFY(dialogGone());
    QVERIFY(Forms::frmLoaded());
    QCOMPARE(Forms::frmLoaded()->lbl1->text(), QStringLiteral("1 Frases encontradas con el tema PODER"));
    QCOMPARE(Forms::frmLoaded()->rtb1->text(), block("Poderoso caballero es don Dinero.", "Quevedo"));
}

void TstFrmVer::noLetterChosen()
{
    GuiSession session;
    // A search earlier in the run leaves its letter behind...
    FrmVer *dialog = openDialog(false);
    QVERIFY(dialog);
    clickLetter(dialog, QChar('D'));
    QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
    QVERIFY(dialogGone());
    Frm *frm = Forms::frmLoaded();
    QVERIFY(frm);
    const QString text = frm->rtb1->text();

    // ...which must not be presented as the result of a search without one.
    dialog = openDialog(false);
    QVERIFY(dialog);
    QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
    const QList<MessageBox::Record> shown = MessageBox::recorded();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().text, QStringLiteral("Seleccione una letra porfavor"));
    QCOMPARE(shown.first().icon, MessageBox::Icon::Critical);
    QCOMPARE(Forms::frmverLoaded(), dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(frm->rtb1->text(), text);
    QCOMPARE(frm->lbl1->text(), QStringLiteral("1 Frases encontradas con la inicial D"));

    // A letter clicked afterwards is searched normally.
    clickLetter(dialog, QChar('C'));
    QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
    QVERIFY(dialogGone());
    QCOMPARE(frm->lbl1->text(), QStringLiteral("1 Frases encontradas con la inicial C"));
    QCOMPARE(frm->rtb1->text(), block("Un tema creado dos veces.", "Cicerón"));
}

void TstFrmVer::whatClosesTheDialog_data()
{
    // The face, the control that has the keyboard, the key (or a click, or
    // a screen reader's press), and the counter the results window then
    // shows (empty: nothing is listed); "stays": the dialog is still open.
    QTest::addColumn<bool>("portema");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("stays");
    QTest::addColumn<QString>("counter");

    // Only "Cancelar" and the close picture close the dialog, touching
    // nothing.
    const int click = 0;
    const int press = -1;
    QTest::newRow("author, Cancelar") << false << "CancelButton" << click << false << "";
    QTest::newRow("author, close picture") << false << "Image12" << click << false << "";
    QTest::newRow("topic, Cancelar") << true << "CancelButton" << click << false << "";
    QTest::newRow("topic, close picture") << true << "Image12" << click << false << "";
    QTest::newRow("topic, close picture pressed by a screen reader") << true << "Image12" << press << false << "";
    QTest::newRow("Esc on Aceptar") << false << "OKButton" << int(Qt::Key_Escape) << true << "";
    QTest::newRow("Esc on Cancelar") << false << "CancelButton" << int(Qt::Key_Escape) << true << "";
    QTest::newRow("Esc in the topic box") << true << "cbo1" << int(Qt::Key_Escape) << true << "";
    // Enter presses the focused button and no other.
    QTest::newRow("Enter on Aceptar") << false << "OKButton" << int(Qt::Key_Return) << false
                                      << "1 Frases encontradas con la inicial M";
    QTest::newRow("Enter on Cancelar") << false << "CancelButton" << int(Qt::Key_Return) << false << "";
    QTest::newRow("keypad Enter on Cancelar") << false << "CancelButton" << int(Qt::Key_Enter) << false << "";
    QTest::newRow("keypad Enter on Aceptar, topic face") << true << "OKButton" << int(Qt::Key_Enter) << false
                                                         << "1 Frases encontradas con el tema PODER";
    QTest::newRow("Enter in the topic box") << true << "cbo1" << int(Qt::Key_Return) << true << "";
}

void TstFrmVer::whatClosesTheDialog()
{
    QFETCH(bool, portema);
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(bool, stays);
    QFETCH(QString, counter);

    GuiSession session;
    // Closed, the dialog is gone.
    QPointer<FrmVer> dialog = openDialog(portema);
    QVERIFY(dialog);
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    if (portema)
        dialog->cbo1->setCurrentIndex(dialog->cbo1->findText(QStringLiteral("PODER")));
    else
        clickLetter(dialog, QChar('M'));
    auto *control = dialog->findChild<QWidget *>(focus);
    QVERIFY(control);
    if (key == 0) {
        QTest::mouseClick(control, Qt::LeftButton);
    } else if (key < 0) {
        press(control);
    } else {
        control->setFocus();
        QTRY_COMPARE(focusOwner(dialog), control);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    }
    if (stays) {
        QCoreApplication::processEvents();
        QVERIFY2(dialog && Forms::frmverLoaded() == dialog && dialog->isVisible(), "the dialog closed");
        // The choice is still there for the buttons.
        if (portema)
            QCOMPARE(dialog->cbo1->currentText(), QStringLiteral("PODER"));
        else
            QCOMPARE(dialog->markedLetter(), QChar('M'));
    } else {
        QVERIFY(dialogGone());
    }
    if (counter.isEmpty()) {
        QVERIFY(!Forms::frmLoaded());
    } else {
        QVERIFY(Forms::frmLoaded());
        QCOMPARE(Forms::frmLoaded()->lbl1->text(), counter);
    }
    QVERIFY(MessageBox::recorded().isEmpty());
}

void TstFrmVer::unreadableCollection_data()
{
    QTest::addColumn<bool>("portema");
    QTest::newRow("by initial") << false;
    QTest::newRow("by topic") << true;
}

void TstFrmVer::unreadableCollection()
{
    QFETCH(bool, portema);
    GuiSession session(QStringLiteral("quotes.mdb"), false);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("frase.mdb"));
    QVERIFY(makeUnreadableCollection(path));
    QuoteStore::OpenResult opened = QuoteStore::open(path);
    QVERIFY2(opened, qPrintable(opened.reason));
    Module1::db = std::move(opened.store);

    FrmVer *dialog = openDialog(portema);
    QVERIFY(dialog);
    if (portema) {
        dialog->cbo1->setEditText(QStringLiteral("vida"));
    } else {
        clickLetter(dialog, QChar('S'));
    }
    MessageBox::clearRecorded();
    QTest::mouseClick(dialog->OKButton, Qt::LeftButton);

    const QList<MessageBox::Record> shown = MessageBox::recorded();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().icon, MessageBox::Icon::Critical);
    QCOMPARE(shown.first().title, QStringLiteral("Sentalia"));
    QVERIFY2(shown.first().text.startsWith(QStringLiteral("No se pudieron leer las frases")),
             qPrintable(shown.first().text));
    // Nothing half listed; the dialog keeps the choice for another try.
    QVERIFY(!Forms::frmLoaded());
    QCOMPARE(Forms::frmverLoaded(), dialog);
    QVERIFY(dialog->isVisible());
    if (portema)
        QCOMPARE(dialog->cbo1->currentText(), QStringLiteral("vida"));
    else
        QCOMPARE(dialog->markedLetter(), QChar('S'));
}

void TstFrmVer::fromMainWindow_data()
{
    QTest::addColumn<bool>("portema");
    QTest::addColumn<QString>("counter");
    QTest::addColumn<QString>("caption");
    QTest::newRow("Por Autor") << false << "1 Frases encontradas con la inicial M" << "Por Autor";
    QTest::newRow("Por Tema") << true << "2 Frases encontradas con el tema amistad" << "Por Tema";
}

// The main window's entries open the dialog modal and carry on once
// "Aceptar" has listed and closed it.
void TstFrmVer::fromMainWindow()
{
    QFETCH(bool, portema);
    QFETCH(QString, counter);
    QFETCH(QString, caption);

    GuiSession session;
    MdiInicio *main = Forms::mdiinicio();
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main));
    Module1::portema = !portema; // the entry sets the mode itself

    bool modal = false;
    QTimer::singleShot(0, [&] {
        FrmVer *dialog = Forms::frmverLoaded();
        if (!dialog)
            return;
        modal = dialog->isModal() && dialog->isVisible();
        if (portema)
            dialog->cbo1->setEditText(QStringLiteral("amistad"));
        else
            clickLetter(dialog, QChar('M'));
        QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
    });
    if (portema)
        main->porTema();
    else
        main->porAutor();

    QVERIFY(modal);
    QCOMPARE(Module1::portema, portema);
    QVERIFY(!Forms::frmverLoaded());
    Frm *frm = Forms::frmLoaded();
    QVERIFY(frm);
    QTRY_VERIFY(frm->isVisible());
    QCOMPARE(frm->lbl1->text(), counter);
    QCOMPARE(frm->windowTitle(), caption);
    QVERIFY(MessageBox::recorded().isEmpty());
}

QTEST_MAIN(TstFrmVer)
#include "tst_frmver.moc"
