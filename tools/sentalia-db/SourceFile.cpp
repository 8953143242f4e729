#include "SourceFile.h"

#include "PathName.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool SourceFile::load(const QString &path, QString *error)
{
    return load(QFile::encodeName(path), error);
}

bool SourceFile::load(const QByteArray &name, QString *error)
{
    const QString path = PathName::text(name);
    struct stat info;
    if (::stat(name.constData(), &info) == 0 && S_ISDIR(info.st_mode)) {
        *error = QStringLiteral("%1 es una carpeta, no un archivo").arg(path);
        return false;
    }
    // Opened by its bytes: Qt would read the name as UTF-8.
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *error = QStringLiteral("no se pudo leer %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *error = QStringLiteral("no se pudo leer %1: %2").arg(path, file.errorString());
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("no se pudo leer %1: %2").arg(path, file.errorString());
        return false;
    }
    m_path = path;
    m_text = decode(bytes, &m_latin1);
    m_kind = detectKind(path, m_text);
    return true;
}

QString SourceFile::decode(const QByteArray &bytes, bool *latin1)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    *latin1 = utf8.hasError();
    if (*latin1)
        text = QString::fromLatin1(bytes);
    else if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

SourceFile::Kind SourceFile::detectKind(const QString &path, const QString &text)
{
    qsizetype end = text.indexOf(QLatin1Char('\n'));
    QStringView first = QStringView(text).left(end < 0 ? text.size() : end);
    if (first.endsWith(QLatin1Char('\r')))
        first.chop(1);
    if (first == QLatin1String(CsvHeader))
        return Kind::Csv;
    if (QFileInfo(path).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0)
        return Kind::Csv;
    return Kind::Fortune;
}
