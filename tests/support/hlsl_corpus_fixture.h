// The conformance corpus's bench: small HLSL sources compiled with
// D3DXCompileShader, drawn on the OpenGL device over the whole of a 16 x 16
// back buffer and read back, so each case compares pixels with what
// Direct3D 9 gives, worked out by hand in the test.
#pragma once

#include <string>
#include <vector>

#include "backend/d3dx9_shader.h"
#include "gl_fixture.h"

class HlslCorpus : public GlShell {
protected:
    void SetUp() override;
    void TearDown() override;

    struct Stage {
        ID3DXConstantTable* table = nullptr;
        std::string errors;  // the compiler's text when it failed
        D3DXHANDLE operator[](const char* name) const { return table ? table->GetConstantByName(nullptr, name) : nullptr; }
    };
    // Compiles (by entry name and profile) and makes the stage current; the
    // test fails when it does not compile.
    Stage VertexShader(const char* source, const char* profile = "vs_3_0", const char* entry = "main") {
        return MakeCurrent(source, profile, entry);
    }
    Stage PixelShader(const char* source, const char* profile = "ps_3_0", const char* entry = "main") {
        return MakeCurrent(source, profile, entry);
    }

    // A quad over the whole viewport, corner (x, y) at texture coordinate
    // (x, y) of [0, 1], drawn clockwise as Direct3D sees it unless asked.
    void DrawQuad(bool clockwise = true);
    // Channels of the pixel, 0xAARRGGBB, near the floats given (0..1).
    ::testing::AssertionResult PixelIs(int x, int y, float r, float g, float b, float a = 1.0f, int tolerance = 1);

    Stage MakeCurrent(const char* source, const char* profile, const char* entry, const D3DXMACRO* defines = nullptr,
                      DWORD flags = 0);

    IDirect3DVertexDeclaration9* declaration = nullptr;
    std::vector<IDirect3DResource9*> owned;
    std::vector<ID3DXConstantTable*> tables;
};

// A 2D texture whose level 0 holds the given 0xAARRGGBB pixels, row by row, and
// whose other levels are box-filtered from it as a texture loaded from a file.
IDirect3DTexture9* MakeTexture(IDirect3DDevice9* device, UINT width, UINT height, UINT levels,
                               const std::vector<uint32_t>& pixels);
