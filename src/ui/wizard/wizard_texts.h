#pragma once

// The wizard's fixed texts, shared by its pages and tests.
namespace wizard_texts {

inline constexpr const char* kTitle = "Kalvo setup wizard";

inline constexpr const char* kWelcome =
    "Welcome to the Kalvo setup wizard.  This series of question will help you configure your Kalvo "
    "softphone application for use.<br><br><b>Account information</b>";
inline constexpr const char* kAudioHeader =
    "<b>Audio options</b><br><br>Please select you audio input, output, and ring devices below.  The ring "
    "device will be the audio device that plays the ringtone when you have an incoming call.  For instance, "
    "if you'd like to use a headset and microphone for talking, but your computer speakers for incoming call "
    "notification, select the appropriate devices below.";
inline constexpr const char* kEchoHeader =
    "<b>Phone test</b><br><br>Now Kalvo will test your connection and audio settings by making a call to the "
    "Kalvo echo test.  Everything you say will be repeated back to you.  This will assist you in making sure "
    "your audio devices are setup and everything is working correctly.";

inline constexpr const char* kStartTest = "Start audio test";
inline constexpr const char* kCancelTest = "Cancel audio test";
inline constexpr const char* kPlaceCall = "Place call";

} // namespace wizard_texts
