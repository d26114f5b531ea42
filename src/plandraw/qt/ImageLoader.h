// Loading an image file of any format Qt reads into the packed RGB record the
// texture code uploads. Every image the program reads from a file goes through
// LoadImageFile: the header is looked at before anything is decoded, and images whose
// pixels or side data would take too much memory are refused.
#pragma once
#include <QSize>
#include <QString>

#include "plandraw/PlatformAdapters.h"

class QImage;

// Most memory the decoded pixels of one image may take, in megabytes.
constexpr int kImageAllocationLimitMB = 256;
// Longest ancillary PNG chunk (text, profile, private data) an image may carry.
constexpr qint64 kImageMaxAncillaryChunkBytes = qint64(8) << 20;

// Reads the image at `path`, whatever its name says, by what its bytes hold. A null image
// when the file cannot be opened, is no image Qt reads, is damaged, or is too large (see the
// limits above; they hold for the image as stored); `error`, when given, then receives one
// sentence telling why. A valid `decodedSize` asks for the image at that size (formats that
// can decode smaller do so, which is quicker for previews).
QImage LoadImageFile(const QString& path, QString* error = nullptr, const QSize& decodedSize = QSize());

// A new record of exactly width x height x 3 bytes, the bottom row first; null for no
// path or an unreadable file. Free it with FreeDIBImage.
DIBImage* ApplePortDIBImageLoad(const char* path);
// The same from an image already in memory; null for a null image.
DIBImage* DIBImageFromQImage(const QImage& image);
