// A session per test and the handles the inet and ftp tests open on it, against the
// local servers through Wine's WinInet.
#pragma once
#include <windows.h>
#include <wininet.h>

#include <random>
#include <string>
#include <vector>

#include "tests/support.h"

namespace zeltest {

class SessionTest : public ExtenderTest {
 protected:
  void SetUp() override {
    ExtenderTest::SetUp();
    session = std::to_string(Integer("ibegin", {"0", "", ""}));
    ASSERT_NE(session, "0");
  }
  void TearDown() override { Call("iclose", {session}); }

  // A handle-opening command that must succeed; its handle as the script holds it.
  std::string Open(const std::string& command, const std::vector<std::string>& args) {
    const std::string handle = std::to_string(Integer(command, args));
    EXPECT_NE(handle, "0") << command << " failed, error " << LastError();
    return handle;
  }
  std::string HttpConnection() { return Open("ihostconnect", {session, TestServers().http(), "0", "", ""}); }
  std::string FtpConnection() {
    const Servers& s = TestServers();
    return Open("ihostconnect", {session, s.ftp(), "4", s.ftpUser, s.ftpPassword});
  }
  std::string HttpUrl(const std::string& path) { return "http://" + TestServers().http() + "/" + path; }
  std::string FtpUrl(const std::string& path) {
    const Servers& s = TestServers();
    return "ftp://" + s.ftpUser + ":" + s.ftpPassword + "@" + s.ftp() + "/" + path;
  }

  // WinInet's handle type of a handle text, asked in this process (the DLL lives here).
  static DWORD TypeOf(const std::string& text) {
    DWORD type = 0, length = sizeof type;
    HINTERNET h = reinterpret_cast<HINTERNET>(static_cast<uintptr_t>(std::stoul(text)));
    return InternetQueryOptionA(h, INTERNET_OPTION_HANDLE_TYPE, &type, &length) ? type : 0;
  }

  std::string session;
};

// A name no other test process uses at the same time (the servers' roots are shared).
inline std::string Unique(const std::string& stem) { return stem + "-" + std::to_string(GetCurrentProcessId()); }

// size bytes of repeatable noise; without CR when it must survive an ASCII-mode upload.
inline std::string Noise(size_t size, bool withCarriageReturns = true) {
  std::mt19937 random(static_cast<unsigned>(size));
  std::string data(size, '\0');
  for (char& c : data) {
    do {
      c = static_cast<char>(random() & 0xFF);
    } while (!withCarriageReturns && c == '\r');
  }
  return data;
}

}  // namespace zeltest
