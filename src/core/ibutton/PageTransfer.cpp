#include "ibutton/PageTransfer.h"

#include "ibutton/Checksums.h"
#include "ibutton/KeyPassword.h"

namespace onewire {
namespace {

constexpr uint8_t kWriteScratchpad = 0x0F;
constexpr uint8_t kReadScratchpad = 0xAA;
constexpr uint8_t kCopyScratchpad = 0x99;
constexpr uint8_t kReadMemory = 0x69;
constexpr uint8_t kCopyConfirmed = 0xAA;

bool validPage(int page) { return page >= 0 && page < kDS1977Pages; }

} // namespace

bool WriteDS1977Data(KeyTransferContext &ctx, int page, const PageData &data)
{
    if (!validPage(page))
        return false;
    return withOpenKey(ctx, [&](int32_t h) -> bool {
        OneWireBus &bus = *ctx.bus;
        const uint8_t ta1 = pageTA1(page);
        const uint8_t ta2 = pageTA2(page);

        // Write scratchpad until the key's CRC-16 confirms what it received.
        bool crcGood = false;
        for (int round = 0; round < kMaxCrcRepeats && !crcGood; ++round) {
            uint16_t crc = 0;
            for (uint8_t b : {kWriteScratchpad, ta1, ta2}) {
                crc = crc16Step(crc, b);
                bus.touchByte(h, b);
            }
            PageData block = data;
            crc = crc16(data.data(), data.size(), crc);
            if (bus.blockStream(h, block.data(), kPageBytes) < 0)
                return false;
            if (block != data)
                return false; // the line did not carry our bytes
            ctx.pump();
            for (int i = 0; i < 2; ++i)
                crc = crc16Step(crc, uint8_t(~bus.touchByte(h, 0xFF)));
            selectKey(ctx, h);
            crcGood = crc == 0;
        }
        if (!crcGood)
            return false;

        // Read scratchpad: TA1, TA2 and the ending offset E/S.
        selectKey(ctx, h);
        bus.touchByte(h, kReadScratchpad);
        bus.touchByte(h, 0xFF);
        bus.touchByte(h, 0xFF);
        const uint8_t es = uint8_t(bus.touchByte(h, 0xFF));

        // Copy scratchpad with the key password under strong pull-up.
        selectKey(ctx, h);
        for (uint8_t b : {kCopyScratchpad, ta1, ta2, es})
            bus.touchByte(h, b);
        for (uint8_t b : keyPassword())
            bus.touchByte(h, b);
        bus.oneWireLevel(h, 0, 1, 0);
        if (uint8_t(bus.touchByte(h, 0xFF)) != kCopyConfirmed)
            return false;
        bus.touchReset(h);
        return true;
    });
}

bool ReadDS1977Data(KeyTransferContext &ctx, int page, PageReadBuffer &out)
{
    if (!validPage(page))
        return false;
    return withOpenKey(ctx, [&](int32_t h) -> bool {
        OneWireBus &bus = *ctx.bus;
        const uint8_t ta1 = pageTA1(page);
        const uint8_t ta2 = pageTA2(page);

        for (int round = 0; round < kMaxCrcRepeats; ++round) {
            selectKey(ctx, h);
            uint16_t crc = 0;
            for (uint8_t b : {kReadMemory, ta1, ta2}) {
                crc = crc16Step(crc, b);
                bus.touchByte(h, b);
            }
            for (uint8_t b : keyPassword())
                bus.touchByte(h, b);
            bus.oneWireLevel(h, 0, 1, 0);
            out.fill(0xFF);
            if (bus.blockStream(h, out.data(), int(out.size())) >= 0) {
                out[kPageBytes] = uint8_t(~out[kPageBytes]);
                out[kPageBytes + 1] = uint8_t(~out[kPageBytes + 1]);
                crc = crc16(out.data(), out.size(), crc);
            }
            ctx.pump();
            if (crc == 0)
                return true;
        }
        return false;
    });
}

bool writeDS1977PageWithRetries(KeyTransferContext &ctx, int page, const PageData &data, int attempts)
{
    for (int i = 0; i < attempts; ++i)
        if (WriteDS1977Data(ctx, page, data))
            return true;
    return false;
}

bool readDS1977PageWithRetries(KeyTransferContext &ctx, int page, PageReadBuffer &out, int attempts)
{
    for (int i = 0; i < attempts; ++i)
        if (ReadDS1977Data(ctx, page, out))
            return true;
    return false;
}

bool writeDS1977PageWithRetries(KeyTransferContext &ctx, int page, const QByteArray &data, int attempts)
{
    if (data.size() != kPageBytes)
        return false;
    PageData d{};
    std::copy(data.cbegin(), data.cend(), d.begin());
    return writeDS1977PageWithRetries(ctx, page, d, attempts);
}

QByteArray readDS1977PageWithRetries(KeyTransferContext &ctx, int page, int attempts)
{
    PageReadBuffer buffer{};
    if (!readDS1977PageWithRetries(ctx, page, buffer, attempts))
        return {};
    return QByteArray(reinterpret_cast<const char *>(buffer.data()), kPageBytes);
}

} // namespace onewire
