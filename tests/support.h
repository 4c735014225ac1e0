// Shared test support: the DLL under test, the local servers, small file helpers.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "host/extender_host.h"

namespace zeltest {

// Windows path of the zelinet.dll beside the test program.
std::string DllPath();
// Directory of the test program (Windows path, with a trailing backslash).
std::string ProgramDir();

// The local servers the rig started (ZEL_SERVERS names their env file).
struct Servers {
  int httpPort = 0;
  int ftpPort = 0;
  std::string httpRoot;     // Windows paths of the served folders
  std::string ftpRoot;
  std::string httpRecords;  // where the echo endpoint records requests
  std::string ftpUser, ftpPassword;
  // HTTPS servers for the name localhost: one whose certificate (httpsCert, DER, a
  // Windows path) a test may trust, one whose certificate nothing trusts.
  int httpsPort = 0;
  int httpsUntrustedPort = 0;
  std::string httpsCert;
  std::string http() const { return "127.0.0.1:" + std::to_string(httpPort); }
  std::string ftp() const { return "127.0.0.1:" + std::to_string(ftpPort); }
};
const Servers& TestServers();

std::string ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& data);
// A fresh empty folder under the test temp area (Windows path, trailing backslash).
std::string FreshDir(const std::string& name);

// A loaded, enumerated extender with a successful handshake: the host as scripts see it.
class ExtenderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  zelhost::CallResult Call(const std::string& name, const std::vector<std::string>& args = {}) {
    return ext.Call(name, args);
  }
  // Calls and expects one integer result; returns it.
  int32_t Integer(const std::string& name, const std::vector<std::string>& args = {});
  // igetlasterror's value.
  int32_t LastError() { return ext.Call("igetlasterror").integer(); }
  zelhost::Extender ext;
};

}  // namespace zeltest
