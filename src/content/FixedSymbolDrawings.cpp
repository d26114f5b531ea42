// Plan symbols of receptacles, switches, outlets, detectors, lights, plumbing fixtures and HVAC
// equipment, drawn as runs of straight lines in inches.
#include "content/FixedSymbolDrawings.h"

#include <cmath>
#include <cstring>
#include <numbers>
#include <utility>

namespace {

using Point = std::array<float, 2>;

// Stroke letters on a unit box (u to the right, v up), as runs of points.
struct Glyph {
  char letter;
  std::vector<std::vector<Point>> runs;
};

const std::vector<Glyph>& Glyphs() {
  static const std::vector<Glyph> glyphs = {
      {'S', {{{1, .85f}, {.8f, 1}, {.2f, 1}, {0, .85f}, {0, .62f}, {.2f, .5f}, {.8f, .5f}, {1, .38f}, {1, .15f},
              {.8f, 0}, {.2f, 0}, {0, .15f}}}},
      {'G', {{{1, .85f}, {.8f, 1}, {.2f, 1}, {0, .8f}, {0, .2f}, {.2f, 0}, {.8f, 0}, {1, .2f}, {1, .45f},
              {.55f, .45f}}}},
      {'C', {{{1, .85f}, {.8f, 1}, {.2f, 1}, {0, .8f}, {0, .2f}, {.2f, 0}, {.8f, 0}, {1, .15f}}}},
      {'F', {{{1, 1}, {0, 1}, {0, 0}}, {{0, .55f}, {.75f, .55f}}}},
      {'I', {{{.5f, 0}, {.5f, 1}}, {{.2f, 1}, {.8f, 1}}, {{.2f, 0}, {.8f, 0}}}},
      {'W', {{{0, 1}, {.25f, 0}, {.5f, .6f}, {.75f, 0}, {1, 1}}}},
      {'P', {{{0, 0}, {0, 1}, {.8f, 1}, {1, .85f}, {1, .65f}, {.8f, .5f}, {0, .5f}}}},
      {'D', {{{0, 0}, {0, 1}, {.6f, 1}, {1, .7f}, {1, .3f}, {.6f, 0}, {0, 0}}}},
      {'T', {{{0, 1}, {1, 1}}, {{.5f, 1}, {.5f, 0}}}},
      {'V', {{{0, 1}, {.5f, 0}, {1, 1}}}},
      {'H', {{{0, 0}, {0, 1}}, {{1, 0}, {1, 1}}, {{0, .5f}, {1, .5f}}}},
      {'A', {{{0, 0}, {.5f, 1}, {1, 0}}, {{.25f, .5f}, {.75f, .5f}}}},
      {'3', {{{0, .85f}, {.2f, 1}, {.8f, 1}, {1, .85f}, {1, .62f}, {.8f, .5f}, {.35f, .5f}},
             {{.8f, .5f}, {1, .38f}, {1, .15f}, {.8f, 0}, {.2f, 0}, {0, .15f}}}},
      {'4', {{{.75f, 0}, {.75f, 1}, {0, .35f}, {1, .35f}}}},
      {'5', {{{1, 1}, {0, 1}, {0, .55f}, {.8f, .55f}, {1, .4f}, {1, .15f}, {.8f, 0}, {0, 0}}}},
  };
  return glyphs;
}

constexpr float kHalfRoot2 = 0.70710678f;
constexpr float kGlyphWidth = 0.6f;    // of the letter height
constexpr float kGlyphAdvance = 0.9f;  // of the letter height

class Sketch {
 public:
  void line(float x1, float z1, float x2, float z2) { strokes_.push_back({false, {{x1, z1}, {x2, z2}}}); }
  void run(std::vector<Point> points, bool closed = false) { strokes_.push_back({closed, std::move(points)}); }
  void rect(float left, float near, float right, float far) {
    run({{left, near}, {right, near}, {right, far}, {left, far}}, true);
  }
  // An ellipse as a closed run of `sides` points starting at its +x end; its four ends are
  // exact, so that it spans 2 rx by 2 rz.
  void ellipse(float cx, float cz, float rx, float rz, int sides = 32) {
    std::vector<Point> points;
    for (int k = 0; k < sides; ++k) {
      float c = 0, s = 0;
      if (k * 4 % sides == 0) {
        const int quarter = k * 4 / sides;
        c = quarter == 0 ? 1.0f : quarter == 2 ? -1.0f : 0.0f;
        s = quarter == 1 ? 1.0f : quarter == 3 ? -1.0f : 0.0f;
      } else {
        const double a = 2 * std::numbers::pi * k / sides;
        c = static_cast<float>(std::cos(a));
        s = static_cast<float>(std::sin(a));
      }
      points.push_back({cx + rx * c, cz + rz * s});
    }
    run(std::move(points), true);
  }
  void circle(float cx, float cz, float r) { ellipse(cx, cz, r, r, r < 2 ? 16 : 32); }
  // A rectangle whose corners are quarter circles of radius r.
  void roundedRect(float left, float near, float right, float far, float r) {
    std::vector<Point> points;
    const Point centres[4] = {{right - r, near + r}, {right - r, far - r}, {left + r, far - r}, {left + r, near + r}};
    for (int corner = 0; corner < 4; ++corner)
      for (int step = 0; step <= 4; ++step) {
        const double a = std::numbers::pi / 2 * (corner - 1) + std::numbers::pi / 8 * step;
        points.push_back({centres[corner][0] + r * static_cast<float>(std::cos(a)),
                          centres[corner][1] + r * static_cast<float>(std::sin(a))});
      }
    run(std::move(points), true);
  }
  // One letter filling the box from (left, top) to (left + width, top + height); its top lies
  // toward -z, the wall.
  void glyph(char letter, float left, float top, float width, float height) {
    for (const Glyph& g : Glyphs()) {
      if (g.letter != letter) continue;
      for (const std::vector<Point>& r : g.runs) {
        std::vector<Point> points;
        for (const Point& p : r) points.push_back({left + p[0] * width, top + (1 - p[1]) * height});
        run(std::move(points));
      }
      return;
    }
  }
  // A line of letters `height` high centred on (cx, cz).
  void text(const char* letters, float cx, float cz, float height) {
    const size_t n = std::strlen(letters);
    const float width = height * (kGlyphAdvance * static_cast<float>(n) - (kGlyphAdvance - kGlyphWidth));
    float left = cx - width / 2;
    for (size_t i = 0; i < n; ++i, left += height * kGlyphAdvance)
      glyph(letters[i], left, cz - height / 2, height * kGlyphWidth, height);
  }
  // An arrow along z through the centre, its head toward -z (up) or +z (down).
  void arrow(float half, bool up) {
    const float tip = up ? -half : half, back = up ? half : -half, barb = tip * 0.5f;
    line(0, back, 0, tip);
    run({{-half * 0.5f, barb}, {0, tip}, {half * 0.5f, barb}});
  }
  void diamond(float half) { run({{0, -half}, {half, 0}, {0, half}, {-half, 0}}, true); }
  std::vector<SymbolStroke> take() { return std::move(strokes_); }

 private:
  std::vector<SymbolStroke> strokes_;
};

// ---- Wall components: x along the wall, z away from its face ----

// 6 x 12: a lead from the wall to a circle 6 across crossed by two lines (three for 220 V);
// a mark, when the kind has one, stands between the lead's two pieces.
void Receptacle(Sketch& s, int lines, const char* mark) {
  if (mark) {
    s.line(0, 0, 0, 1.2f);
    s.text(mark, 0, 3.1f, 2.2f);
    s.line(0, 5, 0, 6);
  } else {
    s.line(0, 0, 0, 6);
  }
  s.circle(0, 9, 3);
  const std::vector<float> across = lines == 3 ? std::vector<float>{7.5f, 9, 10.5f} : std::vector<float>{8, 10};
  for (const float z : across) s.line(-3, z, 3, z);
}

// 6 x 16: a lead and the letter S, with the switch's mark (3, 4, 5, D, WP) under it.
void Switch(Sketch& s, const char* mark) {
  s.line(0, 0, 0, 4);
  if (!mark) {
    s.glyph('S', -3, 4, 6, 12);
    return;
  }
  s.glyph('S', -3, 4, 6, 8.4f);
  s.text(mark, 0, 14.5f, 3.0f);
}

// 25 x 11: a plate on the wall, two arms and two lamp heads casting rays.
void FloodLight(Sketch& s) {
  s.rect(-2.5f, 0, 2.5f, 1.5f);
  for (const float side : {-1.0f, 1.0f}) {
    s.line(side * 1, 1.5f, side * 5, 3);
    s.circle(side * 5, 6, 3);
    s.line(side * 8, 6, side * 12.5f, 6);
    s.line(side * 7.12f, 8.12f, side * 10, 11);
    s.line(side * 5, 9, side * 5, 11);
  }
}

// 10 x 12: a lead and a triangle pointing at the wall; TV lettered, the phone outlet hatched.
void LowVoltageOutlet(Sketch& s, bool television) {
  s.line(0, 0, 0, 3);
  s.run({{0, 3}, {5, 12}, {-5, 12}}, true);
  if (television) {
    s.text("TV", 0, 9.6f, 2.4f);
    return;
  }
  for (const float z : {6.0f, 8.0f, 10.0f}) {
    const float half = 5 * (z - 3) / 9;
    s.line(-half, z, half, z);
  }
}

// 24 x 30: the tank against the wall and the bowl, with the seat's opening.
void Toilet(Sketch& s) {
  s.roundedRect(-12, 0, 12, 8, 1.5f);
  s.line(-9, 2.5f, -6, 2.5f);  // the flush lever
  s.ellipse(0, 19, 8, 11);
  s.ellipse(0, 20.5f, 5.5f, 7);
}

// 36 x 24: the counter and one, two or three basins, each with its drain, and the faucet.
void KitchenSink(Sketch& s, int basins) {
  s.rect(-18, 0, 18, 24);
  const float gap = 1.5f, inner = 33;
  const float width = (inner - gap * static_cast<float>(basins - 1)) / static_cast<float>(basins);
  for (int b = 0; b < basins; ++b) {
    const float left = -inner / 2 + static_cast<float>(b) * (width + gap);
    s.roundedRect(left, 4, left + width, 21, 2.5f);
    s.circle(left + width / 2, 14, 1.2f);
  }
  s.rect(-2, 1, 2, 2.5f);
  s.line(0, 2.5f, 0, 6);
}

// 21 x 16: an oval basin in its oval rim, the drain and the faucet.
void OvalSink(Sketch& s) {
  s.ellipse(0, 8, 10.5f, 8);
  s.ellipse(0, 8.8f, 8.3f, 5.8f);
  s.circle(0, 9.5f, 0.9f);
  s.line(0, 0.8f, 0, 2.4f);
}

// 60 x 30: the tub's rim, its basin, the drain and the spout at one end.
void BathTub(Sketch& s) {
  s.rect(-30, 0, 30, 30);
  s.roundedRect(-27, 3, 27, 27, 6);
  s.circle(-23, 15, 1.5f);
  s.line(-29, 15, -25.5f, 15);
}

// 60 x 42: the rim, an oval basin, four jets and the drain.
void SpaTub(Sketch& s) {
  s.rect(-30, 0, 30, 42);
  s.ellipse(0, 21, 26, 17);
  for (const float x : {-17.0f, 17.0f})
    for (const float z : {12.0f, 30.0f}) s.circle(x, z, 1);
  s.circle(0, 21, 1.5f);
}

// 48 x 36: the pan crossed corner to corner, with the drain where the lines cross.
void Shower(Sketch& s) {
  s.rect(-24, 0, 24, 36);
  s.line(-24, 0, 24, 36);
  s.line(24, 0, -24, 36);
  s.circle(0, 18, 2);
}

// 6 x 12: the pipe from the wall, a valve (two triangles point to point) with its handle; the
// hose bib ends in a threaded spout, the gas cock is lettered G.
void Bib(Sketch& s, bool gas) {
  const float valve = gas ? 3 : 5;
  s.line(0, 0, 0, valve);
  s.run({{-2, valve}, {2, valve}, {-2, valve + 4}, {2, valve + 4}}, true);
  s.line(-3, valve + 2, 3, valve + 2);
  if (gas) {
    s.glyph('G', -1.4f, 7.6f, 2.8f, 4.4f);
    return;
  }
  s.line(0, 9, 0, 12);
  s.line(-1, 10.5f, 1, 10.5f);
  s.line(-1, 12, 1, 12);
}

// 48 x 6: the long casing along the wall with its fins across it.
void BaseboardHeater(Sketch& s) {
  s.rect(-24, 0, 24, 6);
  for (int k = -7; k <= 7; ++k) s.line(3.0f * static_cast<float>(k), 1, 3.0f * static_cast<float>(k), 5);
}

// ---- Fixed components: centred, half a side h ----

void FloorOutlet(Sketch& s, float h, int lines) {
  s.rect(-h, -h, h, h);
  s.circle(0, 0, 0.65f * h);
  for (int k = 0; k < lines; ++k) {
    const float z = (static_cast<float>(k) - static_cast<float>(lines - 1) / 2) * 0.3f * h;
    s.line(-0.55f * h, z, 0.55f * h, z);
  }
}

void CeilingOutlet(Sketch& s, float h, int lines) {
  s.circle(0, 0, h);
  for (int k = 0; k < lines; ++k) {
    const float z = (static_cast<float>(k) - static_cast<float>(lines - 1) / 2) * 0.4f * h;
    s.line(-h, z, h, z);
  }
}

void Louvres(Sketch& s, float h, bool acrossZ) {
  s.rect(-h, -h, h, h);
  for (int k = -2; k <= 2; ++k) {
    const float at = 0.3f * h * static_cast<float>(k);
    if (acrossZ) s.line(-0.8f * h, at, 0.8f * h, at);
    else s.line(at, -0.8f * h, at, 0.8f * h);
  }
}

void CeilingFan(Sketch& s, float h) {
  s.circle(0, 0, 0.25f * h);
  const float w = 0.18f * h, in = 0.25f * h;
  s.rect(in, -w, h, w);
  s.rect(-h, -w, -in, w);
  s.rect(-w, in, w, h);
  s.rect(-w, -h, w, -in);
}

}  // namespace

std::array<float, 2> FixedSymbolSize(int16_t kind) {
  switch (kind) {
    case 55: case 65: case 66: case 67: case 70: case 99: case 109: return {6, 12};
    case 73: case 74: case 75: case 76: case 77: case 78: return {6, 16};
    case 83: return {25, 11};
    case 84: case 85: return {10, 12};
    case 86: case 87: return {10, 14};
    case 90: return {24, 30};
    case 91: case 92: case 93: return {36, 24};
    case 94: return {21, 16};
    case 95: return {60, 30};
    case 96: return {60, 42};
    case 97: return {48, 36};
    case 124: return {48, 6};
    case 68: case 69: case 71: case 72: case 88: case 110: return {6, 6};
    case 98: return {20, 20};
    case 79: case 80: case 81: case 82: case 118: case 119: case 120: case 121: case 122: case 123:
    case 146: case 147: case 148: case 149: case 150: case 151: case 152:
      return {8, 8};
    default: return {0, 0};
  }
}

std::vector<SymbolStroke> FixedSymbolDrawing(int16_t kind) {
  Sketch s;
  const float h = FixedSymbolSize(kind)[0] / 2;
  switch (kind) {
    case 55: Receptacle(s, 2, nullptr); break;
    case 65: Receptacle(s, 2, "GFI"); break;
    case 66: Receptacle(s, 2, "S"); break;
    case 67: Receptacle(s, 2, "WP"); break;
    case 70: Receptacle(s, 3, nullptr); break;
    case 73: Switch(s, nullptr); break;
    case 74: Switch(s, "3"); break;
    case 75: Switch(s, "4"); break;
    case 76: Switch(s, "5"); break;
    case 77: Switch(s, "D"); break;
    case 78: Switch(s, "WP"); break;
    case 83: FloodLight(s); break;
    case 84: LowVoltageOutlet(s, true); break;
    case 85: LowVoltageOutlet(s, false); break;
    case 86:  // smoke detector
      s.line(0, 0, 0, 4);
      s.circle(0, 9, 5);
      s.text("SD", 0, 9, 3);
      break;
    case 87:  // thermostat
      s.line(0, 0, 0, 4);
      s.rect(-5, 4, 5, 14);
      s.text("T", 0, 9, 5);
      break;
    case 90: Toilet(s); break;
    case 91: KitchenSink(s, 1); break;
    case 92: KitchenSink(s, 2); break;
    case 93: KitchenSink(s, 3); break;
    case 94: OvalSink(s); break;
    case 95: BathTub(s); break;
    case 96: SpaTub(s); break;
    case 97: Shower(s); break;
    case 99: Bib(s, false); break;
    case 109: Bib(s, true); break;
    case 124: BaseboardHeater(s); break;
    // Fixed components.
    case 68: FloorOutlet(s, h, 2); break;
    case 71: FloorOutlet(s, h, 3); break;
    case 69: CeilingOutlet(s, h, 2); break;
    case 72: CeilingOutlet(s, h, 3); break;
    case 79:  // ceiling fixture: a lamp with eight rays
      s.circle(0, 0, 0.6f * h);
      for (const Point& d : {Point{1, 0}, Point{0, 1}, Point{-1, 0}, Point{0, -1}})
        s.line(0.75f * h * d[0], 0.75f * h * d[1], h * d[0], h * d[1]);
      for (const float x : {-kHalfRoot2, kHalfRoot2})
        for (const float z : {-kHalfRoot2, kHalfRoot2}) s.line(0.75f * h * x, 0.75f * h * z, h * x, h * z);
      break;
    case 80:  // recessed light: the can in its square
      s.rect(-h, -h, h, h);
      s.circle(0, 0, 0.6f * h);
      break;
    case 81:  // heater, vent and light: the lamp crossed
      s.rect(-h, -h, h, h);
      s.circle(0, 0, 0.6f * h);
      s.line(-0.42f * h, -0.42f * h, 0.42f * h, 0.42f * h);
      s.line(0.42f * h, -0.42f * h, -0.42f * h, 0.42f * h);
      break;
    case 82:  // vent and light: the lamp with its grille
      s.rect(-h, -h, h, h);
      s.circle(0, 0, 0.6f * h);
      for (const float z : {-0.3f, 0.0f, 0.3f}) {
        const float half = std::sqrt(0.36f - z * z) * h;
        s.line(-half, z * h, half, z * h);
      }
      break;
    case 146:  // recessed up light
      s.rect(-h, -h, h, h);
      s.circle(0, 0, 0.6f * h);
      s.arrow(0.45f * h, true);
      break;
    case 147:  // landscape up light
    case 148:  // landscape down light
      s.circle(0, 0, h);
      s.arrow(0.6f * h, kind == 147);
      break;
    case 149:  // path light: a cap over its post, with its glow
      s.circle(0, 0, h);
      s.circle(0, 0, 0.35f * h);
      for (const float x : {-1.0f, 1.0f})
        for (const float z : {-1.0f, 1.0f}) s.line(0.35f * h * x, 0.35f * h * z, 0.57f * h * x, 0.57f * h * z);
      break;
    case 150:  // point up light
    case 151:  // point down light
      s.diamond(h);
      s.arrow(0.5f * h, kind == 150);
      break;
    case 152:  // point light
      s.diamond(h);
      s.circle(0, 0, 0.3f * h);
      break;
    case 88: CeilingFan(s, h); break;
    case 98:  // water heater
      s.circle(0, 0, h);
      s.text("WH", 0, 0, 0.45f * h);
      break;
    case 110:  // floor drain: the grate in its square
      s.rect(-h, -h, h, h);
      s.circle(0, 0, 0.7f * h);
      s.line(-0.7f * h, 0, 0.7f * h, 0);
      s.line(0, -0.7f * h, 0, 0.7f * h);
      break;
    case 118: Louvres(s, h, true); break;   // floor register
    case 120: Louvres(s, h, false); break;  // air return
    case 119:  // ceiling register: the diffuser's square in square
      s.rect(-h, -h, h, h);
      s.rect(-0.55f * h, -0.55f * h, 0.55f * h, 0.55f * h);
      for (const float x : {-1.0f, 1.0f})
        for (const float z : {-1.0f, 1.0f}) s.line(h * x, h * z, 0.55f * h * x, 0.55f * h * z);
      break;
    case 121:  // furnace
      s.rect(-h, -h, h, h);
      s.text("F", 0, 0, 0.9f * h);
      break;
    case 122:  // air conditioner: the unit, its fan and its letters
    case 123:  // heat pump
      s.rect(-h, -h, h, h);
      s.circle(0, 0, 0.8f * h);
      s.text(kind == 122 ? "AC" : "HP", 0, 0, 0.45f * h);
      break;
    default: break;
  }
  return s.take();
}
