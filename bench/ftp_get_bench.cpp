// iftpget of one large file from the local FTP server, against a bare FtpGetFileA of the
// same file on a passive connection in the same run (target: at least 0.95 of its rate).
//   ftp_get_bench [MiB] [--keep]   default 256 MiB; the file is made in the FTP root if
//   missing and removed at the end unless --keep (bench/ftp_get.sh adds curl's figure).
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "host/extender_host.h"

namespace {

std::map<std::string, std::string> ServersEnv() {
  std::map<std::string, std::string> values;
  const char* env = std::getenv("ZEL_SERVERS");
  if (env == nullptr) return values;
  std::ifstream in(zelhost::WindowsPath(env));
  for (std::string line; std::getline(in, line);) {
    const size_t eq = line.find('=');
    if (eq != std::string::npos) values[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return values;
}

bool MakeFile(const std::string& path, long long bytes) {
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &info) &&
      (static_cast<long long>(info.nFileSizeHigh) << 32 | info.nFileSizeLow) == bytes)
    return true;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::vector<char> block(1 << 20);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 131 % 251);
  bool ok = true;
  for (long long left = bytes; left > 0 && ok; left -= static_cast<long long>(block.size())) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<long long>(left, static_cast<long long>(block.size())));
    ok = WriteFile(file, block.data(), chunk, &written, nullptr) && written == chunk;
  }
  CloseHandle(file);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  const long mib = zelbench::Iterations(argc, argv, 256);
  const bool keep = argc > 2 && std::strcmp(argv[2], "--keep") == 0;
  std::map<std::string, std::string> env = ServersEnv();
  if (env["FTP_PORT"].empty()) {
    std::printf("ftp get bench: ZEL_SERVERS names no FTP server\n");
    return 1;
  }
  const long long bytes = static_cast<long long>(mib) << 20;
  const std::string name = "bench-get-" + std::to_string(mib) + ".bin";
  const std::string served = zelhost::WindowsPath(env["FTP_ROOT"]) + "\\" + name;
  const std::string remote = "/" + name;
  const std::string dll = zelbench::DllBesideProgram();
  const std::string local = dll.substr(0, dll.find_last_of('\\')) + "\\bench-get.out";
  if (!MakeFile(served, bytes)) {
    std::printf("ftp get bench: cannot make %s\n", served.c_str());
    return 1;
  }

  zelhost::Extender ext;
  std::string problem;
  if (!ext.Load(dll, &problem) || !ext.Enumerate()) {
    std::printf("ftp get bench: %s\n", problem.c_str());
    return 1;
  }
  const std::string host = "127.0.0.1:" + env["FTP_PORT"];
  const std::string session = std::to_string(ext.Call("ibegin", {"0", "", ""}).integer());
  const std::string connection =
      std::to_string(ext.Call("ihostconnect", {session, host, "4", env["FTP_USER"], env["FTP_PASSWORD"]}).integer());

  HINTERNET bareSession = InternetOpenA("bench", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  HINTERNET bare = InternetConnectA(bareSession, "127.0.0.1", static_cast<INTERNET_PORT>(std::atoi(env["FTP_PORT"].c_str())),
                                    env["FTP_USER"].c_str(), env["FTP_PASSWORD"].c_str(), INTERNET_SERVICE_FTP,
                                    INTERNET_FLAG_PASSIVE, 1);

  std::vector<double> bareRates, ourRates;
  const double megabytes = static_cast<double>(bytes) / 1e6;
  for (int round = 0; round < 3; ++round) {
    double start = zelbench::Now();
    const BOOL bareOk = FtpGetFileA(bare, remote.c_str(), local.c_str(), FALSE, FILE_ATTRIBUTE_NORMAL,
                                    FTP_TRANSFER_TYPE_BINARY, 1);
    bareRates.push_back(megabytes / (zelbench::Now() - start));
    start = zelbench::Now();
    const int32_t ourOk = ext.Call("iftpget", {connection, remote, local, "0", "0"}).integer();
    ourRates.push_back(megabytes / (zelbench::Now() - start));
    if (!bareOk || ourOk != 1) {
      std::printf("ftp get bench: a transfer failed (bare %d, iftpget %d)\n", bareOk, ourOk);
      break;
    }
  }
  const double bareRate = zelbench::Median(bareRates), ourRate = zelbench::Median(ourRates);
  std::printf("ftp get bench: %ld MiB from the local FTP server (passive, binary), medians of 3\n", mib);
  std::printf("  bare FtpGetFileA   %8.1f MB/s\n", bareRate);
  std::printf("  iftpget            %8.1f MB/s\n", ourRate);
  std::printf("  ratio %.2f (target: at least 0.95)\n", ourRate / bareRate);

  InternetCloseHandle(bareSession);
  ext.Call("iclose", {session});
  DeleteFileA(local.c_str());
  if (!keep) DeleteFileA(served.c_str());
  return 0;
}
