#include "SourceFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qsizetype PieceSize = 64 * 1024;

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
        cause = QStringLiteral("el sistema no lo deja");
        break;
    }
    return QStringLiteral("no se pudo leer %1: %2. Detalle: %3")
        .arg(name, cause, QString::fromLocal8Bit(std::strerror(error)));
}

// Control characters that text files do hold: tab, line feed, form feed,
// carriage return, backspace (overstrike) and escape (terminal colours).
bool isStrayControl(unsigned char byte)
{
    if (byte == 0x7F)
        return true;
    if (byte >= 0x20)
        return false;
    return byte != '\t' && byte != '\n' && byte != '\f' && byte != '\r' && byte != '\b' && byte != 0x1B
        && byte != '\v';
}

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
    if (!S_ISREG(info.st_mode)) {
        // A pipe or a device (/dev/stdin, <(zcat ...)) is read once into a
        // temporary file, which the passes below can read again.
        if (!spool(error))
            return false;
        if (::fstat(m_fd, &info) != 0) {
            *error = readError(name, errno);
            return false;
        }
    }
    m_size = info.st_size;

    // The first pass: text or not, which encoding, which kind.
    bool utf8 = true;
    qint64 line = 1;
    qint64 strays = 0;
    qint64 total = 0;
    QByteArray firstLine;
    bool firstLineDone = false;
    QByteArray piece;
    QByteArray carry;
    for (;;) {
        if (!readChunk(&piece)) {
            *error = m_error;
            return false;
        }
        const bool last = piece.isEmpty();
        for (qsizetype i = 0; i < piece.size(); ++i) {
            const auto byte = static_cast<unsigned char>(piece.at(i));
            if (byte == 0) {
                *error = QStringLiteral("%1, línea %2: hay un byte nulo; no es un archivo de texto y no se importa")
                             .arg(name)
                             .arg(line);
                return false;
            }
            if (byte == '\n') {
                ++line;
                firstLineDone = true;
            } else if (!firstLineDone && firstLine.size() < 256) {
                firstLine += char(byte);
            }
            if (isStrayControl(byte))
                ++strays;
        }
        total += piece.size();
        if (utf8) {
            carry += piece;
            const qsizetype cut = last ? 0 : cutCharacter(carry);
            bool valid = true;
            utf8Piece(QByteArrayView(carry).first(carry.size() - cut), &valid);
            utf8 = valid;
            carry = carry.right(cut);
        }
        if (last)
            break;
    }
    if (strays >= 8 && strays * 100 > total) {
        *error = QStringLiteral("%1 no es un archivo de texto (tiene %2 caracteres de control); no se importa")
                     .arg(name)
                     .arg(strays);
        return false;
    }
    m_latin1 = !utf8;
    if (firstLine.endsWith('\r'))
        firstLine.chop(1);
    bool ignored = false;
    m_kind = detectKind(name, decode(firstLine, &ignored));
    if (::lseek(m_fd, 0, SEEK_SET) != 0) {
        *error = readError(name, errno);
        return false;
    }
    return true;
}

bool SourceFile::spool(QString *error)
{
    const QByteArray folder = QFile::encodeName(QDir::tempPath());
    int copy = ::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (copy < 0) {
        QByteArray pattern = folder + "/sentalia-db.XXXXXX";
        copy = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (copy >= 0)
            ::unlink(pattern.constData());
    }
    if (copy < 0) {
        *error = QStringLiteral("no se pudo leer %1: no se pudo hacer una copia temporal en %2. Detalle: %3")
                     .arg(m_name, QDir::tempPath(), QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    QByteArray piece;
    for (;;) {
        if (!readChunk(&piece)) {
            ::close(copy);
            *error = m_error;
            return false;
        }
        if (piece.isEmpty())
            break;
        for (qsizetype done = 0; done < piece.size();) {
            const ssize_t written = ::write(copy, piece.constData() + done, size_t(piece.size() - done));
            if (written < 0 && errno == EINTR)
                continue;
            if (written < 0) {
                *error = QStringLiteral("no se pudo leer %1: no se pudo hacer una copia temporal en %2. Detalle: %3")
                             .arg(m_name, QDir::tempPath(), QString::fromLocal8Bit(std::strerror(errno)));
                ::close(copy);
                return false;
            }
            done += written;
        }
    }
    ::close(m_fd);
    m_fd = copy;
    m_spooled = true;
    if (::lseek(m_fd, 0, SEEK_SET) != 0) {
        *error = readError(m_name, errno);
        return false;
    }
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
