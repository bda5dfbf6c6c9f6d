// Encodes generated samples as an Ogg Vorbis file (used by the tune generator and tests).
#pragma once

#include <functional>
#include <string>

// sample(frame, channel) returns a value in -1..1. Fixed stream serial: same input, same bytes.
bool WriteOgg(const std::string& path, int sampleRate, int channels, long frames,
              const std::function<float(long frame, int channel)>& sample);
