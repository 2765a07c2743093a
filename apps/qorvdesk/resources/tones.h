#pragma once
// Short, soft arrival sounds made here: a few sine notes with a quick rise and a gentle fall,
// written as 16-bit mono PCM WAV files.

#include <QByteArray>
#include <vector>

namespace host::resources {

struct Note {
    double frequency;  // Hz
    int startMs;       // from the start of the sound
    int lengthMs;
};

inline constexpr int kToneSampleRate = 22050;

// The WAV file of the notes mixed together.
QByteArray SynthesiseWav(const std::vector<Note>& notes);

// The two sounds the client plays: at a good login and when a message arrives.
QByteArray WelcomeSound();
QByteArray MessageSound();

}  // namespace host::resources
