// Direct3D render and sampler states applied to GL before a draw.
#pragma once

#include <epoxy/gl.h>

#include <map>

#include "backend/d3d9.h"
#include "backend/gl_state_shadow.h"

using StateTable = std::map<uint32_t, DWORD>;

// The value a state was set to; 0 for one never set.
DWORD StateValue(const StateTable& table, uint32_t state);

// Depth, blending, culling and write masks. Depth testing needs a depth buffer.
void ApplyRenderStates(const StateTable& renderStates, bool depthBuffer);
// Filters and addressing of one stage's sampler object.
SamplerParameters SamplerParametersOf(const StateTable& samplerStates);
// The states a new device starts with, as Direct3D documents them.
StateTable DefaultRenderStates(bool depthBuffer);
StateTable DefaultSamplerStates();
StateTable DefaultStageStates(DWORD stage);
