// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/TextRules.h"

#include <QTest>

// How authors are filed under an initial and how topics are stored and
// compared, on text alone; the searches that use them run in
// tst_quotestore.
class TestTextRules : public QObject {
    Q_OBJECT

private slots:
    void initialOf_data();
    void initialOf();
    void upperTopic_data();
    void upperTopic();
};

void TestTextRules::initialOf_data()
{
    QTest::addColumn<QString>("autor");
    QTest::addColumn<QString>("initial");
    QTest::newRow("capital") << "Séneca" << "S";
    QTest::newRow("small letter") << "antonio" << "A";
    QTest::newRow("accented capital") << "Ángel" << "A";
    QTest::newRow("accented small") << "ámbar" << "A";
    QTest::newRow("grave accent") << "Àlex" << "A";
    QTest::newRow("diaeresis") << "Ümit" << "U";
    QTest::newRow("two marks") << QString::fromUtf8("ẫu") << "A";
    QTest::newRow("cedilla") << "Çelik" << "C";
    QTest::newRow("capital enye") << "Ñandú" << "";
    QTest::newRow("small enye") << "ñu" << "";
    QTest::newRow("leading blank") << " Platón" << "";
    QTest::newRow("digit") << "2 Cifras" << "";
    QTest::newRow("quotation mark") << "\"Cervantes\"" << "";
    QTest::newRow("guillemet") << "«Anónimo»" << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("greek") << "Σωκράτης" << "";
}

void TestTextRules::initialOf()
{
    QFETCH(QString, autor);
    QFETCH(QString, initial);
    const QChar found = TextRules::initialOf(autor);
    QCOMPARE(found.isNull() ? QString() : QString(found), initial);
}

void TestTextRules::upperTopic_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("plain") << "amor" << "AMOR";
    QTest::newRow("enye") << "niñez" << "NIÑEZ";
    QTest::newRow("accent") << "éxito" << "ÉXITO";
    QTest::newRow("apostrophe") << "l'amour" << "L'AMOUR";
    QTest::newRow("sharp s") << "straße" << "STRASSE";
    QTest::newRow("blanks kept") << "  vida " << "  VIDA ";
}

void TestTextRules::upperTopic()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QCOMPARE(TextRules::upperTopic(typed), stored);
    QCOMPARE(TextRules::topicKey(typed), TextRules::topicKey(stored));
}

QTEST_GUILESS_MAIN(TestTextRules)

#include "tst_textrules.moc"
