// Holds the progress dialog on screen in the middle of a real download, for the
// screenshot in docs/: iftpdialog mode 3 with Cancel, then iftpget; a timer that fires
// inside the transfer (from the status callback's message pump) writes the dialog's
// rectangle to READY and keeps the window painted until DONE exists.
//   progress_shot FTP_HOST:PORT USER PASSWORD REMOTE SIZE LOCAL READY DONE
#include <windows.h>

#include <cstdio>
#include <string>

#include "host/extender_host.h"

namespace {

std::string local, ready, done;
HWND dialog = nullptr;

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

VOID CALLBACK InsideTheTransfer(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  if (!Exists(local)) {  // still looking the file up: wait for the download itself
    SetTimer(nullptr, 0, USER_TIMER_MINIMUM, InsideTheTransfer);
    return;
  }
  RECT frame;
  GetWindowRect(dialog, &frame);
  if (FILE* out = std::fopen(ready.c_str(), "w")) {
    std::fprintf(out, "%ldx%ld+%ld+%ld\n", frame.right - frame.left, frame.bottom - frame.top, frame.left, frame.top);
    std::fclose(out);
  }
  for (DWORD start = GetTickCount(); !Exists(done) && GetTickCount() - start < 30000;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(50);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 9) {
    std::printf("usage: progress_shot HOST:PORT USER PASSWORD REMOTE SIZE LOCAL READY DONE\n");
    return 2;
  }
  local = argv[6];
  ready = argv[7];
  done = argv[8];
  char dll[MAX_PATH];
  const DWORD n = GetModuleFileNameA(nullptr, dll, MAX_PATH);
  std::string path(dll, n);
  path = path.substr(0, path.find_last_of('\\') + 1) + "zelinet.dll";
  zelhost::Extender ext;
  std::string problem;
  if (!ext.Load(path, &problem) || !ext.Enumerate()) {
    std::printf("progress_shot: %s\n", problem.c_str());
    return 1;
  }
  const std::string session = std::to_string(ext.Call("ibegin", {"0", "", ""}).integer());
  const std::string ftp = std::to_string(ext.Call("ihostconnect", {session, argv[1], "4", argv[2], argv[3]}).integer());
  const int32_t window =
      ext.Call("iftpdialog", {"3", "Downloading report.pdf", "Connecting...", "0", "1"}).integer();
  dialog = reinterpret_cast<HWND>(static_cast<uintptr_t>(static_cast<uint32_t>(window)));
  DeleteFileA(local.c_str());
  SetTimer(nullptr, 0, USER_TIMER_MINIMUM, InsideTheTransfer);
  const int32_t copied = ext.Call("iftpget", {ftp, argv[4], local, argv[5], "0"}).integer();
  std::printf("progress_shot: iftpget delivered %d\n", copied);
  ext.Call("iclose", {session});
  return copied == 1 ? 0 : 1;
}
