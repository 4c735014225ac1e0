#include "tests/ftp_support.h"

#include <commctrl.h>
#include <wininet.h>

namespace zeltest {

void FtpTest::SetUp() {
  ExtenderTest::SetUp();
  const Servers& s = TestServers();
  session_ = std::to_string(Integer("ibegin", {"0", "", ""}));
  connection_ = std::to_string(Integer("ihostconnect", {session_, s.ftp(), "4", s.ftpUser, s.ftpPassword}));
  ASSERT_NE(connection_, "0") << "error " << LastError();
}

void FtpTest::TearDown() {
  Call("iclose", {session_});
  for (const std::string& path : serverFiles_) DeleteFileA(path.c_str());
}

std::string FtpTest::ServerFile(const std::string& name, const std::string& content) {
  const std::string unique = std::to_string(GetCurrentProcessId()) + "-" + name;
  serverFiles_.push_back(TestServers().ftpRoot + unique);
  WriteWholeFile(serverFiles_.back(), content);
  return "/" + unique;
}

std::string FtpTest::ServerContent(const std::string& remote) {
  return ReadWholeFile(TestServers().ftpRoot + remote.substr(1));
}

HWND AsWindow(int32_t value) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(static_cast<uint32_t>(value))); }

std::string WindowText(HWND window) {
  char text[1024] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string ItemText(HWND window, int id) { return WindowText(GetDlgItem(window, id)); }

int BarPosition(HWND window) { return static_cast<int>(SendDlgItemMessageA(window, 1000, PBM_GETPOS, 0, 0)); }

bool CancelShown(HWND window) { return (GetWindowLongA(GetDlgItem(window, IDCANCEL), GWL_STYLE) & WS_VISIBLE) != 0; }

HWND FindThreadWindow(const std::string& caption) {
  struct Search {
    const std::string* caption;
    HWND found;
  } search = {&caption, nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM param) -> BOOL {
        Search* s = reinterpret_cast<Search*>(param);
        if (WindowText(window) != *s->caption) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void PumpLikeAHost() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    HWND dialog = GetAncestor(message.hwnd, GA_ROOT);
    if (dialog != nullptr && IsDialogMessageA(dialog, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

}  // namespace zeltest
