// The VRML 2.0 writer of the 3D model.
#include "render3d/VRMLExport.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "building3d/PlaneObjects.h"
#include "files/ByteStream.h"
#include "model/DocState.h"
#include "model/DocumentModel.h"
#include "model/PlaneObjectRecords.h"
#include "model/PlanarTransforms.h"
#include "model/Services.h"
#include "platform/Alerts.h"

namespace {

constexpr int16_t kRenderKindPlanar = 6, kRenderKindPlant = 8, kRenderKindPhoto = 131;

void Write(const char* text) { WriteSome(text, static_cast<uint32_t>(std::strlen(text))); }

// Appends a number with two decimals and a point whatever the locale; a value that rounds to
// zero is written "0.00", never "-0.00". A value that is not finite is written as 0.
void AppendNumber(char*& out, double value) {
  if (!std::isfinite(value)) value = 0;
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
  if (ec != std::errc()) {
    std::memcpy(buffer, "0.00", 4);
    end = buffer + 4;
  }
  const char* begin = buffer;
  if (end - begin == 5 && std::memcmp(begin, "-0.00", 5) == 0) ++begin;
  std::memcpy(out, begin, static_cast<size_t>(end - begin));
  out += end - begin;
}

// The same text for a coordinate, without the general conversion's cost: a float times 100 is
// exact in a double (24 + 7 bits of mantissa), so rounding that to the nearest whole number,
// ties to even as the conversion rounds, gives the same two decimals.
void AppendCoordinate(char*& out, float value) {
  const double scaled = static_cast<double>(value) * 100.0;
  if (!(std::fabs(scaled) < 9e15)) {  // not finite, or too large for the whole-number path
    AppendNumber(out, value);
    return;
  }
  long long hundredths = std::llrint(scaled);
  if (hundredths < 0) {
    *out++ = '-';
    hundredths = -hundredths;
  }
  const auto [end, ec] = std::to_chars(out, out + 24, hundredths / 100);
  out = end;
  const int fraction = static_cast<int>(hundredths % 100);
  *out++ = '.';
  *out++ = static_cast<char>('0' + fraction / 10);
  *out++ = static_cast<char>('0' + fraction % 10);
}

RGBColor ColourOf(const PlaneObject* object) {
  if (object->renderKind == kRenderKindPlanar && object->colorLinkA) return *object->colorLinkA;
  if (object->colorLinkB) return *object->colorLinkB;
  return object->renderKind != kRenderKindPlanar ? object->colorA : object->colorB;
}

}  // namespace

void ExportVRMLHeader() {
  const DocState* ds = CurDocState();
  if (!ds) return;
  auto whole = [](float value) {
    const double v = std::trunc(static_cast<double>(value) + 0.5);
    return std::isfinite(v) && std::fabs(v) < 2e9 ? static_cast<long>(v) : 0L;
  };
  // The model is in plan units (72 to the plan scale's inches) and VRML viewers read metres:
  // one scale around the whole scene (the viewpoint too) gives its true size, the
  // coordinates kept as the model holds them.
  const double metres = static_cast<double>(UsablePlanScale(ds)) / 72.0 * 0.0254;
  char text[224];
  const int n = std::snprintf(text, sizeof text,
                              "#VRML V2.0 utf8\nTransform {\nscale %.9g %.9g %.9g\nchildren [\n"
                              "Viewpoint {position 0 %ld %ld}\n",
                              metres, metres, metres, whole(ds->walkElevation), whole(ds->planBounds.floatBottom));
  if (n > 0) WriteSome(text, static_cast<uint32_t>(std::min<int>(n, sizeof text - 1)));
}

void ExportVRMLFooter() { Write("]\n}\n"); }

void ExportVRMLPlaneObject(PlaneObject* object) {
  if (!object) return;
  const RGBColor colour = ColourOf(object);
  for (const Plane* plane = object->planes; plane; plane = plane->next) {
    // A polygon without corners would leave its point list open.
    if (!plane->vertices || plane->vertexCount < 1) continue;
    char head[256];
    char* out = head;
    auto put = [&out](const char* text) {
      const size_t n = std::strlen(text);
      std::memcpy(out, text, n);
      out += n;
    };
    put("Shape {\nappearance Appearance {\nmaterial Material {\nambientIntensity .35\ndiffuseColor ");
    AppendNumber(out, colour.red / 65535.0);
    put(" ");
    AppendNumber(out, colour.green / 65535.0);
    put(" ");
    AppendNumber(out, colour.blue / 65535.0);
    put("\n}\n}\ngeometry IndexedFaceSet {\ncoord Coordinate {\npoint [");
    WriteSome(head, static_cast<uint32_t>(out - head));
    const int32_t n = plane->vertexCount;
    for (int32_t i = 0; i < n; ++i) {
      const PlaneVertex& v = plane->vertices[i];
      char line[224];
      out = line;
      AppendCoordinate(out, v.x);
      *out++ = ' ';
      AppendCoordinate(out, -v.y);
      *out++ = ' ';
      AppendCoordinate(out, v.z);
      put(i + 1 < n ? ",\n" : "]\n}\n");
      WriteSome(line, static_cast<uint32_t>(out - line));
    }
    Write("coordIndex [");
    for (int32_t i = 0; i < n; ++i) {
      char index[16];
      const auto [end, ec] = std::to_chars(index, index + sizeof index - 1, i);
      *end = ' ';
      WriteSome(index, static_cast<uint32_t>(end + 1 - index));
    }
    Write("]\nconvex FALSE\nsolid FALSE\n}\n}\n");
  }
}

void VRMLExportGLPlaneObjects(PlaneObject* list) {
  for (PlaneObject* object = list; object; object = object->next) {
    if (object->renderKind == kRenderKindPlant || object->renderKind == kRenderKindPhoto) continue;
    for (PlaneObject* child = object->children; child; child = child->next) ExportVRMLPlaneObject(child);
    ExportVRMLPlaneObject(object);
    for (PlaneObject* trim = object->attachments; trim; trim = trim->next) ExportVRMLPlaneObject(trim);
  }
}

bool WriteVRMLFile(const char* path) {
  if (!CurDocState() || !path || !*path) return false;
  BeginOutputBuffer();
  ExportVRMLHeader();
  if (gGLPlaneObjects) VRMLExportGLPlaneObjects(gGLPlaneObjects);
  ExportVRMLFooter();
  const bool written = WriteOutputFile(path, /*durable=*/true);
  ReleaseOutputBuffer();
  if (!written)
    ShowAlert("Unable to export the VRML file.", "Please ensure adequate disk space is available and try again.",
              /*sheet=*/false);
  return written;
}
