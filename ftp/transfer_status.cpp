// What an armed transfer shows: the window for the transfer, the WinInet status
// callback that writes the event, counts bytes and pumps the thread's messages.
#include <windows.h>
#include <commctrl.h>
#include <wininet.h>

#include <cstdint>

#include "boundary/number_text.h"
#include "ftp/progress_dialog.h"
#include "resources/resource_ids.h"

namespace zel::ftp {
namespace {

const char* StatusText(DWORD status) {
  switch (status) {
    case INTERNET_STATUS_RESOLVING_NAME: return "Resolving name...";
    case INTERNET_STATUS_NAME_RESOLVED: return "Name Resolved...";
    case INTERNET_STATUS_CONNECTING_TO_SERVER: return "Connecting to Server...";
    case INTERNET_STATUS_CONNECTED_TO_SERVER: return "Connected to Server...";
    case INTERNET_STATUS_SENDING_REQUEST: return "Sending request...";
    case INTERNET_STATUS_REQUEST_SENT: return "Request sent...";
    case INTERNET_STATUS_RECEIVING_RESPONSE: return "Receiving response...";
    case INTERNET_STATUS_RESPONSE_RECEIVED: return "Response received...";
    case INTERNET_STATUS_CLOSING_CONNECTION: return "Closing connection...";
    case INTERNET_STATUS_CONNECTION_CLOSED: return "Connection closed...";
    default: return "Processing...";
  }
}

void CountBytes(DWORD count) {
  Progress.bytesDone += count;  // unsigned 32-bit, as the counter is
  if (Progress.expectedSize == 0) Progress.expectedSize = 1;
  uint64_t percent = static_cast<uint64_t>(Progress.bytesDone) * 100u / Progress.expectedSize;
  if (percent > 100) percent = 100;
  SendDlgItemMessageA(Progress.window, IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
  char text[kNumberTextSize + 1];
  NumberText(static_cast<int32_t>(percent), text, kNumberTextSize);
  lstrcatA(text, "%");
  SetDlgItemTextA(Progress.window, IDC_PROGRESS_PERCENT, text);
}

// Every message of the thread, the host's windows included, so the dialog (and its
// Cancel) stays alive while the transfer call blocks.
void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    HWND target = message.hwnd;
    if (GetWindowLongA(target, GWL_STYLE) & WS_TABSTOP) target = GetParent(target);
    if (IsWindow(target) && IsDialogMessageA(target, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

}  // namespace

void CALLBACK TransferStatusCallback(HINTERNET, DWORD_PTR context, DWORD status, LPVOID information,
                                     DWORD informationLength) {
  if (Progress.window == nullptr) return;
  SetDlgItemTextA(Progress.window, IDC_PROGRESS_STATUS, StatusText(status));
  if (status == INTERNET_STATUS_REQUEST_SENT || status == INTERNET_STATUS_RESPONSE_RECEIVED) {
    DWORD count = 0;
    if (information != nullptr && informationLength >= sizeof count) count = *static_cast<const DWORD*>(information);
    // Sent bytes count for even contexts (uploads), received bytes for odd ones
    // (downloads); the other direction starts the count again.
    const bool received = status == INTERNET_STATUS_RESPONSE_RECEIVED;
    const bool odd = (context & 1u) != 0;
    if (received == odd) {
      CountBytes(count);
    } else {
      Progress.bytesDone = 0;
    }
  }
  PumpMessages();
}

ProgressScope::ProgressScope(HWND parent, HINTERNET connection, const char* source, const char* target)
    : connection_(connection), armed_(Progress.transferProgress) {
  if (!armed_) return;
  if (!Progress.persistent) CreateProgressWindow(parent);
  SetWindowTextA(Progress.window, Progress.title);
  SetDlgItemTextA(Progress.window, IDC_PROGRESS_STATUS, Progress.status);
  ShowTransferNames(source, target);
  SendDlgItemMessageA(Progress.window, IDC_PROGRESS_BAR, PBM_SETPOS, 0, 0);
  InternetSetStatusCallbackA(connection_, TransferStatusCallback);
}

void ProgressScope::End() {
  if (!armed_ || ended_) return;
  ended_ = true;
  InternetSetStatusCallbackA(connection_, nullptr);
  if (!Progress.persistent) {
    DestroyWindow(Progress.window);
    Progress.window = nullptr;
  }
}

void ShowTransferNames(const char* source, const char* target) {
  SetDlgItemTextA(Progress.window, IDC_PROGRESS_SOURCE, source);
  SetDlgItemTextA(Progress.window, IDC_PROGRESS_TARGET, target);
}

}  // namespace zel::ftp
