// The vertices of the recording device's DrawPrimitiveUP calls, for tests of
// where and in which colour the 2D batch drew.
#pragma once

#include <string>
#include <vector>

struct RecordedVertex {
    float x, y, z;
    std::string colour;  // "#AARRGGBB"
    float u, v;
};

// One list per DrawPrimitiveUP call whose primitive text starts with kind,
// such as "D3DPT_TRIANGLEFAN, 2".
std::vector<std::vector<RecordedVertex>> RecordedDraws(const std::vector<std::string>& calls, const std::string& kind);
