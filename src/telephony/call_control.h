#pragma once
#include <string>

#include "telephony/sipx/sipx.h"

// What the windows ask of the telephone: the call manager implements it; presenter tests
// give a fake. Interface thread only.
class CallControl {
public:
    virtual ~CallControl() = default;

    // Line
    virtual void set_account_type(const std::string& account_type) = 0;
    virtual void set_outbound_proxy(const std::string& proxy) = 0;
    virtual void login(const std::string& user, const std::string& password) = 0;
    // Ends the voice-mail subscription and the registration, waiting a moment for the
    // service to confirm.
    virtual void unregister() = 0;
    // A line was added and its registration asked for (until unregister).
    virtual bool logged_in() const = 0;

    // Calls
    virtual bool in_call() = 0;
    // The call the operations below act on (SIPX_CALL_NULL for none): events of other calls
    // are not the window's to show.
    virtual SIPX_CALL current_call() const = 0;
    virtual void place_call(const std::string& target) = 0;
    virtual void end_call() = 0;
    virtual void answer() = 0;
    virtual void reject() = 0;
    virtual void hold(bool on_hold) = 0;
    virtual void mute(bool muted) = 0;
    virtual void start_tone(int tone, bool local, bool remote) = 0;
    virtual void end_tone(int tone) = 0;
    virtual std::string remote_user() = 0;
    virtual void get_levels(int& input_level, int& output_level) = 0;

    // Call and line events belong to the setup wizard while this is set.
    virtual void set_wizard_mode(bool on) = 0;
    virtual bool wizard_mode() const = 0;
};
