// Sizes that follow from Direct3D's definitions, shared by the devices.
#pragma once

#include <algorithm>

#include "backend/d3d9.h"

// Vertices that a draw of this many primitives reads; 0 for unknown types.
inline UINT VertexCount(D3DPRIMITIVETYPE type, UINT primitives) {
    switch (type) {
        case D3DPT_POINTLIST: return primitives;
        case D3DPT_LINELIST: return primitives * 2;
        case D3DPT_LINESTRIP: return primitives + 1;
        case D3DPT_TRIANGLELIST: return primitives * 3;
        case D3DPT_TRIANGLESTRIP:
        case D3DPT_TRIANGLEFAN: return primitives + 2;
    }
    return 0;
}

// The description of mip level `level` of a texture whose level 0 is `base`.
inline D3DSURFACE_DESC LevelDescription(const D3DSURFACE_DESC& base, UINT level) {
    D3DSURFACE_DESC description = base;
    description.Width = std::max(1u, base.Width >> level);
    description.Height = std::max(1u, base.Height >> level);
    return description;
}
