// Shared by the FTP transfer and progress dialog tests: a passive FTP connection to the
// local server, files placed on it, and the progress dialog read back from its window.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support.h"

namespace zeltest {

class FtpTest : public ExtenderTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Puts a file of this content in the FTP root under a name of this process's own;
  // returns its remote name ("/..."). TearDown removes it.
  std::string ServerFile(const std::string& name, const std::string& content);
  // The server's copy of a remote name, read from the FTP root.
  std::string ServerContent(const std::string& remote);
  std::string session_, connection_;

 private:
  std::vector<std::string> serverFiles_;
};

// The window of a handle value the extender delivered.
HWND AsWindow(int32_t value);
std::string WindowText(HWND window);
std::string ItemText(HWND window, int id);
int BarPosition(HWND window);
bool CancelShown(HWND window);
// A top-level window of this thread with this caption, or null.
HWND FindThreadWindow(const std::string& caption);
// Runs the message loop a host would run (dialog messages included) until the queue is empty.
void PumpLikeAHost();

}  // namespace zeltest
