// The 3-D outline font: 256 display lists, glyphs 0..122 of a bold sans-serif
// TrueType face as solid letters one em high, extruded 0.1 em into -z.
//
// FreeType supplies each glyph's outline in font units; curves are flattened
// to lines within a fixed chordal deviation, the GLU tessellator fills the
// front (z = 0) and back (z = -depth) faces, and quads close the sides. Each
// list ends by moving the origin to the next character cell, and the glyph's
// extent and advance go into glyphMetrics (em = 1).
#include <GL/glew.h>
#include <GL/glu.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <deque>
#include <vector>

#include "render/render_resources.h"

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

// ---- Tessellation into the display list ----------------------------------------

using TessCallback = void (*)();

// Vertices the tessellator creates where contours cross; they must outlive the polygon.
using CombinedVertices = std::deque<std::array<GLdouble, 3>>;

void GLAPIENTRY combine(GLdouble coords[3], void* [4], GLfloat[4], void** out, void* data) {
  auto* store = static_cast<CombinedVertices*>(data);
  store->push_back({coords[0], coords[1], coords[2]});
  *out = store->back().data();
}

void GLAPIENTRY vertex(void* data) { glVertex3dv(static_cast<const GLdouble*>(data)); }

// Fills the glyph's face at depth z, facing +z or -z. Coordinates in em.
void drawFace(GLUtesselator* tess, const std::vector<Contour>& contours, double scale, double z,
              bool front) {
  std::vector<std::array<GLdouble, 3>> points;
  for (const Contour& c : contours) {
    for (const Point& p : c) points.push_back({p.x * scale, p.y * scale, z});
  }
  CombinedVertices combined;
  const double facing = front ? 1.0 : -1.0;
  gluTessNormal(tess, 0.0, 0.0, facing);
  glNormal3d(0.0, 0.0, facing);
  gluTessBeginPolygon(tess, &combined);
  size_t next = 0;
  for (const Contour& c : contours) {
    gluTessBeginContour(tess);
    for (size_t i = 0; i < c.size(); ++i, ++next) {
      gluTessVertex(tess, points[next].data(), points[next].data());
    }
    gluTessEndContour(tess);
  }
  gluTessEndPolygon(tess);
}

// Closes the sides between the faces, one flat quad per contour edge, facing
// outward. `clockwiseOuter` tells which side of a contour the glyph fills.
void drawSides(const std::vector<Contour>& contours, double scale, double depth,
               bool clockwiseOuter) {
  glBegin(GL_QUADS);
  for (const Contour& c : contours) {
    for (size_t i = 0; i < c.size(); ++i) {
      const Point a = c[i], b = c[(i + 1) % c.size()];
      double nx = -(b.y - a.y), ny = b.x - a.x;
      const double len = length(nx, ny);
      if (len == 0.0) continue;
      if (!clockwiseOuter) nx = -nx, ny = -ny;
      glNormal3d(nx / len, ny / len, 0.0);
      const Point first = clockwiseOuter ? a : b, second = clockwiseOuter ? b : a;
      glVertex3d(first.x * scale, first.y * scale, 0.0);
      glVertex3d(second.x * scale, second.y * scale, 0.0);
      glVertex3d(second.x * scale, second.y * scale, -depth);
      glVertex3d(first.x * scale, first.y * scale, -depth);
    }
  }
  glEnd();
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
  fontListBase = glGenLists(kFontGlyphCount);
  for (int i = 0; i < kFontGlyphCount; ++i) glyphMetrics[i] = GlyphMetrics{};

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
  gluTessCallback(tess, GLU_TESS_BEGIN, reinterpret_cast<TessCallback>(glBegin));
  gluTessCallback(tess, GLU_TESS_VERTEX, reinterpret_cast<TessCallback>(vertex));
  gluTessCallback(tess, GLU_TESS_END, reinterpret_cast<TessCallback>(glEnd));
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
    glyphMetrics[code] = metricsOf(face->glyph, scale);

    glNewList(fontListBase + code, GL_COMPILE);
    if (!contours.empty()) {
      drawFace(tess, contours, scale, 0.0, true);
      drawFace(tess, contours, scale, -kExtrusion, false);
      drawSides(contours, scale, kExtrusion, clockwiseOuter);
    }
    glTranslatef(glyphMetrics[code].advanceX, glyphMetrics[code].advanceY, 0.0f);
    glEndList();
  }

  gluDeleteTess(tess);
  FT_Done_Face(face);
  FT_Done_FreeType(library);
}
