// The demo's music as the player plays it from the first frame of a fixed-clock
// run on: stereo at 44100, the script's volume applied as the mixer applies it,
// silence past the end of the file. Decoded with libvorbisfile, as the engine does.
#pragma once

#include <vorbis/vorbisfile.h>

#include <cstdint>
#include <string>

constexpr const char* kCapturedMusic = "audio/amber-meadow_tune.ogg";  // as the loading opens it

class MusicSpan {
public:
    MusicSpan(int startMs, int fps, float volume) : startMs_(startMs), fps_(fps), volume_(volume) {}
    ~MusicSpan();
    MusicSpan(const MusicSpan&) = delete;
    MusicSpan& operator=(const MusicSpan&) = delete;

    // False with the reason in *error when the file cannot be decoded or is
    // not 44100 Hz mono or stereo.
    bool Open(const std::string& path, std::string* error);
    // Sample frames from the first frame's time to the time of frame n: the
    // music that belongs to n frames.
    int64_t SamplesBefore(int64_t frames) const;
    // The next count sample frames, one channel into each array.
    void Read(int64_t count, float* left, float* right);

private:
    int startMs_, fps_;
    float volume_;
    OggVorbis_File file_{};
    bool open_ = false;
    bool decoding_ = false;  // false past the end of the music
    int channels_ = 2;
};
