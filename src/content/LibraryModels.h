// The 3D objects of the shipped library: small models of boxes and cylinders with real sizes
// and materials, and the preview each one shows in the content palette.
#pragma once
#include <QColor>
#include <QImage>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct ModelPart {
  bool cylinder = false;
  // Extents in centimetres: x across, z front to back (the plan's axes), up from the floor.
  float x0, x1, z0, z1, bottom, top;
  int32_t textureID = 0;    // 0: the plain colour
  QColor colour{128, 128, 128};
};

struct LibraryModel {
  std::string category, subCategory, file;  // folder names and the file name without extension
  std::string name;                         // the entry's name
  float width, depth, height;               // centimetres
  std::vector<ModelPart> parts;
};

// A part's outline in plan, (x, z) corners in centimetres, counter-clockwise seen from above.
// Its first edge runs along +x at the back (least z) and the outline fills the part's extents
// exactly: a box's four corners, or for a cylinder a 16-gon whose sides touch its circle. A
// placed object's angle and sizes are read along that first edge of its first part.
std::vector<std::array<float, 2>> PartOutline(const ModelPart& part);

// Every object entry the generator writes, in catalogue order.
const std::vector<LibraryModel>& LibraryModels();
// The model seen from above at an angle, each part in its material's colour as `colourOf`
// gives it (a texture's mean colour), on white, side x side.
QImage ModelPreview(const LibraryModel& model, int side, const std::function<QColor(const ModelPart&)>& colourOf);
