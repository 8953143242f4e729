// SPDX-License-Identifier: GPL-3.0-or-later
// The new-quote dialog: what a screen reader meets, its checks and their
// order, its keys, the two ways of giving the topic, the quotation's length
// limit, what reaches the collection, and what happens when the collection
// refuses the record.

#include "GuiSession.h"

#include "app/Forms.h"
#include "app/Module1.h"
#include "skin/TopicCombo.h"
#include "entry/FrmNuevo.h"
#include "entry/QuoteEdit.h"
#include "skin/Artwork.h"
#include "skin/MessageBox.h"
#include "skin/PictureLabel.h"
#include "store/FailureText.h"
#include "store/QuoteStore.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QTest>
#include <QWindow>
#include <QTimer>

#include <csignal>
#include <sys/resource.h>


namespace {

const QString NoAuthor = QStringLiteral("Debe ingresar el nombre del autor");
const QString NoQuote = QStringLiteral("No se puede guardar una frase en blanco, ingresela porfavor");
const QString NoTopic = QStringLiteral("Seleccione el tema a guardar porfavor");
const QString NoNewTopic = QStringLiteral("Ingrese el tema a guardar porfavor");

QList<QuoteRecord> records()
{
    QList<QuoteRecord> all;
    Module1::db->forEachRecord([&all](const QuoteRecord &r) { all << r; });
    return all;
}

FrmNuevo *openDialog()
{
    FrmNuevo::openModeless();
    FrmNuevo *dialog = Forms::frmnuevoLoaded();
    if (dialog && !QTest::qWaitForWindowExposed(dialog))
        return nullptr;
    return dialog;
}

// The control that holds the dialog's focus (an editable combo box may hand
// it to its edit field).
QWidget *focusOwner(FrmNuevo *dialog)
{
    QWidget *focus = dialog->focusWidget();
    if (focus && focus == dialog->cbo1->lineEdit())
        return dialog->cbo1;
    return focus;
}

// Waits until the dialog is gone after a save or a close.
bool dialogGone()
{
    return QTest::qWaitFor([] { return Forms::frmnuevoLoaded() == nullptr; });
}

// A collection whose tabla1 refuses every new record (a check that only
// the record already there passes; the store refuses triggers).
bool makeRefusingCollection(const QString &path)
{
    return Fixture::makeCollection(path,
                                   "CREATE TABLE tabla1 (autor TEXT, frace TEXT, tema TEXT, \"Index\" INTEGER,"
                                   " CONSTRAINT \"tabla1 no admite registros nuevos\" CHECK (frace = 'Una frase.'));"
                                   "INSERT INTO tabla1 VALUES ('Séneca', 'Una frase.', 'VIDA', 1);");
}

} // namespace

class TstFrmNuevo : public QObject {
    Q_OBJECT

private slots:
    void designState();
    void controls_data();
    void controls();
    void focusOrder();
    void checks_data();
    void checks();
    void keys_data();
    void keys();
    void storedAsEntered_data();
    void storedAsEntered();
    void newTopicOfferedOnceMorePerCreation();
    void quotationLimit_data();
    void quotationLimit();
    void refusedRecordKeepsInputs_data();
    void refusedRecordKeepsInputs();
    void modalWhileOpenModelessIsNotDuplicated();
};

void TstFrmNuevo::designState()
{
    GuiSession session;
    FrmNuevo *dialog = openDialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->objectName(), QStringLiteral("frmnuevo"));
    QVERIFY(!dialog->temanuevo);
    QCOMPARE(dialog->cbo1->currentText(), QStringLiteral("(Seleccione tema)"));
    QCOMPARE(dialog->cbo1->currentIndex(), -1);
    QVERIFY(dialog->cbo1->isVisible());
    QVERIFY(!dialog->txtema->isVisible());
    QCOMPARE(dialog->Label5->text(), QStringLiteral("Nuevo tema"));
    // The yellow arrow, pointing with its tip.
    QCOMPARE(dialog->Label5->cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(dialog->Label5->cursor().hotSpot(), QPoint(Artwork::CursorArrowHotX, Artwork::CursorArrowHotY));
    QCOMPARE(dialog->txtfrace->maxLength(), 255);
    QCOMPARE(dialog->Image12->toolTip(), QStringLiteral("Cerrar"));
    // Topics with Index 1, alphabetically, a topic created twice twice.
    const QStringList expected{"AMISTAD", "AMISTAD", "amor", "ÉXITO", "L'AMOUR", "NIÑEZ", "PODER", "SABIDURIA", "VIDA"};
    QCOMPARE(dialog->cbo1->topics(), expected);
    QVERIFY(MessageBox::recorded().isEmpty());
}

void TstFrmNuevo::controls_data()
{
    QTest::addColumn<QString>("name");
    // What a screen reader meets; no role: the shadow it never meets.
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("accessibleName");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("toolTip");
    // The caption a sighted user reads beside a box, the one that names it.
    QTest::addColumn<QString>("caption");

    const int shadow = QAccessible::NoRole;
    const int text = QAccessible::StaticText;
    QTest::newRow("txtautor") << "txtautor" << int(QAccessible::EditableText) << "Autor:" << ""
                              << "Ingrese aqui el autor (enter para anónimo)" << "Label1";
    QTest::newRow("txtfrace") << "txtfrace" << int(QAccessible::EditableText) << "Frase:" << ""
                              << "Ingrese aqui la frase (Maximo 255 caracteres)" << "Label8";
    QTest::newRow("cbo1") << "cbo1" << int(QAccessible::ComboBox) << "Tema:" << "(Seleccione tema)"
                          << "Seleccione aqui el tema" << "Label9";
    QTest::newRow("txtema") << "txtema" << int(QAccessible::EditableText) << "Tema:" << ""
                            << "Escriba aqui el nuevo Tema" << "Label9";
    QTest::newRow("OKButton") << "OKButton" << int(QAccessible::Button) << "Aceptar" << "Aceptar" << "" << "";
    QTest::newRow("CancelButton") << "CancelButton" << int(QAccessible::Button) << "Cancelar" << "Cancelar" << ""
                                  << "";
    QTest::newRow("Label5") << "Label5" << int(QAccessible::Button) << "Nuevo tema" << "Nuevo tema" << "" << "";
    QTest::newRow("Label4") << "Label4" << text << "Ingrese nuevo registro" << "Ingrese nuevo registro" << "" << "";
    QTest::newRow("Label6") << "Label6" << shadow << "" << "Ingrese nuevo registro" << "" << "";
    QTest::newRow("Label1") << "Label1" << text << "Autor:" << "Autor:" << "" << "";
    QTest::newRow("Label7") << "Label7" << shadow << "" << "Autor:" << "" << "";
    QTest::newRow("Label8") << "Label8" << text << "Frase:" << "Frase:" << "" << "";
    QTest::newRow("Label2") << "Label2" << shadow << "" << "Frase:" << "" << "";
    QTest::newRow("Label9") << "Label9" << text << "Tema:" << "Tema:" << "" << "";
    QTest::newRow("Label3") << "Label3" << shadow << "" << "Tema:" << "" << "";
}

void TstFrmNuevo::controls()
{
    QFETCH(QString, name);
    QFETCH(int, role);
    QFETCH(QString, accessibleName);
    QFETCH(QString, text);
    QFETCH(QString, toolTip);
    QFETCH(QString, caption);

    GuiSession session;
    FrmNuevo *dialog = openDialog();
    QVERIFY(dialog);
    QWidget *control = dialog->findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->parentWidget(), static_cast<QWidget *>(dialog));
    QVERIFY(dialog->rect().contains(control->geometry()));
    // Every text in the designs' face.
    QCOMPARE(control->font().family(), QStringLiteral("Comic Sans MS"));
    QVERIFY(control->font().bold());
    QCOMPARE(control->toolTip(), toolTip);

    QString shown;
    if (auto *label = qobject_cast<QLabel *>(control))
        shown = label->text();
    else if (auto *button = qobject_cast<QPushButton *>(control))
        shown = button->text();
    else if (auto *line = qobject_cast<QLineEdit *>(control))
        shown = line->text();
    else if (auto *combo = qobject_cast<QComboBox *>(control))
        shown = combo->currentText();
    else if (auto *edit = qobject_cast<QPlainTextEdit *>(control))
        shown = edit->toPlainText();
    QCOMPARE(shown, text);

    // The caption that names a box stands to its left, level with it.
    if (!caption.isEmpty()) {
        const QRect beside = dialog->findChild<QWidget *>(caption)->geometry();
        QVERIFY(beside.right() < control->geometry().left());
        QVERIFY(control->geometry().top() <= beside.center().y());
        QVERIFY(beside.center().y() <= control->geometry().bottom());
    }
    // A click where a shown control is reaches that control.
    if (role != QAccessible::NoRole && role != QAccessible::StaticText && control->isVisible()) {
        QWidget *hit = dialog->childAt(control->geometry().center());
        QVERIFY2(hit == control || control->isAncestorOf(hit), qPrintable(hit ? hit->objectName() : QString()));
    }

    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(dialog);
    QCOMPARE(window->text(QAccessible::Name), QStringLiteral("Ingrese nuevo registro"));
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(control);
    QCOMPARE(window->indexOfChild(iface) >= 0, role != QAccessible::NoRole);
    if (role != QAccessible::NoRole) {
        QCOMPARE(int(iface->role()), role);
        QCOMPARE(iface->text(QAccessible::Name), accessibleName);
    }
}

void TstFrmNuevo::focusOrder()
{
    GuiSession session;
    FrmNuevo *dialog = openDialog();
    QVERIFY(dialog);
    QTRY_COMPARE(focusOwner(dialog), static_cast<QWidget *>(dialog->txtautor));

    // Tab order from the author box, hidden controls included.
    const QList<QWidget *> expected{dialog->txtautor, dialog->txtfrace, dialog->OKButton,
                                    dialog->CancelButton, dialog->cbo1, dialog->txtema};
    QList<QWidget *> order;
    QWidget *w = dialog->txtautor;
    do {
        QWidget *owner = w == dialog->cbo1->lineEdit() ? dialog->cbo1 : w;
        if ((w->focusPolicy() & Qt::TabFocus) && expected.contains(owner) && !order.contains(owner))
            order << owner;
        w = w->nextInFocusChain();
    } while (w != dialog->txtautor);
    QCOMPARE(order, expected);
}

void TstFrmNuevo::checks_data()
{
    QTest::addColumn<bool>("newTopic");
    QTest::addColumn<QString>("autor");
    QTest::addColumn<QString>("frace");
    QTest::addColumn<QString>("tema");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("focus");

    const QString design = QStringLiteral("(Seleccione tema)");
    QTest::newRow("existing, all empty") << false << "" << "" << design << NoAuthor << "txtautor";
    QTest::newRow("existing, author only") << false << "Séneca" << "" << design << NoQuote << "txtfrace";
    QTest::newRow("existing, topic not chosen") << false << "Séneca" << "Una frase." << design << NoTopic << "cbo1";
    QTest::newRow("existing, author missing, rest given") << false << "" << "Una frase." << "VIDA" << NoAuthor << "txtautor";
    QTest::newRow("existing, quotation missing, topic given") << false << "Séneca" << "" << "VIDA" << NoQuote << "txtfrace";
    QTest::newRow("new, all empty") << true << "" << "" << "" << NoAuthor << "txtautor";
    QTest::newRow("new, topic tested before quotation") << true << "Séneca" << "" << "" << NoNewTopic << "txtema";
    QTest::newRow("new, quotation missing") << true << "Séneca" << "" << "poesía" << NoQuote << "txtfrace";
    QTest::newRow("new, author missing") << true << "" << "Una frase." << "poesía" << NoAuthor << "txtautor";
    // In new-topic mode the combo's design text is of no concern.
    QTest::newRow("new, topic missing, combo untouched") << true << "Séneca" << "Una frase." << "" << NoNewTopic << "txtema";
}

void TstFrmNuevo::checks()
{
    QFETCH(bool, newTopic);
    QFETCH(QString, autor);
    QFETCH(QString, frace);
    QFETCH(QString, tema);
    QFETCH(QString, message);
    QFETCH(QString, focus);

    GuiSession session;
    const int before = records().size();
    FrmNuevo *dialog = openDialog();
    QVERIFY(dialog);
    if (newTopic) {
        QTest::mouseClick(dialog->Label5, Qt::LeftButton);
        QVERIFY(dialog->temanuevo);
        dialog->txtema->setText(tema);
    } else {
        dialog->cbo1->setEditText(tema);
    }
    dialog->txtautor->setText(autor);
    dialog->txtfrace->setPlainText(frace);
    dialog->txtautor->setFocus(); // somewhere else than where the check sends it
    if (focus == QLatin1String("txtautor"))
        dialog->OKButton->setFocus();

    QTest::mouseClick(dialog->OKButton, Qt::LeftButton);

    const QList<MessageBox::Record> shown = MessageBox::recorded();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().text, message);
    QCOMPARE(shown.first().title, QStringLiteral("Sentalia"));
    QCOMPARE(shown.first().icon, MessageBox::Icon::Critical);
    QTRY_COMPARE(focusOwner(dialog)->objectName(), focus);
    // Nothing stored, nothing lost, still open.
    QCOMPARE(Forms::frmnuevoLoaded(), dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->txtautor->text(), autor);
    QCOMPARE(dialog->txtfrace->toPlainText(), frace);
    QCOMPARE(records().size(), before);
    QVERIFY(!Forms::frmsalirLoaded());
}

// Enter moves on from a box or presses the button that has the focus, and
// nothing else; Esc closes nothing; "Cancelar" and the close picture
// close the dialog, storing nothing.
void TstFrmNuevo::keys_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("key"); // 0: a click
    QTest::addColumn<QString>("autorBefore");
    QTest::addColumn<QString>("autorAfter");
    QTest::addColumn<QString>("focus");   // empty: the dialog is gone
    QTest::addColumn<QString>("message"); // what pressing "Aceptar" says

    const int enter = Qt::Key_Return;
    const int esc = Qt::Key_Escape;
    QTest::newRow("empty author becomes Anónimo") << "txtautor" << enter << "" << "Anónimo" << "txtfrace" << "";
    QTest::newRow("typed author kept") << "txtautor" << enter << "Séneca" << "Séneca" << "txtfrace" << "";
    QTest::newRow("blank author kept") << "txtautor" << enter << " " << " " << "txtfrace" << "";
    QTest::newRow("keypad Enter in the author box") << "txtautor" << int(Qt::Key_Enter) << "" << "Anónimo"
                                                    << "txtfrace" << "";
    QTest::newRow("enter in the topic box") << "cbo1" << enter << "" << "" << "OKButton" << "";
    QTest::newRow("enter in the new topic box") << "txtema" << enter << "" << "" << "txtema" << "";
    QTest::newRow("enter in the quotation") << "txtfrace" << enter << "" << "" << "txtfrace" << "";
    QTest::newRow("enter presses Aceptar") << "OKButton" << enter << "" << "" << "txtautor" << NoAuthor;
    QTest::newRow("keypad Enter presses Aceptar") << "OKButton" << int(Qt::Key_Enter) << "Séneca" << "Séneca"
                                                  << "txtfrace" << NoQuote;
    QTest::newRow("enter presses Cancelar") << "CancelButton" << enter << "Séneca" << "Séneca" << "" << "";
    QTest::newRow("Cancelar") << "CancelButton" << 0 << "Séneca" << "Séneca" << "" << "";
    QTest::newRow("close picture") << "Image12" << 0 << "Séneca" << "Séneca" << "" << "";
    for (const char *control : {"txtautor", "txtfrace", "cbo1", "txtema", "OKButton", "CancelButton"})
        QTest::addRow("Esc in %s", control) << control << esc << "Séneca" << "Séneca" << control << "";
}

void TstFrmNuevo::keys()
{
    QFETCH(QString, control);
    QFETCH(int, key);
    QFETCH(QString, autorBefore);
    QFETCH(QString, autorAfter);
    QFETCH(QString, focus);
    QFETCH(QString, message);

    GuiSession session;
    const int before = records().size();
    FrmNuevo *dialog = openDialog();
    QVERIFY(dialog);
    if (control == QLatin1String("txtema"))
        QTest::mouseClick(dialog->Label5, Qt::LeftButton);
    dialog->txtautor->setText(autorBefore);
    if (focus.isEmpty()) { // all of it to be thrown away
        dialog->txtfrace->setPlainText(QStringLiteral("Frase."));
        dialog->cbo1->setEditText(QStringLiteral("VIDA"));
    }
    QWidget *target = dialog->findChild<QWidget *>(control);
    if (key == 0) {
        QTest::mouseClick(target, Qt::LeftButton);
    } else {
        target->setFocus();
        QTRY_COMPARE(focusOwner(dialog), target);
        QTest::keyClick(target == dialog->cbo1 ? dialog->cbo1->lineEdit() : target, Qt::Key(key));
    }

    QCOMPARE(records().size(), before);
    QCOMPARE(MessageBox::recorded().size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty())
        QCOMPARE(MessageBox::recorded().first().text, message);
    if (focus.isEmpty()) {
        QVERIFY(dialogGone());
        QVERIFY(!Forms::frmsalirLoaded());
        // The next opening starts empty.
        dialog = openDialog();
        QVERIFY(dialog);
        QVERIFY(dialog->txtautor->text().isEmpty());
        QVERIFY(dialog->txtfrace->toPlainText().isEmpty());
        QCOMPARE(dialog->cbo1->currentText(), QStringLiteral("(Seleccione tema)"));
        return;
    }
    QCOMPARE(Forms::frmnuevoLoaded(), dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->txtautor->text(), autorAfter);
    QTRY_COMPARE(focusOwner(dialog)->objectName(), focus);
    QCOMPARE(dialog->cbo1->count(), 9);
}

// What is typed reaches the collection whole and is listed under its
// topic, however often the topic's two boxes were switched: neither text
// is touched by switching.
void TstFrmNuevo::storedAsEntered_data()
{
    QTest::addColumn<QString>("autor");
    QTest::addColumn<QString>("frace");
    QTest::addColumn<int>("switches");
    QTest::addColumn<bool>("doubleClicks"); // each switch by a double click
    QTest::addColumn<QString>("storedTema");
    QTest::addColumn<bool>("storedIndex");

    const QString autor = QStringLiteral("Cervantes");
    const QString frace = QStringLiteral("La pluma es lengua del alma.");
    const QString typed = QStringLiteral("POESÍA Y ÑANDÚ");
    const QString picked = QStringLiteral("L'AMOUR");
    // Odd number of clicks: new-topic mode, the typed topic upper-cased.
    QTest::newRow("new topic visible") << autor << frace << 1 << false << typed << true;
    QTest::newRow("back to the combo") << autor << frace << 2 << false << picked << false;
    QTest::newRow("there and back twice") << autor << frace << 3 << false << typed << true;
    // The second press of a double click is no second click.
    QTest::newRow("a double click switches once") << autor << frace << 1 << true << typed << true;
    QTest::newRow("two double clicks switch back") << autor << frace << 2 << true << picked << false;

    QString long255;
    while (long255.size() < 255)
        long255 += QStringLiteral("ñandú, ");
    long255.truncate(254);
    long255 += QLatin1Char('.');
    QTest::newRow("255 characters") << "Autor Largo" << long255 << 0 << false << picked << false;
    QTest::newRow("apostrophes") << "O'Neill" << "L'homme n'est qu'un roseau, 'le plus faible' de la nature." << 0
                                 << false << picked << false;
    QTest::newRow("quotes and percent") << "Bobby'); --" << "100% \"seguro\"; DROP TABLE tabla1; --" << 0 << false
                                        << picked << false;
}

void TstFrmNuevo::storedAsEntered()
{
    QFETCH(QString, autor);
    QFETCH(QString, frace);
    QFETCH(int, switches);
    QFETCH(bool, doubleClicks);
    QFETCH(QString, storedTema);
    QFETCH(bool, storedIndex);

    GuiSession session;
    FrmNuevo *dialog = openDialog();
    QVERIFY(dialog);
    dialog->cbo1->setCurrentIndex(dialog->cbo1->findText(QStringLiteral("L'AMOUR")));
    QCOMPARE(dialog->cbo1->currentText(), QStringLiteral("L'AMOUR"));
    dialog->txtautor->setText(autor);
    dialog->txtfrace->setFocus();
    dialog->txtfrace->insertPlainText(frace);
    QCOMPARE(dialog->txtfrace->toPlainText(), frace);

    for (int i = 0; i < switches; ++i) {
        if (doubleClicks) {
            // Through the window, as the window system delivers it: two
            // presses and releases in quick succession.
            QWindow *window = dialog->windowHandle();
            QTest::mouseDClick(window, Qt::LeftButton, {},
                               window->mapFromGlobal(dialog->Label5->mapToGlobal(dialog->Label5->rect().center())));
        }
        else
            QTest::mouseClick(dialog->Label5, Qt::LeftButton);
        const bool newMode = i % 2 == 0;
        QCOMPARE(dialog->temanuevo, newMode);
        QCOMPARE(dialog->txtema->isVisible(), newMode);
        QCOMPARE(dialog->cbo1->isVisible(), !newMode);
        QCOMPARE(dialog->Label5->text(), newMode ? QStringLiteral("Tema existente") : QStringLiteral("Nuevo tema"));
        QTRY_COMPARE(focusOwner(dialog), newMode ? static_cast<QWidget *>(dialog->txtema) : dialog->cbo1);
        if (i == 0)
            dialog->txtema->setText(QStringLiteral("poesía y ñandú"));
        QCOMPARE(dialog->txtema->text(), QStringLiteral("poesía y ñandú"));
        QCOMPARE(dialog->cbo1->currentText(), QStringLiteral("L'AMOUR"));
    }

    const int before = records().size();
    QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
    QVERIFY(MessageBox::recorded().isEmpty());
    QVERIFY(dialogGone());
    QVERIFY(Forms::frmsalirLoaded()); // the record-created question follows

    const QList<QuoteRecord> after = records();
    QCOMPARE(after.size(), before + 1);
    const QuoteRecord &stored = after.last();
    QCOMPARE(stored.autor, autor);
    QCOMPARE(stored.frace, frace);
    QCOMPARE(stored.tema, storedTema);
    QCOMPARE(stored.hasIndex, storedIndex);
    if (storedIndex)
        QCOMPARE(stored.index, 1);

    QString listed;
    QVERIFY(Module1::db->byTopic(storedTema, [&listed](const QString &f, const QString &a) {
        listed += f + QLatin1Char('|') + a + QLatin1Char('\n');
    }));
    QVERIFY(listed.endsWith(frace + QLatin1Char('|') + autor + QLatin1Char('\n')));
}

void TstFrmNuevo::newTopicOfferedOnceMorePerCreation()
{
    GuiSession session;
    for (int round = 1; round <= 2; ++round) {
        FrmNuevo *dialog = openDialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->cbo1->topics().count(QStringLiteral("ZOOLOGÍA")), round - 1);
        QTest::mouseClick(dialog->Label5, Qt::LeftButton);
        dialog->txtautor->setText(QStringLiteral("Darwin"));
        dialog->txtfrace->setPlainText(QStringLiteral("Frase %1.").arg(round));
        dialog->txtema->setText(QStringLiteral("zoología"));
        QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
        QVERIFY(MessageBox::recorded().isEmpty());
        QVERIFY(dialogGone());
    }
    FrmNuevo *dialog = openDialog();
    QVERIFY(dialog);
    const QStringList topics = dialog->cbo1->topics();
    QCOMPARE(topics.count(QStringLiteral("ZOOLOGÍA")), 2);
    QCOMPARE(topics, TopicCombo::sorted(topics));
    QCOMPARE(topics.last(), QStringLiteral("ZOOLOGÍA"));
    QCOMPARE(dialog->cbo1->currentText(), QStringLiteral("(Seleccione tema)"));
    QVERIFY(dialog->txtautor->text().isEmpty());
}

void TstFrmNuevo::quotationLimit_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("typed");   // typed key by key
    QTest::addColumn<QString>("pasted");  // put in at once
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("caretAfter");

    const QString a250(250, QLatin1Char('a'));
    const QString b300(300, QLatin1Char('b'));
    const QString a255(255, QLatin1Char('a'));
    QTest::newRow("typing stops at 255") << QString() << 0 << QString(260, QLatin1Char('x')) << QString()
                                         << QString(255, QLatin1Char('x')) << 255;
    QTest::newRow("full box refuses a key") << a255 << 100 << "z" << QString() << a255 << 100;
    QTest::newRow("long paste cut at 255") << QString() << 0 << QString() << b300 << QString(255, QLatin1Char('b')) << 255;
    QTest::newRow("paste in the middle keeps its start and the tail")
        << a250 << 100 << QString() << "0123456789" << a250.left(100) + "01234" + a250.mid(100) << 105;
    QTest::newRow("line breaks count as one") << QString(250, QLatin1Char('c')) << 250 << QString()
                                              << "\n\n\n\n\n\n" << QString(250, QLatin1Char('c')) + "\n\n\n\n\n" << 255;
    // Characters as a reader counts them: an emoji is one, an accent goes
    // with its letter.
    QTest::newRow("an emoji is one character") << QString(254, QLatin1Char('d')) << 254 << QString()
                                               << QString::fromUtf8("😀😀")
                                               << QString(254, QLatin1Char('d')) + QString::fromUtf8("😀") << 256;
    QTest::newRow("a letter keeps its accent or goes with it")
        << QString(254, QLatin1Char('d')) << 254 << QString() << QString::fromUtf8("e\u0301")
        << QString(254, QLatin1Char('d')) << 254;
    QTest::newRow("a letter and its accent that fit stay")
        << QString(253, QLatin1Char('d')) << 253 << QString() << QString::fromUtf8("e\u0301")
        << QString(253, QLatin1Char('d')) + QString::fromUtf8("e\u0301") << 255;
}

void TstFrmNuevo::quotationLimit()
{
    QFETCH(QString, before);
    QFETCH(int, caret);
    QFETCH(QString, typed);
    QFETCH(QString, pasted);
    QFETCH(QString, expected);
    QFETCH(int, caretAfter);

    GuiSession session;
    FrmNuevo *dialog = openDialog();
    QVERIFY(dialog);
    QuoteEdit *box = dialog->txtfrace;
    box->setPlainText(before);
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(caret);
    box->setTextCursor(cursor);
    box->setFocus();
    if (!typed.isEmpty())
        QTest::keyClicks(box, typed);
    if (!pasted.isEmpty())
        box->insertPlainText(pasted);

    QCOMPARE(box->toPlainText(), expected);
    QCOMPARE(box->textCursor().position(), caretAfter);
    QVERIFY(box->length() <= 255);
}

// The table refuses the record, or the disk has no room for it (a file-size
// limit stands in for the full disk).
void TstFrmNuevo::refusedRecordKeepsInputs_data()
{
    QTest::addColumn<bool>("diskFull");
    QTest::newRow("table refuses") << false;
    QTest::newRow("disk full") << true;
}

void TstFrmNuevo::refusedRecordKeepsInputs()
{
    QFETCH(bool, diskFull);
    GuiSession session(QStringLiteral("quotes.mdb"), false);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("frase.mdb"));
    if (diskFull)
        QVERIFY(Fixture::makeCollection(path, "CREATE TABLE tabla1 (autor TEXT, frace TEXT, tema TEXT, \"Index\" INTEGER);"
                                              "INSERT INTO tabla1 VALUES ('Séneca', 'Una frase.', 'VIDA', 1);"));
    else
        QVERIFY(makeRefusingCollection(path));
    QuoteStore::OpenResult opened = QuoteStore::open(path);
    QVERIFY2(opened, qPrintable(opened.reason));
    Module1::db = std::move(opened.store);

    FrmNuevo *dialog = openDialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->cbo1->topics(), QStringList{QStringLiteral("VIDA")});
    QTest::mouseClick(dialog->Label5, Qt::LeftButton);
    dialog->txtautor->setText(QStringLiteral("Séneca"));
    dialog->txtfrace->setPlainText(QStringLiteral("Mientras se vive, hay que aprender a vivir."));
    dialog->txtema->setText(QStringLiteral("estoicismo"));
    dialog->cbo1->setEditText(QStringLiteral("VIDA"));
    // The engine's words go to standard error, the user reads a sentence.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(diskFull ? QStringLiteral("^Sentalia: .*frase\\.mdb - .+")
                                                                   : QStringLiteral("tabla1 no admite registros nuevos")));
    rlimit unlimited{};
    if (diskFull) {
        signal(SIGXFSZ, SIG_IGN);
        QVERIFY(getrlimit(RLIMIT_FSIZE, &unlimited) == 0);
        const rlimit onePage{1024, unlimited.rlim_max};
        QVERIFY(setrlimit(RLIMIT_FSIZE, &onePage) == 0);
    }
    QTest::mouseClick(dialog->OKButton, Qt::LeftButton);
    if (diskFull)
        QVERIFY(setrlimit(RLIMIT_FSIZE, &unlimited) == 0);

    const QList<MessageBox::Record> shown = MessageBox::recorded();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().icon, MessageBox::Icon::Critical);
    QCOMPARE(shown.first().title, QStringLiteral("Sentalia"));
    if (diskFull)
        QCOMPARE(Module1::db->lastFailure(), QuoteStore::Failure::DiskFull);
    QCOMPARE(shown.first().text, QStringLiteral("No se pudo guardar la frase; lo escrito sigue en la ventana.\n\n")
                                     + FailureText::sentence(Module1::db->lastFailure(), path));

    // Still open with everything typed, and no question follows.
    QCOMPARE(Forms::frmnuevoLoaded(), dialog);
    QVERIFY(dialog->isVisible());
    QVERIFY(dialog->temanuevo);
    QCOMPARE(dialog->txtautor->text(), QStringLiteral("Séneca"));
    QCOMPARE(dialog->txtfrace->toPlainText(), QStringLiteral("Mientras se vive, hay que aprender a vivir."));
    QCOMPARE(dialog->txtema->text(), QStringLiteral("estoicismo"));
    QCOMPARE(dialog->cbo1->currentText(), QStringLiteral("VIDA"));
    QVERIFY(!Forms::frmsalirLoaded());
    QCOMPARE(records().size(), 1);
}

void TstFrmNuevo::modalWhileOpenModelessIsNotDuplicated()
{
    GuiSession session;
    FrmNuevo *open = openDialog();
    QVERIFY(open);
    open->txtautor->setText(QStringLiteral("Séneca"));

    // Should the dialog wrongly run modal, leave its loop rather than hang.
    bool ranModal = false;
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, [&ranModal] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            ranModal = true;
            modal->close();
        }
    });
    guard.start(2000);
    FrmNuevo::openModal();
    QVERIFY(!ranModal);
    QCOMPARE(Forms::frmnuevoLoaded(), open);
    QVERIFY(open->isVisible());
    QCOMPARE(open->txtautor->text(), QStringLiteral("Séneca"));
    int dialogs = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        dialogs += qobject_cast<FrmNuevo *>(w) != nullptr;
    QCOMPARE(dialogs, 1);

    // Once closed, a modal opening builds a fresh dialog and waits for it.
    QTest::mouseClick(open->CancelButton, Qt::LeftButton);
    QVERIFY(dialogGone());
    FrmNuevo *seen = nullptr;
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
        seen = Forms::frmnuevoLoaded();
        wasModal = seen && seen->isModal() && seen->isVisible();
        if (seen)
            QTest::mouseClick(seen->CancelButton, Qt::LeftButton);
    });
    FrmNuevo::openModal();
    QVERIFY(seen);
    QVERIFY(wasModal);
    QVERIFY(dialogGone());
}

QTEST_MAIN(TstFrmNuevo)
#include "tst_frmnuevo.moc"
