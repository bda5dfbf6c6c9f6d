// The length of the music track, which bounds the script's times.
#pragma once

#include <string>

#include "data_check_findings.h"

constexpr const char* kMusicFile = "audio/amber-meadow_tune.ogg";  // as the loading opens it

// Milliseconds of music in the Ogg Vorbis file at path, truncated; -1, with
// an error, when it cannot be opened or has no length.
long MusicLengthMilliseconds(const std::string& path, Findings* findings);
