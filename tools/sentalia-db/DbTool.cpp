#include "DbTool.h"

#include "CsvReader.h"
#include "Exporter.h"
#include "FortuneParser.h"
#include "CollectionBackup.h"
#include "CollectionEditor.h"
#include "Importer.h"
#include "OutputSpool.h"
#include "PathName.h"
#include "RandomPicker.h"
#include "RecordFilter.h"
#include "RecordListing.h"
#include "SourceFile.h"
#include "TopicSummary.h"

#include "Version.h"
#include "store/CollectionLocation.h"
#include "store/FailureText.h"
#include "store/Interruption.h"
#include "store/TextRules.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <map>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const char *const Program = "sentalia-db";

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

QByteArray DbTool::defaultCollection()
{
    // The collection the program beside this tool uses: its folder's
    // frase.mdb, or the user's own when the program is installed.
    return QFile::encodeName(CollectionLocation::resolve(QCoreApplication::applicationDirPath()).collectionPath());
}

QString DbTool::helpText()
{
    return QStringLiteral(
               "Uso: sentalia-db ORDEN [ARCHIVO] [...]\n"
               "\n"
               "Consulta, corrige, llena y copia el archivo de frases de Sentalia.\n"
               "\n"
               "Órdenes:\n"
               "  list     muestra las frases, todas o las de un tema o un autor\n"
               "  search   muestra las frases que contienen todas las palabras dadas\n"
               "  random   muestra una frase al azar, al estilo de fortune\n"
               "  add      agrega una frase\n"
               "  edit     cambia el autor, el texto o el tema de una frase\n"
               "  delete   borra frases por su número\n"
               "  topics   muestra los temas y cuántas frases tiene cada uno\n"
               "  backup   copia el archivo de frases a un archivo nuevo\n"
               "  create   crea un archivo de frases nuevo y vacío\n"
               "  import   agrega las frases de archivos fortune o CSV\n"
               "  export   escribe las frases en CSV o en formato fortune\n"
               "  check    revisa el archivo de frases y cuenta frases y temas\n"
               "\n"
               "ARCHIVO es el primer argumento que termina en .mdb (en mayúsculas o en\n"
               "minúsculas). Sin él, todas las órdenes menos create usan el archivo de\n"
               "frases de Sentalia:\n"
               "  %1\n"
               "\n"
               "Cada frase tiene un número que no cambia mientras exista: el que muestran\n"
               "list y search y el que piden edit y delete.\n"
               "\n"
               "  list [ARCHIVO] [--tema TEMA] [--autor AUTOR] [--format texto|tsv|csv|json]\n"
               "      Todas las frases, o las del tema y del autor dados, en el orden de la\n"
               "      tabla, con su número, autor, tema y texto. texto (lo predeterminado)\n"
               "      muestra un bloque por frase; tsv, csv y json llevan las columnas\n"
               "      numero, autor, tema y frase (en tsv, el tabulador, el retorno de\n"
               "      carro, el salto de línea y la barra inversa se escriben \\t, \\r, \\n\n"
               "      y \\\\, y una frase sin tema lleva \\N).\n"
               "  search [ARCHIVO] PALABRA... [--format texto|tsv|csv|json]\n"
               "      Las frases en las que cada palabra aparece en el autor, el texto o\n"
               "      el tema, sin distinguir mayúsculas ni acentos (á = a, pero ñ no es\n"
               "      n); se muestran como en list. Si ninguna coincide, no muestra\n"
               "      ninguna (en tsv y csv queda la cabecera, en json []), lo dice y\n"
               "      termina con el código 1.\n"
               "  random [ARCHIVO] [--tema TEMA] [--autor AUTOR]\n"
               "      Una frase al azar: el texto y una línea \"\\t\\t-- autor\". Código 1\n"
               "      si no hay ninguna que mostrar.\n"
               "  add [ARCHIVO] --frase FRASE --tema TEMA [--autor AUTOR]\n"
               "      Agrega una frase como la ventana \"Nueva frase\" de Sentalia: un tema\n"
               "      que aún no está en la lista de temas se guarda en mayúsculas y con\n"
               "      Index 1; uno que ya está, tal como se escribe. La frase no puede\n"
               "      estar en blanco ni pasar de 255 caracteres; sin autor (o con uno\n"
               "      vacío) queda \"Anónimo\".\n"
               "  edit [ARCHIVO] NÚMERO [--autor AUTOR] [--frase FRASE] [--tema TEMA]\n"
               "      Cambia una frase. Los temas siguen en la lista de temas como antes:\n"
               "      si la frase era la que ponía su tema en la lista (Index 1), esa\n"
               "      marca pasa a la primera frase que le queda al tema; un tema que la\n"
               "      lista no tenía se guarda en mayúsculas y la frase le da su Index 1.\n"
               "  delete [ARCHIVO] NÚMERO...\n"
               "      Borra las frases. Si se va la frase que ponía su tema en la lista\n"
               "      (Index 1), la siguiente frase del tema toma su lugar, así la lista\n"
               "      nunca pierde un tema que aún tiene frases.\n"
               "  topics [ARCHIVO]\n"
               "      Cada tema (como los distingue Sentalia: sin mayúsculas, con\n"
               "      acentos) con su número de frases, en el orden de la lista de temas.\n"
               "      Se marca el tema sin Index 1, que Sentalia no muestra en la lista.\n"
               "  backup [ARCHIVO] DESTINO.mdb\n"
               "      Copia coherente y cifrada, revisada después de escribirla. Nunca\n"
               "      sobrescribe un archivo. Con dos argumentos .mdb, el primero es el\n"
               "      ARCHIVO y el segundo el DESTINO; con uno, ese es el DESTINO.\n"
               "  create ARCHIVO\n"
               "      Crea un archivo de frases nuevo y vacío. Nunca sobrescribe un archivo.\n"
               "  import [ARCHIVO] ORIGEN... [--tema TEMA] [--autor AUTOR]\n"
               "      Agrega las frases de archivos fortune o CSV (primera línea\n"
               "      autor,frace,tema, o autor,frace,tema,Index: la copia exacta que\n"
               "      escribe export). Todo en una sola operación: si algo falla, el\n"
               "      archivo queda exactamente como estaba. Las frases que ya están (mismo\n"
               "      texto, autor y tema) se omiten.\n"
               "      --tema TEMA    tema de las frases, en mayúsculas; en un archivo fortune\n"
               "                     reemplaza al nombre del archivo, en un CSV llena los\n"
               "                     temas que faltan\n"
               "      --autor AUTOR  autor de las frases que no lo traen (si no, \"Anónimo\")\n"
               "  export [ARCHIVO] [--format csv|fortune] [--tema TEMA]\n"
               "      Escribe las frases en la salida estándar, en CSV (lo predeterminado)\n"
               "      o en formato fortune; con --tema, solo las de ese tema. El CSV lleva\n"
               "      también el Index y se vuelve a importar tal cual. Un archivo fortune\n"
               "      no guarda el tema ni las frases vacías: el tema se toma del nombre\n"
               "      del archivo al importarlo, por ejemplo\n"
               "        sentalia-db export --format fortune --tema VIDA > vida.fortunes\n"
               "  check [ARCHIVO]\n"
               "      Revisa que el archivo se abra, su tabla y su integridad, y cuenta las\n"
               "      frases, los temas con Index 1 y las frases sin tema.\n"
               "\n"
               "--tema compara los temas como Sentalia: sin distinguir mayúsculas, pero\n"
               "sí los acentos. --autor busca un trozo del nombre, sin distinguir\n"
               "mayúsculas ni acentos (ñ no es n).\n"
               "\n"
               "  -h, --help     muestra esta ayuda\n"
               "  --version      muestra la versión\n"
               "\n"
               "Mientras Sentalia está abierto, su archivo de frases no se puede usar:\n"
               "cierre Sentalia y vuelva a intentarlo. Las órdenes que escriben lo hacen\n"
               "en una sola operación: si algo falla, el archivo queda como estaba.\n"
               "\n"
               "Códigos de salida: 0 hecho, 1 no se pudo hacer (se explica el motivo),\n"
               "2 orden mal escrita.\n")
        .arg(PathName::display(defaultCollection()));
}

void DbTool::print(const QString &text)
{
    std::fputs(text.toUtf8().constData(), m_out);
    std::fflush(m_out);
}

void DbTool::message(const QString &text)
{
    std::fputs((text + QLatin1Char('\n')).toUtf8().constData(), m_err);
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
    return std::fflush(m_out) == 0 && ok;
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
            print(helpText());
            *exitCode = Done;
            return false;
        }
        if (bytes == "--version") {
            print(QStringLiteral("sentalia-db %1.%2.%3\n").arg(Version::Major).arg(Version::Minor).arg(Version::Revision));
            *exitCode = Done;
            return false;
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
            *exitCode = usageError(QStringLiteral("opción desconocida: %1").arg(argument));
            return false;
        }
        if (!hasValue) {
            if (i + 1 >= arguments.size()) {
                *exitCode = usageError(QStringLiteral("a la opción %1 le falta su valor").arg(name));
                return false;
            }
            value = QString::fromUtf8(arguments.at(++i));
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

namespace {

// What each command accepts besides FILE.
struct CommandRule {
    const char *name;
    bool tema;
    bool autor;
    bool format;
    bool frase;
};

const CommandRule Commands[] = {
    {"list", true, true, true, false},   {"search", false, false, true, false},
    {"random", true, true, false, false}, {"add", true, true, false, true},
    {"edit", true, true, false, true},    {"delete", false, false, false, false},
    {"topics", false, false, false, false}, {"backup", false, false, false, false},
    {"create", false, false, false, false}, {"import", true, true, false, false},
    {"export", true, false, true, false},  {"check", false, false, false, false},
};

} // namespace

int DbTool::checkUsage(Options *options)
{
    const QString &command = options->command;
    const CommandRule *rule = nullptr;
    for (const CommandRule &candidate : Commands) {
        if (command == QLatin1String(candidate.name))
            rule = &candidate;
    }
    if (!rule)
        return usageError(QStringLiteral("orden desconocida: %1").arg(command));

    const struct {
        const char *name;
        bool given;
        bool allowed;
        const QString *value;
    } optionUse[] = {
        {"--tema", options->temaGiven, rule->tema, &options->tema},
        {"--autor", options->autorGiven, rule->autor, &options->autor},
        {"--format", options->formatGiven, rule->format, &options->format},
        {"--frase", options->fraseGiven, rule->frase, &options->frase},
    };
    const bool writesRecord = command == QLatin1String("add") || command == QLatin1String("edit");
    for (const auto &option : optionUse) {
        if (!option.given)
            continue;
        if (!option.allowed)
            return usageError(QStringLiteral("%1 no admite la opción %2").arg(command, QLatin1String(option.name)));
        // An empty author becomes "Anónimo", and a blank quotation gets the
        // program's own refusal; any other option needs a value.
        const bool mayBeEmpty = writesRecord && qstrcmp(option.name, "--tema") != 0;
        if (!mayBeEmpty && option.value->trimmed().isEmpty())
            return usageError(QStringLiteral("la opción %1 necesita un valor no vacío").arg(QLatin1String(option.name)));
    }

    const auto extra = [&](qsizetype from) {
        const QByteArray &operand = options->operands.at(from);
        return usageError(QStringLiteral("%1: sobra «%2» (el archivo de frases es el que termina en .mdb)")
                              .arg(command, PathName::display(operand)));
    };
    if (command == QLatin1String("create")) {
        if (!options->fileGiven)
            return usageError(QStringLiteral("create: falta el archivo de frases (un nombre que termine en .mdb)"));
        if (!options->operands.isEmpty())
            return extra(0);
        return Done;
    }
    if (command == QLatin1String("backup")) {
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
        return Done;
    }
    if (command == QLatin1String("import") && options->operands.isEmpty())
        return usageError(QStringLiteral("import: falta al menos un archivo de origen"));
    if (command == QLatin1String("search")) {
        if (options->operands.isEmpty())
            return usageError(QStringLiteral("search: falta al menos una palabra"));
        for (const QByteArray &word : std::as_const(options->operands)) {
            if (TextRules::searchKey(QString::fromUtf8(word)).trimmed().isEmpty())
                return usageError(QStringLiteral("search: una palabra en blanco no busca nada"));
        }
    }
    if ((command == QLatin1String("edit") || command == QLatin1String("delete")) && options->operands.isEmpty())
        return usageError(QStringLiteral("%1: falta el número de la frase").arg(command));
    if (command == QLatin1String("edit")) {
        if (options->operands.size() > 1)
            return extra(1);
        if (!options->autorGiven && !options->fraseGiven && !options->temaGiven)
            return usageError(QStringLiteral("edit: falta lo que se cambia (--autor, --frase o --tema)"));
    }
    if (command == QLatin1String("add") && (!options->fraseGiven || !options->temaGiven))
        return usageError(QStringLiteral("add: faltan %1").arg(!options->fraseGiven && !options->temaGiven
                                                                  ? QStringLiteral("--frase y --tema")
                                                              : !options->fraseGiven ? QStringLiteral("--frase")
                                                                                     : QStringLiteral("--tema")));
    const bool takesOperands = command == QLatin1String("import") || command == QLatin1String("search")
        || command == QLatin1String("edit") || command == QLatin1String("delete");
    if (!takesOperands && !options->operands.isEmpty())
        return extra(0);
    return Done;
}

int DbTool::run(const QList<QByteArray> &arguments)
{
    Options options;
    int exitCode = Done;
    if (!parseArguments(arguments, &options, &exitCode))
        return exitCode;
    if (options.command.isEmpty())
        return usageError(QStringLiteral("falta la orden (list, search, random, add, edit, delete, topics, backup, "
                                         "create, import, export o check)"));
    exitCode = checkUsage(&options);
    if (exitCode != Done)
        return exitCode;

    const QString &command = options.command;
    if (command == QLatin1String("create"))
        return create(options);
    if (!options.fileGiven) {
        const CollectionLocation location = CollectionLocation::resolve(QCoreApplication::applicationDirPath());
        options.file = QFile::encodeName(location.collectionPath());
        // The first start of Sentalia copies the shipped collection; the
        // tool never does.
        struct stat info;
        if (location.isUserCollection() && ::stat(options.file.constData(), &info) != 0) {
            fail(QStringLiteral("Todavía no existe su archivo de frases %1: abra Sentalia una vez y se creará.")
                     .arg(PathName::display(options.file)));
            return Failed;
        }
    }
    if (command == QLatin1String("import"))
        return import(options);
    if (command == QLatin1String("export"))
        return exportRecords(options);
    if (command == QLatin1String("check"))
        return check(options);
    if (command == QLatin1String("list"))
        return list(options);
    if (command == QLatin1String("search"))
        return search(options);
    if (command == QLatin1String("random"))
        return random(options);
    if (command == QLatin1String("add"))
        return add(options);
    if (command == QLatin1String("edit"))
        return edit(options);
    if (command == QLatin1String("delete"))
        return remove(options);
    if (command == QLatin1String("topics"))
        return topics(options);
    return backup(options);
}

std::unique_ptr<QuoteStore> DbTool::openStore(const QByteArray &file)
{
    const QString path = PathName::display(file);
    QuoteStore::OpenResult result = QuoteStore::openPath(file);
    if (result)
        return std::move(result.store);
    QString text = FailureText::sentence(result.failure, path);
    if (result.failure == QuoteStore::Failure::Missing)
        text += QStringLiteral(" Créelo con «sentalia-db create %1».").arg(path);
    fail(text + detail(result.reason));
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
    print(QStringLiteral("Creado %1: archivo de frases vacío.\n").arg(path));
    return Done;
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

    // Every source is checked before the collection is touched: readable,
    // text, and not the collection itself.
    struct stat collection;
    const bool collectionExists = ::stat(options.file.constData(), &collection) == 0;
    qint64 totalBytes = 0;
    // Pipes and devices read once, kept for the second pass.
    std::map<qsizetype, std::unique_ptr<SourceFile>> spooled;
    for (qsizetype i = 0; i < options.operands.size(); ++i) {
        const QByteArray &sourceName = options.operands.at(i);
        const QString sourcePath = PathName::text(sourceName);
        struct stat info;
        if (collectionExists && ::stat(sourceName.constData(), &info) == 0
            && info.st_dev == collection.st_dev && info.st_ino == collection.st_ino) {
            fail(QStringLiteral("%1 es el propio archivo de frases: no se puede importar en sí mismo").arg(sourcePath));
            return nothingImported();
        }
        auto source = std::make_unique<SourceFile>();
        QString error;
        if (!source->open(sourceName, sourcePath, &error)) {
            fail(error);
            return nothingImported();
        }
        if (source->readAsLatin1())
            message(QStringLiteral("Aviso: %1 no está en UTF-8; se lee como Latin-1.").arg(sourcePath));
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
    qint64 handled = 0;
    for (qsizetype i = 0; i < options.operands.size(); ++i) {
        const QByteArray &sourceName = options.operands.at(i);
        const QString sourcePath = PathName::text(sourceName);
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
        bool stored = true;
        const auto take = [&](QuoteRecord record, qint64 line, Importer::Origin origin) {
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
                    take(record, line, origin);
            }
            if (!error.isEmpty() && !error.startsWith(sourcePath))
                error = QStringLiteral("%1: %2").arg(sourcePath, error);
        } else {
            const QString topic = tema.isEmpty() ? FortuneParser::topicForFile(sourcePath) : tema;
            kind = QStringLiteral("fortune, tema %1").arg(topic);
            FortuneParser parser(source, topic, autor);
            while (stored && parser.next(&record, &line))
                take(record, line, Importer::Origin::NewMaterial);
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
        QString summary = QStringLiteral("%1 (%2): %3 frases").arg(sourcePath, kind).arg(found);
        if (empty > 0)
            summary += QStringLiteral(", %1 vacías omitidas").arg(empty);
        message(summary + QLatin1Char('.'));
        emptySkipped += empty;
    }
    if (!importer.commit()) {
        fail(QStringLiteral("La importación falló. ") + FailureText::sentence(importer.lastFailure(), path)
                 + detail(importer.lastError()));
        return nothingImported();
    }
    showProgress(totalBytes, totalBytes, true);
    const Importer::Summary summary = importer.summary();
    QString done = QStringLiteral("Importación terminada en %1: %2 frases agregadas, %3 repetidas omitidas, %4 temas nuevos")
                       .arg(path)
                       .arg(summary.added)
                       .arg(summary.skipped)
                       .arg(summary.topicsCreated);
    if (emptySkipped > 0)
        done += QStringLiteral(", %1 vacías omitidas").arg(emptySkipped);
    print(done + QStringLiteral(".\n"));
    return Done;
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
        std::fputs((line + (last ? QStringLiteral("\n") : QString())).toUtf8().constData(), m_err);
        std::fflush(m_err);
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
        else if (options.format != QLatin1String("csv"))
            return usageError(QStringLiteral("formato desconocido: %1 (use csv o fortune)").arg(options.format));
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
        message(QStringLiteral("Aviso: %1 frases vacías no tienen lugar en un archivo fortune y no se escriben.")
                    .arg(exporter.skippedEmpty()));
    message(QStringLiteral("Exportadas %1 frases.").arg(exporter.written()));
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
    const bool read = store->forEachRecord([&](const QuoteRecord &record) {
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
    report += QStringLiteral("Frases: %1\n").arg(counts.records);
    report += QStringLiteral("Temas con Index 1: %1\n").arg(counts.topics);
    report += QStringLiteral("Frases sin tema (NULL): %1\n").arg(counts.nullTopics);
    report += QStringLiteral("Temas sin Index 1 (no salen en las listas de temas): %1\n").arg(unlisted);
    if (problems.isEmpty()) {
        report += QStringLiteral("Integridad: correcta\n");
        print(report);
        return Done;
    }
    report += QStringLiteral("Integridad: con problemas\n");
    for (const QString &problem : std::as_const(problems))
        report += QStringLiteral("  %1\n").arg(problem);
    print(report);
    fail(QStringLiteral("%1 está dañado").arg(path));
    return Failed;
}

bool DbTool::recordNumbers(const Options &options, QList<qint64> *numbers, int *exitCode)
{
    for (const QByteArray &operand : options.operands) {
        bool ok = false;
        const qint64 number = operand.toLongLong(&ok);
        if (!ok || number <= 0 || operand.startsWith('+')) {
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
        for (const QByteArray &operand : options.operands)
            words << QString::fromUtf8(operand);
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
    message(searching ? QStringLiteral("Encontradas %1 frases.").arg(count) : QStringLiteral("%1 frases.").arg(count));
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
        fail(QStringLiteral("no se pudo escribir la salida"));
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
    const QString autor = record.autor.trimmed().isEmpty() ? QStringLiteral("Anónimo") : record.autor;
    if (!write((record.frace + QLatin1String("\n\t\t-- ") + autor + QLatin1Char('\n')).toUtf8())) {
        fail(QStringLiteral("no se pudo escribir la salida"));
        return Failed;
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
    print(QStringLiteral("Agregada la frase %1 (tema %2, autor %3).\n").arg(QString::number(stored.id), stored.tema, stored.autor));
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
    print(QStringLiteral("Cambiada la frase %1.\n").arg(stored.id));
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
    print(QStringLiteral("Borradas %1 frases.\n").arg(distinct.size()));
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
    if (!write(summary.text().toUtf8())) {
        fail(QStringLiteral("no se pudo escribir la salida"));
        return Failed;
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
    print(QStringLiteral("Copiado %1 en %2: %3 frases, revisado.\n")
              .arg(PathName::display(options.file), PathName::display(options.destination),
                   QString::number(backup.records())));
    return Done;
}
