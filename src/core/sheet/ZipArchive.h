#pragma once

#include "common/Result.h"

#include <QByteArray>
#include <QHash>
#include <QString>

namespace sheet {

// Read-only access to the members of a zip archive (stored or deflated, as
// workbooks use), held in memory. Each member's CRC-32 is checked on read.
class ZipArchive
{
public:
    static Result<ZipArchive> open(const QString &path);
    static Result<ZipArchive> fromData(QByteArray data);

    // Member names compare without regard to case, as spreadsheet programs do.
    bool contains(const QString &name) const { return m_entries.contains(name.toLower()); }
    Result<QByteArray> read(const QString &name) const;

private:
    struct Entry
    {
        quint16 method = 0;
        quint32 crc = 0;
        quint32 compressedSize = 0;
        quint32 size = 0;
        quint32 localOffset = 0;
    };
    QByteArray m_data;
    QHash<QString, Entry> m_entries;
};

} // namespace sheet
