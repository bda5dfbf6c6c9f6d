// The capture tool's other output: one PNG per frame and the music of the
// same span as a WAV, for editing programs that take pictures and sound apart.
#pragma once

#include <cstdint>
#include <string>

#include "music_span.h"

// dir/frame_000123.png for frame 123.
std::string FramePath(const std::string& dir, int64_t number);
// Removes the numbered frames of an earlier capture, which would otherwise
// end up among this one's.
void RemoveFrames(const std::string& dir);
// Fast compression: a capture writes a picture every frame.
bool WriteFramePng(const std::string& dir, int64_t number, uint32_t width, uint32_t height, const uint32_t* pixels);
// 16-bit stereo at 44100: the music that belongs to frames frames.
bool WriteWav(MusicSpan& music, int64_t frames, const std::string& path);
