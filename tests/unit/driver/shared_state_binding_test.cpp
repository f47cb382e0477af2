#include "platform/shared_state.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace velno {
namespace {

std::int32_t Dummy() { return 0; }

// Finds every name except the missing ones, and remembers the order of the look-ups.
class FakeLookup : public SymbolLookup {
 public:
  explicit FakeLookup(std::set<std::string> missing = {}) : missing_(std::move(missing)) {}
  void* Find(const char* name) override {
    asked.emplace_back(name);
    return missing_.count(name) != 0 ? nullptr : reinterpret_cast<void*>(&Dummy);
  }
  std::vector<std::string> asked;

 private:
  std::set<std::string> missing_;
};

TEST(SharedStateBinding, ResolvesTheTwentyFourOperationsInThreeGroups) {
  FakeLookup lookup;
  SharedState library{};
  ASSERT_TRUE(BindSharedStateOperations(lookup, library));
  EXPECT_EQ(lookup.asked.size(), 24u);
  EXPECT_EQ(lookup.asked.front(), "StartAdjust");
  EXPECT_EQ(lookup.asked[10], "StartButtonAdjust");
  EXPECT_EQ(lookup.asked.back(), "IsUsingGesture");
  // Two of the 26 exports are never bound by the driver.
  for (const std::string& name : lookup.asked) {
    EXPECT_NE(name, "StartGestureAdjust");
    EXPECT_NE(name, "SetButtonTarget");
  }
  EXPECT_NE(library.IsUsingGesture, nullptr);
  EXPECT_NE(library.GetButtonTarget, nullptr);
}

TEST(SharedStateBinding, AMissingOperationStopsAfterItsGroup) {
  FakeLookup lookup({"GetButtonTarget"});
  SharedState library{};
  EXPECT_FALSE(BindSharedStateOperations(lookup, library));
  EXPECT_EQ(lookup.asked.size(), 10u);  // group 1 only

  FakeLookup lastMissing({"IsUsingGesture"});
  EXPECT_FALSE(BindSharedStateOperations(lastMissing, library));
  EXPECT_EQ(lastMissing.asked.size(), 24u);
}

}  // namespace
}  // namespace velno
