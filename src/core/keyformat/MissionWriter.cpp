#include "MissionWriter.h"

namespace keyformat {

MissionWriteResult writeMission(const KeyPages &pages, const PageWriteFn &writePage, const WriteProgressFn &progress,
                                int attempts)
{
    MissionWriteResult r;
    if (!writePage) {
        r.error = QStringLiteral("No page writer was given.");
        return r;
    }
    for (const KeyPage &p : pages) {
        if (p.data.size() != kPageSize || p.number < 0 || p.number > kLastPage) {
            r.failedPage = p.number;
            r.error = QStringLiteral("Page %1 is not a 64-byte data page of the key.").arg(p.number);
            return r;
        }
        bool written = false;
        for (int a = 0; a < qMax(1, attempts) && !written; ++a)
            written = writePage(p.number, p.data);
        if (!written) {
            r.failedPage = p.number;
            r.error = QStringLiteral("Page %1 could not be written.").arg(p.number);
            return r;
        }
        ++r.pagesWritten;
        if (progress)
            progress(r.pagesWritten, pages.size());
    }
    r.ok = true;
    return r;
}

} // namespace keyformat
