// SPDX-License-Identifier: GPL-3.0-or-later
#include "FortuneParser.h"
#include "FortuneWriter.h"
#include "SourceFile.h"

#include <QTest>

// Reading fortune files as they come in fortunes-es: wrapped lines,
// attribution styles, separators, encodings.
class TestFortuneParser : public QObject {
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void authorName_data();
    void authorName();
    void topicForFile_data();
    void topicForFile();
    void decode_data();
    void decode();
    void writerRoundTrip_data();
    void writerRoundTrip();
};

void TestFortuneParser::parse_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("defaultAutor");
    QTest::addColumn<QStringList>("fraces");
    QTest::addColumn<QStringList>("autores");

    QTest::newRow("wrapped text, tab-indented attribution over two lines")
        << "No es otra cosa la amistad que un sumo consentimiento en las cosas\n"
           "divinas y humanas con amor y benevolencia.\n"
           "\t\t-- Marco Tulio Cicerón. (106-43 A.C.) Escritor, orador y\n"
           "\t\tpolítico romano. \n%\n"
        << QString()
        << QStringList{"No es otra cosa la amistad que un sumo consentimiento en las cosas divinas y humanas "
                       "con amor y benevolencia.\n(106-43 A.C.) Escritor, orador y político romano."}
        << QStringList{"Marco Tulio Cicerón"};
    QTest::newRow("space-indented attribution with an initial")
        << "Nunca subestimes el poder de las palabras.\n"
           "                -- Robnell G. Rivera. (AceR) Internauta venezolano.\n"
        << QString() << QStringList{"Nunca subestimes el poder de las palabras.\n(AceR) Internauta venezolano."}
        << QStringList{"Robnell G. Rivera"};
    QTest::newRow("only indented attribution")
        << "Es preciso llevar dentro de uno mismo un caos para poder poner\n"
           "en el mundo una estrella.\n"
           "         Friedrich Nietzsche, \"Así habló Zaratustra\".\n"
        << QString()
        << QStringList{"Es preciso llevar dentro de uno mismo un caos para poder poner en el mundo una estrella.\n"
                       "\"Así habló Zaratustra\"."}
        << QStringList{"Friedrich Nietzsche"};
    QTest::newRow("no attribution")
        << "A buen entendedor, pocas palabras.\n%\nMás vale tarde que nunca.\n%\n" << QString()
        << QStringList{"A buen entendedor, pocas palabras.", "Más vale tarde que nunca."}
        << QStringList{"Anónimo", "Anónimo"};
    QTest::newRow("no attribution, author given")
        << "A buen entendedor, pocas palabras.\n" << "Refranero"
        << QStringList{"A buen entendedor, pocas palabras."} << QStringList{"Refranero"};
    QTest::newRow("attribution wins over the given author")
        << "Texto.\n\t-- Séneca.\n" << "Refranero" << QStringList{"Texto."} << QStringList{"Séneca"};
    QTest::newRow("trailing and doubled separators, blank records")
        << "\n%\nUno.\n%\n%\n   \n%\nDos.\n%\n%\n" << QString() << QStringList{"Uno.", "Dos."}
        << QStringList{"Anónimo", "Anónimo"};
    QTest::newRow("separator with trailing blanks, CRLF lines")
        << "Uno\r\nsigue.\r\n\t-- A. Uno\r\n% \r\nDos\r\n\t-- B. Dos\r\n%\t\t\r\n" << QString()
        << QStringList{"Uno sigue.", "Dos"} << QStringList{"A. Uno", "B. Dos"};
    QTest::newRow("indented percent sign is text")
        << "Cien\n %\n\t-- C\n" << QString() << QStringList{"Cien %"} << QStringList{"C"};
    QTest::newRow("paragraphs stay apart")
        << "Todo el mundo considera bello lo bello,\nen esto reside su fealdad.\n\n\n"
           "Porque el ser y la nada\nse engendran.\n\t\t\tTao-Te-Chin, II\n"
        << QString()
        << QStringList{"Todo el mundo considera bello lo bello, en esto reside su fealdad.\n\n"
                       "Porque el ser y la nada se engendran.\nII"}
        << QStringList{"Tao-Te-Chin"};
    QTest::newRow("closing attribution on the text line")
        << "Cuando uno se encuentra solo, siente una angustia\nterrible. -- León Tolstoi --\n" << QString()
        << QStringList{"Cuando uno se encuentra solo, siente una angustia terrible."} << QStringList{"León Tolstoi"};
    QTest::newRow("dialogue keeps its lines")
        << "- ¿Cómo es tu nombre?\n- María de la O\n- ¿Eh?\n" << QString()
        << QStringList{"- ¿Cómo es tu nombre?\n- María de la O\n- ¿Eh?"} << QStringList{"Anónimo"};
    QTest::newRow("shallow indented line is text, not author")
        << "1º Axioma de la Estupidez:\n  Es más fácil hacer preguntas estúpidas.\n" << QString()
        << QStringList{"1º Axioma de la Estupidez:\n  Es más fácil hacer preguntas estúpidas."}
        << QStringList{"Anónimo"};
    QTest::newRow("deep indented line in small letters is text")
        << "Eso nos convierte en algo especial.\n                británico.\n" << QString()
        << QStringList{"Eso nos convierte en algo especial.\n                británico."}
        << QStringList{"Anónimo"};
    QTest::newRow("single dash, deep tabs")
        << "No lo hice, nadie me vio hacerlo.\n\t\t\t\t\t-Bart Simpson\n" << QString()
        << QStringList{"No lo hice, nadie me vio hacerlo."} << QStringList{"Bart Simpson"};
    QTest::newRow("one-blank indent joins, first line indented too")
        << " La vida sería trágica si no\n fuera graciosa.\n"
           "                -- Stephen Hawking. (1942-2018). Físico teórico\n                británico.\n"
        << QString()
        << QStringList{"La vida sería trágica si no fuera graciosa.\n(1942-2018). Físico teórico británico."}
        << QStringList{"Stephen Hawking"};
    QTest::newRow("dash line inside the text, attribution below it")
        << "A \"critic\" is a man who creates nothing.\n-- he hates all creative people equally.\n"
           "\t\t-- Robert Heinlein\n"
        << QString() << QStringList{"A \"critic\" is a man who creates nothing.\n-- he hates all creative people equally."}
        << QStringList{"Robert Heinlein"};
    QTest::newRow("indented continuation that is no name")
        << "7:30, Channel 8: The Bionic Dog (Action/Adventure)\n"
           "\tThe Bionic Dog gets a hormonal short-circuit and violates the\n\tMann Act.\n"
        << QString()
        << QStringList{"7:30, Channel 8: The Bionic Dog (Action/Adventure)\n"
                       "\tThe Bionic Dog gets a hormonal short-circuit and violates the\n\tMann Act."}
        << QStringList{"Anónimo"};
    QTest::newRow("three dashes, no period")
        << "Cuestiono todo.\n                       --- Isaac Asimov\n" << QString() << QStringList{"Cuestiono todo."}
        << QStringList{"Isaac Asimov"};
    QTest::newRow("dialogue in -- lines has no author")
        << "-- Doctor, doctor, tengo complejo de feo.\n-- Pase, pase, señor Monstruo.\n" << QString()
        << QStringList{"-- Doctor, doctor, tengo complejo de feo.\n-- Pase, pase, señor Monstruo."}
        << QStringList{"Anónimo"};
    QTest::newRow("dialogue after a line of text, blank lines between")
        << "Va un sapo a la cartomante:\n\n-- Veo una moza muy bonita.\n\n-- ¿Cuándo?\n\n-- En clase de biología.\n"
        << QString()
        << QStringList{"Va un sapo a la cartomante:\n\n-- Veo una moza muy bonita.\n\n-- ¿Cuándo?\n\n"
                       "-- En clase de biología."}
        << QStringList{"Anónimo"};
    QTest::newRow("list of indented dash lines, the given author")
        << "Excusas:\n\t-- Tengo que lavarme el pelo.\n\t-- Me duele la cabeza.\n" << "Refranero"
        << QStringList{"Excusas:\n\t-- Tengo que lavarme el pelo.\n\t-- Me duele la cabeza."}
        << QStringList{"Refranero"};
    QTest::newRow("a lone attribution line is a quotation")
        << "\t-- Un frenesí, una ilusión, una sombra, una ficción.\n" << QString()
        << QStringList{"\t-- Un frenesí, una ilusión, una sombra, una ficción."} << QStringList{"Anónimo"};
    QTest::newRow("dialogue, then an attribution indented deeper")
        << "-- ¿Quién?\n-- Yo.\n\t\t-- Lope de Vega\n" << QString() << QStringList{"-- ¿Quién?\n-- Yo."}
        << QStringList{"Lope de Vega"};
    QTest::newRow("code above the attribution is no dialogue")
        << "Cuenta bits:\n\t\t\t - (((x)>>3)&0x11)\n\n\t\t-- Código C\n" << QString()
        << QStringList{"Cuenta bits:\n\t\t\t - (((x)>>3)&0x11)"} << QStringList{"Código C"};
    QTest::newRow("an epithet after a comma is the name's")
        << "Texto.\n\t\t-- Séneca, el joven. (4 a.C.-65) Filósofo.\n%\nOtro.\n\t\t-- Alfonso X, el Sabio\n"
        << QString() << QStringList{"Texto.\n(4 a.C.-65) Filósofo.", "Otro."}
        << QStringList{"Séneca, el joven", "Alfonso X, el Sabio"};
    QTest::newRow("what follows a comma stays in the text")
        << "Nadie querrá un ordenador.\n\t\t-- Thomas Watson, presidente de IBM, 1943 --\n" << QString()
        << QStringList{"Nadie querrá un ordenador.\npresidente de IBM, 1943"} << QStringList{"Thomas Watson"};
    QTest::newRow("continuation indented less is no attribution")
        << "Texto.\n\t\t-- John Steinbeck\n\t[nota]\n" << QString()
        << QStringList{"Texto.\n\t\t-- John Steinbeck\n\t[nota]"} << QStringList{"Anónimo"};
    QTest::newRow("lines ending in a tab keep their break and blanks")
        << " uno\t\ndos  \t\n\t\nfin\t\t\nsigue\n%\t\n\t\t-- ?\t\n" << QString()
        << QStringList{" uno\ndos  \n\nfin sigue\n%"} << QStringList{"?"};
}

void TestFortuneParser::parse()
{
    QFETCH(QString, input);
    QFETCH(QString, defaultAutor);
    QFETCH(QStringList, fraces);
    QFETCH(QStringList, autores);

    const QList<QuoteRecord> records = FortuneParser::parse(input, QStringLiteral("TEMA"), defaultAutor);
    QStringList gotFraces;
    QStringList gotAutores;
    for (const QuoteRecord &record : records) {
        gotFraces << record.frace;
        gotAutores << record.autor;
        QCOMPARE(record.tema, QStringLiteral("TEMA"));
        QVERIFY(!record.temaIsNull);
        QVERIFY(!record.hasIndex);
    }
    QCOMPARE(gotFraces, fraces);
    QCOMPARE(gotAutores, autores);
}

void TestFortuneParser::authorName_data()
{
    QTest::addColumn<QString>("attribution");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("rest");

    QTest::newRow("years and trade") << "-- Marco Tulio Cicerón. (106-43 A.C.) Escritor, orador y político romano."
                                     << "Marco Tulio Cicerón" << "(106-43 A.C.) Escritor, orador y político romano.";
    QTest::newRow("middle initial") << "-- Robnell G. Rivera. (AceR) Internauta venezolano." << "Robnell G. Rivera"
                                    << "(AceR) Internauta venezolano.";
    QTest::newRow("work after comma") << "Friedrich Nietzsche, \"Así habló Zaratustra\"." << "Friedrich Nietzsche"
                                      << "\"Así habló Zaratustra\".";
    QTest::newRow("closing dashes") << "-- Sigmund Freud --" << "Sigmund Freud" << "";
    QTest::newRow("closing dashes and period") << "--  Mr. HD --." << "Mr. HD" << "";
    QTest::newRow("parenthesis without period") << "-- Steve Jobs (1955-2011)" << "Steve Jobs" << "(1955-2011)";
    QTest::newRow("joined initials") << "-- H.D. Thoreau --" << "H.D. Thoreau" << "";
    QTest::newRow("initials only") << "-- A.H.G." << "A.H.G." << "";
    QTest::newRow("title") << "-- Ing. Antonio Donadio." << "Ing. Antonio Donadio" << "";
    QTest::newRow("roman numeral") << "-- Juan Pablo II. (1920-2005) Papa." << "Juan Pablo II" << "(1920-2005) Papa.";
    QTest::newRow("inner periods") << "-- Www.frases.com." << "Www.frases.com" << "";
    QTest::newRow("apostrophe") << "-- Eugenio d'Ors. (1882-1954) Filósofo." << "Eugenio d'Ors" << "(1882-1954) Filósofo.";
    QTest::newRow("description after period") << "-- Lee Smolin. Físico teórico." << "Lee Smolin" << "Físico teórico.";
    QTest::newRow("ellipsis") << "-- Anónimo..." << "Anónimo" << "";
    QTest::newRow("semicolon") << "-- Séneca; Cartas a Lucilio" << "Séneca" << "Cartas a Lucilio";
    QTest::newRow("epithet") << "-- Séneca, el joven" << "Séneca, el joven" << "";
    QTest::newRow("epithet, then more") << "-- Alfonso X, el Sabio, rey de Castilla" << "Alfonso X, el Sabio"
                                        << "rey de Castilla";
    QTest::newRow("three words after the article are no epithet")
        << "-- Emilio Salgari, el novelista italiano suicida" << "Emilio Salgari" << "el novelista italiano suicida";
    QTest::newRow("en dashes") << QString::fromUtf8("\u2013\u2013 Gabriel García Márquez") << "Gabriel García Márquez"
                               << "";
    QTest::newRow("nothing left") << "--  " << "" << "";
}

void TestFortuneParser::authorName()
{
    QFETCH(QString, attribution);
    QFETCH(QString, name);
    QFETCH(QString, rest);
    const FortuneParser::Attribution parts = FortuneParser::splitAttribution(attribution);
    QCOMPARE(parts.name, name);
    QCOMPARE(parts.rest, rest);
}

void TestFortuneParser::topicForFile_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("topic");
    QTest::newRow("fortunes") << "/usr/share/games/fortunes/es/lao-tse.fortunes" << "LAO-TSE";
    QTest::newRow("utf-8 twin") << "amistad.fortunes.u8" << "AMISTAD";
    QTest::newRow("no extension") << "datos/refranes" << "REFRANES";
    QTest::newRow("eñe") << "niñez.txt" << "NIÑEZ";
    QTest::newRow("accent") << "éxito" << "ÉXITO";
}

void TestFortuneParser::topicForFile()
{
    QFETCH(QString, path);
    QFETCH(QString, topic);
    QCOMPARE(FortuneParser::topicForFile(path), topic);
}

void TestFortuneParser::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("windows1252");
    QTest::newRow("utf-8") << QByteArray("Cicer\xc3\xb3n, a\xc3\xb1o") << "Cicerón, año" << false;
    QTest::newRow("latin-1") << QByteArray("Cicer\xf3n, a\xf1o") << "Cicerón, año" << true;
    QTest::newRow("byte-order mark") << QByteArray("\xef\xbb\xbf" "autor") << "autor" << false;
    QTest::newRow("ascii") << QByteArray("%\nhola\n") << "%\nhola\n" << false;
    // The five bytes Windows-1252 leaves undefined stay C1 controls.
    QByteArray high;
    for (int byte = 0x80; byte < 0xA0; ++byte)
        high += char(byte);
    QTest::newRow("windows-1252, bytes 80 to 9F")
        << high << QString::fromUtf8("€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008DŽ\u008F\u0090‘’“”•–—˜™š›œ\u009DžŸ") << true;
    QTest::newRow("one line not UTF-8 among UTF-8 lines")
        << QByteArray("La canci\xc3\xb3n\nJos\xe9 Mart\xed, \x93Versos\x94\r\nMu\xc3\xb1oz")
        << "La canción\nJosé Martí, “Versos”\r\nMuñoz" << true;
}

void TestFortuneParser::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(bool, windows1252);
    bool was1252 = !windows1252;
    QCOMPARE(SourceFile::decode(bytes, &was1252), text);
    QCOMPARE(was1252, windows1252);
}

void TestFortuneParser::writerRoundTrip_data()
{
    // escaped: the one line that has to show a backslash in the file.
    QTest::addColumn<QString>("frace");
    QTest::addColumn<QString>("autor");
    QTest::addColumn<int>("escaped");
    QTest::newRow("plain") << "Solo sé que no sé nada." << "Sócrates" << -1;
    QTest::newRow("paragraphs") << "Primero.\n\nSegundo, largo, muy largo." << "Lao-Tse" << -1;
    QTest::newRow("dialogue") << "- ¿Quién?\n- Yo." << "Anónimo" << -1;
    QTest::newRow("indented lines") << "Axioma:\n  Es así.\n\tY así." << "G. B. Shaw" << -1;
    QTest::newRow("lone percent sign") << "%" << "Porcentaje" << -1;
    QTest::newRow("apostrophes") << "L'homme est un apprenti." << "D'Alembert" << -1;
    QTest::newRow("no text") << "" << "Sin frase" << -1;
    QTest::newRow("line that reads as an attribution") << "Texto.\n-- no es autor\n\t- ni esto" << "Autor" << -1;
    QTest::newRow("two-line verse, odd blanks")
        << "Verso uno\nverso dos\n\n\n %\n \\sangrado " << "Juan de la Cruz" << -1;
    QTest::newRow("author the parser would shorten") << "Texto." << "Séneca, el joven (4 a.C.)" << -1;
    QTest::newRow("two lines typed in the dialog")
        << "La vida no es la que uno vivió, sino la que \"recuerda\";\ny cómo la recuerda para contarla."
        << "Gabriel García Márquez" << -1;
    QTest::newRow("empty lines before, between and after")
        << "\n\nUno\n\n\n\nDos\n" << "Anónimo" << -1;
    QTest::newRow("leading blanks") << " Un blanco\n  dos\n\tY un tabulador\n  \n fin" << "Anónimo" << -1;
    QTest::newRow("paragraphs opening with no-break space, U+3000, VT, FF")
        << "\u00a0Sangría\n\n\u3000全角\n\n\vTab vertical\n\n\fSalto de página" << "Anónimo" << -1;
    QTest::newRow("dialogue in -- lines") << "-- Doctor, doctor, tengo complejo de feo.\n-- Pase, pase, señor Monstruo."
                                          << "Anónimo" << -1;
    QTest::newRow("list indented deeper than the attribution")
        << "Excusas:\n\t\t\t-- Tengo que lavarme el pelo.\n\t\t\t-- Me duele la cabeza." << "Anónimo" << -1;
    QTest::newRow("what an attribution left in the text")
        << "No es otra cosa la amistad.\n(106-43 A.C.) Escritor romano." << "Marco Tulio Cicerón" << -1;
    QTest::newRow("author of no letter") << "¿Quién lo dijo?" << "?" << -1;
    QTest::newRow("author a dash") << "Texto." << "—" << -1;
    QTest::newRow("author of signs") << "Texto." << "«[" << -1;
    QTest::newRow("author with blanks around") << "Texto." << " Séneca  el viejo " << -1;
    QTest::newRow("percent sign and blanks") << "Uno\n%  \nDos" << "Anónimo" << 1;
}

void TestFortuneParser::writerRoundTrip()
{
    QFETCH(QString, frace);
    QFETCH(QString, autor);
    QFETCH(int, escaped);
    QuoteRecord record;
    record.frace = frace;
    record.autor = autor;
    const QString one = FortuneWriter::record(record);
    const QList<QuoteRecord> read = FortuneParser::parse(one + one, QStringLiteral("T"));
    QCOMPARE(read.size(), 2);
    for (const QuoteRecord &back : read) {
        QCOMPARE(back.frace, frace);
        QCOMPARE(back.autor, autor);
    }
    // What fortune shows is the quotation, line by line, and the author:
    // the marks are trailing blanks.
    QStringList shown = one.split(QLatin1Char('\n'));
    QCOMPARE(shown.takeLast(), QString());
    QCOMPARE(shown.takeLast(), QStringLiteral("%"));
    const auto visible = [](QString line) {
        while (!line.isEmpty() && (line.back() == QLatin1Char(' ') || line.back() == QLatin1Char('\t')))
            line.chop(1);
        return line;
    };
    QCOMPARE(visible(shown.takeLast()), visible(QStringLiteral("\t\t-- ") + autor));
    const QStringList lines = frace.split(QLatin1Char('\n'));
    QCOMPARE(shown.size(), lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i)
        QCOMPARE(visible(shown.at(i)), visible(i == escaped ? QLatin1Char('\\') + lines.at(i) : lines.at(i)));
}

QTEST_APPLESS_MAIN(TestFortuneParser)
#include "tst_fortuneparser.moc"
