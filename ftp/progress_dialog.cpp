// The progress dialog and the command that drives it.
//
//   iftpdialog mode, title, status, position, showcancel -> the dialog's window handle
//       (the value after the call; 0 when none was ever made). Never an error.
//       mode 0: destroys the window iftpdialog made (the result is still its old value)
//               and disarms transfers.
//       mode 1: opens the window if iftpdialog has none open, and sets its caption to
//               title, its status line to status and its bar to position (0-100).
//       mode 2: arms transfers: iftpget and iftpput show a window of their own, with this
//               title and status, for as long as each transfer runs.
//       mode 3: arms transfers and does what mode 1 does; transfers then use this window.
//       other modes change nothing. showcancel (every call, read leniently) non-zero: the
//       next window made shows a Cancel button. Cancel (or Escape, or the close box)
//       during an armed transfer closes the transfer's connection; at any time it makes
//       the next extender call other than igetlasterror return -5 without a result.
//       Title and status keep their first 255 characters.
#include <windows.h>
#include <commctrl.h>
#include <wininet.h>

#include "boundary/number_text.h"
#include "ftp/commands.h"
#include "ftp/progress_dialog.h"
#include "inet/handles.h"
#include "resources/resource_ids.h"

namespace zel::ftp {

ProgressState Progress;

HWND CreateProgressWindow(HWND parent) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  Progress.window = CreateDialogParamA(ModuleInstance, MAKEINTRESOURCEA(IDD_PROGRESS), parent, ProgressDialogProc, 0);
  ShowWindow(GetDlgItem(Progress.window, IDC_PROGRESS_CANCEL), Progress.showCancel != 0 ? SW_SHOW : SW_HIDE);
  return Progress.window;
}

INT_PTR CALLBACK ProgressDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: {
      RECT frame;
      GetWindowRect(window, &frame);
      const int width = frame.right - frame.left;
      const int height = frame.bottom - frame.top;
      MoveWindow(window, (GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2,
                 width, height, FALSE);
      ShowWindow(window, SW_SHOW);
      return TRUE;
    }
    case WM_COMMAND:
      if (wParam == IDCANCEL) {
        if (Progress.transferHandle != nullptr) {
          // Closed once: a second Cancel must not close a number WinInet has reused.
          InternetCloseHandle(Progress.transferHandle);
          Progress.transferHandle = nullptr;
          ForgetClosedFtpWalkSearch();
        }
        CancelFlag = true;
      }
      return TRUE;
    default:
      return FALSE;
  }
}

int32_t FtpDialog(const Call& call) {
  Progress.showCancel = LenientDecimalText(call.arg(5));
  const int32_t mode = LenientDecimalText(call.arg(1));
  if (mode == 0) {
    if (Progress.persistent) DestroyWindow(Progress.window);
    Progress.persistent = false;
    Progress.transferProgress = false;
  } else if (mode >= 1 && mode <= 3) {
    lstrcpynA(Progress.title, call.arg(2), sizeof Progress.title);
    lstrcpynA(Progress.status, call.arg(3), sizeof Progress.status);
    if (mode != 1) Progress.transferProgress = true;
    if (mode != 2) {
      const int32_t position = DecimalText(call.arg(4));
      if (!Progress.persistent) {
        CreateProgressWindow(call.window);
        Progress.persistent = true;
      }
      SetWindowTextA(Progress.window, Progress.title);
      SetDlgItemTextA(Progress.window, IDC_PROGRESS_STATUS, Progress.status);
      SendDlgItemMessageA(Progress.window, IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(position), 0);
    }
  }
  return call.integer(HandleValue(Progress.window));
}

}  // namespace zel::ftp
