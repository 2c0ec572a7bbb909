#include "ibutton/KeyPassword.h"

#include "ibutton/Checksums.h"

namespace onewire {

const std::array<uint8_t, 8> &keyPassword()
{
    static const std::array<uint8_t, 8> password = [] {
        // Each byte is the CRC-8 of a short seed and its position, so the
        // value never appears as such in the program's data.
        static const uint8_t seed[] = {0x43, 0x76, 0x6E, 0x4B, 0x65, 0x79, 0x31, 0x37};
        std::array<uint8_t, 8> p{};
        uint8_t acc = 0x5A;
        for (size_t i = 0; i < p.size(); ++i) {
            acc = crc8Step(acc, uint8_t(seed[i] ^ uint8_t(i * 29)));
            acc = crc8Step(acc, seed[(i + 3) % 8]);
            p[i] = acc;
        }
        return p;
    }();
    return password;
}

} // namespace onewire
