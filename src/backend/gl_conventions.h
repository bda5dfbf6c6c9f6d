// GLSL that turns a Direct3D clip position into the GL one, shared by every
// vertex program the device links: depth 0..w becomes -w..w, y is mirrored
// so row 0 holds the top of the picture, and geometry moves half a pixel so
// that Direct3D's pixel centres (on integers) land on GL's.
#pragma once

inline constexpr const char* kGlslClipFromDirect3D = R"(
uniform vec2 d3d_HalfPixel;  // one pixel in NDC: 2 / viewport size, halved
vec4 ClipFromDirect3D(vec4 clip) {
    clip.z = 2.0 * clip.z - clip.w;
    clip.y = -clip.y;
    clip.xy += d3d_HalfPixel * clip.w;
    return clip;
}
)";
