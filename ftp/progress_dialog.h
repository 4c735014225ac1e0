// The progress dialog: one modeless window (template 101) that iftpdialog drives and
// that armed FTP transfers show, with the status callback that feeds it and pumps the
// thread's messages, so that its Cancel can close a running transfer's connection.
#pragma once
#include <windows.h>
#include <wininet.h>

#include <cstddef>
#include <cstdint>

namespace zel::ftp {

constexpr std::size_t kDialogTextSize = 256;

// Module-wide, all zero at load.
struct ProgressState {
  HWND window = nullptr;          // last created; iftpdialog mode 0 destroys it but keeps the value
  bool persistent = false;        // made by iftpdialog (modes 1, 3): transfers reuse it
  bool transferProgress = false;  // armed (modes 2, 3): transfers show it and report status
  int32_t showCancel = 0;         // a newly created window shows Cancel when non-zero
  char title[kDialogTextSize] = {};
  char status[kDialogTextSize] = {};
  DWORD expectedSize = 0;  // bytes that make 100 percent
  DWORD bytesDone = 0;     // bytes counted in the current direction
  HINTERNET transferHandle = nullptr;  // the connection of the running transfer, for Cancel
};
extern ProgressState Progress;

// Creates a window from template 101 under parent into Progress.window and shows or
// hides its Cancel button by Progress.showCancel.
HWND CreateProgressWindow(HWND parent);

INT_PTR CALLBACK ProgressDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// WinInet status callback of armed transfers. Odd contexts count received bytes, even
// contexts sent bytes (0 size lookup, 1 download, 2 upload).
void CALLBACK TransferStatusCallback(HINTERNET handle, DWORD_PTR context, DWORD status, LPVOID information,
                                     DWORD informationLength);

// One transfer's use of the dialog. When armed, the constructor shows the window
// (creating a temporary one when no persistent window exists), puts the title, status,
// source and target on it, sets the bar to 0 and registers the status callback on the
// connection; End (or the destructor) removes the callback and destroys a temporary
// window. TransferHandle is set only around the blocking call (Run).
class ProgressScope {
 public:
  ProgressScope(HWND parent, HINTERNET connection, const char* source, const char* target);
  ~ProgressScope() { End(); }
  ProgressScope(const ProgressScope&) = delete;
  ProgressScope& operator=(const ProgressScope&) = delete;

  bool armed() const { return armed_; }
  // Runs the blocking transfer with the connection as TransferHandle; returns its result
  // and keeps its system error.
  template <typename Transfer>
  BOOL Run(Transfer transfer) {
    Progress.transferHandle = connection_;
    const BOOL result = transfer();
    const DWORD error = GetLastError();
    Progress.transferHandle = nullptr;
    SetLastError(error);
    return result;
  }
  void End();

 private:
  HINTERNET connection_;
  bool armed_;
  bool ended_ = false;
};

// Sets the source and target lines of the current window (with or without progress).
void ShowTransferNames(const char* source, const char* target);

}  // namespace zel::ftp
