// The OpenGL 3.3 core implementation of the Direct3D interfaces.
#pragma once

#include "backend/d3d9.h"

IDirect3D9* CreateOpenGLDirect3D();
