#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <system_error>

#include "board_sim/atomic_replace.h"

namespace board_sim {
namespace {

namespace fs = std::filesystem;

class BoardSimAtomicReplace : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "board-sim-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir_;
};

TEST_F(BoardSimAtomicReplace, SymlinkIsCreatedThenRepointed) {
  const fs::path link = dir_ / "com5";
  ReplaceSymlink(link, "/dev/pts/7");
  EXPECT_EQ(fs::read_symlink(link), "/dev/pts/7");
  ReplaceSymlink(link, "/dev/pts/12");
  EXPECT_EQ(fs::read_symlink(link), "/dev/pts/12");
  EXPECT_EQ(Entries(), std::vector<std::string>{"com5"});  // no temporary left behind
}

TEST_F(BoardSimAtomicReplace, FileContentsAreReplacedWhole) {
  const fs::path file = dir_ / "ready";
  ReplaceFileContents(file, "/dev/pts/3\n");
  ReplaceFileContents(file, "/dev/pts/4\n");
  std::ifstream in(file);
  std::ostringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "/dev/pts/4\n");
  EXPECT_EQ(Entries(), std::vector<std::string>{"ready"});
}

TEST_F(BoardSimAtomicReplace, MissingFolderIsAnError) {
  EXPECT_THROW(ReplaceSymlink(dir_ / "no" / "com5", "/dev/pts/1"), std::system_error);
  EXPECT_THROW(ReplaceFileContents(dir_ / "no" / "ready", "x"), std::system_error);
}

}  // namespace
}  // namespace board_sim
