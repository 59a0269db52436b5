#pragma once
#include <string>

// A mono 16-bit PCM WAV file of a sine tone, for the file audio mode.
bool write_tone_wav(const std::string& path, int sample_rate, int frequency, double seconds);

// Root mean square of the samples of a 16-bit PCM WAV file, 0 for silence; -1 when the
// file cannot be read as such a file.
double wav_rms(const std::string& path);

// The longest run, in milliseconds, of 10 ms blocks whose RMS is below threshold;
// -1 when the file cannot be read.
int wav_longest_silence_ms(const std::string& path, double threshold);
