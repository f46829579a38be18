// Opening and saving the document's file: the right outcome, a clear message, and never a
// wait on a pipe or device.
#include "files/document_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <optional>

#include "harness/temp_dir.h"

namespace {

using namespace tobrin_test;

// Runs f, which opens the named pipe `fifo`, on another thread: its result, or none if it blocks
// for five seconds; the pipe's other end is then opened, which lets the blocked open return.
template <typename F>
std::optional<bool> WithinFiveSeconds(F f, const std::string& fifo) {
  auto future = std::async(std::launch::async, f);
  if (future.wait_for(std::chrono::seconds(5)) == std::future_status::ready) return future.get();
  const int unblock = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
  future.wait();
  if (unblock >= 0) ::close(unblock);
  return std::nullopt;
}

TEST(OpenDocumentFile, OpensFilesPipesAndDevicesAndRefusesFoldersAndMissingFiles) {
  TempDir dir;
  WriteFile(dir / "doc.txt", "content");
  ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
  std::string message;
  EXPECT_TRUE(OpenDocumentFile(dir / "doc.txt", &message));
  EXPECT_EQ(ReadFile(dir / "doc.txt"), "content");
  EXPECT_TRUE(OpenDocumentFile("/dev/null", &message));

  const auto opened =
      WithinFiveSeconds([&] { return OpenDocumentFile(dir / "pipe", &message); }, dir / "pipe");
  ASSERT_TRUE(opened.has_value()) << "opening a named pipe blocked";
  EXPECT_TRUE(*opened);

  EXPECT_FALSE(OpenDocumentFile(dir.path(), &message));
  EXPECT_NE(message.find("folder"), std::string::npos) << message;
  EXPECT_FALSE(OpenDocumentFile(dir / "missing.txt", &message));
  EXPECT_NE(message.find("missing.txt"), std::string::npos) << message;
  EXPECT_NE(message.find("no such file"), std::string::npos) << message;
}

TEST(CreateEmptyDocumentFile, CreatesOrEmptiesAndFailsCleanly) {
  TempDir dir;
  std::string message;
  ASSERT_TRUE(CreateEmptyDocumentFile(dir / "new.tob", &message)) << message;
  EXPECT_EQ(ReadFile(dir / "new.tob"), "");
  WriteFile(dir / "old.tob", "old content");
  ASSERT_TRUE(CreateEmptyDocumentFile(dir / "old.tob", &message));
  EXPECT_EQ(ReadFile(dir / "old.tob"), "");

  EXPECT_FALSE(CreateEmptyDocumentFile(dir / "no/such/folder.tob", &message));
  EXPECT_NE(message.find("could not be saved"), std::string::npos) << message;
  EXPECT_FALSE(CreateEmptyDocumentFile(dir.path(), &message));
  EXPECT_NE(message.find("folder"), std::string::npos) << message;

  ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
  const auto saved = WithinFiveSeconds(
      [&] { return CreateEmptyDocumentFile(dir / "pipe", &message); }, dir / "pipe");
  ASSERT_TRUE(saved.has_value()) << "saving to a named pipe blocked";
  EXPECT_FALSE(*saved);  // nothing reads from it
}

}  // namespace
