#include "SourceFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

bool SourceFile::load(const QString &path, QString *error)
{
    QFile file(path);
    if (QFileInfo(path).isDir()) {
        *error = QStringLiteral("%1 es una carpeta, no un archivo").arg(path);
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
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
