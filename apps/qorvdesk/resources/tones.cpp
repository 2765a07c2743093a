#include "resources/tones.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace host::resources {
namespace {

void PutLe(QByteArray& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

QByteArray SynthesiseWav(const std::vector<Note>& notes) {
    int endMs = 0;
    for (const Note& note : notes) endMs = std::max(endMs, note.startMs + note.lengthMs);
    const std::size_t count = static_cast<std::size_t>(endMs) * kToneSampleRate / 1000;
    std::vector<double> mix(count, 0.0);
    for (const Note& note : notes) {
        const std::size_t start = static_cast<std::size_t>(note.startMs) * kToneSampleRate / 1000;
        const std::size_t length = static_cast<std::size_t>(note.lengthMs) * kToneSampleRate / 1000;
        for (std::size_t i = 0; i < length && start + i < count; ++i) {
            const double t = static_cast<double>(i) / kToneSampleRate;
            // 8 ms rise, then an exponential fall: a bell rather than a beep.
            const double envelope = std::min(1.0, t / 0.008) * std::exp(-t * 6.0);
            const double phase = 2 * std::numbers::pi * note.frequency * t;
            mix[start + i] += envelope * (std::sin(phase) + 0.25 * std::sin(2 * phase));
        }
    }
    double peak = 0;
    for (double sample : mix) peak = std::max(peak, std::abs(sample));
    const double gain = peak > 0 ? 0.5 / peak : 0.0;  // half of full scale: soft

    const std::uint32_t dataBytes = static_cast<std::uint32_t>(count * 2);
    QByteArray wav("RIFF");
    PutLe(wav, 36 + dataBytes, 4);
    wav.append("WAVEfmt ");
    PutLe(wav, 16, 4);  // format chunk size
    PutLe(wav, 1, 2);   // PCM
    PutLe(wav, 1, 2);   // mono
    PutLe(wav, kToneSampleRate, 4);
    PutLe(wav, kToneSampleRate * 2, 4);  // bytes per second
    PutLe(wav, 2, 2);                    // bytes per frame
    PutLe(wav, 16, 2);                   // bits per sample
    wav.append("data");
    PutLe(wav, dataBytes, 4);
    for (double sample : mix) {
        const auto value = static_cast<std::int16_t>(std::lround(sample * gain * 32767));
        PutLe(wav, static_cast<std::uint16_t>(value), 2);
    }
    return wav;
}

QByteArray WelcomeSound() {
    // C5, E5, G5 rising, then the octave: a small fanfare.
    return SynthesiseWav(
        {{523.25, 0, 500}, {659.25, 110, 500}, {783.99, 220, 500}, {1046.5, 330, 600}});
}

QByteArray MessageSound() {
    // Two notes falling a fourth: a light "ding-dong".
    return SynthesiseWav({{1318.5, 0, 300}, {987.77, 120, 380}});
}

}  // namespace host::resources
