// The transfer status callback called directly, with the status codes, contexts and
// byte counts WinInet would pass (Wine passes no data counts during FTP transfers), on
// a real progress window made from the DLL's template.
#include <windows.h>
#include <commctrl.h>
#include <wininet.h>

#include "boundary/extender.h"
#include "ftp/progress_dialog.h"
#include "tests/ftp_support.h"

namespace zeltest {
namespace {

using zel::ftp::Progress;

class TransferStatus : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryA(DllPath().c_str());  // the dialog template lives in the DLL
    ASSERT_NE(module_, nullptr);
    zel::ModuleInstance = module_;
    Progress = zel::ftp::ProgressState();
    window_ = zel::ftp::CreateProgressWindow(nullptr);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    DestroyWindow(window_);
    Progress = zel::ftp::ProgressState();
    FreeLibrary(module_);
  }
  void Status(DWORD status, DWORD_PTR context, DWORD count) {
    zel::ftp::TransferStatusCallback(nullptr, context, status, &count, sizeof count);
  }
  HMODULE module_ = nullptr;
  HWND window_ = nullptr;
};

TEST_F(TransferStatus, StatusTexts) {
  const std::pair<DWORD, const char*> cases[] = {
      {10, "Resolving name..."},     {11, "Name Resolved..."},       {20, "Connecting to Server..."},
      {21, "Connected to Server..."}, {30, "Sending request..."},     {31, "Request sent..."},
      {40, "Receiving response..."}, {41, "Response received..."},   {50, "Closing connection..."},
      {51, "Connection closed..."},  {60, "Processing..."},          {70, "Processing..."},
      {0, "Processing..."},          {100, "Processing..."},
  };
  for (const auto& [status, text] : cases) {
    Status(status, 1, 0);
    EXPECT_EQ(ItemText(window_, 103), text) << status;
  }
}

TEST_F(TransferStatus, CountingByDirectionAndPercentage) {
  struct Step {
    DWORD status;
    DWORD_PTR context;
    DWORD count;
    DWORD expectedBefore;  // ExpectedSize before the step (kept when kKeep)
    DWORD bytesAfter;
    int bar;
    const char* percent;
  };
  constexpr DWORD kKeep = 0xFFFFFFFF;
  const Step steps[] = {
      // A download of 100,000,000 bytes: received bytes count with odd contexts.
      {41, 1, 50000000, 100000000, 50000000, 50, "50%"},
      {41, 3, 25000000, kKeep, 75000000, 75, "75%"},
      {40, 1, 999, kKeep, 75000000, 75, "75%"},  // only 31 and 41 count
      // A sent-bytes report with an odd context starts the count again; bar and text stay.
      {31, 1, 10, kKeep, 0, 75, "75%"},
      // Expected size 0 counts as 1: the first bytes make 100%.
      {41, 1, 1, 0, 1, 100, "100%"},
      {41, 1, 5, kKeep, 6, 100, "100%"},  // never above 100
      // An upload: sent bytes count with even contexts, received ones reset.
      {31, 2, 400, 1000, 406, 40, "40%"},
      {41, 2, 7, kKeep, 0, 40, "40%"},
      {31, 0, 333, kKeep, 333, 33, "33%"},
      // The product is formed without overflow.
      {31, 2, 3000000000u - 333, 4000000000u, 3000000000u, 75, "75%"},
  };
  for (const Step& s : steps) {
    if (s.expectedBefore != kKeep) Progress.expectedSize = s.expectedBefore;
    Status(s.status, s.context, s.count);
    EXPECT_EQ(Progress.bytesDone, s.bytesAfter) << s.status << "/" << s.context << "/" << s.count;
    EXPECT_EQ(BarPosition(window_), s.bar) << s.status << "/" << s.context << "/" << s.count;
    EXPECT_EQ(ItemText(window_, 1009), s.percent) << s.status << "/" << s.context << "/" << s.count;
  }
  EXPECT_EQ(Progress.expectedSize, 4000000000u);
  // A report without its count counts nothing.
  zel::ftp::TransferStatusCallback(nullptr, 2, 31, nullptr, 0);
  EXPECT_EQ(Progress.bytesDone, 3000000000u);
  EXPECT_EQ(ItemText(window_, 1009), "75%");
}

TEST_F(TransferStatus, NothingWithoutAWindow) {
  SetDlgItemTextA(window_, 103, "untouched");
  Progress.window = nullptr;
  Progress.expectedSize = 10;
  PostMessageA(window_, WM_COMMAND, IDCANCEL, 0);
  Status(41, 1, 5);
  EXPECT_EQ(ItemText(window_, 103), "untouched");
  EXPECT_EQ(Progress.bytesDone, 0u);
  EXPECT_FALSE(zel::CancelFlag);  // nothing was pumped
  Progress.window = window_;
  Status(60, 1, 0);
  EXPECT_TRUE(zel::CancelFlag);
  zel::CancelFlag = false;
}

TEST_F(TransferStatus, PumpedCancelClosesTheTransferHandleOnce) {
  HINTERNET session = InternetOpenA("status test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  Progress.transferHandle = session;
  PostMessageA(window_, WM_COMMAND, IDCANCEL, 0);
  Status(70, 1, 0);  // any event pumps
  DWORD type = 0, length = sizeof type;
  EXPECT_FALSE(InternetQueryOptionA(session, INTERNET_OPTION_HANDLE_TYPE, &type, &length));
  EXPECT_EQ(Progress.transferHandle, nullptr);
  EXPECT_TRUE(zel::CancelFlag);
  EXPECT_TRUE(IsWindow(window_));
  // A second press while the number has been handed out again closes nothing.
  HINTERNET reused = InternetOpenA("status test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  PostMessageA(window_, WM_COMMAND, IDCANCEL, 0);
  Status(70, 1, 0);
  EXPECT_TRUE(InternetQueryOptionA(reused, INTERNET_OPTION_HANDLE_TYPE, &type, &length));
  InternetCloseHandle(reused);
  zel::CancelFlag = false;
}

}  // namespace
}  // namespace zeltest
