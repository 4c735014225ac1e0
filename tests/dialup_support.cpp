#include "tests/dialup_support.h"

#include "tests/support.h"

namespace zeltest {

RasScenario::RasScenario(const std::string& name, const std::vector<std::string>& lines) {
  const std::string dir = FreshDir("ras-" + name);
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  WriteWholeFile(dir + "scenario.txt", text);
  log_ = dir + "calls.log";
  DeleteFileA(log_.c_str());
  SetEnvironmentVariableA("ZEL_RAS_SCENARIO", (dir + "scenario.txt").c_str());
  SetEnvironmentVariableA("ZEL_RAS_LOG", log_.c_str());
}

std::vector<std::string> RasScenario::Log() const {
  std::vector<std::string> lines;
  const std::string text = ReadWholeFile(log_);
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

std::vector<std::string> RasScenario::Calls(const std::string& prefix) const {
  std::vector<std::string> found;
  for (const std::string& line : Log())
    if (line.compare(0, prefix.size(), prefix) == 0) found.push_back(line);
  return found;
}

std::string EntryLine(const std::string& name, const std::string& phone, const std::string& user,
                      const std::string& password) {
  return "entry\t" + name + "\t" + phone + "\t" + user + "\t" + password;
}

BoxWatcher::BoxWatcher() : stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
  InitializeCriticalSection(&lock_);
  thread_ = std::thread([this] { Run(); });
}

BoxWatcher::~BoxWatcher() {
  SetEvent(stop_);
  thread_.join();
  CloseHandle(stop_);
  DeleteCriticalSection(&lock_);
}

std::vector<std::string> BoxWatcher::texts() const {
  EnterCriticalSection(&lock_);
  std::vector<std::string> copy = texts_;
  LeaveCriticalSection(&lock_);
  return copy;
}

void BoxWatcher::Run() {
  while (WaitForSingleObject(stop_, 10) == WAIT_TIMEOUT) {
    const HWND box = FindWindowA("#32770", "ZEL Extender Error");
    if (box == nullptr) continue;
    DWORD process = 0;
    GetWindowThreadProcessId(box, &process);
    if (process != GetCurrentProcessId()) continue;
    char text[256] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // a message box's text control
    EnterCriticalSection(&lock_);
    texts_.push_back(text);
    LeaveCriticalSection(&lock_);
    SendMessageA(box, WM_COMMAND, IDOK, 0);
    while (IsWindow(box) && WaitForSingleObject(stop_, 5) == WAIT_TIMEOUT) {
    }
  }
}

}  // namespace zeltest
