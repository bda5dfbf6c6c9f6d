// PNG files loaded as textures, under both naming rules: a power-of-two
// texture, and a "tex2dnpt_" texture at its own size with black made clear.
#include "fuzz_shell.h"
#include "gfx2d/named_texture.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartFuzzShell();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WriteFuzzInput("textures/tex2d_fuzz.png", data, size);
    WriteFuzzInput("textures/tex2dnpt_fuzz.png", data, size);
    {
        NamedTexture powerOfTwo, ownSize;
        powerOfTwo.Load("tex2d_fuzz.png");
        ownSize.Load("tex2dnpt_fuzz.png");
        powerOfTwo.Bind(0);
        ownSize.Bind(1);
    }
    ForgetRecordedCalls();
    return 0;
}
