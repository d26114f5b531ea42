// Test-only writers of object records (info records and point lists of every version group),
// laid down field by field from the record tables without the program's writers.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "model/Records.h"

namespace record_writer {

// Test-only writer: bytes laid down field by field from the record tables.
struct Bytes {
  std::vector<uint8_t> b;
  void u8(uint8_t v) { b.push_back(v); }
  void be16(int v) { u8(uint8_t(v >> 8)); u8(uint8_t(v)); }
  void be32(int64_t v) { for (int s = 24; s >= 0; s -= 8) u8(uint8_t(uint32_t(v) >> s)); }
  void f32(float f) { uint32_t u; memcpy(&u, &f, 4); be32(u); }
  void le16(int v) { u8(uint8_t(v)); u8(uint8_t(v >> 8)); }
  void le32(int64_t v) { for (int s = 0; s <= 24; s += 8) u8(uint8_t(uint32_t(v) >> s)); }
  void lef32(float f) { uint32_t u; memcpy(&u, &f, 4); le32(u); }
  void rgb(int r, int g, int bl) { be16(r); be16(g); be16(bl); }
  void str(const std::string& s) { be32(int64_t(s.size())); b.insert(b.end(), s.begin(), s.end()); }
  size_t size() const { return b.size(); }
  void patch32(size_t at, int64_t v) { for (int i = 0; i < 4; ++i) b[at + i] = uint8_t(uint32_t(v) >> (24 - 8 * i)); }
};

// Version groups of the record tables: G0 10000; G1 10300-10351; G2 10400, 10410; G3 10450;
// G4 10500-10750; G5 10800 and later.
inline int Group(int v) {
  if (v == 10000) return 0;
  if (v == 10300 || v == 10350 || v == 10351) return 1;
  if (v == 10400 || v == 10410) return 2;
  if (v == 10450) return 3;
  if (v == 10500 || v == 10700 || v == 10701 || v == 10750) return 4;
  return 5;
}

struct Info {
  int type = kObjClosedPoly;
  int marker = 117;
  int levels = 1;
  int pointCount = 1;
  int subtype = 0;
  int tex = 11, tex1 = 12, tex2 = 13, tex3 = 14, tex4 = 15;
  float params[5] = {31, 32, 33, 34, 35};
  std::string name = "nm";
  uint32_t id = 77;
};

// Info record of version v; texture IDs are plain (never custom).
inline void WriteInfo(Bytes& o, int v, const Info& i) {
  const int g = Group(v);
  o.be16(i.type);
  if (i.type == kObjGroup && v >= 10700) o.be32(i.marker);
  o.u8(1); o.u8(1);                          // closed, visible
  o.rgb(0x0102, 0x0304, 0x0506);             // pen
  o.rgb(1, 0, 2);                            // options
  o.rgb(0x1112, 0x1314, 0x1516);             // fill
  o.f32(2.5f); o.be16(3); o.be16(4);         // width, pen style, fill pattern
  o.be16(i.levels); o.be32(i.pointCount);
  o.u8(1); o.be16(-1);                       // capped, direction
  o.be32(i.tex);
  for (int k = 0; k < 8; ++k) o.lef32(40.0f + k);  // two texture rectangles
  o.be16(3); o.f32(6.5f);                    // aux short, plant age
  if (g >= 1) {
    o.be32(i.subtype); o.be32(i.tex1); o.be32(i.tex2);
    o.rgb(0x2122, 0x2324, 0x2526); o.rgb(0x3132, 0x3334, 0x3536);
  }
  if (g >= 2) { o.f32(8.25f); o.u8(1); o.be32(i.tex3); o.rgb(0x4142, 0x4344, 0x4546); }
  if (g >= 3) {
    o.be32(i.tex4); o.rgb(0x5152, 0x5354, 0x5556);
    for (int k = 0; k < 10; ++k) o.be16(90 + k);
  }
  if (g >= 2) o.be32(0x200);                 // plan mask
  if (g >= 1) for (int k = 0; k < 4; ++k) o.f32(i.params[k]);
  if (g >= 2) o.f32(i.params[4]);
  if (g >= 1) { o.be32(0x0A0B); o.be32(0x0C0D); }  // extra long, extra data
  if (g >= 5) o.str(i.name);
  if (g >= 4) o.be32(i.id);
}

struct Pt {
  float x = 10, y = 1, z = 20;
  int tex1 = 0, tex2 = 0;
  int flags = 0;
  int trim1 = 0, trim2 = 0;
  float seg[5] = {0, 51, 52, 53, 54};
  uint32_t id = 500;
};

inline void WritePoint(Bytes& o, int v, const Pt& p) {
  const int g = Group(v);
  o.be16(1); o.u8(0); o.u8(1); o.u8(0);
  for (float f : {0.5f, 0.25f, 0.125f}) o.f32(f);
  o.f32(p.x); o.f32(p.y); o.f32(p.z);
  for (int k = 0; k < 6; ++k) o.f32(0.0f);
  o.be32(p.tex1); o.be32(p.tex2);
  for (float f : {0.1f, 0.2f, 3.0f, 4.0f}) o.f32(f);
  if (v < 10450) { for (int c : {1, 2, 3, 4, 5, 6}) o.le16(0x1230 + c); }
  else { for (int c : {1, 2, 3, 4, 5, 6}) o.be16(0x1230 + c); }
  if (g >= 2) { o.f32(7.0f); o.be32(8); o.be16(9); o.be16(10); }
  if (g >= 1) { o.be32(p.flags); o.be32(p.trim1); o.f32(p.seg[0]); o.f32(p.seg[1]); }
  if (v == 10350 || v == 10351 || g >= 2) { o.be32(p.trim2); o.f32(p.seg[2]); }
  if (g >= 2) { o.f32(p.seg[3]); o.f32(p.seg[4]); }
  if (g >= 3) for (int k = 0; k < 4; ++k) o.be16(60 + k);
  if (g >= 4) o.be32(p.id);
}

inline void WritePoints(Bytes& o, int v, const std::vector<Pt>& pts) {
  o.be32(int64_t(pts.size()));
  for (const Pt& p : pts) WritePoint(o, v, p);
}

inline std::vector<Pt> Square(uint32_t firstID) {
  std::vector<Pt> pts(4);
  float xs[4] = {0, 100, 100, 0}, zs[4] = {0, 0, 100, 100};
  for (int k = 0; k < 4; ++k) { pts[k].x = xs[k]; pts[k].z = zs[k]; pts[k].id = firstID + k; }
  return pts;
}

}  // namespace record_writer
