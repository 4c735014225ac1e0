// Dial-up commands and operations against the RAS double: listing, dialing with stored and
// given passwords, reuse of a live connection, failures and their status codes, hang-up of
// one and of all connections, and the message-pumping wait.
#include <windows.h>

#include <algorithm>
#include <map>

#include "dialup/operations.h"
#include "tests/dialup_support.h"
#include "tests/support.h"

namespace zeltest {
namespace {

using zel::dialup::RasHandle;

std::string Names(int count, size_t length) {
  std::string list;
  for (int i = 0; i < count; ++i) {
    std::string name = "Entry" + std::to_string(i);
    name.resize(length, 'x');
    list += (i > 0 ? "\t" : "") + name;
  }
  return list;
}

std::vector<std::string> EntryLines(const std::string& tabbedNames) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < tabbedNames.size()) {
    size_t end = tabbedNames.find('\t', start);
    if (end == std::string::npos) end = tabbedNames.size();
    lines.push_back(EntryLine(tabbedNames.substr(start, end - start)));
    start = end + 1;
  }
  return lines;
}

class DialupTest : public ExtenderTest {};

// --- iDialItemize
struct ItemizeCase {
  const char* name;
  std::string phonebook;  // tab-separated entry names
  std::string delivered;
};

class ItemizeTest : public DialupTest, public ::testing::WithParamInterface<ItemizeCase> {};

TEST_P(ItemizeTest, DeliversTheNamesTabSeparatedThenAnInteger) {
  RasScenario scenario(GetParam().name, EntryLines(GetParam().phonebook));
  const zelhost::CallResult r = Call("iDialItemize");
  ASSERT_EQ(r.deliveries.size(), 2u);
  EXPECT_EQ(r.deliveries[0].valueType, 1);
  EXPECT_EQ(r.deliveries[0].text, GetParam().delivered);
  EXPECT_EQ(r.deliveries[1].valueType, 0);
  EXPECT_FALSE(r.deliveries[1].isError());
}

INSTANTIATE_TEST_SUITE_P(
    Phonebooks, ItemizeTest,
    ::testing::Values(ItemizeCase{"empty", "", ""},
                      ItemizeCase{"three", "Office\tHome line\tB\xFCro", "Office\tHome line\tB\xFCro"},
                      ItemizeCase{"hundredLongest", Names(100, 256), Names(100, 256)},
                      ItemizeCase{"moreThanHundred", Names(101, 10), ""}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(DialupTest, ItemizeSecondDeliveryCarriesTheCallbacksAnswer) {
  for (const std::string& phonebook : {std::string(), std::string("Office")}) {
    RasScenario scenario("answer" + std::to_string(phonebook.size()), EntryLines(phonebook));
    ext.onDelivery = [](const zelhost::Delivery& d) { return d.valueType == 1 ? 77 : 88; };
    const zelhost::CallResult r = Call("iDialItemize");
    ASSERT_EQ(r.deliveries.size(), 2u) << phonebook;
    EXPECT_EQ(r.deliveries[0].text, phonebook);
    EXPECT_EQ(r.deliveries[1].value, 77);
    EXPECT_EQ(r.returned, 88);
  }
}

// --- iDial
struct PasswordCase {
  const char* name;
  std::string argument;
  std::string dialled;
};

class DialPasswordTest : public DialupTest, public ::testing::WithParamInterface<PasswordCase> {};

TEST_P(DialPasswordTest, EmptyOrZeroUsesTheStoredPasswordElseTheGivenOne) {
  RasScenario scenario(GetParam().name, {EntryLine("Office", "555", "alice", "stored-and-longer")});
  EXPECT_EQ(Integer("iDial", {"Office", GetParam().argument}), 5001);
  EXPECT_EQ(scenario.Calls("dial "),
            std::vector<std::string>{"dial Office|555||alice|" + GetParam().dialled + "| -> 0 5001"});
}

INSTANTIATE_TEST_SUITE_P(Passwords, DialPasswordTest,
                         ::testing::Values(PasswordCase{"empty", "", "stored-and-longer"},
                                           PasswordCase{"zero", "0", "stored-and-longer"},
                                           PasswordCase{"doubleZero", "00", "00"},
                                           PasswordCase{"spaceZero", " 0", " 0"},
                                           PasswordCase{"given", "x", "x"},
                                           PasswordCase{"longest", std::string(256, 'p'), std::string(256, 'p')}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(DialupTest, EntryNotInThePhonebookDialsNothing) {
  RasScenario scenario("unknown", {EntryLine("Office")});
  EXPECT_EQ(Integer("iDial", {"Nobody", ""}), 0);
  EXPECT_EQ(scenario.Calls("getparams"), std::vector<std::string>{"getparams Nobody -> 623"});
  EXPECT_TRUE(scenario.Calls("dial").empty());
}

TEST_F(DialupTest, NamesAndPasswordsLongerThan256AreRefusedNotCut) {
  const std::string longest(256, 'n');
  RasScenario scenario("long", {EntryLine(longest), EntryLine(longest + "n")});
  EXPECT_EQ(Integer("iDial", {longest + "n", ""}), 0);
  EXPECT_EQ(Integer("iDial", {longest, std::string(257, 'p')}), 0);
  EXPECT_TRUE(scenario.Calls("dial").empty());
  EXPECT_EQ(Integer("iDial", {longest, ""}), 5001);  // 256 fit
}

struct ReuseCase {
  const char* name;
  int dialResult;
  std::string dialled;
  std::string connected;
  int32_t delivered;
};

class DialReuseTest : public DialupTest, public ::testing::WithParamInterface<ReuseCase> {};

TEST_P(DialReuseTest, AlreadyConnectedEntryGivesTheLiveConnection) {
  const ReuseCase& c = GetParam();
  RasScenario scenario(c.name, {EntryLine(c.dialled), "connection\t7000\tOther", "connection\t7001\t" + c.connected,
                                "dial\t" + std::to_string(c.dialResult) + "\t9999"});
  EXPECT_EQ(Integer("iDial", {c.dialled, ""}), c.delivered);
  EXPECT_TRUE(scenario.Calls("hangup").empty());  // the refused dial's handle is left alone
}

INSTANTIATE_TEST_SUITE_P(
    Names, DialReuseTest,
    ::testing::Values(ReuseCase{"sameCase", 602, "Office", "Office", 7001},
                      ReuseCase{"upper", 602, "OFFICE", "office", 7001},
                      ReuseCase{"portNotAvailableOnNT", 633, "office", "OFFICE", 7001},
                      ReuseCase{"onlyAsciiLettersFold", 602, "B\xDCRO", "B\xFCro", 0},
                      ReuseCase{"noMatch", 602, "Office", "Home", 0}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(DialupTest, FailedDialHangsUpTheHalfMadeConnection) {
  RasScenario scenario("failed", {EntryLine("Office"), "dial\t678\t6001", "dial\t676\t0"});
  EXPECT_EQ(Integer("iDial", {"Office", ""}), 0);
  EXPECT_EQ(scenario.Calls("hangup"), std::vector<std::string>{"hangup 6001 -> 0"});
  EXPECT_EQ(Integer("iDial", {"Office", ""}), 0);
  EXPECT_EQ(scenario.Calls("hangup").size(), 1u);  // nothing left to hang up
}

// The status codes the operations leave (scripts see only the results).
struct StatusCase {
  const char* name;
  std::vector<std::string> scenario;
  const char* entry;
  bool connects;
  int32_t status;
};

class DialStatusTest : public ::testing::TestWithParam<StatusCase> {};

TEST_P(DialStatusTest, DialEntryLeavesTheMappedCode) {
  std::vector<std::string> lines = {EntryLine("Office"), "connection\t7001\tOffice"};
  lines.insert(lines.end(), GetParam().scenario.begin(), GetParam().scenario.end());
  RasScenario scenario(GetParam().name, lines);
  ZELCUSTOMCMDINFO info = {};
  const RasHandle connection = zel::dialup::DialEntry(&info, GetParam().entry);
  EXPECT_EQ(connection != nullptr, GetParam().connects);
  EXPECT_EQ(info.nStatus, GetParam().status);
  EXPECT_EQ(info.nMessage, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, DialStatusTest,
    ::testing::Values(StatusCase{"connected", {}, "Office", true, 0},
                      StatusCase{"entryNotFound", {"dial\t623\t0"}, "Office", false, 9},
                      StatusCase{"lineBusy", {"dial\t676\t0"}, "Office", false, 13},
                      StatusCase{"voiceAnswered", {"dial\t677\t0"}, "Office", false, 14},
                      StatusCase{"noAnswer", {"dial\t678\t6001"}, "Office", false, 11},
                      StatusCase{"otherCode", {"dial\t691\t0"}, "Office", false, 691},
                      StatusCase{"reused", {"dial\t602\t0"}, "OFFICE", true, 15},
                      StatusCase{"reused633", {"dial\t633\t0"}, "office", true, 15},
                      StatusCase{"lookupCodeUnchanged", {}, "Nobody", false, 623},
                      StatusCase{"lookupRefused", {"params\t5"}, "Office", false, 5}),
    [](const auto& p) { return std::string(p.param.name); });

// --- iDialHangUp
TEST_F(DialupTest, HangUpOneConnectionDeliversOneWhateverRasSays) {
  RasScenario scenario("one", {"connection\t7001\tOffice", "connection\t7002\tHome"});
  EXPECT_EQ(Integer("iDialHangUp", {" \t7001xyz"}), 1);
  EXPECT_EQ(Integer("iDialHangUp", {"42"}), 1);
  EXPECT_EQ(scenario.Calls("hangup"), (std::vector<std::string>{"hangup 7001 -> 0", "hangup 42 -> 6"}));
}

TEST(HangUpStatus, HangUpConnectionLeavesTheResultWithInvalidHandleAsTwo) {
  const struct {
    const char* name;
    const char* hangup;
    uintptr_t handle;
    int32_t status;
  } cases[] = {{"done", "0", 7001, 0}, {"refused", "5", 7001, 5}, {"invalidHandle", "0", 42, 2}};
  for (const auto& c : cases) {
    RasScenario scenario(std::string("status-") + c.name, {"connection\t7001\tOffice", std::string("hangup\t") + c.hangup});
    ZELCUSTOMCMDINFO info = {};
    EXPECT_EQ(zel::dialup::HangUpConnection(&info, reinterpret_cast<RasHandle>(c.handle)), 1) << c.name;
    EXPECT_EQ(info.nStatus, c.status) << c.name;
  }
}

class HangUpAllTest : public DialupTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(HangUpAllTest, HangsUpEveryConnectionAndWaitsUntilEachIsGone) {
  RasScenario scenario("all", {"connection\t7001\ta", "connection\t7002\tb", "connection\t7003\tc", "linger\t2"});
  EXPECT_EQ(Integer("iDialHangUp", {GetParam()}), 1);
  EXPECT_EQ(scenario.Calls("hangup"),
            (std::vector<std::string>{"hangup 7001 -> 0", "hangup 7002 -> 0", "hangup 7003 -> 0"}));
  for (const char* handle : {"7001", "7002", "7003"}) {
    const std::string status = std::string("status ") + handle;
    EXPECT_EQ(scenario.Calls(status),
              (std::vector<std::string>{status + " -> 0", status + " -> 0", status + " -> 6"}));
  }
}

INSTANTIATE_TEST_SUITE_P(ZeroForms, HangUpAllTest, ::testing::Values("0", "", "abc", " \t0", "-0", "0x7001"),
                         [](const auto& p) { return "case" + std::to_string(p.index); });

TEST_F(DialupTest, HangUpAllGoesOnPastAConnectionThatNeverGoes) {
  RasScenario scenario("forever", {"connection\t7001\ta", "connection\t7002\tb", "linger\t-1"});
  EXPECT_EQ(Integer("iDialHangUp", {"0"}), 1);
  EXPECT_EQ(scenario.Calls("hangup"), (std::vector<std::string>{"hangup 7001 -> 0", "hangup 7002 -> 0"}));
}

TEST_F(DialupTest, HangUpAllWithoutConnections) {
  RasScenario scenario("none", {});
  EXPECT_EQ(Integer("iDialHangUp", {"0"}), 1);
  EXPECT_TRUE(scenario.Calls("hangup").empty());
  ZELCUSTOMCMDINFO info = {};
  info.nStatus = 55;
  EXPECT_EQ(zel::dialup::HangUpConnection(&info, nullptr), 1);
  EXPECT_EQ(info.nStatus, 0);  // the listing's result
}

// --- the pumping wait and the platform tests
LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* counts = reinterpret_cast<std::map<UINT, int>*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (counts != nullptr) (*counts)[message]++;
  if (message == WM_CLOSE) return 0;
  return DefWindowProcA(window, message, wParam, lParam);
}

class PumpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = CountingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ZelPumpTest";
    RegisterClassA(&wc);
    window_ = CreateWindowA("ZelPumpTest", "", 0, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(window_, nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&counts_));
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    }
    counts_.clear();
  }
  void TearDown() override { DestroyWindow(window_); }
  bool Queued(UINT message) {
    MSG m;
    return PeekMessageA(&m, window_, message, message, PM_NOREMOVE) != 0;
  }
  HWND window_ = nullptr;
  std::map<UINT, int> counts_;
};

TEST_F(PumpTest, ZeroMillisecondsReturnsAtOnceAndLeavesTheQueue) {
  PostMessageA(window_, WM_USER + 1, 0, 0);
  EXPECT_EQ(zel::dialup::PumpMessagesFor(0, 0, 0), 0);
  EXPECT_TRUE(Queued(WM_USER + 1));
  EXPECT_EQ(counts_[WM_USER + 1], 0);
}

TEST_F(PumpTest, DispatchesWhatTheDiscardSetKeepsAndDropsTheRest) {
  const UINT kinds[] = {WM_USER + 1, WM_MOUSEMOVE, WM_KEYDOWN, WM_TIMER, WM_CLOSE};
  const struct {
    uint32_t discard;
    std::vector<UINT> dropped;
  } cases[] = {{0, {}},
               {1, {WM_MOUSEMOVE}},
               {2, {WM_KEYDOWN}},
               {4, {WM_TIMER}},
               {8, {WM_CLOSE}},
               {0x1000F, {WM_MOUSEMOVE, WM_KEYDOWN, WM_TIMER, WM_CLOSE}}};  // only the low 16 bits count
  for (const auto& c : cases) {
    counts_.clear();
    for (UINT kind : kinds) PostMessageA(window_, kind, 0, 0);
    EXPECT_EQ(zel::dialup::PumpMessagesFor(50, c.discard, 0), 0);
    for (UINT kind : kinds) {
      const bool dropped = std::find(c.dropped.begin(), c.dropped.end(), kind) != c.dropped.end();
      EXPECT_EQ(counts_[kind], dropped ? 0 : 1) << "discard " << c.discard << " message " << kind;
    }
    for (UINT kind : kinds) {  // dropped means removed, not left behind
      MSG m;
      EXPECT_FALSE(PeekMessageA(&m, window_, kind, kind, PM_REMOVE)) << "discard " << c.discard << " left " << kind;
    }
  }
}

TEST(Platform, WineByDefaultIsWindowsNTButNotNT3) {
  EXPECT_TRUE(zel::dialup::IsWindowsNT());
  EXPECT_FALSE(zel::dialup::IsWindowsNT3());
}

}  // namespace
}  // namespace zeltest
