// Immediate-mode batch: each primitive is drawn as soon as its last vertex arrives.
#pragma once

#include <cstdint>

#include "backend/d3d9.h"

// Flexible vertex format 0x152: position, normal (always 0), diffuse, one uv.
struct BatchVertex {
    float x, y, z;
    float nx, ny, nz;
    D3DCOLOR colour;
    float u, v;
};
static_assert(sizeof(BatchVertex) == 36, "the device reads 36-byte vertices");

constexpr DWORD kBatchVertexFormat = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1;

enum BatchMode : int32_t { BATCH_LINES = 0, BATCH_TRIANGLES = 1, BATCH_QUADS = 2, BATCH_POINTS = 3, BATCH_NONE = 4 };

struct ImmediateBatch {
    int32_t mode = BATCH_LINES;
    int32_t count = 0;
    BatchVertex current{};
    BatchVertex pending[4]{};
};

extern ImmediateBatch g_batch;

// The low byte of value truncated toward zero; 0 for values too large for an integer.
uint32_t TruncatedLowByte(float value);

// Sets the mode and starts an empty primitive.
void zkBegin(int32_t mode);
// Zeroes the pending vertices unless the mode is none.
void zkEnd();
// Components in [0, 1]; each byte is the low byte of component x 255, truncated.
void zkColor4f(float r, float g, float b, float a);
// colour packed red in the lowest byte, then green, blue, alpha, as the 2D calls take it.
void zkSetPackedColour(uint32_t colour);
// A vertex under mode none or an unknown mode is dropped; one arriving when the
// count is already full (the mode changed mid-primitive) starts a fresh primitive.
void zkVertex3f(float x, float y, float z);
