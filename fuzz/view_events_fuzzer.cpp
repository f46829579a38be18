// Fuzzes the view with streams of mouse events, keys, commands, resizes and paints on the headless
// OpenGL context, and checks after every event that the view and its figure stay sound: no
// value goes NaN or infinite, every joint angle stays strictly inside its limits, the figure's
// origin is where the position sums say, OpenGL is left as drawing expects it, and the mouse
// is captured exactly while a drag is in progress.
//
// Input format: a sequence of events, each one opcode byte (taken modulo the number of
// opcodes) followed by its operands. Operands that run past the end of the input read as 0.
//
//   op  event             operands
//   0   left press        x, y: signed 16-bit little-endian each, clamped to +-32767
//   1   left release      x, y
//   2   right press       x, y
//   3   right release     x, y
//   4   pointer move      x, y
//   5   small move        dx, dy: signed bytes, relative to the last pointer position
//   6   run of moves      n (1 to 64), dx, dy: n moves of (dx, dy) each, as a dragging hand
//   7   capture lost      -
//   8   Mode Position     -
//   9   Mode Orientation  -
//   10  Mode Joints       -
//   11  Reset             -
//   12  Reset Joints      -
//   13  Visible Arcball   -
//   14  resize            width, height: unsigned 16-bit little-endian each, 0 to 32767
//   15  paint             -
//   16  flip `selected`   k: of the k-th node of the tree in drawing order (root included)
//   17  press on a part   k: left press at the projected centre of the k-th selectable part,
//                         which in Joints mode selects or deselects it
//   18  key               k: key k % 7 (Left, Right, Up, Down, Page Up, Page Down, Space),
//                         with Shift when k's top bit is set
//
// A new view is made for every input, so nothing carries over from one input to the next;
// the OpenGL context is made once and shared.
#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "harness/headless_view_host.h"
#include "tests/support/matrix_checks.h"
#include "tests/support/scene_helpers.h"
#include "tests/support/view_events.h"
#include "view/tobrin_view.h"

namespace {

using tobrin_test::ApplyEvent;
using tobrin_test::CheckViewInvariants;
using tobrin_test::EventKind;
using tobrin_test::ForEachNode;

constexpr int kOpcodes = 19;
constexpr int kOpReset = 11;
constexpr int kOpResetJoints = 12;
constexpr int kMaxCoordinate = 32767;
// Rounding allowed in the pose's rotation, and in a part's placement after up to a few
// thousand bends of its joint.
constexpr double kTolerance = 1e-9;

// The event each of the opcodes 0 to 15 applies: 0 to 4 are the first five events, 5 and 6
// moves too, and 7 to 15 the events from CaptureLost on, in their order.
EventKind EventOf(int op) {
  static_assert(EventKind(7 - 2) == EventKind::CaptureLost && EventKind(15 - 2) == EventKind::Draw);
  return op <= 4 ? EventKind(op) : op <= 6 ? EventKind::Move : EventKind(op - 2);
}

// The one OpenGL context, made before the first input and kept for the life of the process.
HeadlessGL* g_gl = nullptr;

int ClampCoordinate(int v) {
  return std::clamp(v, -kMaxCoordinate, kMaxCoordinate);
}

// Reads operands; past the end every read gives 0.
class Reader {
 public:
  Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool AtEnd() const { return pos_ >= size_; }
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  int Signed8() { return static_cast<int8_t>(Byte()); }
  int Unsigned15() { return static_cast<int>(Word() & 0x7FFFu); }
  int Coordinate() { return ClampCoordinate(static_cast<int16_t>(Word())); }

 private:
  unsigned Word() {  // little-endian
    const unsigned low = Byte();
    return low | Byte() << 8;
  }

  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

void Fail(const std::string& problem, size_t event, int op) {
  std::fprintf(stderr, "view invariant broken after event %zu (opcode %d): %s\n", event, op,
               problem.c_str());
  std::abort();
}

// Where the centre of `part` shows in the drawing area, client pixels with y downwards,
// computed from the camera and perspective the view draws with. False when the centre lies
// behind the eye or the area is empty.
bool ProjectPartCentre(const CTobrinView& view, const PartNode* part, int* x, int* y) {
  Matrix4 placed;
  if (!tobrin_test::SceneMatrix(view.m_pRoot.get(), part, placed)) return false;
  const double centre[3] = {placed[3], placed[7], placed[11]};
  const auto at = tobrin_test::WindowPoint(view.m_camera, view.m_nWidth, view.m_nHeight, centre);
  if (!at) return false;
  const auto pixel = [](double v) {
    return static_cast<int>(
        std::lround(std::clamp(v, -1.0 * kMaxCoordinate, 1.0 * kMaxCoordinate)));
  };
  *x = pixel((*at)[0]);
  *y = pixel(view.m_nHeight - (*at)[1]);
  return true;
}

// The figure's pose is rigid: its matrix turns and moves but never scales, shears, mirrors or
// projects. Empty when it is, otherwise the problem.
std::string CheckRigidPose(const double* m) {
  if (m[12] != 0.0 || m[13] != 0.0 || m[14] != 0.0 || m[15] != 1.0)
    return "the pose's bottom row is not (0, 0, 0, 1); ";
  if (tobrin_test::OrthonormalityError(m) > kTolerance)
    return "the pose's rotation is not orthonormal; ";
  const double det = m[0] * (m[5] * m[10] - m[6] * m[9]) - m[1] * (m[4] * m[10] - m[6] * m[8]) +
                     m[2] * (m[4] * m[9] - m[5] * m[8]);
  return std::fabs(det - 1.0) > kTolerance ? "the pose mirrors the figure; " : "";
}

class Session {
 public:
  Session() : headless_(*g_gl) {
    if (!headless_.Create(400, 300)) {
      std::fprintf(stderr, "the view could not be created on the headless context\n");
      std::abort();
    }
    // The nodes in drawing order: a node, its subtree, then its next sibling.
    ForEachNode(view_.m_pRoot.get(), [this](PartNode* n) {
      nodes_.push_back(n);
      if (n->selectable) selectable_.push_back(n);
    });
  }

  void Run(const uint8_t* data, size_t size) {
    Reader in(data, size);
    while (!in.AtEnd()) {
      const int op = in.Byte() % kOpcodes;
      Step(op, in);
      Check(op);
      ++event_;
    }
  }

 private:
  void Step(int op, Reader& in) {
    int x = 0, y = 0;
    if (op <= 4) {  // presses, releases and moves to (x, y)
      x = in.Coordinate();
      y = in.Coordinate();
    }
    switch (op) {
      case 5:    // one small move
      case 6: {  // a run of them, as a dragging hand
        const int count = op == 6 ? (in.Byte() & 63) + 1 : 1;
        const int dx = in.Signed8();
        const int dy = in.Signed8();
        for (int i = 0; i < count; ++i) {
          if (i > 0) Check(op);  // Run checks after the last one
          ApplyEvent(view_, {EventKind::Move, ClampCoordinate(view_.m_nLastX + dx),
                             ClampCoordinate(view_.m_nLastY + dy)});
        }
        return;
      }
      case 7:  // the window system takes the capture first, then tells the view
        headless_.log.captured = false;
        break;
      case 14:
        x = in.Unsigned15();
        y = in.Unsigned15();
        break;
      case 16: {
        PartNode* n = nodes_[in.Byte() % nodes_.size()];
        n->selected = !n->selected;
        return;
      }
      case 17: {
        const PartNode* part = selectable_[in.Byte() % selectable_.size()];
        if (ProjectPartCentre(view_, part, &x, &y)) ApplyEvent(view_, {EventKind::LeftDown, x, y});
        return;
      }
      case 18: {
        const int k = in.Byte();
        ApplyEvent(view_, {EventKind::Key, k, k >> 7});
        return;
      }
    }
    ApplyEvent(view_, {EventOf(op), x, y});
  }

  void Check(int op) {
    const PartNode* root = view_.m_pRoot.get();
    std::string problems = CheckViewInvariants(view_) + CheckRigidPose(root->matrix);
    if (headless_.log.captured != (view_.m_nDragButton != DRAG_NONE)) {
      problems += headless_.log.captured ? "the mouse stays captured without a drag; "
                                         : "a drag goes on without the mouse captured; ";
    }
    // The resets put back exactly what they promise.
    if (op == kOpReset && !std::equal(root->matrix, root->matrix + 16, tobrin_test::kIdentity))
      problems += "Reset left the pose other than the identity; ";
    for (const PartNode* n : nodes_) {
      if (n == root) continue;
      Matrix4 placed;
      tobrin_test::JointPlacement(n, placed);
      const auto near = [](double a, double b) { return std::fabs(a - b) <= kTolerance; };
      if (const auto [m, p] = std::mismatch(n->matrix, n->matrix + 16, placed, near);
          m != n->matrix + 16) {
        problems += "a part at angle " + std::to_string(n->angle) +
                    " is not where one turn about its joint puts it (element " +
                    std::to_string(m - n->matrix) + ": " + std::to_string(*m) + " for " +
                    std::to_string(*p) + "); ";
      }
      Matrix4 promised;
      MakeTranslation(promised, n->restOffset[0], n->restOffset[1], n->restOffset[2]);
      if (op == kOpResetJoints &&
          (n->angle != 0.0 || !std::equal(n->matrix, n->matrix + 16, promised)))
        problems += "Reset Joints left a part away from its rest placement; ";
    }
    if (!problems.empty()) Fail(problems, event_, op);
  }

  HeadlessView headless_;
  CTobrinView& view_ = headless_.view;
  std::vector<PartNode*> nodes_;
  std::vector<PartNode*> selectable_;
  size_t event_ = 0;  // index of the event being applied
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string error;
  g_gl = HeadlessGL::Create(400, 300, &error).release();
  if (g_gl == nullptr) {
    std::fprintf(stderr, "no headless OpenGL context: %s\n", error.c_str());
    std::exit(1);
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Session session;
  session.Run(data, size);
  return 0;
}
