// Matrix-mode editing of the device's projection and view transforms, and the
// 2D set-up for screen drawing.
#pragma once

#include "backend/d3d9.h"

void zkLoadIdentity();
// transform[mode] = m * transform[mode]; m also becomes the object matrix.
void zkMultMatrix(const D3DMATRIX& m);
void zkTranslate(float x, float y, float z);
// Pixel orthographic projection, origin top-left, y down.
void zkOrtho(float width, float height);
// Projection to pixels, view identity, depth test and culling off.
void zkSet2D(float width, float height);
