// The demo's music, synthesised: a piece in A minor whose beat falls on the
// scenes' light pulse (one beat every pi/8 s, about 152.8 beats per minute,
// the first at pi/16 s) and whose sections change every sixteen beats.
#include <cmath>
#include <cstdint>

#include "tune.h"

namespace {

constexpr double kBeat = M_PI / 8.0;
constexpr double kFirstBeat = M_PI / 16.0;
constexpr int kBeatsPerPhrase = 16;

double NoteHz(int semitonesFromA4) { return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0); }

// Am, F, C, G, one bar each: root offsets from A4 and the third above the root.
constexpr int kChordRoot[4] = {0, -4, 3, -2};
constexpr int kChordThird[4] = {3, 4, 4, 4};

// Which instruments play in a phrase of sixteen beats.
struct Section {
    double pad, arpeggio, bass, kick, halfKick, hats, snare, lead, riser;
};

Section SectionOf(int phrase) {
    if (phrase < 2) return {1, 0.5, 0, 0, 0, 0, 0, 0, 0};           // intro
    if (phrase < 4) return {1, 1, 0, 0, 0, 0.6, 0, 0, 0};           // build
    if (phrase < 6) return {0.8, 1, 1, 0, 1, 0.8, 0, 0, 0};         // rise
    if (phrase < 11) return {0.7, 1, 1, 1, 0, 1, 0, 0, 0};          // first main part
    if (phrase < 13) return {0.7, 1, 1, 1, 0, 1, 1, 0, 0};
    if (phrase < 14) return {1, 0.6, 0, 0, 0, 0, 0, 0, 0};          // breakdown
    if (phrase < 15) return {1, 0.6, 0, 0, 0, 0.4, 0, 0, 1};
    if (phrase < 23) return {0.7, 1, 1, 1, 0, 1, 1, 1, 0};          // second main part
    if (phrase < 24) return {0.9, 1, 0.6, 0, 1, 0.5, 0, 0, 0};      // reprise
    if (phrase < 28) return {1, 0.8, 0.5, 0, 0, 0.4, 0, 0.5, 0};    // credits
    return {1, 0.3, 0, 0, 0, 0, 0, 0, 0};                           // tail
}

// Deterministic white noise from the sample index.
double Noise(long frame) {
    uint32_t x = static_cast<uint32_t>(frame) * 747796405u + 2891336453u;
    x = ((x >> ((x >> 28) + 4)) ^ x) * 277803737u;
    x = (x >> 22) ^ x;
    return x / 2147483648.0 - 1.0;
}

double Pad(double t, int chord) {
    const int root = kChordRoot[chord] - 12;
    const int notes[3] = {root, root + kChordThird[chord], root + 7};
    double sum = 0.0;
    for (int note : notes) {
        const double hz = NoteHz(note);
        sum += std::sin(2.0 * M_PI * hz * t) + 0.3 * std::sin(2.0 * M_PI * hz * 2.003 * t) +
               0.15 * std::sin(2.0 * M_PI * hz * 2.997 * t);
    }
    return sum / 7.0;
}

double Arpeggio(double sinceBeat, int sixteenth, int chord, double t) {
    const double local = std::fmod(sinceBeat, kBeat / 4.0);
    const int pattern[4] = {0, kChordThird[chord], 7, 12};
    const double hz = NoteHz(kChordRoot[chord] + pattern[sixteenth % 4]);
    return (std::sin(2.0 * M_PI * hz * t) + 0.25 * std::sin(4.0 * M_PI * hz * t)) * std::exp(-local * 14.0);
}

double Bass(double sinceBeat, int chord, double t) {
    const double local = std::fmod(sinceBeat, kBeat / 2.0);
    const double hz = NoteHz(kChordRoot[chord] - 24);
    const double body = std::sin(2.0 * M_PI * hz * t) + 0.4 * std::sin(4.0 * M_PI * hz * t);
    return body * std::min(1.0, local * 200.0) * std::exp(-local * 6.0);
}

double Kick(double sinceBeat) {
    const double l = sinceBeat;
    return std::sin(2.0 * M_PI * (48.0 * l + 3.0 * (1.0 - std::exp(-l * 30.0)))) * std::exp(-l * 9.0);
}

double Hat(double sinceOffbeat, long frame) { return Noise(frame) * std::exp(-sinceOffbeat * 60.0); }

double Snare(double sinceBeat, long frame) {
    return (0.7 * Noise(frame * 3 + 1) + 0.5 * std::sin(2.0 * M_PI * 190.0 * sinceBeat)) * std::exp(-sinceBeat * 18.0);
}

// A short melody over the four chords, one note per beat (-99 rests).
double Lead(double sinceBeat, int beatInPhrase, double t) {
    constexpr int kMelody[16] = {12, 15, 19, 15, 8, 12, 15, 12, 15, 19, 22, 19, 14, 17, 19, -99};
    const int note = kMelody[beatInPhrase];
    if (note == -99) return 0.0;
    const double hz = NoteHz(note);
    const double vibrato = 0.004 * std::sin(2.0 * M_PI * 5.0 * t);
    return std::sin(2.0 * M_PI * hz * (1.0 + vibrato) * t) * std::min(1.0, sinceBeat * 60.0) *
           std::exp(-sinceBeat * 3.0);
}

}  // namespace

float TuneSample(long frame, int channel, double seconds) {
    const double t = static_cast<double>(frame) / kTuneRate;
    const double sinceStart = t - kFirstBeat;
    const long beat = sinceStart < 0 ? -1 : static_cast<long>(sinceStart / kBeat);
    const double sinceBeat = sinceStart - beat * kBeat;
    const int phrase = beat < 0 ? 0 : static_cast<int>(beat / kBeatsPerPhrase);
    const int beatInPhrase = beat < 0 ? 0 : static_cast<int>(beat % kBeatsPerPhrase);
    const int chord = beatInPhrase / 4;
    const Section s = SectionOf(phrase);

    double mix = 0.3 * s.pad * Pad(t, chord);
    if (beat >= 0) {
        const int sixteenth = static_cast<int>(sinceBeat / (kBeat / 4.0));
        mix += 0.14 * s.arpeggio * Arpeggio(sinceBeat, beatInPhrase * 4 + sixteenth, chord, t) *
               (channel == 0 ? 1.0 : 0.6);
        mix += 0.22 * s.bass * Bass(sinceBeat, chord, t);
        const bool halfBeat = beatInPhrase % 2 == 0;
        mix += 0.45 * (s.kick + (halfBeat ? s.halfKick : 0.0)) * Kick(sinceBeat);
        const double sinceOffbeat = sinceBeat - kBeat / 2.0;
        if (sinceOffbeat >= 0) mix += 0.06 * s.hats * Hat(sinceOffbeat, frame) * (channel == 0 ? 0.8 : 1.0);
        if (beatInPhrase % 2 == 1) mix += 0.18 * s.snare * Snare(sinceBeat, frame);
        mix += 0.12 * s.lead * Lead(sinceBeat, beatInPhrase, t) * (channel == 0 ? 0.7 : 1.0);
        const double phraseProgress = (beatInPhrase + sinceBeat / kBeat) / kBeatsPerPhrase;
        mix += 0.08 * s.riser * Noise(frame * 7 + channel) * phraseProgress * phraseProgress;
    }
    // Fades keep the start and the end free of clicks.
    const double fade = std::fmin(1.0, std::fmin(t / 0.15, (seconds - t) / 4.0));
    return static_cast<float>(std::fmax(-1.0, std::fmin(1.0, 0.8 * fade * mix)));
}
