// Small Ogg Vorbis files for tests: a sine tone.
#pragma once

#include <string>

bool WriteTestOgg(const std::string& path, double seconds, int sampleRate = 44100, int channels = 2,
                  float frequencyHz = 440.0f);
