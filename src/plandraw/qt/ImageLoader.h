// Loading an image file of any format Qt reads into the packed RGB record the
// texture code uploads.
#pragma once
#include "plandraw/PlatformAdapters.h"

class QImage;

// A new record of exactly width x height x 3 bytes, the bottom row first; null for no
// path or an unreadable file. Free it with FreeDIBImage.
DIBImage* ApplePortDIBImageLoad(const char* path);
// The same from an image already in memory; null for a null image.
DIBImage* DIBImageFromQImage(const QImage& image);
