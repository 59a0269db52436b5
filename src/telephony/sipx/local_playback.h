#pragma once
// A WAV file played on this machine (the ring of an incoming call), looped or once.
// With a sound card it plays on that card; in the file audio mode, where there is no
// sound card, it is written to the file named by KALVO_SIPX_RING_RECORD_FILE (or
// played into nothing), so that tests can hear the ring.
#include <mediastreamer2/mediastream.h>
#include <memory>
#include <string>

#include "telephony/sipx/sipx.h"

class LocalPlayback {
public:
    virtual ~LocalPlayback() = default;

    // card null: the file audio mode. Nothing when the file cannot be opened.
    static std::unique_ptr<LocalPlayback> start(
        MSFactory* factory, MSSndCard* card, const std::string& file, bool repeat);
};
