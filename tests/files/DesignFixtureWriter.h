// Test-only writer of whole design files of every version, laid down byte by byte from the
// record tables (never through the program's writers), with a listing of what lies where.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "DocStateBlockBuilder.h"
#include "RecordWriters.h"
#include "model/DocState.h"

namespace design_fixture {

// One line of the listing: where a field lies, how wide it is, what it holds.
struct Note {
  size_t offset;
  size_t width;
  std::string field;
  std::string value;
};

class Writer {
 public:
  std::vector<uint8_t> bytes;
  std::vector<Note> notes;

  void be16(const std::string& field, int v) {
    note(field, 2, std::to_string(int16_t(v)));
    put(uint8_t(v >> 8));
    put(uint8_t(v));
  }
  void be32(const std::string& field, int64_t v) {
    note(field, 4, std::to_string(int32_t(v)));
    for (int s = 24; s >= 0; s -= 8) put(uint8_t(uint32_t(v) >> s));
  }
  void f32(const std::string& field, float f) {
    char text[32];
    snprintf(text, sizeof text, "%g", f);
    note(field, 4, text);
    uint32_t u;
    memcpy(&u, &f, 4);
    for (int s = 24; s >= 0; s -= 8) put(uint8_t(u >> s));
  }
  void u8(const std::string& field, uint8_t v) {
    note(field, 1, std::to_string(v));
    put(v);
  }
  // Long length, then the bytes without NUL.
  void text(const std::string& field, const std::string& s) {
    be32(field + " length", int64_t(s.size()));
    raw(field, s.data(), s.size(), "\"" + s + "\"");
  }
  // A fixed field: the string, then zeros up to `width`.
  void fixed(const std::string& field, const std::string& s, size_t width) {
    std::vector<uint8_t> b(width, 0);
    memcpy(b.data(), s.data(), std::min(s.size(), width - 1));
    raw(field, b.data(), b.size(), "\"" + s + "\"");
  }
  void raw(const std::string& field, const void* data, size_t n, const std::string& value) {
    if (n == 0) return;
    note(field, n, value);
    const auto* p = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), p, p + n);
  }
  void rgb(const std::string& field, int r, int g, int b) {
    be16(field + ".red", r);
    be16(field + ".green", g);
    be16(field + ".blue", b);
  }

 private:
  void note(const std::string& field, size_t width, const std::string& value) {
    notes.push_back({bytes.size(), width, field, value});
  }
  void put(uint8_t b) { bytes.push_back(b); }
};

// ---- The content every fixture holds ----

inline bool HasBlackBoxes(int32_t v) { return v >= 10500; }
inline bool HasSavedViews(int32_t v) { return v >= 10900; }
inline bool HasPalettes(int32_t v) { return v >= 11000; }

struct FloorSpec {
  const char* name;
  uint8_t visible, selectable;
  float height;
};
// First Floor is not selectable, so the reader makes Second Floor current.
inline const FloorSpec kFloors[3] = {
    {"First Floor", 0, 0, 108.5f}, {"Second Floor", 1, 1, 216.25f}, {"Third Floor", 1, 0, 324.75f}};

struct BlackBoxSpec {
  int32_t plugInID;
  std::string data;
};
inline const BlackBoxSpec kBlackBoxes[2] = {{4242, "ABCDE"}, {4243, ""}};

struct ViewSpec {
  std::string name;
  float base;  // the view's floats count up from here
};
inline const ViewSpec kViews[2] = {{"Porch", 10.5f}, {"Kitchen", 20.5f}};

struct PaletteSpec {
  std::string name;
  uint8_t active;
  int32_t firstTexture;
};
inline const PaletteSpec kPalettes[2] = {{"Spring", 0, 1600}, {"Winter", 1, 1700}};

constexpr const char* kPhotoPath = "/photos/porch.jpg";

// The DocState the fixtures carry: every field its own value, with a lot and grid that
// keep the default topography grid small.
inline DocState* FixtureDocState() {
  DocState* d = CreateDocState();
  docstate_builder::FillDistinct(d);
  d->planBounds = {0, 0, 1200, 1200};
  d->lotSize = {1200, 1200};
  d->topoGridSpacing = 120;
  d->planScale = 48;
  return d;
}

// The object IDs and first point IDs of the fixture's objects (stored from 10500 on).
enum : uint32_t { kPolyID = 77, kWallID = 78, kGroupID = 79, kLine1ID = 80, kLine2ID = 81, kPhotoID = 82,
                  kDoorID = 83, kWindowID = 84, kRoofID = 85, kSkylightID = 86, kRoofPanelID = 87, kDeckID = 88,
                  kDeckStepsID = 89, kPlantID = 90, kTextID = 91, kDimensionID = 92, kDimensionTextID = 93 };

// What the attachments, the skylight, the plant, the text and the older dimension carry.
constexpr int16_t kDoorSubtype = 503, kWindowSubtype = 601, kDeckStepsSubtype = 53;
constexpr float kAuxValue = 3.5f;
constexpr const char* kStoredPlantPath = "C:\\Old\\CustomPlants\\Maple\\m1.jpg";
constexpr const char* kPlantTail = "Maple/m1.jpg";
constexpr const char* kText = "Front porch";
constexpr const char* kFontFace = "Serif Sans";
constexpr int16_t kOldDimensionType = 101;
inline bool HasNewAttachments(int32_t v) { return v >= 10800; }
inline bool HasRoofAttachments(int32_t v) { return v >= 10900; }
inline bool HasDeckAttachments(int32_t v) { return v != 10000 && v != 10300 && v != 10350; }
inline bool HasUserPlantPath(int32_t v) { return v >= 10750; }

inline void WriteObject(Writer& w, int32_t v, const std::string& what, const record_writer::Info& info,
                        const std::vector<record_writer::Pt>& pts) {
  w.be16(what + ": tag kTagObject", 200);
  record_writer::Bytes rec;
  record_writer::WriteInfo(rec, v, info);
  w.raw(what + ": object info record", rec.b.data(), rec.size(), "type " + std::to_string(info.type));
  record_writer::Bytes points;
  record_writer::WritePoints(points, v, pts);
  w.raw(what + ": point list", points.b.data(), points.size(), std::to_string(pts.size()) + " points");
}

// The info record and point list of an attachment or an embedded object (no object tag).
inline void WriteRecords(Writer& w, int32_t v, const std::string& what, const record_writer::Info& info,
                         const std::vector<record_writer::Pt>& pts) {
  record_writer::Bytes rec;
  record_writer::WriteInfo(rec, v, info);
  w.raw(what + ": object info record", rec.b.data(), rec.size(), "type " + std::to_string(info.type));
  record_writer::Bytes points;
  record_writer::WritePoints(points, v, pts);
  w.raw(what + ": point list", points.b.data(), points.size(), std::to_string(pts.size()) + " points");
}

// A 60-byte font record, little-endian numbers.
inline void WriteFont(Writer& w, const std::string& what, int32_t height) {
  record_writer::Bytes f;
  f.le32(height);
  for (int k = 0; k < 3; ++k) f.le32(k + 1);  // width, escapement, orientation
  f.le32(700);                                 // weight
  for (uint8_t b : {1, 0, 0, 0, 0, 0, 0, 34}) f.u8(b);
  char face[32] = {};
  memcpy(face, kFontFace, strlen(kFontFace));
  f.b.insert(f.b.end(), face, face + 32);
  w.raw(what + ": LOGFONT", f.b.data(), f.size(), std::string("height ") + std::to_string(height));
}

// A door, window or deck steps attachment record: the long form from 10800, the older
// 60-byte little-endian one before.
inline void WriteAttachment(Writer& w, int32_t v, const std::string& what, int16_t owner, int16_t subtype,
                            float startDistance, float width) {
  record_writer::Bytes r;
  const float floats[5] = {startDistance, 30.0f, width, 80.0f, 2.0f};
  if (HasNewAttachments(v)) {
    r.be16(owner); r.be16(subtype);
    r.be32(0); r.be32(1);  // anchors: the first and second point
    for (float f : floats) r.f32(f);
    for (int k = 0; k < 3; ++k) r.be32(0);
    r.u8(1);                       // flip horizontal
    r.f32(0.75f);                  // aux float 1
    r.be16(1); r.be16(2); r.be16(3);
    r.f32(kAuxValue);              // aux value, big-endian bytes
    for (int slot = 0; slot < 2; ++slot) {
      r.u8(0);                     // no custom profile
      r.be32(2301 + slot);
      r.be16(100 + 2 * slot); r.be16(101 + 2 * slot);
      r.rgb(1 + 3 * slot, 2 + 3 * slot, 3 + 3 * slot);
    }
  } else {
    r.le16(owner); r.le16(subtype);
    r.le32(0); r.le32(1);
    for (float f : floats) r.lef32(f);
    for (int k = 0; k < 3; ++k) r.le32(0);
    r.u8(1); r.u8(0);
    r.lef32(0.75f);
    r.le16(1); r.le16(2); r.le16(3);
    r.lef32(kAuxValue);
  }
  w.raw(what + ": attachment record", r.b.data(), r.size(), HasNewAttachments(v) ? "long form" : "60 bytes");
}

inline std::vector<record_writer::Pt> Points(int n, float x0, uint32_t firstID) {
  std::vector<record_writer::Pt> pts(n);
  for (int k = 0; k < n; ++k) {
    pts[k].x = x0 + 40.0f * k;
    pts[k].z = 30.0f + (k == 2 ? 50.0f : 0.0f);
    pts[k].y = 0;
    pts[k].id = firstID + k;
  }
  return pts;
}

inline record_writer::Info ObjectInfo(int type, uint32_t id, int points, int seed) {
  record_writer::Info i;
  i.type = type;
  i.id = id;
  i.pointCount = points;
  i.subtype = 5 + seed;
  i.tex = 11 + seed;
  i.tex1 = 21 + seed;
  i.tex2 = 31 + seed;
  i.tex3 = 41 + seed;
  i.tex4 = 51 + seed;
  for (int k = 0; k < 5; ++k) i.params[k] = 60.5f + 10 * seed + k;
  i.name = "obj" + std::to_string(id);
  return i;
}

// A whole design file of version v.
inline std::vector<uint8_t> BuildDesign(int32_t v, std::vector<Note>* notes = nullptr) {
  Writer w;
  w.be32("header: version", v);
  w.be16("header: platform", 2);

  DocState* ds = FixtureDocState();
  w.be32("DocState framing", 3732);
  std::vector<uint32_t> offsets;
  const int layout = docstate_builder::LayoutOfVersion(v);
  const std::vector<uint8_t> block = docstate_builder::BuildBlock(*ds, layout, &offsets);
  const size_t blockStart = w.bytes.size();
  w.bytes.insert(w.bytes.end(), block.begin(), block.end());
  for (size_t i = 0; i < offsets.size(); ++i) {
    const docstate_builder::FieldRow& f = docstate_builder::kFields[i];
    const size_t end = i + 1 < offsets.size() ? offsets[i + 1] : block.size();
    const size_t width = docstate_builder::ElementSize(f.kind) * size_t(f.count);
    std::string value;
    const uint8_t* p = block.data() + offsets[i];
    if (f.kind == docstate_builder::kCHARS) {
      value = "\"" + std::string(reinterpret_cast<const char*>(p), strnlen(reinterpret_cast<const char*>(p), width)) + "\"";
    } else {
      char hex[8];
      for (size_t b = 0; b < std::min<size_t>(width, 4); ++b) {
        snprintf(hex, sizeof hex, "%02X", p[b]);
        value += hex;
      }
      if (width > 4) value += "...";
    }
    w.notes.push_back({blockStart + offsets[i], width, std::string("DocState ") + f.name, value});
    if (offsets[i] + width < end) w.notes.push_back({blockStart + offsets[i] + width, end - offsets[i] - width, "pad", "0"});
  }
  free(ds);

  for (int f = 0; f < 3; ++f) {
    const FloorSpec& floor = kFloors[f];
    const std::string what = floor.name;
    w.be16(what + ": tag kTagLayer", 100);
    w.fixed(what + ": name", floor.name, 256);
    w.u8(what + ": visible", floor.visible);
    w.u8(what + ": selectable", floor.selectable);
    w.f32(what + ": height", floor.height);
    if (f == 0) {
      WriteObject(w, v, "polygon", ObjectInfo(kObjClosedPoly, kPolyID, 3, 0), Points(3, 10, 500));
      record_writer::Info wall = ObjectInfo(kObjWall, kWallID, 2, 1);
      wall.params[0] = 96.5f;  // a wall height of its own
      wall.params[1] = 14.5f;  // a stud spacing the newer versions keep
      WriteObject(w, v, "wall", wall, Points(2, 200, 510));
      w.be32("wall: attachment count", 2);
      w.be16("door: tag kTagWallAttachment", 201);
      WriteRecords(w, v, "door", ObjectInfo(kObjDoor, kDoorID, 2, 12), Points(2, 210, 600));
      WriteAttachment(w, v, "door", kObjDoor, kDoorSubtype, 4.0f, 12.0f);
      w.be16("window: tag kTagWallAttachment", 201);
      WriteRecords(w, v, "window", ObjectInfo(kObjWindow, kWindowID, 2, 13), Points(2, 225, 610));
      WriteAttachment(w, v, "window", kObjWindow, kWindowSubtype, 20.0f, 10.0f);
    } else if (f == 1) {
      WriteObject(w, v, "group", ObjectInfo(kObjGroup, kGroupID, 0, 2), {});
      w.be16("tag kTagGroupBegin", 202);
      WriteObject(w, v, "line 1", ObjectInfo(kObjLine, kLine1ID, 2, 3), Points(2, 400, 520));
      WriteObject(w, v, "line 2", ObjectInfo(kObjLine, kLine2ID, 2, 4), Points(2, 500, 530));
      w.be16("tag kTagGroupEnd", 203);
    } else {
      WriteObject(w, v, "photo view", ObjectInfo(kObjPhotoView, kPhotoID, 3, 5), Points(3, 600, 540));
      w.text("photo view: path", kPhotoPath);

      // A roof holding a skylight (the list from 10900) and a roof panel with an empty list.
      WriteObject(w, v, "roof", ObjectInfo(kObjRoof, kRoofID, 4, 6), Points(4, 700, 550));
      if (HasRoofAttachments(v)) {
        w.be32("roof: roof attachment count", 1);
        w.be16("skylight: tag kTagRoofAttachment", 214);
        WriteRecords(w, v, "skylight", ObjectInfo(kObjSkylight, kSkylightID, 4, 7), Points(4, 710, 620));
        w.be16("skylight: owner type", kObjSkylight);
        w.be16("skylight: subtype", 800);
        for (float f : {40.0f, 30.0f, 2.5f, 90.0f}) w.f32("skylight: float", f);
        w.be32("skylight: panel ID", 3);
        w.u8("skylight: flag 1", 1);
        w.u8("skylight: flag 2", 0);
        w.be32("skylight: owner word", 0);
        w.be32("skylight: parts word", 0);
        w.be32("skylight: slot 1 texture", 2218);
        w.be16("skylight: slot 1 scale.x", 96);
        w.be16("skylight: slot 1 scale.y", 48);
        w.rgb("skylight: slot 1 colour", 28784, 28784, 28784);
        w.be32("skylight: slot 2 texture", 2219);
        w.be16("skylight: slot 2 scale.x", 110);
        w.be16("skylight: slot 2 scale.y", 120);
        w.rgb("skylight: slot 2 colour", 65535, 65535, 65535);
      }
      WriteObject(w, v, "roof panel", ObjectInfo(kObjRoofPanel, kRoofPanelID, 4, 8), Points(4, 760, 630));
      if (HasRoofAttachments(v)) w.be32("roof panel: roof attachment count", 0);

      // A deck with steps (the attachment list from 10351).
      WriteObject(w, v, "deck", ObjectInfo(kObjDeck, kDeckID, 4, 9), Points(4, 820, 640));
      if (HasDeckAttachments(v)) {
        w.be32("deck: attachment count", 1);
        w.be16("deck steps: tag kTagDeckAttachment", 204);
        WriteRecords(w, v, "deck steps", ObjectInfo(kObjDeckSteps, kDeckStepsID, 2, 10), Points(2, 830, 650));
        WriteAttachment(w, v, "deck steps", kObjDeckSteps, kDeckStepsSubtype, 2.5f, 35.0f);
      }

      // A user plant (its image path from 10750), a text and a dimension of the older kind.
      record_writer::Info plant = ObjectInfo(kObjPlant, kPlantID, 1, 11);
      plant.subtype = kSubUserPlant;
      WriteObject(w, v, "user plant", plant, Points(1, 900, 660));
      if (HasUserPlantPath(v)) w.text("user plant: path", kStoredPlantPath);
      WriteObject(w, v, "text", ObjectInfo(kObjText, kTextID, 1, 12), Points(1, 920, 670));
      w.text("text: string", kText);
      WriteFont(w, "text", -18);
      record_writer::Info dim = ObjectInfo(kOldDimensionType, kDimensionID, 2, 13);
      dim.subtype = 0;  // older than its kind: the record that follows converts it
      WriteObject(w, v, "older dimension", dim, Points(2, 940, 680));
      w.be16("older dimension: tag kTagDimensionText", 300);
      WriteRecords(w, v, "dimension text", ObjectInfo(kObjDimensionInfo, kDimensionTextID, 1, 14), Points(1, 960, 690));
      w.be16("dimension text: font number", 21);
      w.be16("dimension text: font size", 14);
      w.u8("dimension text: style", 2);
      WriteFont(w, "dimension text", -14);
      w.be32("older dimension: value", 1234);
      w.f32("older dimension: value 2", 5.5f);
      w.f32("older dimension: value 3", 6.5f);
    }
  }
  w.be16("tag kTagObjectsEnd", 400);

  if (HasBlackBoxes(v)) {
    for (const BlackBoxSpec& b : kBlackBoxes) {
      const std::string what = "black box " + std::to_string(b.plugInID);
      w.be16(what + ": tag", 600);
      w.be32(what + ": plug-in ID", b.plugInID);
      w.be32(what + ": size", int64_t(b.data.size()));
      w.raw(what + ": data", b.data.data(), b.data.size(), "\"" + b.data + "\"");
      w.be16(what + ": end tag", 601);
    }
    w.be16("black boxes: end of list", 602);
  }

  if (HasSavedViews(v)) {
    w.be32("saved views: count", 2);
    for (const ViewSpec& view : kViews) {
      const std::string what = "view " + view.name;
      float f = view.base;
      w.be32(what + ": name length", int64_t(view.name.size()));
      w.raw(what + ": name", view.name.data(), view.name.size(), "\"" + view.name + "\"");
      w.be16(what + ": navigationMode", 2);
      w.u8(what + ": navigationSubMode", 3);
      for (const char* name : {"flyPitch", "flyAngle", "walkAngle", "walkPosition.h", "walkPosition.v",
                               "flyAltitude", "walkElevation", "lookOffset.h", "lookOffset.v"})
        w.f32(what + ": " + name, f++);
      w.be32(what + ": viewSetting13", 1301);
      w.be16(what + ": cutAwayPlane", 4);
      w.be32(what + ": viewSetting5", 501);
      w.u8(what + ": viewSetting1", 6);
      w.be32(what + ": viewSetting2", 201);
      w.u8(what + ": topoFlag2", 7);
      w.be16(what + ": viewSetting12", 1201);
      w.u8(what + ": viewSetting10", 8);
      w.be16(what + ": viewSetting4", 401);
      w.u8(what + ": shadowsOn", 9);
      w.be16(what + ": viewSetting3", 0xF301);
      w.f32(what + ": viewSetting11", f++);
      w.u8(what + ": sunShadows", 10);
      w.f32(what + ": sunAngle1", f++);
      w.f32(what + ": sunAngle2", f++);
      w.be16(what + ": sunSetting2", 2201);
      w.f32(what + ": viewSetting14", f++);
      w.f32(what + ": viewSetting6", f++);
      w.u8(what + ": viewSetting7", 11);
    }
  }

  if (HasPalettes(v)) {
    w.be32("palettes: count", 2);
    for (const PaletteSpec& p : kPalettes) {
      const std::string what = "palette " + p.name;
      w.be32(what + ": tag", 622);
      w.u8(what + ": active", p.active);
      w.text(what + ": name", p.name);
      w.be32(what + ": section count", 15);
      for (int s = 0; s < 15; ++s) {
        const std::string section = what + ": section " + std::to_string(s + 1);
        w.u8(section + " collapsed", uint8_t(s % 3 == 1));
        w.text(section + " title", p.name + " " + std::to_string(s + 1));
      }
      w.be32(what + ": entry count", 2);
      for (int e = 0; e < 2; ++e) {
        const std::string entry = what + ": entry " + std::to_string(e + 1);
        w.be32(entry + " tag", 620);
        w.be32(entry + " refID", e + 1);
        w.be16(entry + " kind", e == 0 ? 5 : 4);
        w.rgb(entry + " color", 10 + e, 20 + e, 30 + e);
        w.be32(entry + " textureID", p.firstTexture + e);
        w.be16(entry + " scale.x", 110 + e);
        w.be16(entry + " scale.y", 120 + e);
        w.rgb(entry + " auxColor", 40 + e, 50 + e, 60 + e);
        w.text(entry + " path", e == 0 ? "" : "Woods/" + p.name + ".jpg");
        w.text(entry + " text", e == 0 ? "note " + p.name : "");
      }
      w.be32(what + ": end of entries", 621);
    }
    w.be32("palettes: end", 623);
  }

  if (notes) *notes = w.notes;
  return w.bytes;
}

// The listing of a fixture: one line per field, "offset width field = value".
inline std::string Listing(const std::vector<Note>& notes) {
  std::string out =
      "# offset  width  field = value\n"
      "# Offsets and widths in bytes from the start of the file. DocState values are the stored\n"
      "# bytes in hex (little-endian, first four of longer fields); other numbers are decimal and\n"
      "# big-endian on disk; object records are listed whole (see the record tables).\n";
  char line[64];
  for (const Note& n : notes) {
    snprintf(line, sizeof line, "%6zu  %5zu  ", n.offset, n.width);
    out += line + n.field + " = " + n.value + "\n";
  }
  return out;
}

}  // namespace design_fixture
