#include "runtime/music.h"


#include "backend/win32.h"

SoundDevice::SoundDevice() : device(audiere::AdrOpenDevice()) {
    if (!device) {
        MessageBoxA(nullptr, "Holy Watermelons, unable to start sound device!", "Error", MB_OK);
        ExitProcess(0);
    }
}

void MusicTrack::SetDevice(SoundDevice newDevice) {
    device.device = newDevice.device;
    device.sampleRate = newDevice.sampleRate;
}

bool MusicTrack::Open(const std::string& path) {
    CountedRef<audiere::AudioDevice> output = device.device;
    CountedRef<audiere::SampleSource> source = audiere::AdrOpenSampleSource(path.c_str(), 0);
    stream = source ? audiere::AdrOpenSound(output.get(), source.get(), true) : nullptr;
    return static_cast<bool>(stream);
}
