// Key encoding and decoding at full size, against the plain cost of touching
// the same number of bytes (the baseline in the same run).
#include "keyformat/AuditTrail.h"
#include "keyformat/KeyEncoding.h"
#include "keyformat/KeyImageReport.h"
#include "keyformat/LockSetupMission.h"

#include <benchmark/benchmark.h>

#include <cstring>

using namespace keyformat;

namespace {

QString serialFor(uint8_t family, quint32 n)
{
    onewire::RomBytes rom{};
    rom[0] = family;
    for (int i = 0; i < 4; ++i)
        rom[static_cast<size_t>(1 + i)] = static_cast<uint8_t>(n >> (8 * i));
    rom[7] = onewire::crc8(rom.data(), 7);
    return onewire::serialTextFromBus(rom);
}

LockSetupMission fullMission()
{
    LockSetupMission m;
    m.facility = {{0x48, 0x26, 0x15}};
    m.lockSerials = {serialFor(0x2D, 1)};
    for (int g = 1; g <= 16; ++g)
        for (int e = 0; e < 7; ++e)
            m.tables.timeShifts << TimeShiftRow{g, QTime(e, 0), QTime(e + 1, 30), QStringLiteral("Monday")};
    for (int i = 0; i < kMaxUsers; ++i) {
        LockUser u;
        u.userType = i % 3 == 0 ? QStringLiteral("iButton")
                                : (i % 3 == 1 ? QStringLiteral("KeyCode") : QStringLiteral("Complex"));
        u.keyCode = QString::number(100000 + i);
        u.serialId = serialFor(0x01, quint32(i));
        u.timeShiftId = 1 + i % 16;
        m.users << u;
    }
    return m;
}

QByteArray fullAuditKey()
{
    QByteArray img = blankImage();
    QByteArray p0 = blankPage();
    p0.replace(0, 5, QByteArray("READ\x01", 5));
    p0.replace(10, 8, QByteArray("\x2D\x01\x00\x00\x00\x00\x00\x9A", 8));
    putPage(img, 0, p0);
    QByteArray p1 = blankPage();
    putU16(p1, 0, kMaxSingleKeyRecords);
    putU16(p1, 2, kMaxSingleKeyRecords);
    putClock(p1, 4, QDateTime(QDate(2026, 12, 3), QTime(9, 5, 7)));
    putPage(img, 1, p1);
    for (int i = 0; i < kMaxSingleKeyRecords; ++i) {
        const QByteArray id =
            i % 2 ? codeIdentity(QStringLiteral("1234")) : QByteArray("\x01\x11\x22\x33\x44\x55\x66\x77", 8);
        const QByteArray r = encodeAuditRecord(id, QDateTime(QDate(2026, 12, 3), QTime(9, 5, 7)).addSecs(i), 0x00);
        img.replace((2 + i / 4) * kPageSize + 16 * (i % 4), 16, r);
    }
    return img;
}

} // namespace

static void BM_BaselineCopyImage(benchmark::State &state)
{
    QByteArray src(kImageSize, char(0x5A)), dst(kImageSize, char(0));
    for (auto _ : state) {
        std::memcpy(dst.data(), src.constData(), size_t(kImageSize));
        benchmark::DoNotOptimize(dst.data());
    }
    state.SetBytesProcessed(state.iterations() * kImageSize);
}
BENCHMARK(BM_BaselineCopyImage);

static void BM_EncodeFullLockSetup(benchmark::State &state)
{
    const LockSetupMission m = fullMission();
    for (auto _ : state) {
        const auto r = encodeLockSetup(m);
        benchmark::DoNotOptimize(r.value.size());
    }
    state.SetBytesProcessed(state.iterations() * kImageSize);
}
BENCHMARK(BM_EncodeFullLockSetup);

static void BM_DecodeFullAuditKey(benchmark::State &state)
{
    const QByteArray img = fullAuditKey();
    const auto reg = [](const QString &id) { return id.endsWith(QLatin1String("01")); };
    for (auto _ : state) {
        const SingleLockAudit a = decodeSingleLockAudit(img, reg);
        benchmark::DoNotOptimize(a.run.records.size());
    }
    state.SetItemsProcessed(state.iterations() * kMaxSingleKeyRecords);
}
BENCHMARK(BM_DecodeFullAuditKey);

static void BM_DescribeFullAuditKey(benchmark::State &state)
{
    const QByteArray img = fullAuditKey();
    for (auto _ : state) {
        const auto d = describeKeyImage(img);
        benchmark::DoNotOptimize(describeKeyImageText(d.value).size());
    }
}
BENCHMARK(BM_DescribeFullAuditKey);

BENCHMARK_MAIN();
