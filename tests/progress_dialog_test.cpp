// The progress dialog as scripts see it: iftpdialog's modes and the window each leaves,
// the windows of armed transfers, and Cancel pressed during a real FTP transfer.
// Windows are real (Wine's null display driver) and are read back control by control.
#include <windows.h>
#include <wininet.h>

#include "tests/ftp_support.h"

namespace zeltest {
namespace {

using ProgressDialog = FtpTest;

TEST_F(ProgressDialog, ModesAndTheWindowsTheyLeave) {
  // A fresh load has no window: modes that make none deliver 0.
  EXPECT_EQ(Integer("iftpdialog", {"0", "", "", "", ""}), 0);
  EXPECT_EQ(Integer("iftpdialog", {"7", "t", "s", "5", "1"}), 0);

  const int32_t value = Integer("iftpdialog", {"1", "Title one", "Status one", "40", "0"});
  const HWND window = AsWindow(value);
  ASSERT_TRUE(IsWindow(window));
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(WindowText(window), "Title one");
  const std::pair<int, const char*> texts[] = {{103, "Status one"}, {104, "Source"},   {105, "Target"},
                                               {1005, "Status:"},   {1006, "Target:"}, {1009, ""}};
  for (const auto& [id, text] : texts) EXPECT_EQ(ItemText(window, id), text) << id;
  EXPECT_EQ(BarPosition(window), 40);
  EXPECT_FALSE(CancelShown(window));
  RECT frame;
  GetWindowRect(window, &frame);
  EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2);
  EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2);

  // Any mode stores show-Cancel; only a window made later shows it.
  EXPECT_EQ(Integer("iftpdialog", {"-1", "x", "y", "9", "1"}), value);
  EXPECT_FALSE(CancelShown(window));
  EXPECT_EQ(WindowText(window), "Title one");

  // Mode 1 again updates the same window; the position is read like any number.
  EXPECT_EQ(Integer("iftpdialog", {"1", "Title two", "Status two", " 55", "1"}), value);
  EXPECT_EQ(WindowText(window), "Title two");
  EXPECT_EQ(ItemText(window, 103), "Status two");
  EXPECT_EQ(BarPosition(window), 55);
  EXPECT_EQ(Integer("iftpdialog", {"1", std::string(300, 'T'), "", "\t70", "1"}), value);
  EXPECT_EQ(WindowText(window), std::string(255, 'T'));
  EXPECT_EQ(BarPosition(window), 0);  // a tab before the digits reads as 0

  // Mode 0 destroys it and still delivers its old value.
  EXPECT_EQ(Integer("iftpdialog", {"0", "", "", "", "1"}), value);
  EXPECT_FALSE(IsWindow(window));

  // Mode 3 (read leniently) makes a new window, now with Cancel.
  const HWND third = AsWindow(Integer("iftpdialog", {"\n3", "Title three", "Status three", "100", "1"}));
  ASSERT_TRUE(IsWindow(third));
  EXPECT_TRUE(CancelShown(third));
  EXPECT_EQ(BarPosition(third), 100);
  EXPECT_EQ(ItemText(third, 1009), "");
  Integer("iftpdialog", {"0", "", "", "", "0"});
  EXPECT_FALSE(IsWindow(third));
}

// What the timer saw of the dialog while the status callback pumped messages.
struct Seen {
  std::string title;        // the caption looked for
  HWND cancelTo = nullptr;  // when set, the timer presses Cancel there once the download runs
  std::string local;        // the download's local file, made when the download starts
  int ticks = 0;
  HWND window = nullptr;
  std::string status, source, target;
} seen;

VOID CALLBACK DuringTransfer(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (seen.cancelTo != nullptr) {
    // Not during the size lookup, which comes first: Cancel has nothing to close then.
    if (GetFileAttributesA(seen.local.c_str()) == INVALID_FILE_ATTRIBUTES) {
      SetTimer(nullptr, 0, USER_TIMER_MINIMUM, DuringTransfer);
      return;
    }
    PostMessageA(seen.cancelTo, WM_COMMAND, IDCANCEL, 0);
  }
  ++seen.ticks;
  seen.window = FindThreadWindow(seen.title);
  seen.status = ItemText(seen.window, 103);
  seen.source = ItemText(seen.window, 104);
  seen.target = ItemText(seen.window, 105);
}

class ArmedTransfer : public ProgressDialog {
 protected:
  void SetUp() override {
    ProgressDialog::SetUp();
    // Large enough that the transfer outlasts the shortest timer.
    remote_ = ServerFile("dialog.bin", std::string(24 << 20, 'd'));
    local_ = FreshDir("dialog") + "dialog.bin";
    seen = Seen();
  }
  void TearDown() override {
    DeleteFileA(local_.c_str());
    ProgressDialog::TearDown();
  }
  // iftpget with a timer due during the transfer.
  zelhost::CallResult GetWithTimer(const std::string& title) {
    seen.title = title;
    seen.local = local_;
    seen.ticks = 0;
    seen.window = nullptr;
    DeleteFileA(local_.c_str());
    SetTimer(nullptr, 0, USER_TIMER_MINIMUM, DuringTransfer);
    return Call("iftpget", {connection_, remote_, local_, "0", "0"});
  }
  std::string remote_, local_;
};

TEST_F(ArmedTransfer, ModeTwoShowsAWindowForEachTransfer) {
  EXPECT_EQ(Integer("iftpdialog", {"2", "Fetching", "Starting", "0", "0"}), 0);
  EXPECT_EQ(FindThreadWindow("Fetching"), nullptr);
  for (int transfer = 0; transfer < 2; ++transfer) {
    EXPECT_EQ(GetWithTimer("Fetching").integer(), 1) << LastError();
    ASSERT_EQ(seen.ticks, 1) << "the status callback pumped no messages";
    EXPECT_NE(seen.window, nullptr);
    EXPECT_EQ(seen.source, remote_);
    EXPECT_EQ(seen.target, local_);
    EXPECT_NE(seen.status, "Starting");  // the callback wrote an event
    EXPECT_EQ(FindThreadWindow("Fetching"), nullptr);  // gone with the transfer
    EXPECT_EQ(Integer("iftpdialog", {"7", "", "", "", ""}), 0);
  }
  EXPECT_EQ(ReadWholeFile(local_).size(), 24u << 20);
}

TEST_F(ArmedTransfer, ModeThreeKeepsOneWindowAcrossTransfers) {
  const HWND window = AsWindow(Integer("iftpdialog", {"3", "Kept", "Ready", "30", "0"}));
  for (int transfer = 0; transfer < 2; ++transfer) {
    EXPECT_EQ(GetWithTimer("Kept").integer(), 1);
    ASSERT_EQ(seen.ticks, 1);
    EXPECT_EQ(seen.window, window);
    EXPECT_TRUE(IsWindow(window));
  }
  EXPECT_EQ(ItemText(window, 104), remote_);
  EXPECT_EQ(ItemText(window, 105), local_);
  EXPECT_EQ(AsWindow(Integer("iftpdialog", {"7", "", "", "", ""})), window);
}

TEST_F(ArmedTransfer, ModeOneDoesNotArmButItsWindowGetsTheNames) {
  const HWND window = AsWindow(Integer("iftpdialog", {"1", "Manual", "Idle", "10", "1"}));
  EXPECT_EQ(GetWithTimer("Manual").integer(), 1);
  EXPECT_EQ(seen.ticks, 0);  // no callback, so no message was pumped during the transfer
  EXPECT_EQ(ItemText(window, 104), remote_);
  EXPECT_EQ(ItemText(window, 105), local_);
  EXPECT_EQ(ItemText(window, 103), "Idle");
  PumpLikeAHost();
  EXPECT_EQ(seen.ticks, 1);
}

TEST_F(ArmedTransfer, CancelDuringATransferClosesTheConnection) {
  const HWND window = AsWindow(Integer("iftpdialog", {"3", "Cancellable", "Ready", "0", "1"}));
  ASSERT_TRUE(CancelShown(window));
  seen.cancelTo = window;
  zelhost::CallResult get = GetWithTimer("Cancellable");
  ASSERT_EQ(seen.ticks, 1) << "the timer did not fire during the transfer";
  // Under Wine a closed connection does not abort the running FtpGetFileA (it still
  // delivers 1); on Windows the transfer fails and delivers 0.
  EXPECT_EQ(get.deliveries.size(), 1u);
  EXPECT_EQ(Call("igetlasterror").deliveries.size(), 1u);  // answered, the Cancel stays pending
  zelhost::CallResult swallowed = Call("iversion");
  EXPECT_EQ(swallowed.returned, -5);
  EXPECT_TRUE(swallowed.deliveries.empty());
  EXPECT_EQ(Call("iclose", {connection_}).errorNumber(), 306);  // closed by Cancel
  EXPECT_EQ(Integer("iversion"), 25016);
  EXPECT_TRUE(IsWindow(window));  // Cancel leaves the window open
}

TEST_F(ArmedTransfer, CancelOutsideATransferClosesNothing) {
  const HWND window = AsWindow(Integer("iftpdialog", {"1", "Idle", "", "0", "1"}));
  PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(Integer("iftpget", {connection_, remote_, local_, "0", "0"}), 1);  // nothing pumped yet
  PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);  // Escape is Cancel too
  PumpLikeAHost();
  EXPECT_EQ(Call("iversion").returned, -5);
  EXPECT_EQ(Integer("iversion"), 25016);  // two presses, one pending Cancel
  EXPECT_EQ(Integer("iclose", {connection_}), 1);
}

}  // namespace
}  // namespace zeltest
