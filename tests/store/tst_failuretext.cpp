// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/FailureText.h"
#include "store/QuoteStore.h"

#include <QTest>

class TestFailureText : public QObject {
    Q_OBJECT

private slots:
    void failureSentences_data();
    void failureSentences();
};

// What the user reads: a sentence of its own for each kind, naming the file
// (or, when the folder refuses, the folder).
void TestFailureText::failureSentences_data()
{
    using F = QuoteStore::Failure;
    QTest::addColumn<int>("failure");
    QTest::addColumn<QString>("words");
    QTest::addColumn<bool>("namesFolder");
    QTest::newRow("missing") << int(F::Missing) << "No se encuentra" << false;
    QTest::newRow("in use") << int(F::InUse) << "en uso" << false;
    QTest::newRow("wrong key") << int(F::WrongKey) << "otra clave" << false;
    QTest::newRow("read-only file") << int(F::ReadOnly) << "solo lectura" << false;
    QTest::newRow("folder not writable") << int(F::FolderReadOnly) << "no permite escribir" << true;
    QTest::newRow("disk full") << int(F::DiskFull) << "No queda espacio" << false;
    QTest::newRow("missing table") << int(F::MissingTable) << "no tiene la tabla" << false;
    QTest::newRow("missing column") << int(F::MissingColumn) << "faltan columnas" << false;
    QTest::newRow("damaged") << int(F::Damaged) << "está dañado" << false;
    QTest::newRow("already there") << int(F::AlreadyExists) << "Ya existe" << false;
    QTest::newRow("empty key") << int(F::BadKey) << "sin cifrar" << false;
    QTest::newRow("interrupted") << int(F::Interrupted) << "Se interrumpió" << false;
    QTest::newRow("other") << int(F::Other) << "No se pudo usar" << false;
    QTest::newRow("deleted or replaced") << int(F::Vanished) << "fue borrado o reemplazado mientras Sentalia lo usaba"
                                         << false;
    QTest::newRow("written by another program") << int(F::ChangedByOther) << "Otro programa escribió" << false;
    QTest::newRow("folder renamed") << int(F::FolderChanged) << "cambió de nombre o de lugar" << true;
    QTest::newRow("immutable") << int(F::Immutable) << "inmutable" << false;
    QTest::newRow("journal blocked") << int(F::JournalBlocked) << "-journal, hay una carpeta" << false;
}

void TestFailureText::failureSentences()
{
    QFETCH(int, failure);
    QFETCH(QString, words);
    QFETCH(bool, namesFolder);
    const QString path = QStringLiteral("/datos/frases/frase.mdb");
    const QString sentence = FailureText::sentence(QuoteStore::Failure(failure), path);
    QVERIFY2(sentence.contains(words), qPrintable(sentence));
    QVERIFY2(sentence.contains(namesFolder ? QStringLiteral("/datos/frases ") : path), qPrintable(sentence));
    QVERIFY(sentence.endsWith(QLatin1Char('.')));
    QVERIFY(FailureText::sentence(QuoteStore::Failure::None, path).isEmpty());
}

QTEST_GUILESS_MAIN(TestFailureText)

#include "tst_failuretext.moc"
