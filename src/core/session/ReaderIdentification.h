#pragma once

#include "common/Notify.h"
#include "ibutton/OneWireBus.h"

#include <QString>

namespace session {

struct ReaderIdentification
{
    bool ok = false;
    QString readerId; // registration number text of the reader's own ID chip; empty when none
    int runs = 0;
};

// One run of the start-up reader identification. `run` is 1 or 2 and picks
// the message texts of the first or the second try.
ReaderIdentification identifyReaderOnce(onewire::OneWireBus &bus, int portNumber, int portType, int run,
                                        const Notify &notify);

// Runs the identification, and once more when the first run fails.
// ReaderId is what the last run left.
ReaderIdentification identifyReader(onewire::OneWireBus &bus, int portNumber, int portType, const Notify &notify);

} // namespace session
