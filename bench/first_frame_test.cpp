// The first-frame shim loaded as an audit module, as the Windows start-up measurements load it
// into Wine: it must see a swap that the program takes through glXGetProcAddressARB from a
// library's own handle, let the real swap run, and then end the program or log the frame.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "harness/process.h"
#include "harness/temp_dir.h"

namespace tobrin_bench {
namespace {

using namespace tobrin_test;

long long NowNs() {
  const auto now = std::chrono::system_clock::now().time_since_epoch();  // the shim's clock
  return std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
}

Output RunProbe(int swaps, const std::vector<std::string>& env, const std::string& err) {
  return RunCommand({{TOBRIN_FIRST_FRAME_PROBE, std::to_string(swaps)}, env, err}, 30000);
}

TEST(FirstFrameShim, UnderAuditEndsTheProgramRightAfterItsNthSwap) {
  const TempDir dir;
  const long long before = NowNs();
  const Output out = RunProbe(
      3, {"LD_AUDIT=" TOBRIN_FIRST_FRAME_SHIM, "FIRST_FRAME_N=2", "FRAME_LOG"}, dir / "err");
  const long long after = NowNs();
  EXPECT_EQ(out.status, 0);
  // Both real swaps ran, and nothing after the second.
  EXPECT_EQ(out.text, "swap 1\nswap 2\n");
  const std::string err = ReadFile(dir / "err");
  const size_t at = err.find("first-frame-ns ");
  ASSERT_NE(at, std::string::npos) << err;
  const long long frame = std::atoll(err.c_str() + at + 15);
  EXPECT_GE(frame, before);
  EXPECT_LE(frame, after);

  // The first swap by default.
  EXPECT_EQ(
      RunProbe(3, {"LD_AUDIT=" TOBRIN_FIRST_FRAME_SHIM, "FIRST_FRAME_N", "FRAME_LOG"}, "/dev/null")
          .text,
      "swap 1\n");
}

TEST(FirstFrameShim, UnderAuditWithAFrameLogLogsEverySwapAndLetsTheProgramRun) {
  const TempDir dir;
  const Output out = RunProbe(
      3, {"LD_AUDIT=" TOBRIN_FIRST_FRAME_SHIM, "FRAME_LOG=" + (dir / "frames")}, "/dev/null");
  EXPECT_EQ(out.status, 0);
  EXPECT_EQ(out.text, "swap 1\nswap 2\nswap 3\ndone\n");
  std::ifstream log(dir / "frames");
  const std::vector<long long> frames{std::istream_iterator<long long>(log),
                                      std::istream_iterator<long long>()};
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_LE(frames[0], frames[1]);
  EXPECT_LE(frames[1], frames[2]);
}

}  // namespace
}  // namespace tobrin_bench
