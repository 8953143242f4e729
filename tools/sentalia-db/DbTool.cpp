#include "DbTool.h"

#include "CsvReader.h"
#include "Exporter.h"
#include "FortuneParser.h"
#include "Importer.h"
#include "SourceFile.h"

#include "Version.h"
#include "store/FailureText.h"
#include "store/TextRules.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryFile>

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

QString DbTool::helpText()
{
    return QStringLiteral(
        "Uso: sentalia-db ORDEN ARCHIVO [...]\n"
        "\n"
        "Crea, llena, copia y revisa el archivo de frases de Sentalia (frase.mdb).\n"
        "\n"
        "Órdenes:\n"
        "  create ARCHIVO\n"
        "      Crea un archivo de frases nuevo y vacío. Nunca sobrescribe un archivo.\n"
        "  import ARCHIVO ORIGEN... [--tema TEMA] [--autor AUTOR]\n"
        "      Agrega las frases de archivos fortune o CSV (primera línea\n"
        "      autor,frace,tema, o autor,frace,tema,Index: la copia exacta que\n"
        "      escribe export). Todo en una sola operación: si algo falla, el\n"
        "      archivo queda exactamente como estaba. Las frases que ya están (mismo\n"
        "      texto, autor y tema) se omiten.\n"
        "      --tema TEMA    tema de las frases, en mayúsculas; en un archivo fortune\n"
        "                     reemplaza al nombre del archivo, en un CSV llena los\n"
        "                     temas que faltan\n"
        "      --autor AUTOR  autor de las frases que no lo traen (si no, \"Anónimo\")\n"
        "  export ARCHIVO [--format csv|fortune] [--tema TEMA]\n"
        "      Escribe las frases en la salida estándar, en CSV (lo predeterminado)\n"
        "      o en formato fortune; con --tema, solo las de ese tema. El CSV lleva\n"
        "      también el Index y se vuelve a importar tal cual. Un archivo fortune\n"
        "      no guarda el tema ni las frases vacías: el tema se toma del nombre\n"
        "      del archivo al importarlo, por ejemplo\n"
        "        sentalia-db export frase.mdb --format fortune --tema VIDA > vida.fortunes\n"
        "  check ARCHIVO\n"
        "      Revisa que el archivo se abra, su tabla y su integridad, y cuenta las\n"
        "      frases, los temas con Index 1 y las frases sin tema.\n"
        "\n"
        "  -h, --help     muestra esta ayuda\n"
        "  --version      muestra la versión\n"
        "\n"
        "Mientras Sentalia está abierto, su archivo de frases no se puede usar:\n"
        "cierre Sentalia y vuelva a intentarlo.\n"
        "\n"
        "Códigos de salida: 0 hecho, 1 no se pudo hacer (se explica el motivo),\n"
        "2 orden mal escrita.\n");
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

bool DbTool::parseArguments(const QStringList &arguments, Options *options, int *exitCode)
{
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            if (options->command.isEmpty())
                options->command = argument;
            else
                options->positional << argument;
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
            print(helpText());
            *exitCode = Done;
            return false;
        }
        if (argument == QLatin1String("--version")) {
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
        } else {
            *exitCode = usageError(QStringLiteral("opción desconocida: %1").arg(argument));
            return false;
        }
        if (!hasValue) {
            if (i + 1 >= arguments.size()) {
                *exitCode = usageError(QStringLiteral("a la opción %1 le falta su valor").arg(name));
                return false;
            }
            value = arguments.at(++i);
        }
        if (*given) {
            *exitCode = usageError(QStringLiteral("la opción %1 está repetida").arg(name));
            return false;
        }
        if (value.trimmed().isEmpty()) {
            *exitCode = usageError(QStringLiteral("la opción %1 necesita un valor no vacío").arg(name));
            return false;
        }
        *target = value;
        *given = true;
    }
    return true;
}

int DbTool::run(const QStringList &arguments)
{
    Options options;
    int exitCode = Done;
    if (!parseArguments(arguments, &options, &exitCode))
        return exitCode;
    if (options.command.isEmpty())
        return usageError(QStringLiteral("falta la orden (create, import, export o check)"));

    const QString &command = options.command;
    const bool known = command == QLatin1String("create") || command == QLatin1String("import")
        || command == QLatin1String("export") || command == QLatin1String("check");
    if (!known)
        return usageError(QStringLiteral("orden desconocida: %1").arg(command));
    if (options.positional.isEmpty())
        return usageError(QStringLiteral("%1: falta el archivo de frases").arg(command));

    const bool takesTema = command == QLatin1String("import") || command == QLatin1String("export");
    if (options.temaGiven && !takesTema)
        return usageError(QStringLiteral("%1 no admite la opción --tema").arg(command));
    if (options.autorGiven && command != QLatin1String("import"))
        return usageError(QStringLiteral("%1 no admite la opción --autor").arg(command));
    if (options.formatGiven && command != QLatin1String("export"))
        return usageError(QStringLiteral("%1 no admite la opción --format").arg(command));

    if (command == QLatin1String("import")) {
        if (options.positional.size() < 2)
            return usageError(QStringLiteral("import: falta al menos un archivo de origen"));
        return import(options);
    }
    if (options.positional.size() > 1)
        return usageError(QStringLiteral("%1: sobra «%2»").arg(command, options.positional.at(1)));
    if (command == QLatin1String("create"))
        return create(options);
    if (command == QLatin1String("export"))
        return exportRecords(options);
    return check(options);
}

std::unique_ptr<QuoteStore> DbTool::openStore(const QString &path)
{
    QuoteStore::OpenResult result = QuoteStore::open(path);
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
    const QString path = options.positional.at(0);
    QuoteStore::OpenResult result = QuoteStore::create(path);
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
    const QString path = options.positional.at(0);
    const QString tema = options.temaGiven ? TextRules::upperTopic(options.tema.trimmed()) : QString();
    const QString autor = options.autorGiven ? options.autor.trimmed() : QString();
    const auto nothingImported = [&] {
        message(QStringLiteral("No se importó nada: %1 quedó como estaba.").arg(path));
        return Failed;
    };

    // Every source is checked before the collection is touched: readable,
    // text, and not the collection itself.
    struct stat collection;
    const bool collectionExists = ::stat(QFile::encodeName(path).constData(), &collection) == 0;
    qint64 totalBytes = 0;
    // Pipes and devices read once, kept for the second pass.
    std::map<qsizetype, std::unique_ptr<SourceFile>> spooled;
    for (qsizetype i = 1; i < options.positional.size(); ++i) {
        const QString sourcePath = options.positional.at(i);
        struct stat info;
        if (collectionExists && ::stat(QFile::encodeName(sourcePath).constData(), &info) == 0
            && info.st_dev == collection.st_dev && info.st_ino == collection.st_ino) {
            fail(QStringLiteral("%1 es el propio archivo de frases: no se puede importar en sí mismo").arg(sourcePath));
            return nothingImported();
        }
        auto source = std::make_unique<SourceFile>();
        QString error;
        if (!source->open(QFile::encodeName(sourcePath), sourcePath, &error)) {
            fail(error);
            return nothingImported();
        }
        if (source->readAsLatin1())
            message(QStringLiteral("Aviso: %1 no está en UTF-8; se lee como Latin-1.").arg(sourcePath));
        totalBytes += source->size();
        if (source->spooled())
            spooled[i] = std::move(source);
    }

    std::unique_ptr<QuoteStore> store = openStore(path);
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
    for (qsizetype i = 1; i < options.positional.size(); ++i) {
        const QString sourcePath = options.positional.at(i);
        std::unique_ptr<SourceFile> opened = spooled.count(i) ? std::move(spooled[i]) : std::make_unique<SourceFile>();
        SourceFile &source = *opened;
        QString error;
        if (source.spooled() ? !source.rewind() : !source.open(QFile::encodeName(sourcePath), sourcePath, &error)) {
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
    const QString path = options.positional.at(0);
    std::unique_ptr<QuoteStore> store = openStore(path);
    if (!store)
        return Failed;

    // Everything is written to a temporary file first, so that a failed
    // export leaves nothing half-written on standard output.
    QTemporaryFile temporary;
    if (!temporary.open()) {
        fail(QStringLiteral("no se pudo crear un archivo temporal para la exportación: %1")
                 .arg(temporary.errorString()));
        return Failed;
    }
    Exporter exporter(*store, format);
    if (options.temaGiven)
        exporter.setTopic(options.tema.trimmed());
    if (!exporter.run(&temporary)) {
        fail(QStringLiteral("La exportación falló. ") + FailureText::sentence(store->lastFailure(), path)
             + detail(exporter.lastError()));
        return Failed;
    }
    if (!temporary.flush()) {
        fail(QStringLiteral("La exportación falló: no se pudo escribir el archivo temporal %1.")
                 .arg(temporary.fileName())
             + detail(temporary.errorString()));
        return Failed;
    }
    if (!temporary.seek(0)) {
        fail(QStringLiteral("La exportación falló.") + detail(temporary.errorString()));
        return Failed;
    }
    std::fflush(m_out);
    QByteArray piece;
    while (!(piece = temporary.read(64 * 1024)).isEmpty()) {
        if (std::fwrite(piece.constData(), 1, size_t(piece.size()), m_out) != size_t(piece.size()))
            break;
    }
    if (temporary.error() != QFileDevice::NoError || std::fflush(m_out) != 0 || std::ferror(m_out)) {
        fail(QStringLiteral("no se pudo escribir la salida"));
        return Failed;
    }
    if (exporter.skippedEmpty() > 0)
        message(QStringLiteral("Aviso: %1 frases vacías no tienen lugar en un archivo fortune y no se escriben.")
                    .arg(exporter.skippedEmpty()));
    message(QStringLiteral("Exportadas %1 frases.").arg(exporter.written()));
    return Done;
}

int DbTool::check(const Options &options)
{
    const QString path = options.positional.at(0);
    std::unique_ptr<QuoteStore> store = openStore(path);
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
