// SPDX-License-Identifier: GPL-3.0-or-later
#include "SourceFile.h"

#include "PathName.h"

#include "store/FailureText.h"
#include "store/Interruption.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

constexpr qsizetype PieceSize = 64 * 1024;
// What the binary test judges first, before the source has been read whole.
constexpr qint64 FirstStretch = 1024 * 1024;

qint64 g_maxSizeForTests = -1;
qint64 g_tempFreeForTests = -1;

qint64 maxSize()
{
    return g_maxSizeForTests >= 0 ? g_maxSizeForTests : SourceFile::MaxSize;
}

// "2 GiB", "80 MiB": sizes as a user reads them, rounded down.
QString sizeText(qint64 bytes)
{
    if (bytes >= (qint64(1) << 30) && bytes % (qint64(1) << 30) == 0)
        return QStringLiteral("%1 GiB").arg(bytes >> 30);
    if (bytes >= (qint64(1) << 20))
        return QStringLiteral("%1 MiB").arg(bytes >> 20);
    return QStringLiteral("%1 KiB").arg(bytes >> 10);
}

QString tooLargeText(const QString &name, qint64 limit)
{
    return QStringLiteral("%1 es demasiado grande para importarlo (más de %2)").arg(name, sizeText(limit));
}

QString interruptedText(const QString &name)
{
    return QStringLiteral("se interrumpió la lectura de %1").arg(name);
}

// The folder temporary copies go to, as the user set it: QDir::tempPath()
// would resolve it, and answer nothing for a folder that is missing.
QByteArray tempFolder()
{
    const QByteArray folder = qgetenv("TMPDIR");
    return folder.isEmpty() ? QByteArrayLiteral("/tmp") : folder;
}

// Why the temporary copy of a pipe or a device could not be made or
// written, naming the folder it goes to.
QString copyError(const QString &name, const QString &folder, int error)
{
    QString cause;
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        cause = QStringLiteral("no existe la carpeta temporal %1").arg(folder);
        break;
    case ENOSPC:
    case EDQUOT:
        cause = QStringLiteral("la carpeta temporal %1 está llena").arg(folder);
        break;
    case EACCES:
    case EPERM:
        cause = QStringLiteral("no hay permiso para escribir en la carpeta temporal %1").arg(folder);
        break;
    case EROFS:
        cause = QStringLiteral("la carpeta temporal %1 es de solo lectura").arg(folder);
        break;
    default:
        cause = QStringLiteral("no se pudo hacer una copia temporal en %1 (%2)").arg(folder, FailureText::systemReason(error));
        break;
    }
    return QStringLiteral("no se pudo leer %1: %2. Detalle: %3")
        .arg(name, cause, QString::fromLocal8Bit(std::strerror(error)));
}

// Why a source cannot be read, in a sentence, with the system's own words.
QString readError(const QString &name, int error)
{
    QString cause;
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        cause = QStringLiteral("el archivo no existe");
        break;
    case EACCES:
    case EPERM:
        cause = QStringLiteral("no hay permiso para leerlo");
        break;
    case EIO:
        cause = QStringLiteral("el disco no responde bien");
        break;
    default:
        cause = FailureText::systemReason(error);
        break;
    }
    return QStringLiteral("no se pudo leer %1: %2. Detalle: %3")
        .arg(name, cause, QString::fromLocal8Bit(std::strerror(error)));
}

// Control characters that text files do hold: tab, line feed, form feed,
// carriage return, backspace (overstrike) and escape (terminal colours).
constexpr bool isStrayControl(unsigned char byte)
{
    if (byte == 0x7F)
        return true;
    if (byte >= 0x20)
        return false;
    return byte != '\t' && byte != '\n' && byte != '\f' && byte != '\r' && byte != '\b' && byte != 0x1B
        && byte != '\v';
}

// 1 for each byte isStrayControl() counts, looked up in the pass that
// tests every byte of a source.
constexpr auto StrayControls = [] {
    std::array<unsigned char, 256> table{};
    for (unsigned byte = 0; byte < 256; ++byte)
        table[byte] = isStrayControl(static_cast<unsigned char>(byte)) ? 1 : 0;
    return table;
}();

// How many bytes at the end of bytes begin a UTF-8 character that goes on
// in the next piece.
qsizetype cutCharacter(QByteArrayView bytes)
{
    const qsizetype size = bytes.size();
    for (qsizetype back = 1; back <= 3 && back <= size; ++back) {
        const auto byte = static_cast<unsigned char>(bytes.at(size - back));
        if ((byte & 0xC0) == 0x80)
            continue; // a continuation byte: look further back
        qsizetype length = 1;
        if ((byte & 0xE0) == 0xC0)
            length = 2;
        else if ((byte & 0xF0) == 0xE0)
            length = 3;
        else if ((byte & 0xF8) == 0xF0)
            length = 4;
        return length > back ? back : 0;
    }
    return 0;
}

// Windows-1252 for 80-9F; the five bytes it leaves undefined stay what
// Latin-1 makes of them, C1 controls, which no record may hold.
constexpr char16_t WindowsHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString windows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        out[i] = byte >= 0x80 && byte < 0xA0 ? QChar(WindowsHigh[byte - 0x80]) : QChar(byte);
    }
    return text;
}

constexpr QByteArrayView Utf8Bom("\xEF\xBB\xBF");

bool isBlankByte(char byte)
{
    return byte == ' ' || byte == '\t' || byte == '\r' || byte == '\f' || byte == '\v';
}

// A hyphen, or an en or em dash in UTF-8 or in Windows-1252: its length.
qsizetype dashAt(QByteArrayView bytes)
{
    if (bytes.startsWith('-') || bytes.startsWith('\x96') || bytes.startsWith('\x97'))
        return 1;
    if (bytes.startsWith("\xE2\x80\x93") || bytes.startsWith("\xE2\x80\x94"))
        return 3;
    return 0;
}

// What the first pass learns of a source's lines, given its bytes (UTF-8,
// or any 8-bit text) piece by piece: which lines are not UTF-8, and the
// shape of the text (see SourceFile::lacksSeparators()).
class LineSurvey {
public:
    explicit LineSurvey(bool checkUtf8)
        : m_checkUtf8(checkUtf8)
    {
    }

    void add(QByteArrayView bytes)
    {
        while (!bytes.isEmpty()) {
            const auto *newline = static_cast<const char *>(std::memchr(bytes.data(), '\n', size_t(bytes.size())));
            const qsizetype end = newline ? newline - bytes.data() : bytes.size();
            segment(bytes.first(end));
            if (!newline)
                break;
            endLine();
            bytes = bytes.sliced(end + 1);
        }
    }

    // The end of the source.
    void finish()
    {
        if (m_lineBytes > 0)
            endLine();
    }

    QByteArray firstLine; // its first 256 bytes
    qint64 windowsLines = 0;
    QList<qint64> firstWindowsLines;
    qint64 textLines = 0;
    bool separator = false;
    qint64 attributionLines = 0;
    bool endsInAttribution = false;

private:
    // How much of a line is kept to judge its shape.
    static constexpr qsizetype HeadSize = 64;

    void segment(QByteArrayView bytes)
    {
        if (m_line == 1 && firstLine.size() < 256)
            firstLine += bytes.first(std::min<qsizetype>(bytes.size(), 256 - firstLine.size()));
        const qsizetype toHead = std::min<qsizetype>(bytes.size(), HeadSize - m_headSize);
        std::memcpy(m_head.data() + m_headSize, bytes.data(), size_t(toHead));
        m_headSize += toHead;
        if (m_tailBlank)
            m_tailBlank = std::all_of(bytes.begin() + toHead, bytes.end(), isBlankByte);
        m_lineBytes += bytes.size();
        if (!m_checkUtf8 || !m_valid)
            return;
        QByteArray joined;
        if (!m_carry.isEmpty()) {
            joined = m_carry + bytes.toByteArray();
            bytes = joined;
        }
        const qsizetype cut = cutCharacter(bytes);
        m_valid = bytes.first(bytes.size() - cut).isValidUtf8();
        m_carry = bytes.last(cut).toByteArray();
    }

    void endLine()
    {
        if (m_checkUtf8 && (!m_valid || !m_carry.isEmpty())) {
            ++windowsLines;
            if (firstWindowsLines.size() < 5)
                firstWindowsLines << m_line;
        }
        classify();
        m_headSize = 0;
        m_carry.clear();
        m_tailBlank = true;
        m_valid = true;
        m_lineBytes = 0;
        ++m_line;
    }

    void classify()
    {
        QByteArrayView head(m_head.data(), m_headSize);
        if (m_line == 1 && head.startsWith(Utf8Bom))
            head = head.sliced(Utf8Bom.size());
        if (m_tailBlank && std::all_of(head.begin(), head.end(), isBlankByte))
            return;
        if (head.startsWith('%') && m_tailBlank && std::all_of(head.begin() + 1, head.end(), isBlankByte)) {
            separator = true;
            return;
        }
        ++textLines;
        qsizetype indent = 0;
        while (indent < head.size() && (head[indent] == ' ' || head[indent] == '\t'))
            ++indent;
        QByteArrayView rest = head.sliced(indent);
        bool dash = rest.startsWith("--") || (indent > 0 && dashAt(rest) > 0);
        // Dashes alone are a drawing, not an attribution.
        for (qsizetype length = 0; dash && (length = rest.isEmpty() ? 0 : (isBlankByte(rest[0]) ? 1 : dashAt(rest))) > 0;)
            rest = rest.sliced(length);
        dash = dash && (!rest.isEmpty() || !m_tailBlank);
        if (dash) {
            ++attributionLines;
            endsInAttribution = true;
        } else if (indent == 0) {
            endsInAttribution = false;
        }
    }

    bool m_checkUtf8;
    qint64 m_line = 1;
    qsizetype m_lineBytes = 0;
    std::array<char, HeadSize> m_head;
    qsizetype m_headSize = 0;
    bool m_tailBlank = true; // what is past the head is all blanks
    bool m_valid = true;
    QByteArray m_carry; // a UTF-8 character cut at a piece's end
};

} // namespace

SourceFile::SourceFile(const QString &text, const QString &name)
    : m_name(name)
    , m_started(true)
    , m_atEnd(true)
    , m_pending(text.toUtf8())
{
    const qsizetype end = text.indexOf(QLatin1Char('\n'));
    m_kind = detectKind(name, end < 0 ? QStringView(text) : QStringView(text).left(end));
    m_size = m_pending.size();
}

SourceFile::~SourceFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool SourceFile::readChunk(QByteArray *bytes)
{
    bytes->resize(PieceSize);
    for (;;) {
        const ssize_t got = ::read(m_fd, bytes->data(), size_t(PieceSize));
        if (got >= 0) {
            bytes->resize(got);
            return true;
        }
        if (errno != EINTR) {
            m_error = readError(m_name, errno);
            bytes->clear();
            return false;
        }
        // A signal woke a blocked read: stop if it asked us to.
        if (Interruption::requested() != 0) {
            m_error = interruptedText(m_name);
            bytes->clear();
            return false;
        }
    }
}

bool SourceFile::open(const QByteArray &path, const QString &name, QString *error)
{
    m_name = name;
    const bool standardInput = path == "-";
    if (standardInput)
        m_fd = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0);
    else
        do
            m_fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        while (m_fd < 0 && errno == EINTR);
    if (m_fd < 0) {
        *error = readError(name, errno);
        return false;
    }
    struct stat info;
    if (::fstat(m_fd, &info) != 0) {
        *error = readError(name, errno);
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        *error = QStringLiteral("%1 es una carpeta, no un archivo").arg(name);
        return false;
    }
    // A file given as standard input is read from where it stands, and
    // again from there.
    if (standardInput && S_ISREG(info.st_mode)) {
        m_origin = std::max<qint64>(0, ::lseek(m_fd, 0, SEEK_CUR));
        m_spooled = true;
    }
    QString tooLarge = tooLargeText(name, maxSize());
    if (S_ISREG(info.st_mode) && info.st_size - m_origin > maxSize()) {
        *error = tooLarge;
        return false;
    }
    // A pipe or a device (/dev/stdin, <(zcat ...)) is copied as it is read,
    // for the second pass.
    int copy = -1;
    qint64 limit = maxSize();
    if (!S_ISREG(info.st_mode) && !makeCopy(&copy, &tooLarge, &limit, error))
        return false;
    const bool text = scan(copy, limit, tooLarge, error);
    if (copy >= 0) {
        ::close(m_fd);
        m_fd = copy;
        m_spooled = true;
    }
    if (!text || ::fstat(m_fd, &info) != 0 || ::lseek(m_fd, m_origin, SEEK_SET) != m_origin) {
        if (text)
            *error = readError(name, errno);
        // The copy has no name: closing it gives its room back.
        ::close(m_fd);
        m_fd = -1;
        return false;
    }
    m_size = info.st_size - m_origin;
    if (m_utf16 != Utf16::No)
        m_decoder = std::make_unique<QStringDecoder>(m_utf16 == Utf16::Little ? QStringDecoder::Utf16LE
                                                                              : QStringDecoder::Utf16BE,
                                                     QStringDecoder::Flag::ConvertInitialBom);
    return true;
}

bool SourceFile::makeCopy(int *copy, QString *tooLarge, qint64 *limit, QString *error)
{
    const QByteArray folder = tempFolder();
    const QString folderName = PathName::display(folder);
    *copy = ::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (*copy < 0 && errno != ENOENT && errno != ENOTDIR) {
        // A file system without nameless files: a named one, unlinked at
        // once, and removed if a signal comes in between.
        QByteArray pattern = folder + "/sentalia-db.XXXXXX";
        *copy = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (*copy >= 0) {
            Interruption::track(pattern);
            Interruption::remove(pattern);
        }
    }
    if (*copy < 0) {
        *error = copyError(m_name, folderName, errno);
        return false;
    }
    // The copy may take what the folder has free, less a reserve that
    // leaves room for everyone else.
    qint64 available = g_tempFreeForTests;
    struct statvfs space;
    if (available < 0 && ::fstatvfs(*copy, &space) == 0)
        available = qint64(space.f_bavail) * qint64(space.f_frsize);
    if (available >= 0 && available - TempReserve < *limit) {
        *limit = std::max<qint64>(0, available - TempReserve);
        *tooLarge = QStringLiteral("%1 es demasiado grande para importarlo: su copia temporal no cabe en %2 "
                                   "(hay %3 libres y se dejan %4 sin usar)")
                        .arg(m_name, folderName, sizeText(available), sizeText(TempReserve));
    }
    return true;
}

bool SourceFile::scan(int copy, qint64 limit, const QString &tooLarge, QString *error)
{
    const QString folderName = PathName::display(tempFolder());
    const auto nulFound = [&](qint64 line) {
        *error = QStringLiteral("%1, línea %2: hay un byte nulo; no es un archivo de texto y no se importa")
                     .arg(m_name)
                     .arg(line);
        return false;
    };
    // Characters: bytes, or 16-bit units in a UTF-16 file.
    qint64 characters = 0;
    qint64 strays = 0;
    const auto looksBinary = [&] { return strays >= 8 && strays * 100 > characters; };
    const auto binaryFound = [&] {
        *error = QStringLiteral("%1 no es un archivo de texto (tiene %2 caracteres de control); no se importa")
                     .arg(m_name)
                     .arg(strays);
        return false;
    };

    qint64 line = 1;
    qint64 total = 0;
    QByteArray piece;
    // UTF-16: which byte comes first, the odd byte of a unit cut at a
    // piece's end, and whether a high surrogate waits for its low half.
    // Its lines are surveyed in UTF-8.
    Utf16 utf16 = Utf16::No;
    std::unique_ptr<QStringDecoder> decoder;
    std::unique_ptr<LineSurvey> survey;
    int oddByte = -1;
    bool highSurrogate = false;
    for (;;) {
        if (!readChunk(&piece)) {
            *error = m_error;
            return false;
        }
        // A pipe may hand over its first byte alone: the byte-order mark
        // is judged on two.
        while (total == 0 && piece.size() == 1) {
            QByteArray more;
            if (!readChunk(&more)) {
                *error = m_error;
                return false;
            }
            if (more.isEmpty())
                break;
            piece += more;
        }
        const bool last = piece.isEmpty();
        if (total == 0 && piece.size() >= 2) {
            const auto first = static_cast<unsigned char>(piece.at(0));
            const auto second = static_cast<unsigned char>(piece.at(1));
            if (first == 0xFF && second == 0xFE)
                utf16 = Utf16::Little;
            else if (first == 0xFE && second == 0xFF)
                utf16 = Utf16::Big;
            if (utf16 != Utf16::No)
                decoder = std::make_unique<QStringDecoder>(
                    utf16 == Utf16::Little ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        }
        if (!survey)
            survey = std::make_unique<LineSurvey>(utf16 == Utf16::No);
        const char *data = piece.constData();
        const qsizetype size = piece.size();
        if (utf16 != Utf16::No) {
            for (qsizetype i = 0; i < size; ++i) {
                const auto byte = static_cast<unsigned char>(data[i]);
                if (oddByte < 0) {
                    oddByte = byte;
                    continue;
                }
                const unsigned unit = utf16 == Utf16::Little ? unsigned(oddByte) | (unsigned(byte) << 8)
                                                              : (unsigned(oddByte) << 8) | unsigned(byte);
                oddByte = -1;
                ++characters;
                if (unit == 0)
                    return nulFound(line);
                if (unit == '\n')
                    ++line;
                const bool high = unit >= 0xD800 && unit < 0xDC00;
                const bool low = unit >= 0xDC00 && unit < 0xE000;
                if ((unit < 0x80 && isStrayControl(static_cast<unsigned char>(unit))) || low != highSurrogate)
                    ++strays;
                highSurrogate = high;
            }
            survey->add(QString(decoder->decode(piece)).toUtf8());
        } else {
            if (const void *nul = std::memchr(data, 0, size_t(size)))
                return nulFound(line + std::count(data, static_cast<const char *>(nul), '\n'));
            survey->add(piece);
            line += std::count(data, data + size, '\n');
            for (qsizetype i = 0; i < size; ++i)
                strays += StrayControls[static_cast<unsigned char>(data[i])];
            characters += size;
        }
        if (total < FirstStretch && total + piece.size() >= FirstStretch && looksBinary())
            return binaryFound();
        if (total + piece.size() > limit) {
            *error = tooLarge;
            return false;
        }
        total += piece.size();
        // Only what passed the test goes into the copy.
        for (qsizetype done = 0; copy >= 0 && done < piece.size();) {
            const ssize_t written = ::write(copy, piece.constData() + done, size_t(piece.size() - done));
            if (written < 0 && errno == EINTR && Interruption::requested() == 0)
                continue;
            if (written < 0) {
                *error = errno == EINTR ? interruptedText(m_name) : copyError(m_name, folderName, errno);
                return false;
            }
            done += written;
        }
        if (Interruption::requested() != 0) {
            *error = interruptedText(m_name);
            return false;
        }
        if (last)
            break;
    }
    if (looksBinary())
        return binaryFound();
    survey->finish();
    m_utf16 = utf16;
    m_windowsLines = survey->windowsLines;
    m_firstWindowsLines = survey->firstWindowsLines;
    m_textLines = survey->textLines;
    m_separator = survey->separator;
    m_attributionLines = survey->attributionLines;
    m_endsInAttribution = survey->endsInAttribution;
    QByteArray firstLine = survey->firstLine;
    if (firstLine.endsWith('\r'))
        firstLine.chop(1);
    bool windows = false;
    const QString header = decode(firstLine, &windows);
    const QString mistake = headerMistake(header);
    if (!mistake.isEmpty()) {
        *error = QStringLiteral("%1, línea 1: %2").arg(m_name, mistake);
        return false;
    }
    m_kind = detectKind(m_name, header);
    return true;
}

bool SourceFile::lacksSeparators() const
{
    return !m_separator && m_textLines > 1 && !(m_attributionLines == 1 && m_endsInAttribution);
}

bool SourceFile::rewind()
{
    if (m_fd < 0 || ::lseek(m_fd, m_origin, SEEK_SET) != m_origin)
        return false;
    if (m_decoder)
        m_decoder->resetState();
    m_started = false;
    m_atEnd = false;
    m_pending.clear();
    m_pos = m_scan = 0;
    m_keepEnd = -1;
    m_lineCut = false;
    m_quotesCut = 0;
    m_bytesRead = 0;
    m_error.clear();
    return true;
}

QString SourceFile::decodeLine(QByteArrayView bytes) const
{
    if (m_utf16 != Utf16::No || bytes.isValidUtf8())
        return QString::fromUtf8(bytes);
    return windows1252(bytes);
}

bool SourceFile::fill()
{
    if (m_atEnd)
        return false;
    QByteArray piece;
    if (!readChunk(&piece)) {
        m_atEnd = true;
        return false;
    }
    // A signal ends the reading of a long source (or a long line) as a
    // failure, which undoes the import.
    if (Interruption::requested() != 0) {
        m_error = interruptedText(m_name);
        m_atEnd = true;
        return false;
    }
    m_bytesRead += piece.size();
    const bool last = piece.isEmpty();
    if (m_pos > 0) {
        m_pending.remove(0, m_pos);
        m_scan -= m_pos;
        if (m_keepEnd >= 0)
            m_keepEnd -= m_pos;
        m_pos = 0;
    }
    m_pending += m_decoder ? QString(m_decoder->decode(piece)).toUtf8() : piece;
    // No line is handed out before the byte-order mark is judged.
    if (!m_started && (m_pending.size() >= Utf8Bom.size() || last)) {
        m_started = true;
        if (m_pending.startsWith(Utf8Bom)) {
            m_pending.remove(0, Utf8Bom.size());
            m_scan = 0;
        }
    }
    if (last)
        m_atEnd = true;
    return true;
}

bool SourceFile::readLine(QString *line)
{
    m_lineCut = false;
    m_quotesCut = 0;
    while (!m_started && fill()) {
    }
    // What a line past LineLimit keeps, ended as it was ended.
    const auto handOut = [&](qsizetype end, bool newline) {
        if (m_keepEnd >= 0) {
            if (newline)
                m_quotesCut += std::count(m_pending.cbegin() + m_keepEnd, m_pending.cbegin() + end, '"');
            QByteArray kept = m_pending.sliced(m_pos, m_keepEnd - m_pos);
            if (newline)
                kept += '\n';
            *line = decodeLine(kept);
            m_lineCut = true;
            m_keepEnd = -1;
        } else {
            *line = decodeLine(QByteArrayView(m_pending).sliced(m_pos, end - m_pos));
        }
        m_pos = m_scan = end;
    };
    for (;;) {
        const char *data = m_pending.constData();
        const auto *newline = static_cast<const char *>(
            std::memchr(data + m_scan, '\n', size_t(m_pending.size() - m_scan)));
        if (newline) {
            handOut(newline - data + 1, true);
            return true;
        }
        if (m_keepEnd < 0 && m_pending.size() - m_pos > LineLimit)
            m_keepEnd = m_pos + LineLimit;
        if (m_keepEnd >= 0) {
            m_quotesCut += std::count(m_pending.cbegin() + m_keepEnd, m_pending.cend(), '"');
            m_pending.truncate(m_keepEnd);
        }
        m_scan = m_pending.size();
        if (!fill()) {
            if (!m_error.isEmpty() || m_pos >= m_pending.size())
                return false;
            handOut(m_pending.size(), false);
            return true;
        }
    }
}

QString SourceFile::decode(const QByteArray &bytes, bool *windows1252Used)
{
    *windows1252Used = false;
    QByteArrayView rest(bytes);
    if (rest.startsWith(Utf8Bom))
        rest = rest.sliced(Utf8Bom.size());
    QString text;
    while (!rest.isEmpty()) {
        const auto *newline = static_cast<const char *>(std::memchr(rest.data(), '\n', size_t(rest.size())));
        const QByteArrayView line = rest.first(newline ? newline - rest.data() + 1 : rest.size());
        if (line.isValidUtf8()) {
            text += QString::fromUtf8(line);
        } else {
            text += windows1252(line);
            *windows1252Used = true;
        }
        rest = rest.sliced(line.size());
    }
    return text;
}

void SourceFile::setLimitsForTests(qint64 maxSize, qint64 tempFree)
{
    g_maxSizeForTests = maxSize;
    g_tempFreeForTests = tempFree;
}

namespace {

// The names of a first line split at its delimiter, the first of comma,
// semicolon and tab that it holds.
QStringList headerNames(QStringView line)
{
    if (line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    for (const QChar delimiter : {QLatin1Char(','), QLatin1Char(';'), QLatin1Char('\t')}) {
        if (line.contains(delimiter)) {
            QStringList names;
            for (const QStringView name : line.split(delimiter))
                names << name.toString();
            return names;
        }
    }
    return {};
}

bool isHeader(const QStringList &names)
{
    static const QStringList plain{QStringLiteral("autor"), QStringLiteral("frace"), QStringLiteral("tema")};
    static const QStringList withIndex = plain + QStringList{QStringLiteral("Index")};
    QStringList bare;
    // A spreadsheet may quote every name.
    for (const QString &name : names)
        bare << (name.size() >= 2 && name.startsWith(QLatin1Char('"')) && name.endsWith(QLatin1Char('"'))
                     ? name.mid(1, name.size() - 2)
                     : name);
    return bare == plain || bare == withIndex;
}

} // namespace

SourceFile::Kind SourceFile::detectKind(const QString &path, QStringView firstLine)
{
    if (isHeader(headerNames(firstLine)))
        return Kind::Csv;
    if (QFileInfo(path).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0)
        return Kind::Csv;
    return Kind::Fortune;
}

QString SourceFile::headerMistake(QStringView firstLine)
{
    const QStringList names = headerNames(firstLine);
    if (names.size() < 3 || names.size() > 4 || isHeader(names))
        return QString();
    QStringList loose;
    for (QString name : names) {
        name = name.trimmed();
        if (name.size() >= 2 && name.startsWith(QLatin1Char('"')) && name.endsWith(QLatin1Char('"')))
            name = name.mid(1, name.size() - 2).trimmed();
        name = name.toLower();
        loose << (name == QLatin1String("frase") ? QStringLiteral("frace") : name);
    }
    static const QStringList expected{QStringLiteral("autor"), QStringLiteral("frace"), QStringLiteral("tema"),
                                      QStringLiteral("index")};
    if (loose != expected.mid(0, loose.size()))
        return QString();
    return QStringLiteral("«%1» no es la cabecera de un CSV de frases; la primera línea debe ser exactamente "
                          "%2 o %3 (frace con c, en minúsculas salvo Index, sin espacios), con comas, puntos y "
                          "coma o tabuladores entre los nombres")
        .arg(firstLine.trimmed().toString(), QLatin1String(CsvHeader), QLatin1String(CsvHeaderWithIndex));
}
