// What the current matrices can show: conservative clip-space tests that let
// the frame leave out geometry which can give neither a fragment nor a hit.
#pragma once

// The margins of every test, the objects' and the ground's alike.

// Relative margin on the clip planes, far above double and float rounding of
// the clip coordinates: only a point clearly outside counts as outside.
constexpr double CLIP_MARGIN = 1e-5;

// In pixels: llvmpipe snaps window coordinates to 1/256 pixel and pixel
// centres can lie within a few thousandths of a pixel of an edge.
constexpr double PIXEL_MARGIN = 0.02;

// Pieces with a point nearer than this in clip w (the eye depth under the
// program's perspective projections) are always kept: their projections are
// large and float rounding in the pipeline grows with them.
constexpr double NEAR_KEEP_W = 0.5;

// Beyond this many pixels from the viewport the float rounding of the pipeline
// is no longer small beside the margin; such pieces are kept.
constexpr double FAR_OUT_PIXELS = 1 << 20;

// One point in clip coordinates.
struct ClipPoint {
  double x, y, z, w;
};

// The current projection times modelview, the viewport and the render mode,
// read from GL when a drawing pass starts.
struct ViewCull {
  double matrix[16];    // projection * modelview, column-major
  double viewport[4];   // x, y, width, height
  bool pixelTest;       // rendering: pieces that cover no pixel centre may go too

  ClipPoint toClip(double x, double y, double z) const {
    return {matrix[0] * x + matrix[4] * y + matrix[8] * z + matrix[12],
            matrix[1] * x + matrix[5] * y + matrix[9] * z + matrix[13],
            matrix[2] * x + matrix[6] * y + matrix[10] * z + matrix[14],
            matrix[3] * x + matrix[7] * y + matrix[11] * z + matrix[15]};
  }
};

// Reads the current matrices, viewport and render mode. The pixel test is on
// in GL_RENDER only: selection and feedback report primitives that cover no pixel.
ViewCull currentViewCull();

// True when every point lies beyond one and the same clip plane, by a margin:
// a convex shape spanned by the points is then entirely outside the view volume.
bool outsideViewVolume(const ClipPoint* points, int count);

// True when the window-space bounding box of the points contains no pixel centre
// of the viewport, with a margin for the rasteriser's vertex snapping. Only
// decides for points well in front of the eye; for anything near or behind it
// the answer is false (keep).
bool coversNoPixelCentre(const ViewCull& view, const ClipPoint* points, int count);

// Whether anything inside the box [min, max] of the current modelview's space
// can give a fragment (rendering) or a hit (selection) under the current matrices.
bool boxCanShow(const float min[3], const float max[3]);
