#include "backend/d3d9.h"
#include "backend/gl_device.h"

namespace {
Direct3DFactory g_factory;
}

IDirect3D9* Direct3DCreate9(UINT) { return g_factory ? g_factory() : CreateOpenGLDirect3D(); }

void SetDirect3DFactory(Direct3DFactory factory) { g_factory = std::move(factory); }
