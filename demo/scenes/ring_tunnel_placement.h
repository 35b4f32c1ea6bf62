// The ring tunnel's geometry at a time t, apart from GL: the path grown from
// the show's random sequence, the flight camera on its spline, the band of
// tiles along the path with their strength and nearness, the tiled-cube
// layers hung around the camera's target, and the blinking of the letters.
#pragma once

#include "core/random.h"
#include "core/vector.h"
#include "demo/path_spline.h"

constexpr int kTunnelPathPoints = 100;

// Grows the 100-point path, drawing its bends from the random sequence as it
// stands (the scene leaves it seeded with 4234234 and advanced by one draw).
// Snaking and climbing up to 52 s, gentler to 68 s, a straight line along +y
// after 68 s.
PathSpline growTunnelPath(double t, Random& random);

struct PathCamera {
  Camera request;  // eye, target and up for the camera script's next frame
  Vec3 focus;      // where the band is brightest
};

// The flight camera on the path at time t.
PathCamera tunnelPathCamera(const PathSpline& path, double t);

// Half the band's column count: columns run from -N to N - 1.
int tunnelBandHalfWidth(double t);

// The corners of the tile in column `column` and row `row` (rows 1 .. count - 3),
// in the order handed to the clip panel.
void tunnelTileCorners(const PathSpline& path, int column, int row, double t, Vec3 corners[4]);

// Tile strength at time t of a tile centred at `centre`: near the focus it is
// strong, it fades in from 36 s and out towards 68 s, and from 68 s follows
// spectrum band 2 (musicGate).
float tileStrength(const Vec3& centre, const Vec3& focus, double t, float band2);
// The strength before the music takes part.
float tileReach(const Vec3& centre, const Vec3& focus, double t);
// 1 up to 68 s; from 68 s (1.3 band2)^2, at most 2.
float musicGate(double t, float band2);

// Nearness of a tile to the camera: large for tiles in the middle of the band
// near the request eye, falling by 0.15 per unit of distance and by 0.5 per
// column away from the flight line.
float tileNearness(const Vec3& centre, int column, const Vec3& eye);
// Nearness of a face off the band (a cube layer or a letter): as a tile on
// the flight line.
float faceNearness(const Vec3& centre, const Vec3& eye);

// Seeds the sequence for tile (column, row): up to 52 s one seed per row,
// with a third of the tiles and, after 52 s, every tile taking a new seed
// every half second.
void seedTile(int column, int row, double t, Random& random);
// From 68 s only every second tile of the band is drawn.
bool tileDrawn(int column, int row, double t);

// Tiled-cube layers: none up to 68 s, one up to 100 s, three after.
int tunnelLayerCount(double t);
// Seeds the sequence for face i of layer `layer`: a new seed every 2 s, from
// 84 s every half second.
void seedLayerFace(int layer, int i, double t, Random& random);
// Corner of face i of layer `layer` at time t, the cube centred on `centre`.
Vec3 placeLayerCorner(const Vec3& corner, int layer, const Vec3& centre, double t);

// Whether letter k (0 R, 1 V, 2 K) is drawn at time t: all of it or none,
// for half a second at a time, between 100 s and 116 s. Leaves the sequence
// where the letter's rings continue it.
bool letterVisible(int k, double t, Random& random);
