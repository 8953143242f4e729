#include "SourceFile.h"

#include "PathName.h"

#include "store/FailureText.h"
#include "store/Interruption.h"

#include <QFileInfo>
#include <QStringDecoder>

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
qsizetype cutCharacter(const QByteArray &bytes)
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

QString utf8Piece(QByteArrayView bytes, bool *valid)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    *valid = !decoder.hasError();
    return text;
}

} // namespace

SourceFile::SourceFile(const QString &text, const QString &name)
    : m_name(name)
    , m_started(true)
    , m_atEnd(true)
    , m_pending(text)
{
    const qsizetype end = text.indexOf(QLatin1Char('\n'));
    m_kind = detectKind(name, end < 0 ? QStringView(text) : QStringView(text).left(end));
    m_size = text.size();
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
    QString tooLarge = tooLargeText(name, maxSize());
    if (S_ISREG(info.st_mode) && info.st_size > maxSize()) {
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
    if (!text || ::fstat(m_fd, &info) != 0 || ::lseek(m_fd, 0, SEEK_SET) != 0) {
        if (text)
            *error = readError(name, errno);
        // The copy has no name: closing it gives its room back.
        ::close(m_fd);
        m_fd = -1;
        return false;
    }
    m_size = info.st_size;
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

    bool utf8 = true;
    qint64 line = 1;
    qint64 total = 0;
    QByteArray firstLine;
    bool firstLineDone = false;
    QByteArray piece;
    QByteArray carry;
    // UTF-16: which byte comes first, the odd byte of a unit cut at a
    // piece's end, and whether a high surrogate waits for its low half.
    enum class Utf16 { No, Little, Big } utf16 = Utf16::No;
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
        }
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
        } else {
            if (const void *nul = std::memchr(data, 0, size_t(size)))
                return nulFound(line + std::count(data, static_cast<const char *>(nul), '\n'));
            if (!firstLineDone) {
                const auto *end = static_cast<const char *>(std::memchr(data, '\n', size_t(size)));
                firstLineDone = end != nullptr;
                const qsizetype length = end ? end - data : size;
                firstLine += QByteArrayView(data, std::min<qsizetype>(length, 256 - firstLine.size()));
            }
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
        if (utf8 && utf16 == Utf16::No) {
            carry += piece;
            const qsizetype cut = last ? 0 : cutCharacter(carry);
            utf8 = QByteArrayView(carry).first(carry.size() - cut).isValidUtf8();
            carry = carry.right(cut);
        }
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
    if (utf16 != Utf16::No) {
        *error = QStringLiteral("%1 está en UTF-16, que no se importa; guárdelo en UTF-8 y vuelva a importarlo")
                     .arg(m_name);
        return false;
    }
    m_latin1 = !utf8;
    if (firstLine.endsWith('\r'))
        firstLine.chop(1);
    bool ignored = false;
    m_kind = detectKind(m_name, decode(firstLine, &ignored));
    return true;
}

bool SourceFile::rewind()
{
    if (m_fd < 0 || ::lseek(m_fd, 0, SEEK_SET) != 0)
        return false;
    m_carry.clear();
    m_started = false;
    m_atEnd = false;
    m_pending.clear();
    m_pos = m_scan = 0;
    m_bytesRead = 0;
    m_error.clear();
    return true;
}

QString SourceFile::decodeChunk(QByteArray *bytes, bool last)
{
    if (m_latin1) {
        const QString text = QString::fromLatin1(*bytes);
        bytes->clear();
        return text;
    }
    const qsizetype cut = last ? 0 : cutCharacter(*bytes);
    bool valid = true;
    QString text = utf8Piece(QByteArrayView(*bytes).first(bytes->size() - cut), &valid);
    *bytes = bytes->right(cut);
    return text;
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
    m_bytesRead += piece.size();
    const bool last = piece.isEmpty();
    m_carry += piece;
    QString text = decodeChunk(&m_carry, last);
    if (!m_started) {
        m_started = true;
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
    }
    if (m_pos > 0) {
        m_pending.remove(0, m_pos);
        m_scan -= m_pos;
        m_pos = 0;
    }
    m_pending += text;
    if (last)
        m_atEnd = true;
    return true;
}

bool SourceFile::readLine(QString *line)
{
    for (;;) {
        const qsizetype end = m_pending.indexOf(QLatin1Char('\n'), m_scan);
        if (end >= 0) {
            *line = m_pending.mid(m_pos, end + 1 - m_pos);
            m_pos = m_scan = end + 1;
            return true;
        }
        m_scan = m_pending.size();
        if (!fill()) {
            if (!m_error.isEmpty() || m_pos >= m_pending.size())
                return false;
            *line = m_pending.mid(m_pos);
            m_pos = m_scan = m_pending.size();
            return true;
        }
    }
}

QString SourceFile::decode(const QByteArray &bytes, bool *latin1)
{
    bool valid = true;
    QString text = utf8Piece(bytes, &valid);
    *latin1 = !valid;
    if (*latin1)
        text = QString::fromLatin1(bytes);
    else if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

void SourceFile::setLimitsForTests(qint64 maxSize, qint64 tempFree)
{
    g_maxSizeForTests = maxSize;
    g_tempFreeForTests = tempFree;
}

SourceFile::Kind SourceFile::detectKind(const QString &path, QStringView firstLine)
{
    if (firstLine.endsWith(QLatin1Char('\r')))
        firstLine.chop(1);
    if (firstLine == QLatin1String(CsvHeader) || firstLine == QLatin1String(CsvHeaderWithIndex))
        return Kind::Csv;
    if (QFileInfo(path).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0)
        return Kind::Csv;
    return Kind::Fortune;
}
