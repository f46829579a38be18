// The parts of the benchmarks whose faults would misreport a result: the crowds measured for
// scaling, and the verdicts and medians of the summaries.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "bench/crowd.h"
#include "bench/desktop_report.h"
#include "bench/summary.h"
#include "model/figure.h"
#include "render/camera.h"
#include "render/projection.h"

namespace tobrin_bench {
namespace {

TEST(Crowd, HoldsSeventeenBoxesPerFigureUnderOneGroup) {
  for (int n : kCrowdSizes) {
    const Crowd crowd = BuildCrowd(n);
    ASSERT_NE(crowd.root, nullptr);
    EXPECT_EQ(crowd.root->kind, NODE_GROUP);
    EXPECT_EQ(CountBoxes(crowd.root.get()), 17L * n) << n << " figures";
    int children = 0;
    for (const PartNode* c = crowd.root->firstChild; c != nullptr; c = c->next)
      ++children;
    EXPECT_EQ(children, n);
  }
  EXPECT_EQ(CountBoxes(BuildFigure().get()), 17);
}

TEST(Crowd, OfOneIsTheFigureWhereItIsBuilt) {
  const Crowd crowd = BuildCrowd(1);
  const PartNodePtr figure = BuildFigure();
  for (int i = 0; i < 16; ++i)
    EXPECT_EQ(crowd.root->firstChild->matrix[i], figure->firstChild->matrix[i]);
  EXPECT_DOUBLE_EQ(crowd.head[1], 1.625);
}

// Every figure's torso and the first figure's head lie inside the view of the narrowest area
// measured, so that each crowd is drawn whole and the pick aims at a real part.
TEST(Crowd, FitsTheViewAndKnowsWhereItsFirstHeadIs) {
  const double tanHalf = std::tan(FIELD_OF_VIEW_Y / 2.0 * 3.14159265358979323846 / 180.0);
  for (int n : kCrowdSizes) {
    const Crowd crowd = BuildCrowd(n);
    const PartNode* first = crowd.root->firstChild;
    EXPECT_DOUBLE_EQ(crowd.head[0], first->matrix[3]);
    EXPECT_DOUBLE_EQ(crowd.head[1], first->matrix[7] + 1.625);
    EXPECT_DOUBLE_EQ(crowd.head[2], first->matrix[11]);
    for (const PartNode* c = first; c != nullptr; c = c->next) {
      const double depth = DEFAULT_CAMERA.eye[2] - c->matrix[11];  // from the camera on +z
      ASSERT_GT(depth, 1.0);
      EXPECT_LE(std::abs(c->matrix[3]) + 0.9, depth * tanHalf * CROWD_FIT_ASPECT) << n;
      EXPECT_LE(std::abs(c->matrix[7]) + 2.1, depth * tanHalf) << n;
    }
  }
}

TEST(Summary, GrowthExponentIsOneForLinearCostAndUndefinedWithoutCosts) {
  EXPECT_DOUBLE_EQ(GrowthExponent(2.0, 100, 20.0, 1000), 1.0);
  EXPECT_DOUBLE_EQ(GrowthExponent(2.0, 100, 200.0, 1000), 2.0);
  EXPECT_TRUE(std::isnan(GrowthExponent(0.0, 100, 20.0, 1000)));
  EXPECT_TRUE(std::isnan(GrowthExponent(1.0, 100, 2.0, 100)));
  EXPECT_FALSE(AtMost(std::nan(""), 1.0).measured);
  EXPECT_TRUE(AtMost(2.0, 2.0).met);
  EXPECT_FALSE(AtMost(2.01, 2.0).met);
}

std::string RowOf(const std::string& text, const std::string& start) {
  const size_t at = text.find("\n" + start);
  if (at == std::string::npos) return "";
  return text.substr(at + 1, text.find('\n', at + 1) - at - 1);
}

TEST(Summary, JudgesEachFrameAgainstTheEmptyFrameOfItsOwnSize) {
  Timings t;
  t["frame/empty/500x453"] = 100e-6;
  t["frame/figure/500x453"] = 210e-6;  // 2.1x: over the 2.0x allowed
  t["frame/empty/1920x1080"] = 1e-3;
  t["frame/figure/1920x1080"] = 1.4e-3;  // 1.4x: within 1.5x
  t["pick/hit/500x453"] = 50e-6;         // 0.24x a frame
  t["project_origin/500x453"] = 50e-6;   // 0.24x a frame: over 0.2x
  t["step/bend"] = 1.5e-6;
  const std::string s = FormatSummary(t, "test");
  EXPECT_NE(RowOf(s, "| 500x453 |").find("2.100x"), std::string::npos) << s;
  EXPECT_NE(RowOf(s, "| 500x453 |").find("missed"), std::string::npos) << s;
  EXPECT_NE(RowOf(s, "| 1920x1080 |").find("| met |"), std::string::npos) << s;
  EXPECT_NE(RowOf(s, "| PickPart, on a part |").find("| met |"), std::string::npos) << s;
  EXPECT_NE(RowOf(s, "| ProjectOrigin |").find("missed"), std::string::npos) << s;
  EXPECT_NE(RowOf(s, "| PickPart, on the background |").find("not measured"), std::string::npos);
  EXPECT_NE(RowOf(s, "| BendJoints").find("| met |"), std::string::npos) << s;
  EXPECT_NE(RowOf(s, "| TrackArcball").find("not measured"), std::string::npos) << s;
}

TEST(DesktopReport, MedianOfOddAndEvenCounts) {
  EXPECT_DOUBLE_EQ(Median({3, 1, 2}), 2);
  EXPECT_DOUBLE_EQ(Median({4, 1, 3, 2}), 2.5);
  EXPECT_TRUE(std::isnan(Median({})));
}

TEST(DesktopReport, JudgesStartUpIdleAndFlood) {
  DesktopResults r;
  r.floorStartup = {{0.100, 0.110, 0.090}, {100000, 100000, 100000}};
  r.tobrinStartup = {{0.112, 0.120, 0.100}, {111000, 111000, 111000}};  // 1.12x, 1.11x
  r.tobrinIdle = {true, 5.0, 0, 0.02, 0.01};                            // 0.4% of a core
  r.flood = {true, "", 2000, 0.2, 40, 1, 0.01, 0.06};                   // 60 ms at most
  std::string s = FormatDesktopSummary(r, 3, "test");
  EXPECT_NE(RowOf(s, "| Exec to first").find("1.12x"), std::string::npos) << s;
  EXPECT_NE(RowOf(s, "| Exec to first").find("| met |"), std::string::npos) << s;
  EXPECT_NE(RowOf(s, "| Peak memory").find("missed"), std::string::npos) << s;
  EXPECT_NE(RowOf(s, "| tobrin |").find("| met |"), std::string::npos) << s;
  EXPECT_NE(RowOf(s, "| Frames presented").find("| met |"), std::string::npos) << s;
  EXPECT_NE(RowOf(s, "| Last move").find("missed"), std::string::npos) << s;

  r.tobrinIdle.frames = 1;  // a frame while idle fails however little it costs
  r.flood.frames = 2001;    // more frames than moves: repaints did not coalesce
  r.flood.framesAfterLastMove = 0;
  s = FormatDesktopSummary(r, 3, "test");
  EXPECT_NE(RowOf(s, "| tobrin |").find("missed"), std::string::npos) << s;
  EXPECT_NE(RowOf(s, "| Frames presented").find("missed"), std::string::npos) << s;
  EXPECT_NE(RowOf(s, "| Last move").find("no frame after the last move"), std::string::npos);
}

}  // namespace
}  // namespace tobrin_bench
