// The jittered projection of one anti-aliasing pass of the final render.
#pragma once

// Sets up the scene of one anti-aliasing pass once its projection is loaded.
void InitializeAntiAliasGLScene(double a, double b, double c, double d, double e);
