#pragma once

#include "KeyPage.h"

#include <QString>

#include <functional>

namespace keyformat {

// Writes one page; true when the key confirmed it.
using PageWriteFn = std::function<bool(int page, const QByteArray &data64)>;
// Called after every page written: pages done so far and the total.
using WriteProgressFn = std::function<void(int done, int total)>;

struct MissionWriteResult
{
    bool ok = false;
    int pagesWritten = 0;
    int failedPage = -1; // the page that failed every attempt
    QString error;
};

// Puts a mission's pages on a key in the order given (the encoders return
// them in the order the key must be written), trying each page up to
// `attempts` times, and stops at the first page that still fails. Pages
// already written stay on the key. Succeeds only when every page was written.
MissionWriteResult writeMission(const KeyPages &pages, const PageWriteFn &writePage,
                                const WriteProgressFn &progress = {}, int attempts = 3);

} // namespace keyformat
