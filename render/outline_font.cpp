// The 3-D outline font: glyphs 0..122 of a bold sans-serif TrueType face as
// solid letters one em high, extruded 0.1 em into -z, as triangles in one
// vertex buffer built once at start.
//
// FreeType supplies each glyph's outline in font units; curves are flattened
// to lines within a fixed chordal deviation, the GLU tessellator (a start-up
// tool here: it only turns outlines into triangles) fills the front (z = 0)
// and back (z = -depth) faces, and two triangles an edge close the sides. The
// glyph's extent and advance go into the font's metrics (em = 1); drawing a
// text moves the pen by each glyph's advance.
#include <ft2build.h>

#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <deque>
#include <vector>

#include "render/glu.h"
#include "render/render_resources.h"
#include "render/shader_dialect.h"

namespace {

const char* const kFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
constexpr int kBuiltGlyphCount = 123;     // characters 0..122
constexpr float kMaxDeviation = 10.001f;  // font units between a curve and its chords
constexpr float kExtrusion = 0.1f;        // em

struct Point {
  double x, y;
};
using Contour = std::vector<Point>;

// ---- Outline flattening ------------------------------------------------------

struct Flattener {
  std::vector<Contour> contours;
  Point pen{0, 0};

  void lineTo(Point p) {
    Contour& c = contours.back();
    if (c.back().x != p.x || c.back().y != p.y) c.push_back(p);
    pen = p;
  }
  // Enough segments that the chords stay within kMaxDeviation of the curve:
  // a chord of parameter length 1/n deviates at most |B''| / (8 n^2).
  static int segmentsFor(double maxSecondDerivative) {
    const double n = std::sqrt(maxSecondDerivative / (8.0 * kMaxDeviation));
    return std::max(1, static_cast<int>(std::ceil(n)));
  }
};

Point toPoint(const FT_Vector* v) { return {static_cast<double>(v->x), static_cast<double>(v->y)}; }

double length(double x, double y) { return std::sqrt(x * x + y * y); }

int moveTo(const FT_Vector* to, void* user) {
  auto* f = static_cast<Flattener*>(user);
  f->pen = toPoint(to);
  f->contours.push_back({f->pen});
  return 0;
}

int lineTo(const FT_Vector* to, void* user) {
  static_cast<Flattener*>(user)->lineTo(toPoint(to));
  return 0;
}

int conicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
  auto* f = static_cast<Flattener*>(user);
  const Point p0 = f->pen, p1 = toPoint(control), p2 = toPoint(to);
  const int n =
      Flattener::segmentsFor(2.0 * length(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y));
  for (int i = 1; i <= n; ++i) {
    const double t = static_cast<double>(i) / n, s = 1.0 - t;
    f->lineTo({s * s * p0.x + 2 * s * t * p1.x + t * t * p2.x,
               s * s * p0.y + 2 * s * t * p1.y + t * t * p2.y});
  }
  return 0;
}

int cubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user) {
  auto* f = static_cast<Flattener*>(user);
  const Point p0 = f->pen, p1 = toPoint(control1), p2 = toPoint(control2), p3 = toPoint(to);
  const double a = length(p0.x - 2 * p1.x + p2.x, p0.y - 2 * p1.y + p2.y);
  const double b = length(p1.x - 2 * p2.x + p3.x, p1.y - 2 * p2.y + p3.y);
  const int n = Flattener::segmentsFor(6.0 * std::max(a, b));
  for (int i = 1; i <= n; ++i) {
    const double t = static_cast<double>(i) / n, s = 1.0 - t;
    f->lineTo({s * s * s * p0.x + 3 * s * s * t * p1.x + 3 * s * t * t * p2.x + t * t * t * p3.x,
               s * s * s * p0.y + 3 * s * s * t * p1.y + 3 * s * t * t * p2.y + t * t * t * p3.y});
  }
  return 0;
}

// The glyph's closed contours in font units, without the repeated closing point.
std::vector<Contour> flattenOutline(FT_Outline* outline) {
  FT_Outline_Funcs funcs = {};
  funcs.move_to = moveTo;
  funcs.line_to = lineTo;
  funcs.conic_to = conicTo;
  funcs.cubic_to = cubicTo;
  Flattener flattener;
  FT_Outline_Decompose(outline, &funcs, &flattener);
  std::vector<Contour> contours;
  for (Contour& c : flattener.contours) {
    if (c.size() > 1 && c.front().x == c.back().x && c.front().y == c.back().y) c.pop_back();
    if (c.size() >= 3) contours.push_back(std::move(c));
  }
  return contours;
}

// ---- Tessellation into triangles ---------------------------------------------

using TessCallback = void (*)();

// The triangles of every glyph, three positions (x, y, z in em) a vertex,
// and what the tessellator needs while it fills one face.
struct TriangleCollector {
  std::vector<float> positions;
  // Vertices the tessellator creates where contours cross; they must outlive the polygon.
  std::deque<std::array<GLdouble, 3>> combined;

  void add(double x, double y, double z) {
    positions.push_back(static_cast<float>(x));
    positions.push_back(static_cast<float>(y));
    positions.push_back(static_cast<float>(z));
  }
};

void GLAPIENTRY combine(GLdouble coords[3], void* [4], GLfloat[4], void** out, void* data) {
  auto* collector = static_cast<TriangleCollector*>(data);
  collector->combined.push_back({coords[0], coords[1], coords[2]});
  *out = collector->combined.back().data();
}

void GLAPIENTRY vertex(void* vertexData, void* data) {
  const auto* p = static_cast<const GLdouble*>(vertexData);
  static_cast<TriangleCollector*>(data)->add(p[0], p[1], p[2]);
}

// With an edge-flag callback the tessellator hands over separate triangles
// only, never fans or strips.
void GLAPIENTRY edgeFlag(GLboolean, void*) {}

void GLAPIENTRY begin(GLenum, void*) {}

void GLAPIENTRY end(void*) {}

// Fills the glyph's face at depth z, wound counter-clockwise seen from +z
// (front) or from -z. Coordinates in em.
void fillFace(GLUtesselator* tess, TriangleCollector* collector,
              const std::vector<Contour>& contours, double scale, double z, bool front) {
  std::vector<std::array<GLdouble, 3>> points;
  for (const Contour& c : contours) {
    for (const Point& p : c) points.push_back({p.x * scale, p.y * scale, z});
  }
  gluTessNormal(tess, 0.0, 0.0, front ? 1.0 : -1.0);
  gluTessBeginPolygon(tess, collector);
  size_t next = 0;
  for (const Contour& c : contours) {
    gluTessBeginContour(tess);
    for (size_t i = 0; i < c.size(); ++i, ++next) {
      gluTessVertex(tess, points[next].data(), points[next].data());
    }
    gluTessEndContour(tess);
  }
  gluTessEndPolygon(tess);
  collector->combined.clear();
}

// Closes the sides between the faces, two triangles per contour edge, wound
// to face outward. `clockwiseOuter` tells which side of a contour the glyph fills.
void addSides(TriangleCollector* collector, const std::vector<Contour>& contours, double scale,
              double depth, bool clockwiseOuter) {
  for (const Contour& c : contours) {
    for (size_t i = 0; i < c.size(); ++i) {
      const Point a = clockwiseOuter ? c[i] : c[(i + 1) % c.size()];
      const Point b = clockwiseOuter ? c[(i + 1) % c.size()] : c[i];
      const double ax = a.x * scale, ay = a.y * scale, bx = b.x * scale, by = b.y * scale;
      collector->add(ax, ay, 0.0);
      collector->add(bx, by, 0.0);
      collector->add(bx, by, -depth);
      collector->add(ax, ay, 0.0);
      collector->add(bx, by, -depth);
      collector->add(ax, ay, -depth);
    }
  }
}

GlyphMetrics metricsOf(const FT_GlyphSlot glyph, double scale) {
  FT_BBox box;
  FT_Outline_Get_CBox(&glyph->outline, &box);
  GlyphMetrics m;
  if (glyph->outline.n_points > 0) {
    m.blackBoxX = static_cast<float>((box.xMax - box.xMin) * scale);
    m.blackBoxY = static_cast<float>((box.yMax - box.yMin) * scale);
    m.originX = static_cast<float>(box.xMin * scale);
    m.originY = static_cast<float>(box.yMax * scale);
  }
  m.advanceX = static_cast<float>(glyph->metrics.horiAdvance * scale);
  m.advanceY = 0.0f;
  return m;
}

}  // namespace

void RenderResources::buildOutlineFont() {
  font = OutlineFont{};
  TriangleCollector collector;

  FT_Library library = nullptr;
  FT_Face face = nullptr;
  if (FT_Init_FreeType(&library) != 0) {
    std::fprintf(stderr, "Outline font: FreeType could not be started\n");
    return;
  }
  if (FT_New_Face(library, kFontPath, 0, &face) != 0 || !FT_IS_SCALABLE(face)) {
    std::fprintf(stderr, "%s: cannot be read as an outline font; the 3-D font stays empty\n",
                 kFontPath);
    if (face) FT_Done_Face(face);
    FT_Done_FreeType(library);
    return;
  }

  GLUtesselator* tess = gluNewTess();
  gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
  gluTessCallback(tess, GLU_TESS_BEGIN_DATA, reinterpret_cast<TessCallback>(begin));
  gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<TessCallback>(vertex));
  gluTessCallback(tess, GLU_TESS_END_DATA, reinterpret_cast<TessCallback>(end));
  gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA, reinterpret_cast<TessCallback>(edgeFlag));
  gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<TessCallback>(combine));

  const double scale = 1.0 / face->units_per_EM;
  for (int code = 0; code < kBuiltGlyphCount; ++code) {
    // Characters the face does not map take its missing-glyph shape.
    const FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(code));
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) != 0 ||
        face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
      std::fprintf(stderr, "%s: glyph %d cannot be loaded\n", kFontPath, code);
      continue;
    }
    FT_Outline* outline = &face->glyph->outline;
    const std::vector<Contour> contours = flattenOutline(outline);
    const bool clockwiseOuter = FT_Outline_Get_Orientation(outline) == FT_ORIENTATION_TRUETYPE;
    font.metrics[code] = metricsOf(face->glyph, scale);
    const size_t first = collector.positions.size() / 3;
    if (!contours.empty()) {
      fillFace(tess, &collector, contours, scale, 0.0, true);
      fillFace(tess, &collector, contours, scale, -kExtrusion, false);
      addSides(&collector, contours, scale, kExtrusion, clockwiseOuter);
    }
    font.first[code] = static_cast<int32_t>(first);
    font.count[code] = static_cast<int32_t>(collector.positions.size() / 3 - first);
  }

  gluDeleteTess(tess);
  FT_Done_Face(face);
  FT_Done_FreeType(library);

  glGenVertexArrays(1, &font.vertexArray.value);
  glBindVertexArray(font.vertexArray.value);
  glGenBuffers(1, &font.vertexBuffer.value);
  glBindBuffer(GL_ARRAY_BUFFER, font.vertexBuffer.value);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(collector.positions.size() * sizeof(float)),
               collector.positions.data(), GL_STATIC_DRAW);
  glEnableVertexAttribArray(kPositionAttribute);
  glVertexAttribPointer(kPositionAttribute, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
  glBindVertexArray(0);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
}
