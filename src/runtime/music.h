// The audio device and the streamed music track, the demo's reference clock.
#pragma once

#include <string>

#include "backend/audiere.h"

// A counted reference: taking one calls ref, dropping one calls unref.
template <typename T>
class CountedRef {
public:
    CountedRef() = default;
    CountedRef(T* object) { Assign(object); }
    CountedRef(const CountedRef& other) { Assign(other.object_); }
    CountedRef& operator=(const CountedRef& other) {
        Assign(other.object_);
        return *this;
    }
    CountedRef& operator=(T* object) {
        Assign(object);
        return *this;
    }
    ~CountedRef() { Assign(nullptr); }

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    void Assign(T* object) {
        if (object) object->ref();  // before the unref, so self-assignment is safe
        if (object_) object_->unref();
        object_ = object;
    }

    T* object_ = nullptr;
};

constexpr int kSampleRate = 44100;

// Frames per millisecond as the single-precision value the clock uses (44.1).
inline float FramesPerMillisecond(int sampleRate) { return static_cast<float>(sampleRate / 1000.0); }
// Stream position in frames → milliseconds, truncated.
inline int PositionMilliseconds(int frames, int sampleRate) {
    return static_cast<int>(frames / FramesPerMillisecond(sampleRate));
}
// Start position in milliseconds → frames, truncated; 30000 ms → 1322999.
inline int StartFrame(int milliseconds, int sampleRate) {
    return static_cast<int>(static_cast<double>(FramesPerMillisecond(sampleRate)) *
                            static_cast<double>(static_cast<float>(milliseconds)));
}

// Ends the process with a message when no audio device can be opened.
class SoundDevice {
public:
    SoundDevice();

    CountedRef<audiere::AudioDevice> device;
    int sampleRate = kSampleRate;
};

class MusicTrack {
public:
    void SetDevice(SoundDevice newDevice);
    // A failed open leaves the stream null; no message.
    bool Open(const std::string& path);
    // The stream position in milliseconds; 0 without a stream.
    int PositionNow() const {
        return stream ? PositionMilliseconds(stream->getPosition(), device.sampleRate) : 0;
    }

    CountedRef<audiere::OutputStream> stream;
    SoundDevice device;
};
