#include "KeyMissionWriter.h"

#include "ibutton/PageTransfer.h"

namespace keyformat {

MissionWriteResult writeMissionToKey(onewire::KeyTransferContext &ctx, const KeyPages &pages,
                                     const WriteProgressFn &progress)
{
    // The writer makes the three attempts; each attempt is one complete page transfer.
    const auto writePage = [&ctx](int page, const QByteArray &data) {
        if (data.size() != kPageSize)
            return false;
        onewire::PageData buffer{};
        std::copy(data.cbegin(), data.cend(), buffer.begin());
        return onewire::WriteDS1977Data(ctx, page, buffer);
    };
    return writeMission(pages, writePage, progress, 3);
}

} // namespace keyformat
