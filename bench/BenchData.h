// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/QuoteStore.h"

#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <functional>
#include <vector>

// Shared by the benchmark programs: a 100,000-record collection made by
// repeating the shipped default collection, and a median timer.
namespace BenchData {

inline QList<QuoteRecord> sampleRecords()
{
    QFile file(QStringLiteral(SENTALIA_SOURCE_DIR "/resources/data/frases.csv"));
    QList<QuoteRecord> records;
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read the default collection");
    const QString text = QString::fromUtf8(file.readAll());
    QStringList fields;
    QString field;
    bool quoted = false;
    const auto endRecord = [&] {
        fields << field;
        field.clear();
        if (fields.size() == 3 && fields.first() != QLatin1String("autor")) {
            QuoteRecord record;
            record.autor = fields[0];
            record.frace = fields[1];
            record.tema = fields[2];
            records << record;
        }
        fields.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            fields << field;
            field.clear();
        } else if (c == u'\n') {
            endRecord();
        } else if (c != u'\r') {
            field += c;
        }
    }
    if (!field.isEmpty() || !fields.isEmpty())
        endRecord();
    return records;
}

// Creates PATH with COUNT records; the first record of each topic gets Index 1.
inline void build(const QString &path, int count)
{
    QFile::remove(path);
    QuoteStore::OpenResult created = QuoteStore::create(path);
    if (!created)
        qFatal("cannot create %s: %s", qPrintable(path), qPrintable(created.reason));
    const QList<QuoteRecord> sample = sampleRecords();
    QStringList seen;
    created.store->begin();
    for (int i = 0; i < count; ++i) {
        QuoteRecord record = sample.at(i % sample.size());
        record.hasIndex = !seen.contains(record.tema);
        record.index = 1;
        if (record.hasIndex)
            seen << record.tema;
        if (!created.store->insertRecord(record))
            qFatal("%s", qPrintable(created.store->lastError()));
    }
    created.store->commit();
}

// A figure of /proc/self/status, in kB (VmRSS:, VmHWM:); -1 when unknown.
inline qint64 statusKb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLongLong();
    return -1;
}

// Starts the peak resident figure (VmHWM) afresh from the present size, so
// that what the benchmark itself held before does not count.
inline bool resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    return refs.open(QIODevice::WriteOnly) && refs.write("5") == 1;
}

inline double medianMs(int runs, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace BenchData
