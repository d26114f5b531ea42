// The jittered projection of one anti-aliasing pass of the final render (accFrustum and
// accPerspective, declared with the line geometry); each hands over to the pass set-up,
// InitializeAntiAliasGLScene (SceneFrame.h).
#pragma once
#include "render3d/SceneFrame.h"
