#pragma once

#include "MissionWriter.h"
#include "ibutton/KeyTransfer.h"

namespace keyformat {

// Puts a mission on the program key that the window's key check left in
// ctx.rom, page by page through the DS1977 page transfer, each page with up to
// three attempts, in the order the encoder gave. Stops at the first page that
// fails; the pages already written stay on the key.
MissionWriteResult writeMissionToKey(onewire::KeyTransferContext &ctx, const KeyPages &pages,
                                     const WriteProgressFn &progress = {});

} // namespace keyformat
