// check_valgrind_xml on reports shaped as valgrind writes them: which errors fail a run, which
// belong to other people's code, and what a report cut short looks like.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "tests/support/xvfb.h"

namespace {

using tobrin_test::ReadFile;
using tobrin_test::TempDir;
using tobrin_test::WriteFile;

const std::string kRoot = "/src/tobrin";

struct Frame {
  std::string fn, dir, file;
};

std::string FrameXml(const Frame& f) {
  std::string xml = "    <frame>\n      <ip>0x4848</ip>\n      <obj>/usr/lib/libx.so</obj>\n";
  xml += "      <fn>" + f.fn + "</fn>\n";
  if (!f.file.empty()) {
    xml += "      <dir>" + f.dir + "</dir>\n      <file>" + f.file + "</file>\n";
    xml += "      <line>12</line>\n";
  }
  return xml + "    </frame>\n";
}

// One <error> with the given kind and stacks (a second stack is an origin or allocation).
std::string ErrorXml(const std::string& kind, const std::vector<std::vector<Frame>>& stacks) {
  std::string xml =
      "<error>\n  <unique>0x1</unique>\n  <tid>1</tid>\n  <kind>" + kind + "</kind>\n";
  if (kind.compare(0, 5, "Leak_") == 0) {
    xml += "  <xwhat>\n    <text>8 bytes in 1 blocks are lost</text>\n";
    xml += "    <leakedbytes>8</leakedbytes>\n    <leakedblocks>1</leakedblocks>\n  </xwhat>\n";
  } else {
    xml += "  <what>a " + kind + " error</what>\n";
  }
  for (size_t i = 0; i < stacks.size(); ++i) {
    if (i > 0) xml += "  <auxwhat>Uninitialised value was created by a heap allocation</auxwhat>\n";
    xml += "  <stack>\n";
    for (const Frame& f : stacks[i])
      xml += FrameXml(f);
    xml += "  </stack>\n";
  }
  return xml + "</error>\n";
}

std::string Report(const std::string& body, bool complete = true) {
  std::string xml =
      "<?xml version=\"1.0\"?>\n\n<valgrindoutput>\n\n<protocolversion>4</protocolversion>\n"
      "<preamble>\n  <line>Memcheck, a memory error detector</line>\n</preamble>\n"
      "<status>\n  <state>RUNNING</state>\n</status>\n" +
      body;
  if (complete) {
    xml += "<status>\n  <state>FINISHED</state>\n</status>\n<errorcounts>\n</errorcounts>\n";
    xml += "<suppcounts>\n</suppcounts>\n</valgrindoutput>\n";
  }
  return xml;
}

const Frame kMalloc = {"malloc", "", ""};
const Frame kGtk = {"gtk_widget_show", "", ""};
const Frame kOurs = {"CMainFrame::CMainFrame(wxDocManager*)", kRoot + "/app", "main_frame.cpp"};
const Frame kOurRender = {"DrawNode(PartNode const*)", kRoot + "/render", "draw_node.cpp"};
const Frame kOurTest = {"ShellTest::StartApp()", kRoot + "/tests/support", "shell_fixture.cpp"};
const Frame kNeighbour = {"Other()", kRoot + "-old/app", "main_frame.cpp"};
const Frame kHeader = {"std::make_unique<X>()", "/usr/include/c++/12/bits", "unique_ptr.h"};

struct Case {
  const char* name;
  std::vector<std::string> reports;
  int status;  // the checker's exit status
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class CheckValgrindXml : public ::testing::TestWithParam<Case> {};

TEST_P(CheckValgrindXml, JudgesTheReport) {
  const Case& c = GetParam();
  TempDir dir;
  std::string command = CHECK_VALGRIND_XML " --source-root " + kRoot + "/";
  for (size_t i = 0; i < c.reports.size(); ++i) {
    const std::string path = dir / ("report" + std::to_string(i) + ".xml");
    WriteFile(path, c.reports[i]);
    command += " " + path;
  }
  const int status = std::system((command + " >" + (dir / "out.txt")).c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), c.status) << ReadFile(dir / "out.txt");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Reports, CheckValgrindXml, ::testing::Values(
    Case{"Clean", {Report("")}, 0},
    Case{"InvalidReadInALibraryOnly", {Report(ErrorXml("InvalidRead", {{kGtk}}))}, 1},
    Case{"InvalidWrite", {Report(ErrorXml("InvalidWrite", {{kGtk, kOurs}}))}, 1},
    Case{"InvalidFree", {Report(ErrorXml("InvalidFree", {{kGtk}}))}, 1},
    Case{"MismatchedFree", {Report(ErrorXml("MismatchedFree", {{kGtk}}))}, 1},
    Case{"Overlap", {Report(ErrorXml("Overlap", {{kGtk}}))}, 1},
    Case{"SyscallParamInALibraryOnly", {Report(ErrorXml("SyscallParam", {{kGtk}}))}, 1},
    Case{"DefiniteLeakThroughOurCode",
         {Report(ErrorXml("Leak_DefinitelyLost", {{kMalloc, kGtk, kOurs}}))}, 1},
    Case{"IndirectLeakThroughOurCode",
         {Report(ErrorXml("Leak_IndirectlyLost", {{kMalloc, kHeader, kOurRender}}))}, 1},
    Case{"DefiniteLeakInALibraryOnly",
         {Report(ErrorXml("Leak_DefinitelyLost", {{kMalloc, kGtk}}))}, 0},
    Case{"PossibleLeakThroughOurCode",
         {Report(ErrorXml("Leak_PossiblyLost", {{kMalloc, kOurs}}))}, 0},
    Case{"LeakThroughTestCodeOnly",
         {Report(ErrorXml("Leak_DefinitelyLost", {{kMalloc, kGtk, kOurTest}}))}, 0},
    Case{"LeakInAFolderThatOnlyStartsLikeOurs",
         {Report(ErrorXml("Leak_DefinitelyLost", {{kMalloc, kNeighbour}}))}, 0},
    Case{"UninitialisedUseInOurCode",
         {Report(ErrorXml("UninitCondition", {{kOurRender, kGtk}}))}, 1},
    Case{"UninitialisedValueMadeInOurCode",
         {Report(ErrorXml("UninitValue", {{kGtk}, {kMalloc, kOurs}}))}, 1},
    Case{"UninitialisedUseInALibraryOnly",
         {Report(ErrorXml("UninitCondition", {{kGtk}}))}, 0},
    Case{"CutShort", {Report(ErrorXml("Leak_PossiblyLost", {{kMalloc}}), false)}, 1},
    Case{"DiedOfASignal",
         {Report("<fatal_signal>\n  <tid>1</tid>\n  <signo>11</signo>\n  <signame>SIGSEGV</signame>\n"
                 "  <stack>\n" + FrameXml(kOurs) + "  </stack>\n</fatal_signal>\n")}, 1},
    Case{"GeneratedSuppressionsAndEscapes",
         {Report("<error>\n  <unique>0x2</unique>\n  <kind>Leak_PossiblyLost</kind>\n"
                 "  <xwhat><text>1 &lt;bytes&gt; &amp; more</text></xwhat>\n  <stack>\n" +
                 FrameXml(kOurs) + "  </stack>\n  <suppression>\n    <sname>x</sname>\n"
                 "    <rawtext>\n<![CDATA[\n{\n   <insert_a_suppression_name_here>\n"
                 "   Memcheck:Leak\n}\n]]>\n    </rawtext>\n  </suppression>\n</error>\n")}, 0},
    Case{"OneBadReportAmongGoodOnes",
         {Report(""), Report(ErrorXml("InvalidRead", {{kGtk}})), Report("")}, 1},
    Case{"NotAReportAtAll", {"<html><body>no</body></html>\n"}, 1}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });
// clang-format on

TEST(CheckValgrindXmlUsage, AMissingFileFailsAndNoFilesIsAnError) {
  EXPECT_NE(std::system(CHECK_VALGRIND_XML " --source-root /src /nonexistent.xml >/dev/null"), 0);
  const int status = std::system(CHECK_VALGRIND_XML " --source-root /src >/dev/null 2>&1");
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 2);
}

}  // namespace
