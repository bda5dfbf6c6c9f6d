// Audiere stand-in: the counted audio device and streamed output the music
// code uses, over SDL audio and libvorbisfile. Names follow Audiere.
#pragma once

namespace audiere {

class RefCounted {
public:
    void ref() { ++count_; }
    void unref() {
        if (--count_ == 0) delete this;
    }

protected:
    RefCounted() = default;
    virtual ~RefCounted() = default;

private:
    int count_ = 0;
};

class AudioDevice : public RefCounted {};

class SampleSource : public RefCounted {};

// A playing stream; positions are in sample frames.
class OutputStream : public RefCounted {
public:
    virtual void play() = 0;
    virtual void stop() = 0;
    virtual bool isPlaying() = 0;
    virtual void setVolume(float volume) = 0;  // 0.0 silent .. 1.0 full
    virtual float getVolume() = 0;
    virtual void setPosition(int position) = 0;
    virtual int getPosition() = 0;
    virtual int getLength() = 0;
};

// The default output device, or null when no audio device can be opened.
AudioDevice* AdrOpenDevice(const char* name = nullptr, const char* parameters = nullptr);
// format 0 detects the format from the file; only Ogg Vorbis is known.
SampleSource* AdrOpenSampleSource(const char* filename, int format = 0);
OutputStream* AdrOpenSound(AudioDevice* device, SampleSource* source, bool streaming);

}  // namespace audiere
