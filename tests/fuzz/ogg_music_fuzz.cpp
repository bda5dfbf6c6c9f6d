// Opening the music: Ogg Vorbis files through the Audiere stand-in, with the
// seeks the demo makes (decoding happens on the audio thread, out of step with the inputs, so nothing plays). The device stays open across inputs, as in the demo,
// and is still open when the fuzzer exits.
#include "backend/audiere.h"
#include "fuzz_shell.h"
#include "runtime/music.h"

namespace {
SoundDevice* g_device = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartFuzzShell();
    g_device = new SoundDevice();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WriteFuzzInput("audio/fuzz.ogg", data, size);
    MusicTrack music;
    music.SetDevice(*g_device);
    if (music.Open("audio/fuzz.ogg")) {
        music.stream->setVolume(0.0f);
        music.stream->setPosition(StartFrame(30000, kSampleRate));
        music.stream->setPosition(music.stream->getLength() / 2);
        music.PositionNow();
    }
    return 0;
}
