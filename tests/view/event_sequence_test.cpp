// Long random streams of events: whatever the user does, no value goes non-finite, no joint
// reaches a limit, the figure's origin stays at the position sums, and OpenGL's state stays
// as drawing expects it.
#include <gtest/gtest.h>

#include <random>

#include "tests/support/view_events.h"
#include "tests/support/view_fixture.h"

namespace {

using namespace tobrin_test;

class EventSequences : public ViewTest {};

TEST_F(EventSequences, RandomStreamsKeepEveryInvariant) {
  std::mt19937 rng(424242);
  std::uniform_int_distribution<int> kind(0, static_cast<int>(EventKind::Count) - 1);
  // (Not "near" and "far": <windows.h> defines both away.)
  std::uniform_int_distribution<int> nearby(-50, 650), anywhere(-32767, 32767), size(0, 700);
  std::uniform_int_distribution<int> percent(0, 99), step(-10, 10);
  const auto pointer = [&] { return percent(rng) < 90 ? nearby(rng) : anywhere(rng); };
  // Select a few parts so that bends happen.
  for (const char* name : {"LeftShin", "Head", "RightForearm", "LeftFoot"})
    Part(root(), name)->selected = 1;
  // Applies an event and checks the invariants after it; false once one is broken.
  const auto apply = [&](int i, const ViewEvent& e) {
    ApplyEvent(*view, e);
    const std::string problems = CheckViewInvariants(*view);
    EXPECT_EQ(problems, "") << "after event " << i << " (kind " << static_cast<int>(e.kind)
                            << " at " << e.x << ", " << e.y << ")";
    return problems.empty();
  };
  for (int i = 0; i < 20000; ++i) {
    ViewEvent e{static_cast<EventKind>(kind(rng))};
    if (e.kind == EventKind::Size) {
      const int pick = percent(rng);
      e.x = pick < 10 ? 0 : pick < 20 ? 1 : size(rng);
      e.y = pick < 10 ? 0 : pick < 20 ? 1 : size(rng);
    } else if (e.kind == EventKind::Move && percent(rng) < 70) {
      // Moves come in runs with small steps either way, as a dragging hand makes them.
      for (int k = 0; k < 20; ++k) {
        if (!apply(i, {EventKind::Move, view->m_nLastX + step(rng), view->m_nLastY + step(rng)}))
          return;
      }
      continue;
    } else {
      e.x = pointer();
      e.y = pointer();
    }
    if (!apply(i, e)) return;
  }
}

}  // namespace
