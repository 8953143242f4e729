// SPDX-License-Identifier: GPL-3.0-or-later
#include "DbTool.h"

#include "CsvReader.h"
#include "Exporter.h"
#include "FortuneParser.h"
#include "CollectionBackup.h"
#include "CollectionEditor.h"
#include "Importer.h"
#include "LineListReader.h"
#include "OutputSpool.h"
#include "PathName.h"
#include "RandomPicker.h"
#include "RecordFilter.h"
#include "RecordListing.h"
#include "SourceFile.h"
#include "TerminalText.h"
#include "Wording.h"
#include "TopicSummary.h"

#include "Version.h"
#include "store/CollectionLocation.h"
#include "store/FailureText.h"
#include "store/FilePlacement.h"
#include "store/Interruption.h"
#include "store/TextRules.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <map>
#include <memory>

#include <cerrno>
#include <csignal>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const char *const Program = "sentalia-db";

// Whether an imported field is over the limit, counted in characters (a
// character outside the BMP is two QChars, and one character).
bool overFieldLimit(const QString &text)
{
    if (text.size() <= SourceFile::FieldLimit)
        return false;
    const qsizetype pairs = std::count_if(text.cbegin(), text.cend(), [](QChar ch) { return ch.isLowSurrogate(); });
    return text.size() - pairs > SourceFile::FieldLimit;
}

// The first C0 or C1 control character in text other than a tab or a line
// break (LF, or the CR of CR LF), or 0.
char16_t controlCharacter(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t ch = text.at(i).unicode();
        if (ch >= 0x20 && (ch < 0x80 || ch >= 0xA0))
            continue;
        if (ch == u'\t' || ch == u'\n' || (ch == u'\r' && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')))
            continue;
        return ch;
    }
    return 0;
}

// The part of an import summary that counts records skipped for what they
// hold: ", 1 omitida por un carácter de control", and so on.
QString contentSkips(qint64 control, qint64 tooLong)
{
    QString text;
    if (control > 0)
        text += control == 1 ? QStringLiteral(", 1 omitida por un carácter de control")
                             : QStringLiteral(", %1 omitidas por caracteres de control").arg(control);
    if (tooLong > 0)
        text += tooLong == 1 ? QStringLiteral(", 1 omitida por un campo de más de 100.000 caracteres")
                             : QStringLiteral(", %1 omitidas por campos de más de 100.000 caracteres").arg(tooLong);
    return text;
}

// The engine's or the system's own words, after the user's sentence.
QString detail(const QString &reason)
{
    return reason.isEmpty() ? QString() : QStringLiteral(" Detalle: %1").arg(reason);
}

QElapsedTimer &progressClock()
{
    static QElapsedTimer timer;
    if (!timer.isValid())
        timer.start();
    return timer;
}

} // namespace

DbTool::DbTool(FILE *out, FILE *err)
    : m_out(out)
    , m_err(err)
    , m_errIsTerminal(isatty(fileno(err)) == 1)
{
}

namespace {

// The folder that holds this tool, as the file system spells it: Qt's
// applicationDirPath() decodes it, and loses it when it is not UTF-8.
QByteArray programFolder()
{
    QByteArray target(4096, Qt::Uninitialized);
    const ssize_t length = ::readlink("/proc/self/exe", target.data(), size_t(target.size()));
    if (length <= 0 || length >= target.size())
        return QFile::encodeName(QCoreApplication::applicationDirPath());
    target.truncate(length);
    return FilePlacement::folderOf(target);
}

CollectionLocation defaultLocation()
{
    return CollectionLocation::resolve(programFolder());
}

} // namespace

QByteArray DbTool::defaultCollection()
{
    // The collection the program beside this tool uses: its folder's
    // frase.mdb, or the user's own when the program is installed.
    return defaultLocation().collectionFile();
}

const QList<DbTool::Command> &DbTool::commands()
{
    static const QList<Command> table = {
        {"list", "muestra las frases, todas o las de un tema o un autor", Tema | Autor | Format, 0, 0,
         Operands::None, Access::Read, &DbTool::list,
         "  list [ARCHIVO] [--tema TEMA] [--autor AUTOR] [--format texto|tsv|csv|json]\n"
         "      Todas las frases, o las del tema y del autor dados, en el orden de la\n"
         "      tabla, con su número, autor, tema y texto. texto (lo predeterminado)\n"
         "      muestra un bloque por frase; tsv, csv y json llevan las columnas\n"
         "      numero, autor, tema y frase (en tsv, el tabulador, el retorno de\n"
         "      carro, el salto de línea y la barra inversa se escriben \\t, \\r, \\n\n"
         "      y \\\\, y una frase sin tema lleva \\N).\n"},
        {"search", "muestra las frases que contienen todas las palabras dadas", Format, 0, 0, Operands::Words,
         Access::Read, &DbTool::search,
         "  search [ARCHIVO] PALABRA... [--format texto|tsv|csv|json]\n"
         "      Las frases en las que cada palabra aparece en el autor, el texto o\n"
         "      el tema, sin distinguir mayúsculas ni acentos (á = a, pero ñ no es\n"
         "      n); se muestran como en list. Si ninguna coincide, no muestra\n"
         "      ninguna (en tsv y csv queda la cabecera, en json []), lo dice y\n"
         "      termina con el código 1.\n"},
        {"random", "muestra una frase al azar, al estilo de fortune", Tema | Autor, 0, 0, Operands::None,
         Access::Read, &DbTool::random,
         "  random [ARCHIVO] [--tema TEMA] [--autor AUTOR]\n"
         "      Una frase al azar: el texto y una línea \"\\t\\t-- autor\". Código 1\n"
         "      si no hay ninguna que mostrar.\n"},
        {"add", "agrega una frase", Tema | Autor | Frase, Tema | Frase, 0, Operands::None, Access::Write, &DbTool::add,
         "  add [ARCHIVO] --frase FRASE --tema TEMA [--autor AUTOR]\n"
         "      Agrega una frase como la ventana \"Nueva frase\" de Sentalia: un tema\n"
         "      que aún no está en la lista de temas se guarda en mayúsculas y con\n"
         "      Index 1; uno que ya está, tal como se escribe. La frase no puede\n"
         "      estar en blanco ni pasar de 255 caracteres; sin autor (o con uno\n"
         "      vacío) queda \"Anónimo\".\n"},
        {"edit", "cambia el autor, el texto o el tema de una frase", Tema | Autor | Frase, 0, Tema | Autor | Frase,
         Operands::Number, Access::Write, &DbTool::edit,
         "  edit [ARCHIVO] NÚMERO [--autor AUTOR] [--frase FRASE] [--tema TEMA]\n"
         "      Cambia una frase. Los temas siguen en la lista de temas como antes:\n"
         "      si la frase era la que ponía su tema en la lista (Index 1), esa\n"
         "      marca pasa a la primera frase que le queda al tema; un tema que la\n"
         "      lista no tenía se guarda en mayúsculas y la frase le da su Index 1.\n"},
        {"delete", "borra frases por su número", 0, 0, 0, Operands::Numbers, Access::Write, &DbTool::remove,
         "  delete [ARCHIVO] NÚMERO...\n"
         "      Borra las frases. Si se va la frase que ponía su tema en la lista\n"
         "      (Index 1), la siguiente frase del tema toma su lugar, así la lista\n"
         "      nunca pierde un tema que aún tiene frases.\n"},
        {"topics", "muestra los temas y cuántas frases tiene cada uno", 0, 0, 0, Operands::None, Access::Read,
         &DbTool::topics,
         "  topics [ARCHIVO]\n"
         "      Cada tema (como los distingue Sentalia: sin mayúsculas, con\n"
         "      acentos) con su número de frases, en el orden de la lista de temas.\n"
         "      Se marca el tema sin Index 1, que Sentalia no muestra en la lista.\n"},
        {"backup", "copia el archivo de frases a un archivo nuevo", 0, 0, 0, Operands::Destination, Access::Read,
         &DbTool::backup,
         "  backup [ARCHIVO] DESTINO.mdb\n"
         "      Copia coherente y cifrada, revisada después de escribirla. Nunca\n"
         "      sobrescribe un archivo. Con dos argumentos .mdb, el primero es el\n"
         "      ARCHIVO y el segundo el DESTINO; con uno, ese es el DESTINO.\n"},
        {"create", "crea un archivo de frases nuevo y vacío", 0, 0, 0, Operands::File, Access::Create,
         &DbTool::create,
         "  create ARCHIVO\n"
         "      Crea un archivo de frases nuevo y vacío. Nunca sobrescribe un archivo.\n"},
        {"import", "agrega las frases de archivos fortune o CSV", Tema | Autor | UnaPorLinea, 0, 0,
         Operands::Sources, Access::Write, &DbTool::import,
         "  import [ARCHIVO] ORIGEN... [--tema TEMA] [--autor AUTOR] [--una-por-linea]\n"
         "      Agrega las frases de archivos fortune o CSV. Un CSV se reconoce por su\n"
         "      primera línea, autor,frace,tema, o autor,frace,tema,Index (la copia\n"
         "      exacta que escribe export), sea cual sea su nombre; los nombres van\n"
         "      separados por comas, o por puntos y comas o tabuladores, como los\n"
         "      escriben las hojas de cálculo. Cada línea se lee en UTF-8 o, si no lo\n"
         "      es, en Windows-1252; un archivo con marca de orden de bytes UTF-16 (el\n"
         "      \"Texto Unicode\" de Excel) se lee en UTF-16. Un ORIGEN - es la entrada\n"
         "      estándar (que, si no es CSV, necesita --tema). Todo en una sola\n"
         "      operación: si algo falla, el archivo queda exactamente como estaba.\n"
         "      Las frases que ya están (mismo texto, autor y tema) se omiten, y\n"
         "      también, con un aviso con su línea, las vacías, las que tienen\n"
         "      caracteres de control (salvo saltos de línea y tabuladores) y las de un\n"
         "      campo de más de 100.000 caracteres; varios orígenes se importan como si\n"
         "      cada uno fuera una orden aparte, uno tras otro. Un tema se guarda sin\n"
         "      los blancos ni los saltos de línea de sus bordes; uno nuevo, en\n"
         "      mayúsculas y con Index 1 (la copia exacta guarda el tema y el Index que\n"
         "      trae). Una frase sin tema se omite, con un aviso, si no se da --tema.\n"
         "      Un texto de varias líneas sin ninguna línea % no se importa, salvo que\n"
         "      sea una sola frase con su autor al final.\n"
         "      En un archivo fortune el autor es el último bloque de la frase:\n"
         "      una línea que empieza por \"--\" (o, sangrada un tabulador o dos\n"
         "      blancos o más, por \"-\", \"–\" o \"—\") y sigue con letras o cifras, y\n"
         "      las líneas que la siguen, sangradas al menos igual. No lo es sin\n"
         "      texto encima, ni si la línea de encima (las vacías no cuentan)\n"
         "      empieza también por una raya y palabras y está sangrada igual o\n"
         "      más: es un diálogo o una lista, y queda entero en la frase, de\n"
         "      \"Anónimo\". Valen también un bloque sangrado ocho columnas o más\n"
         "      que se lee como un nombre y un \" -- Nombre --\" al final del texto.\n"
         "      El nombre termina en la primera coma o punto y coma (no ante un\n"
         "      epíteto: \"Séneca, el joven\"), en un paréntesis o en el punto que\n"
         "      cierra una palabra; lo que sigue (\"(106-43 A.C.) Escritor\n"
         "      romano.\") es la última línea de la frase. Una línea que termina en\n"
         "      un solo tabulador se toma tal cual.\n"
         "      --tema TEMA    tema de las frases, en mayúsculas; en un archivo fortune\n"
         "                     reemplaza al nombre del archivo, en un CSV llena los\n"
         "                     temas que faltan\n"
         "      --autor AUTOR  autor de las frases que no lo traen (si no, \"Anónimo\")\n"
         "      --una-por-linea  en un origen que no es CSV, cada línea no vacía es\n"
         "                     una frase\n"},
        {"export", "escribe las frases en CSV o en formato fortune", Tema | Format, 0, 0, Operands::None,
         Access::Read, &DbTool::exportRecords,
         "  export [ARCHIVO] [--format csv|csv-excel|fortune] [--tema TEMA]\n"
         "      Escribe las frases en la salida estándar, en CSV (lo predeterminado)\n"
         "      o en formato fortune; con --tema, solo las de ese tema. El CSV lleva\n"
         "      también el Index y se vuelve a importar tal cual; un Index que otro\n"
         "      programa guardó sin ser un número entero (1.5, uno) se escribe como\n"
         "      está, y la importación lo rechaza. csv es UTF-8 con saltos de línea\n"
         "      LF; csv-excel, el mismo CSV para hojas de cálculo (LibreOffice,\n"
         "      Excel): empieza con la marca de orden de bytes de UTF-8 y sus líneas\n"
         "      terminan en CR LF (dentro de un campo, el salto de línea sigue\n"
         "      siendo LF). Un archivo fortune no guarda el tema ni las frases\n"
         "      vacías: el tema se toma del nombre del archivo al importarlo, por\n"
         "      ejemplo\n"
         "        sentalia-db export --format fortune --tema VIDA > vida.fortunes\n"
         "      fortune muestra cada frase como se lee y se vuelve a importar igual:\n"
         "      donde hay que guardar un salto de línea, unos blancos o un autor\n"
         "      entero (\"Séneca (4 a.C.)\", \"?\"), la línea termina en un\n"
         "      tabulador, que no se ve. Solo una línea de \"%\" y blancos, o que\n"
         "      empieza por U+FEFF, lleva delante una barra inversa (\\).\n"},
        {"check", "revisa el archivo de frases y cuenta frases y temas", 0, 0, 0, Operands::None, Access::Read,
         &DbTool::check,
         "  check [ARCHIVO]\n"
         "      Revisa que el archivo se abra, su tabla y su integridad, y cuenta las\n"
         "      frases, los temas con Index 1 y las frases sin tema. Nombra cada regla\n"
         "      de la tabla que cambiaría lo que se escribe (ON CONFLICT REPLACE o\n"
         "      IGNORE, WITHOUT ROWID, columnas de texto con tipo numérico, otra\n"
         "      intercalación): en una tabla así solo se lee.\n"},
    };
    return table;
}

const DbTool::Command *DbTool::findCommand(const QString &name)
{
    for (const Command &command : commands()) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

QString DbTool::helpText()
{
    QString list;
    QString paragraphs;
    for (const Command &command : commands()) {
        list += QStringLiteral("  %1 %2\n").arg(QString::fromLatin1(command.name), -8).arg(QString::fromUtf8(command.summary));
        paragraphs += QString::fromUtf8(command.help);
    }
    return QStringLiteral(
               "Uso: sentalia-db ORDEN [ARCHIVO] [...]\n"
               "\n"
               "Consulta, corrige, llena y copia el archivo de frases de Sentalia.\n"
               "\n"
               "Órdenes:\n"
               "%2"
               "\n"
               "ARCHIVO es el primer argumento que termina en .mdb (en mayúsculas o en\n"
               "minúsculas). Sin él, todas las órdenes menos create usan el archivo de\n"
               "frases de Sentalia:\n"
               "  %1\n"
               "\n"
               "Cada frase tiene un número que no cambia mientras exista: el que muestran\n"
               "list y search y el que piden edit y delete. Un número negativo (posible\n"
               "en archivos hechos por otros programas) va después de --, por ejemplo\n"
               "  sentalia-db delete frases.mdb -- -5\n"
               "\n"
               "%3"
               "\n"
               "--tema compara los temas como Sentalia: sin distinguir mayúsculas, pero\n"
               "sí los acentos. --autor busca un trozo del nombre, sin distinguir\n"
               "mayúsculas ni acentos (ñ no es n).\n"
               "\n"
               "  -h, --help     muestra esta ayuda\n"
               "  --version      muestra la versión y la licencia\n"
               "\n"
               "list, search, random, topics, export, check y backup solo leen: abren el\n"
               "archivo de frases sin escribir en él, aunque sea de solo lectura (de\n"
               "otro usuario, en un disco protegido o el que trae el paquete). Mientras\n"
               "leen, Sentalia y las órdenes que escriben esperan su turno; list y\n"
               "search sueltan el archivo antes de escribir lo que muestran.\n"
               "\n"
               "Mientras Sentalia está abierto, su archivo de frases no se puede usar:\n"
               "cierre Sentalia y vuelva a intentarlo. Las órdenes que escriben lo hacen\n"
               "en una sola operación: si algo falla o se interrumpen (Ctrl-C), el\n"
               "archivo queda como estaba.\n"
               "\n"
               "Códigos de salida: 0 hecho, 1 no se pudo hacer (se explica el motivo),\n"
               "2 orden mal escrita, 130 interrumpida con Ctrl-C, 143 terminada por\n"
               "SIGTERM, 129 terminada por SIGHUP (lo hecho a medias se deshace), 141 la\n"
               "salida se cerró antes de tiempo (SIGPIPE).\n")
        .arg(PathName::display(defaultCollection()), list, paragraphs);
}

bool DbTool::print(const QString &text)
{
    return write(TerminalText::encode(text));
}

void DbTool::message(const QString &text)
{
    // After a signal only the one line that says so is written.
    if (Interruption::requested())
        return;
    // A message never follows a progress line on the same row.
    if (m_progressShown) {
        std::fputc('\n', m_err);
        m_progressShown = false;
    }
    std::fputs(TerminalText::encode(text + QLatin1Char('\n')).constData(), m_err);
    std::fflush(m_err);
}

void DbTool::fail(const QString &text)
{
    message(QLatin1String(Program) + QLatin1String(": ") + text);
}

int DbTool::usageError(const QString &text)
{
    fail(text);
    message(QStringLiteral("Pruebe «sentalia-db --help» para ver cómo se usa."));
    return Usage;
}

bool DbTool::write(const QByteArray &bytes)
{
    std::fflush(m_out);
    const bool ok = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), m_out) == size_t(bytes.size());
    return std::fflush(m_out) == 0 && ok && !std::ferror(m_out);
}

int DbTool::outputFailed()
{
    const int error = errno;
    fail(QStringLiteral("No se pudo escribir la salida: %1.").arg(FailureText::systemReason(error ? error : EIO)));
    return Failed;
}

bool DbTool::parseArguments(const QList<QByteArray> &arguments, Options *options, int *exitCode)
{
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QByteArray &bytes = arguments.at(i);
        const QString argument = QString::fromUtf8(bytes);
        if (optionsEnded || !bytes.startsWith('-') || bytes == "-") {
            if (options->command.isEmpty()) {
                options->command = argument;
            } else if (!options->fileGiven && PathName::isCollection(bytes)) {
                options->file = bytes;
                options->fileGiven = true;
            } else {
                options->operands << bytes;
            }
            continue;
        }
        if (bytes == "--") {
            optionsEnded = true;
            continue;
        }
        if (bytes == "-h" || bytes == "--help") {
            *exitCode = print(helpText()) ? Done : outputFailed();
            return false;
        }
        if (bytes == "--version") {
            // As the GNU tools say it, in the words of their Spanish translation.
            *exitCode = print(QStringLiteral("sentalia-db %1.%2.%3\n"
                                             "Copyright (C) 2004-2026 Equipo Sentalia.\n"
                                             "Licencia GPLv3+: GPL de GNU versión 3 o posterior\n"
                                             "<https://gnu.org/licenses/gpl.html>.\n"
                                             "Esto es software libre: usted es libre de cambiarlo y "
                                             "redistribuirlo.\n"
                                             "No hay NINGUNA GARANTÍA, hasta donde permite la ley.\n")
                                  .arg(Version::Major)
                                  .arg(Version::Minor)
                                  .arg(Version::Revision))
                ? Done
                : outputFailed();
            return false;
        }
        if (bytes == "--una-por-linea" || bytes.startsWith("--una-por-linea=")) {
            if (bytes != "--una-por-linea") {
                *exitCode = usageError(QStringLiteral("la opción --una-por-linea no lleva valor"));
                return false;
            }
            if (options->onePerLine) {
                *exitCode = usageError(QStringLiteral("la opción --una-por-linea está repetida"));
                return false;
            }
            options->onePerLine = true;
            continue;
        }
        QString name = argument;
        QString value;
        bool hasValue = false;
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        if (equals > 0) {
            name = argument.left(equals);
            value = argument.mid(equals + 1);
            hasValue = true;
        }
        QString *target = nullptr;
        bool *given = nullptr;
        if (name == QLatin1String("--tema")) {
            target = &options->tema;
            given = &options->temaGiven;
        } else if (name == QLatin1String("--autor")) {
            target = &options->autor;
            given = &options->autorGiven;
        } else if (name == QLatin1String("--format")) {
            target = &options->format;
            given = &options->formatGiven;
        } else if (name == QLatin1String("--frase")) {
            target = &options->frase;
            given = &options->fraseGiven;
        } else {
            bool number = false;
            argument.toLongLong(&number);
            *exitCode = usageError(number ? QStringLiteral("opción desconocida: %1 (un número de frase negativo va "
                                                           "después de --, como en «sentalia-db delete ARCHIVO -- %1»)")
                                                .arg(argument)
                                          : QStringLiteral("opción desconocida: %1").arg(argument));
            return false;
        }
        QByteArray valueBytes = bytes.mid(bytes.indexOf('=') + 1);
        if (!hasValue) {
            if (i + 1 >= arguments.size()) {
                *exitCode = usageError(QStringLiteral("a la opción %1 le falta su valor").arg(name));
                return false;
            }
            valueBytes = arguments.at(++i);
        }
        // As the terminal's character set spells it, never with U+FFFD for
        // what it cannot read; stored text is composed (NFC).
        if (!TerminalText::decode(valueBytes, &value)) {
            *exitCode = usageError(QStringLiteral("el valor de %1 no es texto válido en la codificación del sistema (%2)")
                                       .arg(name, QString::fromLatin1(TerminalText::charset())));
            return false;
        }
        value = TextRules::composed(value);
        if (TextRules::hasControlCharacters(value)) {
            *exitCode = usageError(QStringLiteral("el valor de %1 tiene un carácter de control, que no se guarda").arg(name));
            return false;
        }
        if (*given) {
            *exitCode = usageError(QStringLiteral("la opción %1 está repetida").arg(name));
            return false;
        }
        *target = value;
        *given = true;
    }
    return true;
}

int DbTool::checkUsage(const Command &rule, Options *options)
{
    const QString command = QString::fromLatin1(rule.name);
    const struct {
        const char *name;
        Option flag;
        bool given;
        const QString *value;
    } optionUse[] = {
        {"--tema", Tema, options->temaGiven, &options->tema},
        {"--autor", Autor, options->autorGiven, &options->autor},
        {"--format", Format, options->formatGiven, &options->format},
        {"--frase", Frase, options->fraseGiven, &options->frase},
        {"--una-por-linea", UnaPorLinea, options->onePerLine, nullptr},
    };
    QStringList missing;
    QStringList oneOf;
    bool anyOf = false;
    for (const auto &option : optionUse) {
        if (rule.required & option.flag && !option.given)
            missing << QLatin1String(option.name);
        if (rule.oneOf & option.flag) {
            oneOf << QLatin1String(option.name);
            anyOf = anyOf || option.given;
        }
        if (!option.given)
            continue;
        if (!(rule.options & option.flag))
            return usageError(QStringLiteral("%1 no admite la opción %2").arg(command, QLatin1String(option.name)));
        // An empty author becomes "Anónimo", and a blank quotation gets the
        // program's own refusal; any other option needs a value.
        const bool mayBeEmpty = rule.access == Access::Write && (rule.options & Frase) && option.flag != Tema;
        if (option.value && !mayBeEmpty && option.value->trimmed().isEmpty())
            return usageError(QStringLiteral("la opción %1 necesita un valor no vacío").arg(QLatin1String(option.name)));
    }

    const auto extra = [&](qsizetype from) {
        const QByteArray &operand = options->operands.at(from);
        return usageError(QStringLiteral("%1: sobra «%2» (el archivo de frases es el que termina en .mdb)")
                              .arg(command, PathName::display(operand)));
    };
    switch (rule.operands) {
    case Operands::File:
        if (!options->fileGiven)
            return usageError(QStringLiteral("create: falta el archivo de frases (un nombre que termine en .mdb)"));
        if (!options->operands.isEmpty())
            return extra(0);
        break;
    case Operands::Destination:
        // Two .mdb names: FILE and DEST; one: DEST, from the default FILE.
        for (qsizetype i = 0; i < options->operands.size() && options->destination.isEmpty(); ++i) {
            if (PathName::isCollection(options->operands.at(i)))
                options->destination = options->operands.takeAt(i);
        }
        if (options->destination.isEmpty() && options->fileGiven) {
            options->destination = options->file;
            options->file.clear();
            options->fileGiven = false;
        }
        if (options->destination.isEmpty())
            return usageError(QStringLiteral("backup: falta el destino (un nombre que termine en .mdb)"));
        if (!options->operands.isEmpty())
            return extra(0);
        break;
    case Operands::Sources:
        if (options->operands.isEmpty())
            return usageError(QStringLiteral("%1: falta al menos un archivo de origen").arg(command));
        break;
    case Operands::Words:
        if (options->operands.isEmpty())
            return usageError(QStringLiteral("%1: falta al menos una palabra").arg(command));
        for (const QByteArray &bytes : std::as_const(options->operands)) {
            QString word;
            if (!TerminalText::decode(bytes, &word))
                return usageError(QStringLiteral("%1: la palabra «%2» no es texto válido en la codificación del "
                                                 "sistema (%3)")
                                      .arg(command, PathName::display(bytes), QString::fromLatin1(TerminalText::charset())));
            if (TextRules::searchKey(word).trimmed().isEmpty())
                return usageError(QStringLiteral("%1: una palabra en blanco no busca nada").arg(command));
            options->words << TextRules::composed(word);
        }
        break;
    case Operands::Number:
    case Operands::Numbers:
        if (options->operands.isEmpty())
            return usageError(QStringLiteral("%1: falta el número de la frase").arg(command));
        if (rule.operands == Operands::Number && options->operands.size() > 1)
            return extra(1);
        break;
    case Operands::None:
        if (!options->operands.isEmpty())
            return extra(0);
        break;
    }
    if (!missing.isEmpty())
        return usageError(QStringLiteral("%1: faltan %2").arg(command, missing.join(QStringLiteral(" y "))));
    if (!oneOf.isEmpty() && !anyOf)
        return usageError(QStringLiteral("%1: falta lo que se cambia (%2)")
                              .arg(command, QStringList(oneOf.mid(0, oneOf.size() - 1)).join(QStringLiteral(", "))
                                       + QStringLiteral(" o ") + oneOf.last()));
    return Done;
}

int DbTool::run(const QList<QByteArray> &arguments)
{
    Options options;
    int exitCode = Done;
    if (!parseArguments(arguments, &options, &exitCode))
        return exitCode;
    if (options.command.isEmpty()) {
        QStringList names;
        for (const Command &command : commands())
            names << QString::fromLatin1(command.name);
        return usageError(QStringLiteral("falta la orden (%1 o %2)")
                              .arg(QStringList(names.mid(0, names.size() - 1)).join(QStringLiteral(", ")), names.last()));
    }
    const Command *command = findCommand(options.command);
    if (!command)
        return usageError(QStringLiteral("orden desconocida: %1").arg(options.command));
    exitCode = checkUsage(*command, &options);
    if (exitCode != Done)
        return exitCode;

    m_access = command->access;
    const int code = dispatch(*command, options);
    if (const int sig = Interruption::requested()) {
        const QString how = sig == SIGINT ? QStringLiteral("con Ctrl-C")
            : sig == SIGHUP               ? QStringLiteral("al cerrarse la terminal (SIGHUP)")
                                          : QStringLiteral("por SIGTERM");
        const QString path = PathName::display(options.file);
        QString line = QStringLiteral("%1: interrumpido %2").arg(QLatin1String(Program), how);
        if (command->access == Access::Write)
            line += code == Done ? QStringLiteral(" después de guardar los cambios en %1.").arg(path)
                                 : QStringLiteral("; %1 quedó como estaba.").arg(path);
        else
            line += QLatin1Char('.');
        std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), m_err);
        std::fflush(m_err);
    }
    return code;
}

int DbTool::dispatch(const Command &command, Options &options)
{
    if (command.access != Access::Create && !options.fileGiven) {
        const CollectionLocation location = defaultLocation();
        options.file = location.collectionFile();
        // The first start of Sentalia copies the shipped collection; the
        // tool never does.
        struct stat info;
        if (location.isUserCollection() && ::lstat(options.file.constData(), &info) != 0 && errno == ENOENT) {
            fail(QStringLiteral("Todavía no existe su archivo de frases %1: abra Sentalia una vez y se creará.")
                     .arg(PathName::display(options.file)));
            return Failed;
        }
    }
    return (this->*command.handler)(options);
}

std::unique_ptr<QuoteStore> DbTool::openStore(const QByteArray &file)
{
    const QString path = PathName::display(file);
    QuoteStore::OpenResult result =
        m_access == Access::Read ? QuoteStore::openForReading(file) : QuoteStore::openPath(file);
    if (result) {
        for (const QString &warning : result.store->schemaWarnings())
            fail(QStringLiteral("Aviso: en la tabla de frases de %1, %2; ninguna orden escribirá en ella.")
                     .arg(path, warning));
        return std::move(result.store);
    }
    using Failure = QuoteStore::Failure;
    // The sentences that already carry the cause need no detail.
    const bool causeInSentence = result.failure == Failure::ForeignSchema || result.failure == Failure::Unreachable
        || result.failure == Failure::OwnerMustOpen || result.failure == Failure::NeedsRecovery;
    QString text = FailureText::sentence(result.failure, path, causeInSentence ? result.reason : QString());
    if (result.failure == Failure::Missing)
        text += QStringLiteral(" Créelo con «sentalia-db create %1».").arg(path);
    fail(text + (causeInSentence ? QString() : detail(result.reason)));
    return nullptr;
}

int DbTool::create(const Options &options)
{
    const QString path = PathName::display(options.file);
    QuoteStore::OpenResult result = QuoteStore::createPath(options.file);
    if (!result) {
        const QString folder = QFileInfo(path).absolutePath();
        switch (result.failure) {
        case QuoteStore::Failure::AlreadyExists:
            fail(QStringLiteral("%1 ya existe; no se sobrescribe.").arg(path));
            break;
        case QuoteStore::Failure::Missing:
            fail(QStringLiteral("No existe la carpeta %1: créela antes de crear en ella el archivo de frases.")
                     .arg(folder)
                 + detail(result.reason));
            break;
        default:
            fail(FailureText::sentence(result.failure, path) + detail(result.reason));
            break;
        }
        return Failed;
    }
    return print(QStringLiteral("Creado %1: archivo de frases vacío.\n").arg(path)) ? Done : outputFailed();
}

int DbTool::import(const Options &options)
{
    const QString path = PathName::display(options.file);
    const QString tema = options.temaGiven ? TextRules::upperTopic(options.tema.trimmed()) : QString();
    const QString autor = options.autorGiven ? options.autor.trimmed() : QString();
    const auto nothingImported = [&] {
        message(QStringLiteral("No se importó nada: %1 quedó como estaba.").arg(path));
        return Failed;
    };

    // "-" is standard input, which has no name to show or to take a topic
    // from.
    const auto nameOf = [](const QByteArray &source) {
        return source == "-" ? QStringLiteral("la entrada estándar") : PathName::text(source);
    };

    // Every source is checked before the collection is touched: readable,
    // text, not the collection itself, and, unless it is CSV, a fortune
    // file or a list taken line by line.
    struct stat collection;
    const bool collectionExists = ::stat(options.file.constData(), &collection) == 0;
    qint64 totalBytes = 0;
    // Pipes, devices and standard input read once, kept for the second pass.
    std::map<qsizetype, std::unique_ptr<SourceFile>> spooled;
    for (qsizetype i = 0; i < options.operands.size(); ++i) {
        const QByteArray &sourceName = options.operands.at(i);
        const QString sourcePath = nameOf(sourceName);
        struct stat info;
        const bool found = sourceName == "-" ? ::fstat(STDIN_FILENO, &info) == 0
                                             : ::stat(sourceName.constData(), &info) == 0;
        if (collectionExists && found && info.st_dev == collection.st_dev && info.st_ino == collection.st_ino) {
            fail(QStringLiteral("%1 es el propio archivo de frases: no se puede importar en sí mismo").arg(sourcePath));
            return nothingImported();
        }
        auto source = std::make_unique<SourceFile>();
        QString error;
        if (!source->open(sourceName, sourcePath, &error)) {
            fail(error);
            return nothingImported();
        }
        const bool csv = source->kind() == SourceFile::Kind::Csv;
        if (!csv && !options.onePerLine && source->lacksSeparators()) {
            fail(QStringLiteral("%1 tiene varias líneas de texto y ninguna línea «%», así que no es un archivo "
                                "fortune: escriba una línea que solo tenga «%» después de cada frase, o importe "
                                "cada línea como una frase con --una-por-linea")
                     .arg(sourcePath));
            return nothingImported();
        }
        if (!csv && sourceName == "-" && tema.isEmpty()) {
            fail(QStringLiteral("la entrada estándar no tiene un nombre del que tomar el tema de sus frases: "
                                "indíquelo con --tema"));
            return nothingImported();
        }
        if (const qint64 lines = source->windowsLines()) {
            QStringList numbers;
            for (const qint64 number : source->firstWindowsLines())
                numbers << QString::number(number);
            if (lines > numbers.size())
                numbers << QStringLiteral("…");
            message(lines == 1 ? QStringLiteral("Aviso: %1: 1 línea no está en UTF-8 (%2); se lee como Windows-1252.")
                                     .arg(sourcePath, numbers.join(QStringLiteral(", ")))
                               : QStringLiteral("Aviso: %1: %2 líneas no están en UTF-8 (%3); se leen como Windows-1252.")
                                     .arg(sourcePath)
                                     .arg(lines)
                                     .arg(numbers.join(QStringLiteral(", "))));
        }
        totalBytes += source->size();
        if (source->spooled())
            spooled[i] = std::move(source);
    }

    std::unique_ptr<QuoteStore> store = openStore(options.file);
    if (!store)
        return nothingImported();

    m_lastProgressMs = -1;
    m_lastProgressQuarter = 0;
    progressClock();
    Importer importer(*store);
    if (!importer.begin()) {
        fail(QStringLiteral("La importación falló. ") + FailureText::sentence(importer.lastFailure(), path)
                 + detail(importer.lastError()));
        return nothingImported();
    }
    // Records are stored as they are read; on any failure the transaction
    // is rolled back and the file stays as it was.
    qint64 doneBytes = 0;
    qint64 emptySkipped = 0;
    qint64 untopicedSkipped = 0;
    qint64 controlSkipped = 0;
    qint64 longSkipped = 0;
    qint64 handled = 0;
    for (qsizetype i = 0; i < options.operands.size(); ++i) {
        const QByteArray &sourceName = options.operands.at(i);
        const QString sourcePath = nameOf(sourceName);
        std::unique_ptr<SourceFile> opened = spooled.count(i) ? std::move(spooled[i]) : std::make_unique<SourceFile>();
        SourceFile &source = *opened;
        QString error;
        if (source.spooled() ? !source.rewind() : !source.open(sourceName, sourcePath, &error)) {
            importer.rollback();
            fail(error.isEmpty() ? QStringLiteral("no se pudo volver a leer %1").arg(sourcePath) : error);
            return nothingImported();
        }
        qint64 found = 0;
        qint64 empty = 0;
        qint64 untopiced = 0;
        qint64 control = 0;
        qint64 tooLong = 0;
        bool stored = true;
        // Each source is compared with what the ones before it stored, as
        // if it were imported on its own afterwards.
        importer.startSource();
        const auto take = [&](QuoteRecord record, qint64 line, Importer::Origin origin, bool overLong) {
            // Nothing of a record is stored when one of its fields cannot be.
            const QString where = QStringLiteral("%1, línea %2: ").arg(sourcePath).arg(line);
            const struct {
                const char *name;
                const QString &text;
            } fields[] = {{"la frase", record.frace}, {"el autor", record.autor}, {"el tema", record.tema}};
            for (const auto &field : fields) {
                if (overLong || overFieldLimit(field.text)) {
                    ++tooLong;
                    message(where + QStringLiteral("%1 tiene más de %2 caracteres; se omite.")
                                        .arg(overLong ? QStringLiteral("un campo") : QString::fromUtf8(field.name))
                                        .arg(QStringLiteral("100.000")));
                    return;
                }
                if (const char16_t ch = controlCharacter(field.text)) {
                    ++control;
                    message(where + QStringLiteral("%1 tiene un carácter de control (U+%2), que no se guarda; se omite.")
                                        .arg(QString::fromUtf8(field.name),
                                             QStringLiteral("%1").arg(unsigned(ch), 4, 16, QLatin1Char('0')).toUpper()));
                    return;
                }
            }
            if (!tema.isEmpty() && record.tema.trimmed().isEmpty()) {
                record.tema = tema;
                record.temaIsNull = false;
            }
            if (record.autor.trimmed().isEmpty() && (!autor.isEmpty() || origin == Importer::Origin::NewMaterial)) {
                record.autor = autor.isEmpty() ? FortuneParser::anonymous() : autor;
                record.autorIsNull = false;
            }
            // The program refuses blank quotations; an exact copy keeps what
            // its collection held.
            if (origin == Importer::Origin::NewMaterial && record.frace.trimmed().isEmpty()) {
                ++empty;
                message(QStringLiteral("%1, línea %2: la frase está vacía; se omite.").arg(sourcePath).arg(line));
                return;
            }
            // New material needs a topic; an exact copy keeps the records
            // its collection held without one.
            if (origin == Importer::Origin::NewMaterial && record.tema.trimmed().isEmpty()) {
                ++untopiced;
                message(QStringLiteral("%1, línea %2: la frase no tiene tema; se omite (--tema da uno a las que no "
                                       "lo traen).")
                            .arg(sourcePath)
                            .arg(line));
                return;
            }
            ++found;
            stored = importer.add(record, origin);
            if (++handled % 500 == 0)
                showProgress(doneBytes + source.bytesRead(), totalBytes, false);
        };
        QString kind;
        QuoteRecord record;
        qint64 line = 0;
        if (source.kind() == SourceFile::Kind::Csv) {
            CsvReader reader(source);
            if (reader.readHeader(&error)) {
                const Importer::Origin origin =
                    reader.hasIndex() ? Importer::Origin::ExactCopy : Importer::Origin::NewMaterial;
                kind = reader.hasIndex() ? QStringLiteral("CSV con Index") : QStringLiteral("CSV");
                while (stored && reader.next(&record, &line, &error))
                    take(record, line, origin, reader.overLong());
            }
            if (!error.isEmpty() && !error.startsWith(sourcePath))
                error = QStringLiteral("%1: %2").arg(sourcePath, error);
        } else if (options.onePerLine) {
            const QString topic = tema.isEmpty() ? FortuneParser::topicForFile(sourcePath) : tema;
            kind = QStringLiteral("una frase por línea, tema %1").arg(topic);
            LineListReader reader(source, topic, autor);
            while (stored && reader.next(&record, &line))
                take(record, line, Importer::Origin::NewMaterial, reader.overLong());
            error = source.error();
        } else {
            const QString topic = tema.isEmpty() ? FortuneParser::topicForFile(sourcePath) : tema;
            kind = QStringLiteral("fortune, tema %1").arg(topic);
            FortuneParser parser(source, topic, autor);
            while (stored && parser.next(&record, &line))
                take(record, line, Importer::Origin::NewMaterial, parser.overLong());
            error = source.error();
        }
        if (!stored) {
            fail(QStringLiteral("La importación falló. ") + FailureText::sentence(importer.lastFailure(), path)
                 + detail(importer.lastError()));
            return nothingImported();
        }
        if (!error.isEmpty()) {
            importer.rollback();
            fail(error);
            return nothingImported();
        }
        doneBytes += source.size();
        QString summary = QStringLiteral("%1 (%2): %3").arg(sourcePath, kind, Wording::count(found, "frase", "frases"));
        if (empty > 0)
            summary += QStringLiteral(", %1").arg(Wording::count(empty, "vacía omitida", "vacías omitidas"));
        if (untopiced > 0)
            summary += QStringLiteral(", %1").arg(Wording::count(untopiced, "sin tema omitida", "sin tema omitidas"));
        summary += contentSkips(control, tooLong);
        message(summary + QLatin1Char('.'));
        emptySkipped += empty;
        untopicedSkipped += untopiced;
        controlSkipped += control;
        longSkipped += tooLong;
    }
    if (!importer.commit()) {
        fail(QStringLiteral("La importación falló. ") + FailureText::sentence(importer.lastFailure(), path)
                 + detail(importer.lastError()));
        return nothingImported();
    }
    showProgress(totalBytes, totalBytes, true);
    const Importer::Summary summary = importer.summary();
    QString done = QStringLiteral("Importación terminada en %1: %2, %3, %4")
                       .arg(path, Wording::count(summary.added, "frase agregada", "frases agregadas"),
                            Wording::count(summary.skipped, "repetida omitida", "repetidas omitidas"),
                            Wording::count(summary.topicsCreated, "tema nuevo", "temas nuevos"));
    if (emptySkipped > 0)
        done += QStringLiteral(", %1").arg(Wording::count(emptySkipped, "vacía omitida", "vacías omitidas"));
    if (untopicedSkipped > 0)
        done += QStringLiteral(", %1").arg(Wording::count(untopicedSkipped, "sin tema omitida", "sin tema omitidas"));
    done += contentSkips(controlSkipped, longSkipped);
    return print(done + QStringLiteral(".\n")) ? Done : outputFailed();
}

void DbTool::showProgress(qint64 done, qint64 total, bool last)
{
    // Only long imports report; short ones finish before anyone waits.
    if (total < 256 * 1024)
        return;
    const qint64 now = progressClock().elapsed();
    const int percent = int(done * 100 / total);
    if (m_errIsTerminal) {
        if (!last && m_lastProgressMs >= 0 && now - m_lastProgressMs < 200)
            return;
        m_lastProgressMs = now;
        const QString line = QStringLiteral("\rGuardando frases: %1 %").arg(percent);
        std::fputs(TerminalText::encode(line + (last ? QStringLiteral("\n") : QString())).constData(), m_err);
        std::fflush(m_err);
        m_progressShown = !last;
        return;
    }
    // Into a file or a pipe: one line per quarter.
    const int quarter = percent / 25;
    if (quarter > m_lastProgressQuarter || (last && m_lastProgressQuarter < 4)) {
        m_lastProgressQuarter = last ? 4 : quarter;
        message(QStringLiteral("Guardando frases: %1 %").arg(percent));
    }
}

int DbTool::exportRecords(const Options &options)
{
    Exporter::Format format = Exporter::Format::Csv;
    if (options.formatGiven) {
        if (options.format == QLatin1String("fortune"))
            format = Exporter::Format::Fortune;
        else if (options.format == QLatin1String("csv-excel"))
            format = Exporter::Format::CsvExcel;
        else if (options.format != QLatin1String("csv"))
            return usageError(
                QStringLiteral("formato desconocido: %1 (use csv, csv-excel o fortune)").arg(options.format));
    }
    const QString path = PathName::display(options.file);
    std::unique_ptr<QuoteStore> store = openStore(options.file);
    if (!store)
        return Failed;

    // Everything is written to a temporary file first, so that a failed
    // export leaves nothing half-written on standard output.
    OutputSpool spool;
    if (!spool.create()) {
        fail(QStringLiteral("La exportación falló. ") + spool.failure());
        return Failed;
    }
    Exporter exporter(*store, format);
    if (options.temaGiven)
        exporter.setTopic(options.tema.trimmed());
    if (!exporter.run(&spool)) {
        if (Interruption::requested())
            return Failed;
        if (!spool.failure().isEmpty())
            fail(QStringLiteral("La exportación falló. ") + spool.failure());
        else
            fail(QStringLiteral("La exportación falló. ") + FailureText::sentence(store->lastFailure(), path)
                 + detail(exporter.lastError()));
        return Failed;
    }
    if (!copyOut(store, spool))
        return Failed;
    if (exporter.skippedEmpty() > 0)
        message(exporter.skippedEmpty() == 1
                    ? QStringLiteral("Aviso: 1 frase vacía no tiene lugar en un archivo fortune y no se escribe.")
                    : QStringLiteral("Aviso: %1 frases vacías no tienen lugar en un archivo fortune y no se escriben.")
                          .arg(exporter.skippedEmpty()));
    message(QStringLiteral("%1 %2.").arg(Wording::agree(exporter.written(), "Exportada", "Exportadas"),
                                         Wording::count(exporter.written(), "frase", "frases")));
    return Done;
}

int DbTool::check(const Options &options)
{
    const QString path = PathName::display(options.file);
    std::unique_ptr<QuoteStore> store = openStore(options.file);
    if (!store)
        return Failed;

    QuoteStore::Counts counts;
    if (!store->counts(&counts)) {
        fail(FailureText::sentence(store->lastFailure(), path) + detail(store->lastError()));
        return Failed;
    }
    // Topics whose records no topic list shows (no record with Index 1).
    QSet<QString> topics;
    QSet<QString> listed;
    // Text from older imports or other programs: counted, never changed.
    qint64 notComposed = 0;
    qint64 withControls = 0;
    const bool read = store->forEachRecord([&](const QuoteRecord &record) {
        const QString *texts[] = {&record.autor, &record.frace, &record.tema};
        bool composed = true;
        bool controls = false;
        for (const QString *text : texts) {
            composed = composed && TextRules::composed(*text) == *text;
            controls = controls || TextRules::hasControlCharacters(*text);
        }
        notComposed += composed ? 0 : 1;
        withControls += controls ? 1 : 0;
        if (record.temaIsNull)
            return;
        const QString key = TextRules::topicKey(record.tema);
        topics.insert(key);
        if (record.hasIndex && record.index == 1)
            listed.insert(key);
    });
    QStringList problems;
    if (!read || !store->integrityCheck(&problems)) {
        fail(FailureText::sentence(store->lastFailure(), path) + detail(store->lastError()));
        return Failed;
    }
    const qsizetype unlisted = (topics - listed).size();

    QString report;
    report += QStringLiteral("Archivo: %1\n").arg(path);
    report += QStringLiteral("Tabla: tabla1 con autor, frace, tema e Index\n");
    const QStringList hazards = store->schemaWarnings();
    if (!hazards.isEmpty()) {
        report += QStringLiteral("Reglas de la tabla que cambiarían lo que se escribe (solo se lee): %1\n")
                      .arg(hazards.size());
        for (const QString &hazard : hazards)
            report += QStringLiteral("  %1\n").arg(hazard);
    }
    report += QStringLiteral("Frases: %1\n").arg(counts.records);
    report += QStringLiteral("Temas con Index 1: %1\n").arg(counts.topics);
    report += QStringLiteral("Frases sin tema (NULL): %1\n").arg(counts.nullTopics);
    report += QStringLiteral("Temas sin Index 1 (no salen en las listas de temas): %1\n").arg(unlisted);
    report += QStringLiteral("Frases con acentos descompuestos (no en NFC): %1\n").arg(notComposed);
    report += QStringLiteral("Frases con caracteres de control: %1\n").arg(withControls);
    if (problems.isEmpty()) {
        report += QStringLiteral("Integridad: correcta\n");
        return print(report) ? Done : outputFailed();
    }
    report += QStringLiteral("Integridad: con problemas\n");
    for (const QString &problem : std::as_const(problems))
        report += QStringLiteral("  %1\n").arg(problem);
    if (!print(report))
        return outputFailed();
    fail(QStringLiteral("%1 está dañado").arg(path));
    return Failed;
}

bool DbTool::recordNumbers(const Options &options, QList<qint64> *numbers, int *exitCode)
{
    for (const QByteArray &operand : options.operands) {
        bool ok = false;
        // Any row id the engine can hold, 0 and negative ones included
        // (files made elsewhere may have them).
        const qint64 number = operand.toLongLong(&ok);
        if (!ok || operand.startsWith('+') || operand.trimmed() != operand) {
            *exitCode = usageError(QStringLiteral("%1: «%2» no es un número de frase").arg(options.command,
                                                                                        PathName::display(operand)));
            return false;
        }
        *numbers << number;
    }
    return true;
}

int DbTool::listRecords(const Options &options, bool searching)
{
    RecordListing::Format format = RecordListing::Format::Text;
    if (options.formatGiven && !RecordListing::parseFormat(options.format, &format))
        return usageError(QStringLiteral("formato desconocido: %1 (use texto, tsv, csv o json)").arg(options.format));
    RecordFilter filter;
    if (options.temaGiven)
        filter.setTopic(options.tema.trimmed());
    if (options.autorGiven)
        filter.setAuthor(options.autor.trimmed());
    QStringList words;
    if (searching) {
        words = options.words;
        filter.setWords(words);
    }
    std::unique_ptr<QuoteStore> store = openStore(options.file);
    if (!store)
        return Failed;

    OutputSpool spool;
    if (!spool.create()) {
        fail(spool.failure());
        return Failed;
    }
    RecordListing listing(format, &spool);
    const bool read = store->forEachRecord([&](const QuoteRecord &record) {
        if (!Interruption::requested() && filter.matches(record))
            listing.add(record);
    });
    if (!read) {
        storeFailed(QStringLiteral("No se pudieron leer las frases"), *store, store->lastError());
        return Failed;
    }
    if (!listing.finish()) {
        if (!Interruption::requested())
            fail(spool.failure());
        return Failed;
    }
    const qint64 count = listing.count();
    if (!copyOut(store, spool))
        return Failed;
    if (searching && count == 0) {
        fail(QStringLiteral("ninguna frase contiene %1").arg(words.join(QStringLiteral(" y "))));
        return Failed;
    }
    const QString counted = Wording::count(count, "frase", "frases");
    message(searching ? QStringLiteral("%1 %2.").arg(Wording::agree(count, "Encontrada", "Encontradas"), counted)
                      : counted + QLatin1Char('.'));
    return Done;
}

bool DbTool::copyOut(std::unique_ptr<QuoteStore> &store, OutputSpool &spool)
{
    // An interrupted scan stops here, before anything is shown; whoever
    // installed the handlers says why and ends the process.
    if (Interruption::requested())
        return false;
    // The collection is free before a pager or a slow pipe sees a byte.
    store.reset();
    if (spool.copyTo(m_out))
        return true;
    if (spool.outputFailed())
        outputFailed();
    else if (!Interruption::requested())
        fail(spool.failure());
    return false;
}

void DbTool::storeFailed(const QString &what, const QuoteStore &store, const QString &reason)
{
    const QString sentence = FailureText::sentence(store.lastFailure(), store.path());
    fail(what + QLatin1Char('.') + (sentence.isEmpty() ? QString() : QLatin1Char(' ') + sentence) + detail(reason));
}

int DbTool::list(const Options &options)
{
    return listRecords(options, false);
}

int DbTool::search(const Options &options)
{
    return listRecords(options, true);
}

int DbTool::random(const Options &options)
{
    RecordFilter filter;
    if (options.temaGiven)
        filter.setTopic(options.tema.trimmed());
    if (options.autorGiven)
        filter.setAuthor(options.autor.trimmed());
    std::unique_ptr<QuoteStore> store = openStore(options.file);
    if (!store)
        return Failed;
    RandomPicker picker(*store);
    QuoteRecord record;
    bool found = false;
    if (!picker.pick(filter, &record, &found)) {
        storeFailed(QStringLiteral("No se pudo leer una frase"), *store, picker.lastError());
        return Failed;
    }
    if (!found) {
        fail(filter.isEmpty() ? QStringLiteral("%1 no tiene frases").arg(PathName::display(options.file))
                              : QStringLiteral("ninguna frase es de ese tema o autor"));
        return Failed;
    }
    const QString autor = TextRules::authorOrAnonymous(record.autor);
    if (!write(TerminalText::encode(record.frace + QLatin1String("\n\t\t-- ") + autor + QLatin1Char('\n')))) {
        return outputFailed();
    }
    return Done;
}

int DbTool::add(const Options &options)
{
    std::unique_ptr<QuoteStore> store = openStore(options.file);
    if (!store)
        return Failed;
    CollectionEditor editor(*store);
    QuoteRecord stored;
    const CollectionEditor::Outcome outcome = editor.add(options.autor, options.frase, options.tema, &stored);
    if (outcome != CollectionEditor::Outcome::Done) {
        if (outcome == CollectionEditor::Outcome::Refused)
            fail(editor.lastError());
        else
            storeFailed(QStringLiteral("No se pudo guardar la frase"), *store, editor.lastError());
        return Failed;
    }
    if (!print(QStringLiteral("Agregada la frase %1 (tema %2, autor %3).\n")
                   .arg(QString::number(stored.id), stored.tema, stored.autor)))
        return outputFailed();
    for (const QString &note : editor.notes())
        message(note);
    return Done;
}

int DbTool::edit(const Options &options)
{
    QList<qint64> numbers;
    int exitCode = Done;
    if (!recordNumbers(options, &numbers, &exitCode))
        return exitCode;
    CollectionEditor::Change change;
    if (options.autorGiven)
        change.autor = options.autor;
    if (options.fraseGiven)
        change.frace = options.frase;
    if (options.temaGiven)
        change.tema = options.tema;
    std::unique_ptr<QuoteStore> store = openStore(options.file);
    if (!store)
        return Failed;
    CollectionEditor editor(*store);
    QuoteRecord stored;
    const CollectionEditor::Outcome outcome = editor.edit(numbers.first(), change, &stored);
    if (outcome != CollectionEditor::Outcome::Done) {
        if (outcome == CollectionEditor::Outcome::Refused)
            fail(editor.lastError());
        else
            storeFailed(QStringLiteral("No se pudo cambiar la frase"), *store, editor.lastError());
        return Failed;
    }
    if (!print(QStringLiteral("Cambiada la frase %1.\n").arg(stored.id)))
        return outputFailed();
    for (const QString &note : editor.notes())
        message(note);
    return Done;
}

int DbTool::remove(const Options &options)
{
    QList<qint64> numbers;
    int exitCode = Done;
    if (!recordNumbers(options, &numbers, &exitCode))
        return exitCode;
    std::unique_ptr<QuoteStore> store = openStore(options.file);
    if (!store)
        return Failed;
    CollectionEditor editor(*store);
    const CollectionEditor::Outcome outcome = editor.remove(numbers);
    if (outcome != CollectionEditor::Outcome::Done) {
        if (outcome == CollectionEditor::Outcome::Refused)
            fail(editor.lastError() + QStringLiteral("; no se borró nada"));
        else
            storeFailed(QStringLiteral("No se pudo borrar, y no se borró nada"), *store, editor.lastError());
        return Failed;
    }
    const QSet<qint64> distinct(numbers.cbegin(), numbers.cend());
    if (!print(QStringLiteral("%1 %2.\n").arg(Wording::agree(distinct.size(), "Borrada", "Borradas"),
                                             Wording::count(distinct.size(), "frase", "frases"))))
        return outputFailed();
    for (const QString &note : editor.notes())
        message(note);
    return Done;
}

int DbTool::topics(const Options &options)
{
    std::unique_ptr<QuoteStore> store = openStore(options.file);
    if (!store)
        return Failed;
    TopicSummary summary;
    if (!summary.read(*store)) {
        storeFailed(QStringLiteral("No se pudieron leer los temas"), *store, summary.lastError());
        return Failed;
    }
    if (!write(TerminalText::encode(summary.text()))) {
        return outputFailed();
    }
    return Done;
}

int DbTool::backup(const Options &options)
{
    std::unique_ptr<QuoteStore> store = openStore(options.file);
    if (!store)
        return Failed;
    CollectionBackup backup(*store);
    if (backup.copyTo(options.destination) != CollectionBackup::Outcome::Done) {
        fail(QStringLiteral("No se hizo la copia. %1").arg(backup.lastError()));
        return Failed;
    }
    return print(QStringLiteral("Copiado %1 en %2: %3, revisado.\n")
                     .arg(PathName::display(options.file), PathName::display(options.destination),
                          Wording::count(backup.records(), "frase", "frases")))
        ? Done
        : outputFailed();
}
