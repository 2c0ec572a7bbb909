#include "sheet/ZipArchive.h"

#include <QFile>

#include <zlib.h>

namespace sheet {

namespace {

constexpr qint64 kMaxArchive = 512LL * 1024 * 1024;
constexpr quint32 kMaxMember = 512U * 1024 * 1024;

quint16 u16(const QByteArray &d, qint64 at)
{
    const auto *p = reinterpret_cast<const uchar *>(d.constData() + at);
    return quint16(p[0] | (p[1] << 8));
}

quint32 u32(const QByteArray &d, qint64 at)
{
    const auto *p = reinterpret_cast<const uchar *>(d.constData() + at);
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

} // namespace

Result<ZipArchive> ZipArchive::open(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return Result<ZipArchive>::failure(f.errorString());
    if (f.size() > kMaxArchive)
        return Result<ZipArchive>::failure(QStringLiteral("the file is too large"));
    return fromData(f.readAll());
}

Result<ZipArchive> ZipArchive::fromData(QByteArray data)
{
    using R = Result<ZipArchive>;
    const qint64 n = data.size();
    if (n < 22)
        return R::failure(QStringLiteral("not a zip archive"));
    // The end-of-central-directory record sits in the last 64 KiB + 22 bytes.
    qint64 eocd = -1;
    for (qint64 i = n - 22; i >= 0 && i >= n - 22 - 0xFFFF; --i) {
        if (u32(data, i) == 0x06054b50) {
            eocd = i;
            break;
        }
    }
    if (eocd < 0)
        return R::failure(QStringLiteral("not a zip archive"));
    const quint16 count = u16(data, eocd + 10);
    const quint32 dirSize = u32(data, eocd + 12);
    const quint32 dirOffset = u32(data, eocd + 16);
    if (dirOffset == 0xFFFFFFFF || count == 0xFFFF)
        return R::failure(QStringLiteral("zip64 archives are not supported"));
    if (qint64(dirOffset) + dirSize > eocd)
        return R::failure(QStringLiteral("damaged zip directory"));

    ZipArchive zip;
    qint64 at = dirOffset;
    for (int i = 0; i < count; ++i) {
        if (at + 46 > eocd || u32(data, at) != 0x02014b50)
            return R::failure(QStringLiteral("damaged zip directory"));
        Entry e;
        e.method = u16(data, at + 10);
        e.crc = u32(data, at + 16);
        e.compressedSize = u32(data, at + 20);
        e.size = u32(data, at + 24);
        const quint16 nameLen = u16(data, at + 28);
        const quint16 extraLen = u16(data, at + 30);
        const quint16 commentLen = u16(data, at + 32);
        e.localOffset = u32(data, at + 42);
        if (at + 46 + nameLen > eocd)
            return R::failure(QStringLiteral("damaged zip directory"));
        const QString name = QString::fromUtf8(data.constData() + at + 46, nameLen);
        zip.m_entries.insert(name.toLower(), e);
        at += 46 + nameLen + extraLen + commentLen;
    }
    zip.m_data = std::move(data);
    return R::success(std::move(zip));
}

Result<QByteArray> ZipArchive::read(const QString &name) const
{
    using R = Result<QByteArray>;
    const auto it = m_entries.constFind(name.toLower());
    if (it == m_entries.cend())
        return R::failure(QStringLiteral("%1 is missing").arg(name));
    const Entry &e = it.value();
    const qint64 n = m_data.size();
    const qint64 lh = e.localOffset;
    if (lh + 30 > n || u32(m_data, lh) != 0x04034b50)
        return R::failure(QStringLiteral("%1 is damaged").arg(name));
    const qint64 start = lh + 30 + u16(m_data, lh + 26) + u16(m_data, lh + 28);
    if (start + qint64(e.compressedSize) > n || e.size > kMaxMember)
        return R::failure(QStringLiteral("%1 is damaged").arg(name));

    QByteArray out;
    if (e.method == 0) {
        out = m_data.mid(start, e.compressedSize);
    } else if (e.method == 8) {
        out.resize(static_cast<qsizetype>(e.size));
        z_stream zs{};
        if (inflateInit2(&zs, -MAX_WBITS) != Z_OK)
            return R::failure(QStringLiteral("cannot inflate %1").arg(name));
        zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(m_data.constData() + start));
        zs.avail_in = e.compressedSize;
        zs.next_out = reinterpret_cast<Bytef *>(out.data());
        zs.avail_out = e.size;
        const int rc = inflate(&zs, Z_FINISH);
        const uLong produced = zs.total_out;
        inflateEnd(&zs);
        if (rc != Z_STREAM_END || produced != e.size)
            return R::failure(QStringLiteral("%1 is damaged").arg(name));
    } else {
        return R::failure(QStringLiteral("%1 uses an unsupported compression").arg(name));
    }
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef *>(out.constData()),
                            static_cast<uInt>(out.size()));
    if (crc != e.crc)
        return R::failure(QStringLiteral("%1 is damaged").arg(name));
    return R::success(out);
}

} // namespace sheet
