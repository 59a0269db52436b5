#include "telephony/sipx/local_playback.h"

#include <cstdlib>
#include <mediastreamer2/msfileplayer.h>
#include <mediastreamer2/msfilerec.h>
#include <mediastreamer2/msticker.h>

namespace {

// The file player's loop argument: start again at once, or play once.
int loop_value(bool repeat)
{
    return repeat ? 0 : -1;
}

class CardPlayback : public LocalPlayback {
public:
    explicit CardPlayback(RingStream* ring) : m_ring(ring) { }
    ~CardPlayback() override { ring_stop(m_ring); }

private:
    RingStream* m_ring;
};

// file player → file recorder (or a void sink), on its own ticker.
class FilePlayback : public LocalPlayback {
public:
    FilePlayback(MSFactory* factory, const std::string& file, bool repeat, bool& ok)
    {
        m_player = ms_factory_create_filter(factory, MS_FILE_PLAYER_ID);
        if (!m_player || ms_filter_call_method(m_player, MS_FILE_PLAYER_OPEN, (void*)file.c_str()) != 0)
            return;
        int loop = loop_value(repeat);
        ms_filter_call_method(m_player, MS_FILE_PLAYER_LOOP, &loop);
        int rate = 8000, channels = 1;
        ms_filter_call_method(m_player, MS_FILTER_GET_SAMPLE_RATE, &rate);
        ms_filter_call_method(m_player, MS_FILTER_GET_NCHANNELS, &channels);

        const char* record = std::getenv(SIPX_ENV_RING_RECORD_FILE);
        if (record && *record) {
            m_sink = ms_factory_create_filter(factory, MS_FILE_REC_ID);
            ms_filter_call_method(m_sink, MS_FILTER_SET_SAMPLE_RATE, &rate);
            ms_filter_call_method(m_sink, MS_FILTER_SET_NCHANNELS, &channels);
            if (ms_filter_call_method(m_sink, MS_FILE_REC_OPEN, (void*)record) != 0)
                return;
            ms_filter_call_method_noarg(m_sink, MS_FILE_REC_START);
            m_recording = true;
        } else {
            m_sink = ms_factory_create_filter(factory, MS_VOID_SINK_ID);
        }
        ms_filter_call_method_noarg(m_player, MS_FILE_PLAYER_START);
        ms_filter_link(m_player, 0, m_sink, 0);
        m_ticker = ms_ticker_new();
        ms_ticker_attach(m_ticker, m_player);
        ok = true;
    }

    ~FilePlayback() override
    {
        if (m_ticker) {
            ms_ticker_detach(m_ticker, m_player);
            ms_filter_unlink(m_player, 0, m_sink, 0);
            ms_ticker_destroy(m_ticker);
        }
        if (m_recording)
            ms_filter_call_method_noarg(m_sink, MS_FILE_REC_CLOSE);
        if (m_player) {
            ms_filter_call_method_noarg(m_player, MS_FILE_PLAYER_CLOSE);
            ms_filter_destroy(m_player);
        }
        if (m_sink)
            ms_filter_destroy(m_sink);
    }

private:
    MSFilter* m_player = nullptr;
    MSFilter* m_sink = nullptr;
    MSTicker* m_ticker = nullptr;
    bool m_recording = false;
};

} // namespace

std::unique_ptr<LocalPlayback> LocalPlayback::start(
    MSFactory* factory, MSSndCard* card, const std::string& file, bool repeat)
{
    if (card) {
        RingStream* ring = ring_start(factory, file.c_str(), loop_value(repeat), card);
        return ring ? std::make_unique<CardPlayback>(ring) : nullptr;
    }
    bool ok = false;
    auto playback = std::make_unique<FilePlayback>(factory, file, repeat, ok);
    return ok ? std::move(playback) : nullptr;
}
