#include "ibutton/ClockKeyTransfer.h"

#include "common/Clock.h"

namespace onewire {
namespace {

constexpr uint8_t kWriteScratchpad = 0x0F;
constexpr uint8_t kReadScratchpad = 0xAA;
constexpr uint8_t kCopyScratchpad = 0x55;
constexpr uint8_t kReadMemory = 0xF0;
constexpr uint8_t kReadClock = 0x66;
constexpr uint8_t kWriteClock = 0x99;

// Writes `block` into the DS1994 scratchpad at ta1/ta2 and reads it back
// until it matches; then copies it. False when it never matched.
template <size_t N>
bool writeVerifiedBlock(KeyTransferContext &ctx, int32_t h, uint8_t ta1, uint8_t ta2,
                        const std::function<std::array<uint8_t, N>()> &makeBlock)
{
    OneWireBus &bus = *ctx.bus;
    bool verified = false;
    uint8_t es = 0;
    for (int round = 0; round < kMaxClockVerifyRepeats && !verified; ++round) {
        const std::array<uint8_t, N> block = makeBlock();
        selectKey(ctx, h);
        for (uint8_t b : {kWriteScratchpad, ta1, ta2})
            bus.touchByte(h, b);
        for (uint8_t b : block)
            bus.touchByte(h, b);
        selectKey(ctx, h);
        bus.touchByte(h, kReadScratchpad);
        bus.touchByte(h, 0xFF);
        bus.touchByte(h, 0xFF);
        es = uint8_t(bus.touchByte(h, 0xFF));
        verified = true;
        for (uint8_t b : block)
            if (uint8_t(bus.touchByte(h, 0xFF)) != b)
                verified = false; // keep reading: the comparison covers every byte
        ctx.pump();
    }
    if (!verified)
        return false;
    selectKey(ctx, h);
    for (uint8_t b : {kCopyScratchpad, ta1, ta2, es})
        bus.touchByte(h, b);
    bus.touchReset(h);
    return true;
}

std::array<uint8_t, 6> ds1994ClockBlock()
{
    const uint32_t count = clockCount(Clock::now());
    return {0x10, 0xFF, uint8_t(count), uint8_t(count >> 8), uint8_t(count >> 16), uint8_t(count >> 24)};
}

} // namespace

uint32_t clockCount(const QDateTime &localTime)
{
    const qint64 days = QDate(1970, 1, 1).daysTo(localTime.date());
    const qint64 ms = localTime.time().msecsSinceStartOfDay();
    return uint32_t(days * 86400 + (ms + 500) / 1000);
}

QDateTime clockCountToDateTime(uint32_t count)
{
    const QDate date = QDate(1970, 1, 1).addDays(count / 86400);
    return QDateTime(date, QTime(0, 0).addSecs(int(count % 86400)));
}

std::array<uint8_t, 32> timeKeyPage(const std::array<uint8_t, 3> &facilityCode)
{
    std::array<uint8_t, 32> page{};
    page[0] = 'R';
    page[1] = 'E';
    page[2] = 'A';
    page[3] = 'D';
    page[4] = 0xFD;
    page[5] = facilityCode[0];
    page[6] = facilityCode[1];
    page[7] = facilityCode[2];
    return page;
}

bool WriteTimeCard(KeyTransferContext &ctx, const std::array<uint8_t, 3> &facilityCode)
{
    return withOpenKey(ctx, [&](int32_t h) -> bool {
        const auto page = timeKeyPage(facilityCode);
        if (!writeVerifiedBlock<32>(ctx, h, 0x00, 0x00, [&] { return page; }))
            return false;
        return writeVerifiedBlock<6>(ctx, h, 0x01, 0x02, ds1994ClockBlock);
    });
}

bool WriteTimeCard1(KeyTransferContext &ctx)
{
    return withOpenKey(ctx, [&](int32_t h) -> bool {
        const uint32_t count = clockCount(Clock::now());
        const uint8_t block[6] = {0x0C, uint8_t(count), uint8_t(count >> 8), uint8_t(count >> 16), uint8_t(count >> 24),
                                  0x00};
        selectKey(ctx, h);
        ctx.bus->touchByte(h, kWriteClock);
        for (uint8_t b : block)
            ctx.bus->touchByte(h, b);
        ctx.bus->touchReset(h);
        return true;
    });
}

bool ReadTimeCard(KeyTransferContext &ctx, TimeCardBuffer &out)
{
    out.fill(0x00);
    return withOpenKey(ctx, [&](int32_t h) -> bool {
        OneWireBus &bus = *ctx.bus;
        for (uint8_t b : {kReadMemory, uint8_t(0x00), uint8_t(0x00)})
            bus.touchByte(h, b);
        for (int i = 0; i < 32; ++i)
            out[size_t(i)] = uint8_t(bus.touchByte(h, 0xFF));
        selectKey(ctx, h);
        for (uint8_t b : {kReadMemory, uint8_t(0x03), uint8_t(0x02)})
            bus.touchByte(h, b);
        for (int i = 32; i < 36; ++i)
            out[size_t(i)] = uint8_t(bus.touchByte(h, 0xFF));
        return true;
    });
}

bool ReadTimeCard1(KeyTransferContext &ctx, TimeCardBuffer &out)
{
    out.fill(0x00);
    return withOpenKey(ctx, [&](int32_t h) -> bool {
        ctx.bus->touchByte(h, kReadClock);
        for (int i = 0; i < 5; ++i)
            out[size_t(i)] = uint8_t(ctx.bus->touchByte(h, 0xFF));
        // The two low bits of a DS1904's control byte always read 0: set, they
        // mean nobody answered (the key left the reader during the read).
        return (out[0] & 0x03) == 0;
    });
}

} // namespace onewire
