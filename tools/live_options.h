// The live player's command line: live DATA_DIR [--size WxH] [--at MS].
#pragma once

#include <string>

struct LiveOptions {
    std::string dataDir;
    int width = 960, height = 540;
    int atMs = -1;  // negative: the script's music position
};

// False, with the reason in *error, for a line the player cannot start from.
bool ParseLiveOptions(int argc, const char* const* argv, LiveOptions* options, std::string* error);
