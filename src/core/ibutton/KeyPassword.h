#pragma once

#include <array>
#include <cstdint>

namespace onewire {

// The 8-byte password of every program key: sent by the program with each
// copy and read command, set on the keys it prepares (read-access and
// full-access password alike) and used by the emulated locks. It is built at
// run time rather than stored as a literal.
const std::array<uint8_t, 8> &keyPassword();

} // namespace onewire
