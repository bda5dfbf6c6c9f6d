// Bitmap-font text with its colour and stop tags. The first byte picks the
// layout flags; the rest is the text, handed over as "%s" as the engine's
// own callers format theirs.
#include <string>

#include "fuzz_shell.h"
#include "gfx2d/bitmap_font.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartFuzzShell();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    BitmapFont font;
    font.spaceAdvance = 8.0f;
    font.lineHeight = 8.0f;
    font.glyphSize = 16.0f;
    font.advanceRatio = 1.5f;
    font.flags = data[0] & (FONT_CENTRE | FONT_RIGHT | FONT_NUDGE_LEFT | FONT_CENTRE_FIRST_LINE_VERTICALLY);
    zkPrint(&font, 10.0f, 20.0f, 0xFFFFFFFFu, "%s", text.c_str());
    zkMeasureLine(&font, text.c_str());
    ForgetRecordedCalls();
    return 0;
}
