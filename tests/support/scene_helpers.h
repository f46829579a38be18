// Small scenes for the tests, and where points and parts of a scene show in a drawing area.
// The projection is worked out as gluPerspective and gluLookAt place points, in double
// precision and without OpenGL: the tests, the benchmarks, the view fuzzer and the end-to-end
// fixture (which has no context of its own) share it. No test framework needed.
#pragma once

#include <array>
#include <cmath>
#include <memory>
#include <optional>
#include <string>

#include "model/part_node.h"
#include "render/camera.h"
#include "render/projection.h"
#include "tests/support/figure_table.h"

namespace tobrin_test {

// A group node, not selectable, to hang test boxes under.
inline PartNodePtr Group() {
  auto root = std::make_unique<PartNode>();
  InitPartNode(root.get());
  root->kind = NODE_GROUP;
  root->selectable = 0;
  return root;
}

// A teal box of the given size at (x, y, z), for a tree to take: AddChild, or an instance.
inline PartNode* Box(double x, double y, double z, double sx, double sy, double sz) {
  auto* box = new PartNode;
  InitPartNode(box);
  MakeTranslation(box->matrix, x, y, z);
  box->size[0] = sx;
  box->size[1] = sy;
  box->size[2] = sz;
  return SetColourTeal(box);
}

// The same box, added as the parent's child with index 0.
inline PartNode* AddBox(PartNode* parent, double x, double y, double z, double sx, double sy,
                        double sz) {
  PartNode* box = Box(x, y, z, sx, sy, sz);
  AddChild(parent, box);
  return box;
}

// Where the scene point `p` shows in a width x height area seen through `camera` with the
// viewer's perspective, as gluProject gives it: window x, and window y counted upwards, not
// rounded. Nothing when the point is not in front of the eye or the area is empty.
inline std::optional<std::array<double, 2>> WindowPoint(const Camera& c, int width, int height,
                                                        const double p[3]) {
  if (width <= 0 || height <= 0) return std::nullopt;
  using V = std::array<double, 3>;
  const auto unit = [](V v) {
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    for (double& x : v)
      x /= length;
    return v;
  };
  // The camera's frame, as gluLookAt builds it: forward, side and up axes.
  const V f = unit({c.centre[0] - c.eye[0], c.centre[1] - c.eye[1], c.centre[2] - c.eye[2]});
  const V s = unit({f[1] * c.up[2] - f[2] * c.up[1], f[2] * c.up[0] - f[0] * c.up[2],
                    f[0] * c.up[1] - f[1] * c.up[0]});
  const V u = {s[1] * f[2] - s[2] * f[1], s[2] * f[0] - s[0] * f[2], s[0] * f[1] - s[1] * f[0]};
  const V d = {p[0] - c.eye[0], p[1] - c.eye[1], p[2] - c.eye[2]};
  const auto along = [&](const V& axis) {
    return axis[0] * d[0] + axis[1] * d[1] + axis[2] * d[2];
  };
  const double depth = along(f);
  if (!(depth > 0.0)) return std::nullopt;
  const double focal = 1.0 / std::tan(FIELD_OF_VIEW_Y * M_PI / 360.0);
  const double aspect = static_cast<double>(width) / height;
  return std::array<double, 2>{(focal / aspect * along(s) / depth + 1.0) * 0.5 * width,
                               (focal * along(u) / depth + 1.0) * 0.5 * height};
}

// The client pixel (x to the right, y downwards) nearest to where `p` shows; nothing as above.
inline std::optional<std::array<int, 2>> ClientPixel(const Camera& camera, int width, int height,
                                                     const double p[3]) {
  const auto w = WindowPoint(camera, width, height, p);
  if (!w) return std::nullopt;
  return std::array<int, 2>{static_cast<int>(std::lround((*w)[0])),
                            static_cast<int>(std::lround(height - (*w)[1]))};
}

// The client pixel that shows the centre of a part's front (+z) face.
inline std::array<int, 2> FrontFaceCentre(PartNode* root, const std::string& name,
                                          const Camera& camera, int width, int height) {
  const PartNode* part = Part(root, name);
  Matrix4 scene;
  SceneMatrix(root, part, scene);
  const double z = 0.5 * part->size[2];
  const double face[3] = {scene[2] * z + scene[3], scene[6] * z + scene[7],
                          scene[10] * z + scene[11]};
  return ClientPixel(camera, width, height, face).value();
}

}  // namespace tobrin_test
