// A shared library cut short inside its loadable segments, as an interrupted install leaves it
// (the tail of a file may be debug sections that loading never reads).
#ifndef KV_CUTLIBRARY_H
#define KV_CUTLIBRARY_H

#include <QByteArray>
#include <QFile>
#include <QString>

#include <algorithm>
#include <cstring>
#include <elf.h>
#include <link.h>

// The first half of what the loadable segments of the library at path cover; empty when the
// file cannot be read.
inline QByteArray kv_cutLibrary(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    const QByteArray bytes = f.readAll();
    ElfW(Ehdr) header;
    if (bytes.size() < qsizetype(sizeof header))
        return QByteArray();
    std::memcpy(&header, bytes.constData(), sizeof header);
    quint64 end = 0;
    for (unsigned i = 0; i < header.e_phnum; ++i) {
        ElfW(Phdr) segment;
        const quint64 at = header.e_phoff + i * sizeof segment;
        if (at + sizeof segment > quint64(bytes.size()))
            return QByteArray();
        std::memcpy(&segment, bytes.constData() + at, sizeof segment);
        if (segment.p_type == PT_LOAD)
            end = std::max(end, quint64(segment.p_offset + segment.p_filesz));
    }
    return bytes.left(qsizetype(end / 2));
}

#endif
