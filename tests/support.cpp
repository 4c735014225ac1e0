#include "tests/support.h"

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

namespace zeltest {

std::string ProgramDir() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string self(path, n);
  return self.substr(0, self.find_last_of("\\/") + 1);
}

std::string DllPath() { return ProgramDir() + "zelinet.dll"; }

const Servers& TestServers() {
  static Servers servers = [] {
    Servers s;
    const char* env = std::getenv("ZEL_SERVERS");
    if (env == nullptr) return s;
    std::ifstream in(zelhost::WindowsPath(env));
    std::map<std::string, std::string> values;
    std::string line;
    while (std::getline(in, line)) {
      size_t eq = line.find('=');
      if (eq != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 1);
    }
    s.httpPort = std::atoi(values["HTTP_PORT"].c_str());
    s.ftpPort = std::atoi(values["FTP_PORT"].c_str());
    s.httpRoot = zelhost::WindowsPath(values["HTTP_ROOT"]) + "\\";
    s.ftpRoot = zelhost::WindowsPath(values["FTP_ROOT"]) + "\\";
    s.httpRecords = zelhost::WindowsPath(values["HTTP_RECORDS"]) + "\\";
    s.ftpUser = values["FTP_USER"];
    s.ftpPassword = values["FTP_PASSWORD"];
    s.httpsPort = std::atoi(values["HTTPS_PORT"].c_str());
    s.httpsUntrustedPort = std::atoi(values["HTTPS_UNTRUSTED_PORT"].c_str());
    s.httpsCert = zelhost::WindowsPath(values["HTTPS_CERT"]);
    return s;
  }();
  return servers;
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool WriteWholeFile(const std::string& path, const std::string& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  return static_cast<bool>(out);
}

std::string FreshDir(const std::string& name) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string dir = std::string(temp) + "zelinet-" + std::to_string(GetCurrentProcessId()) + "-" + name + "\\";
  // SHFileOperation is overkill: the tests make flat folders.
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((dir + "*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      DeleteFileA((dir + data.cFileName).c_str());
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}

void ExtenderTest::SetUp() {
  std::string problem;
  ASSERT_TRUE(ext.Load(DllPath(), &problem)) << problem;
  ASSERT_TRUE(ext.Enumerate());
}

int32_t ExtenderTest::Integer(const std::string& name, const std::vector<std::string>& args) {
  zelhost::CallResult r = ext.Call(name, args);
  EXPECT_EQ(r.deliveries.size(), 1u) << name;
  if (r.deliveries.size() != 1) return 0;
  EXPECT_FALSE(r.deliveries[0].isError()) << name << ": " << r.deliveries[0].text;
  EXPECT_EQ(r.deliveries[0].valueType, 0) << name;
  return r.deliveries[0].value;
}

}  // namespace zeltest
