// Generates the demo's music track: a synthesised piece in A minor whose beat
// falls on the scenes' light pulse (one beat every pi/8 s, about 152.8 beats
// per minute, the first at pi/16 s) and whose sections change every sixteen
// beats, where the script changes scenes.
// Usage: make_tune OUTPUT.ogg [SECONDS]
#include <cstdio>
#include <cstdlib>

#include "ogg_writer.h"
#include "tune.h"

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
    const bool written = WriteOgg(argv[1], kTuneRate, 2, static_cast<long>(seconds * kTuneRate),
                                  [seconds](long frame, int channel) { return TuneSample(frame, channel, seconds); });
    if (!written) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
