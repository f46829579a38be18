#include "bench/crowd.h"

#include <algorithm>
#include <cmath>

#include "model/figure.h"
#include "render/camera.h"
#include "render/projection.h"
#include "tests/support/scene_helpers.h"

namespace tobrin_bench {

namespace {

// The half-angle of the view's vertical field of view, and the distance of its camera (on +z,
// looking at the origin).
const double kTanHalfFov = std::tan(FIELD_OF_VIEW_Y / 2.0 * 3.14159265358979323846 / 180.0);
constexpr double kCameraDistance = DEFAULT_CAMERA.eye[2];

}  // namespace

Crowd BuildCrowd(int figures) {
  Crowd crowd;
  crowd.root = tobrin_test::Group();
  if (figures <= 0) return crowd;

  // Roughly as many units across as down; one figure stands alone where it was built.
  const int columns = std::min(
      figures,
      static_cast<int>(std::ceil(std::sqrt(figures * CROWD_CELL_HEIGHT / CROWD_CELL_WIDTH))));
  const int rows = (figures + columns - 1) / columns;
  const double halfWidth = columns * CROWD_CELL_WIDTH / 2.0;
  const double halfHeight = rows * CROWD_CELL_HEIGHT / 2.0;
  const double distance = std::max(halfHeight, halfWidth / CROWD_FIT_ASPECT) / kTanHalfFov * 1.05;
  const double z = std::min(0.0, kCameraDistance - distance);

  // AddChild puts each figure in front of the others: add the last one first, so that child
  // i of the root is the figure in grid cell i.
  for (int i = figures - 1; i >= 0; --i) {
    PartNodePtr figure = BuildFigure();
    PartNode* torso = figure->firstChild;
    figure->firstChild = nullptr;  // the torso leaves its root, which goes
    const double x = (i % columns + 0.5) * CROWD_CELL_WIDTH - halfWidth;
    const double y = halfHeight - (i / columns + 0.5) * CROWD_CELL_HEIGHT;
    Matrix4 move, placed;
    MakeTranslation(move, x, y, z);
    MultiplyMatrices(move, torso->matrix, placed);
    CopyMatrix(placed, torso->matrix);
    AddChild(crowd.root.get(), torso);
    if (i == 0) {
      crowd.head[0] = x;
      crowd.head[1] = y + HEAD_ABOVE_TORSO;
      crowd.head[2] = z;
    }
  }
  return crowd;
}

long CountBoxes(const PartNode* node) {
  long boxes = node->kind == NODE_BOX ? 1 : 0;
  if (node->kind == NODE_INSTANCE && node->instance != nullptr) boxes += CountBoxes(node->instance);
  for (const PartNode* child = node->firstChild; child != nullptr; child = child->next)
    boxes += CountBoxes(child);
  return boxes;
}

}  // namespace tobrin_bench
