// Matrix-mode editing of the device's projection and view transforms, and the
// 2D, 3D and cube-face camera set-ups.
#pragma once

#include "backend/d3d9.h"

void zkLoadIdentity();
// transform[mode] = m * transform[mode]; m also becomes the object matrix.
void zkMultMatrix(const D3DMATRIX& m);
void zkTranslate(float x, float y, float z);
// Angles in radians.
void zkRotateX(float angle);
void zkRotateY(float angle);
void zkRotateZ(float angle);
void zkScale(float x, float y, float z);

// Saves transform[mode]; a pop restores it into whatever mode is current then.
void zkPushMatrix();
// Does nothing when nothing was pushed.
void zkPopMatrix();
void zkFreeMatrixStack();

// Opens a fresh scene and replaces transform[mode]; fov in degrees.
void zkPerspective(float aspect, float fovDegrees, float zNear, float zFar);
// Opens a fresh scene; pixel projection, origin top-left, y down.
void zkOrtho(float width, float height);

// These leave the mode at D3DTS_VIEW with an identity (or face) view.
void zkSet3D(float width, float height, float fovDegrees, float zNear, float zFar);
// Projection to pixels, view identity, depth test and culling off.
void zkSet2D(float width, float height);
// A 90 degree camera at (x, y, z) for cube face 0..5; other faces get no rotation.
void zkSetCubeFaceCamera(int face, float x, float y, float z, float zNear, float zFar);

// 0: viewport X, Y, Width, Height in m[0]; 1: projection; 2: view; 3: texture 0.
// Anything else reads as zeros.
D3DMATRIX zkGetMatrix(int selector);
