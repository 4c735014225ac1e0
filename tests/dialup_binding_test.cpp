// Binding a RAS library that lacks an entry point: the "Unable to load RASAPI32.DLL" box,
// the failure results, and the rule that only a missing RasDialA makes the next command
// try again. Each case loads its variant of the double before anything binds RAS, so each
// needs a process of its own (ctest runs every case in one).
#include <windows.h>

#include "tests/dialup_support.h"
#include "tests/support.h"

namespace zeltest {
namespace {

const std::vector<std::string> kOneBox = {"Unable to load RASAPI32.DLL"};

class PartialRasTest : public ExtenderTest {
 protected:
  void UseVariant(const std::string& variant) {
    ASSERT_EQ(GetModuleHandleA("zelrasdouble.dll"), nullptr) << "needs a fresh process";
    ASSERT_NE(LoadLibraryA((ProgramDir() + "ras_double\\" + variant + "\\zelrasdouble.dll").c_str()), nullptr);
  }
};

TEST_F(PartialRasTest, MissingStatusQueryShowsTheBoxOnceThenWorksWithWhatWasFound) {
  UseVariant("without_status");
  RasScenario scenario("without-status", {EntryLine("Office"), "connection\t7001\tHome"});
  BoxWatcher boxes;
  EXPECT_EQ(Integer("iDial", {"Office", ""}), 0);  // the attempt that showed the box fails
  EXPECT_EQ(boxes.texts(), kOneBox);
  EXPECT_TRUE(scenario.Calls("dial").empty());

  EXPECT_EQ(Integer("iDial", {"Office", ""}), 5001);
  EXPECT_EQ(Call("iDialItemize").text(), "Office");
  EXPECT_EQ(Integer("iDialHangUp", {"0"}), 0);  // would need the status query: refused, not called
  EXPECT_TRUE(scenario.Calls("hangup").empty());
  EXPECT_EQ(Integer("iDialHangUp", {"5001"}), 1);
  EXPECT_EQ(scenario.Calls("hangup"), std::vector<std::string>{"hangup 5001 -> 0"});
  EXPECT_EQ(boxes.texts(), kOneBox);
}

TEST_F(PartialRasTest, MissingRasDialMakesEveryCommandTryAgain) {
  UseVariant("without_dial");
  RasScenario scenario("without-dial", {EntryLine("Office"), "connection\t7001\tHome"});
  BoxWatcher boxes;
  EXPECT_EQ(Integer("iDial", {"Office", "pw"}), 0);
  EXPECT_EQ(Integer("iDialHangUp", {"7001"}), 0);
  const zelhost::CallResult listed = Call("iDialItemize");
  ASSERT_EQ(listed.deliveries.size(), 2u);
  EXPECT_EQ(listed.deliveries[0].text, "");
  EXPECT_EQ(boxes.texts().size(), 3u);
  EXPECT_TRUE(scenario.Log().empty());  // nothing reached the entry points that were found
}

}  // namespace
}  // namespace zeltest
