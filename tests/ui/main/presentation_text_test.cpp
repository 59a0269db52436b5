#include <gdk/gdkkeysyms.h>
#include <gtest/gtest.h>
#include <vector>

#include "telephony/sipx/sipx.h"
#include "ui/main/key_codes.h"
#include "ui/main/presentation_text.h"

namespace {

using namespace presentation;

TEST(PresentationText, ClockReadsTwelveHourTime)
{
    EXPECT_EQ(clock_text(12, 5), "12:05PM");
    EXPECT_EQ(clock_text(0, 5), "12:05AM");
    EXPECT_EQ(clock_text(13, 5), "01:05PM");
    EXPECT_EQ(clock_text(11, 59), "11:59AM");
    EXPECT_EQ(clock_text(23, 0), "11:00PM");
}

TEST(PresentationText, ClockIsDueJustAfterTheMinuteChangesOrAtTheRecheck)
{
    EXPECT_EQ(clock_delay_ms(55, 500), 4520u);
    EXPECT_EQ(clock_delay_ms(59, 999), 21u);
    EXPECT_EQ(clock_delay_ms(0, 0), kClockRecheckMs);
    // A leap second or a bad reading never gives a wait past the recheck nor none at all.
    EXPECT_EQ(clock_delay_ms(60, 0), 1020u);
    EXPECT_EQ(clock_delay_ms(-3, 5000), kClockRecheckMs);
}

TEST(PresentationText, VoicemailCountAlwaysSaysMessages)
{
    EXPECT_EQ(voicemail_text(3), "3 messages");
    EXPECT_EQ(voicemail_text(1), "1 messages");
}

TEST(PresentationText, CallScriptsByEvent)
{
    EXPECT_EQ(call_script(CALLSTATE_OFFERING, "alice"), "doCall('alice', 'incoming')");
    EXPECT_EQ(call_script(CALLSTATE_REMOTE_OFFERING, "echotest"), "doCall('echotest', 'offering')");
    EXPECT_EQ(call_script(CALLSTATE_REMOTE_ALERTING, "bob"), "doCall('bob', 'ringing')");
    EXPECT_EQ(call_script(CALLSTATE_CONNECTED, "bob"), "doCall('bob', 'connected')");
    EXPECT_EQ(call_script(CALLSTATE_DISCONNECTED, "bob"), "doCall('', 'disconnected')");
    EXPECT_EQ(call_script(CALLSTATE_DESTROYED, "bob"), "doCall('', 'disconnected')");
    EXPECT_FALSE(call_script(CALLSTATE_ALERTING, "bob"));
}

TEST(PresentationText, CallerNamesCannotBreakOutOfTheScript)
{
    EXPECT_EQ(call_script(CALLSTATE_OFFERING, "o'neil\\x"), "doCall('o\\'neil\\\\x', 'incoming')");
    EXPECT_EQ(script_string("a\nb</script>"), "'a\\nb<\\/script>'");
}

TEST(PresentationText, KeyAndLevelScripts)
{
    EXPECT_EQ(focus_script(13), "focusIfNone(13);");
    EXPECT_EQ(level_script(true, 40), "showLevel('in',40)");
    EXPECT_EQ(level_script(false, 0), "showLevel('out',0)");
}

TEST(PresentationText, MissedCallToastAndStatusLineKeepTheirTextsInert)
{
    EXPECT_EQ(missed_call_toast("bob"), "Missed call from bob");
    EXPECT_EQ(
        missed_call_toast("<b onclick='x'>&\""), "Missed call from &lt;b onclick=&#39;x&#39;&gt;&amp;&quot;");
    EXPECT_EQ(login_status_script(kOfflineStatus), "loginStatus('Offline - reconnecting...')");
    EXPECT_EQ(login_status_script("it's"), "loginStatus('it\\'s')");
}

TEST(PresentationText, KeysBecomeTheCodesPagesExpect)
{
    EXPECT_EQ(virtual_key_code(GDK_KEY_a), 'A');
    EXPECT_EQ(virtual_key_code(GDK_KEY_Z), 'Z');
    EXPECT_EQ(virtual_key_code(GDK_KEY_7), '7');
    EXPECT_EQ(virtual_key_code(GDK_KEY_KP_7), 103);
    EXPECT_EQ(virtual_key_code(GDK_KEY_Return), 13);
    EXPECT_EQ(virtual_key_code(GDK_KEY_BackSpace), 8);
    EXPECT_EQ(virtual_key_code(GDK_KEY_Down), 40);
    EXPECT_EQ(virtual_key_code(GDK_KEY_eacute), 0);
}

} // namespace
