// Generates the demo's music track: a calm synthesised piece in A minor,
// 110 beats per minute, pad chords, an arpeggio and a soft kick.
// Usage: make_tune OUTPUT.ogg [SECONDS]
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "ogg_writer.h"

namespace {

constexpr int kRate = 44100;
constexpr double kBeat = 60.0 / 110.0;

double NoteHz(int semitonesFromA4) { return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0); }

// Am, F, C, G: root offsets from A4 and a minor/major third.
constexpr int kChordRoot[4] = {0, -4, 3, -2};
constexpr int kChordThird[4] = {3, 4, 4, 4};

double Pad(double t, int chord) {
    const int root = kChordRoot[chord] - 12;
    const int notes[3] = {root, root + kChordThird[chord], root + 7};
    double sum = 0.0;
    for (int note : notes) {
        const double hz = NoteHz(note);
        sum += std::sin(2.0 * M_PI * hz * t) + 0.3 * std::sin(2.0 * M_PI * hz * 2.003 * t);
    }
    return sum / 6.0;
}

double Arpeggio(double t, int chord) {
    const double step = kBeat / 4.0;
    const int index = static_cast<int>(t / step);
    const double local = t - index * step;
    const int pattern[4] = {0, kChordThird[chord], 7, 12};
    const double hz = NoteHz(kChordRoot[chord] + pattern[index % 4]);
    return std::sin(2.0 * M_PI * hz * t) * std::exp(-local * 9.0);
}

double Kick(double t) {
    const double local = std::fmod(t, kBeat);
    return std::sin(2.0 * M_PI * (50.0 + 90.0 * std::exp(-local * 30.0)) * local) * std::exp(-local * 8.0);
}

float Sample(long frame, int channel, double seconds) {
    const double t = static_cast<double>(frame) / kRate;
    const int chord = static_cast<int>(t / (4.0 * kBeat)) % 4;
    // Fades keep the start and the end free of clicks.
    const double fade = std::fmin(1.0, std::fmin(t / 2.0, (seconds - t) / 4.0));
    const double arpeggio = Arpeggio(t, chord) * (channel == 0 ? 0.7 : 0.4);
    const double kick = t > 8.0 * kBeat ? Kick(t) : 0.0;
    return static_cast<float>(fade * (0.35 * Pad(t, chord) + 0.2 * arpeggio + 0.35 * kick));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.ogg [SECONDS]\n", argv[0]);
        return 2;
    }
    const double seconds = argc > 2 ? std::atof(argv[2]) : 180.0;
    if (!(seconds > 0.0 && seconds < 3600.0)) {
        std::fprintf(stderr, "%s: length must be between 0 and 3600 seconds\n", argv[0]);
        return 2;
    }
    const bool written = WriteOgg(argv[1], kRate, 2, static_cast<long>(seconds * kRate),
                                  [seconds](long frame, int channel) { return Sample(frame, channel, seconds); });
    if (!written) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
