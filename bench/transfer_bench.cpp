// ireaddata against a bare WinInet loop making the same calls (InternetOpenUrlA with
// iurlopen's flags, 8 KiB InternetReadFile, WriteFile), on one file from the local HTTP
// server, in the same run; curl's figure (measured by transfer_bench.sh) for context.
//
//   transfer_bench [MiB [curl bytes/s]]    (needs ZEL_SERVERS, the servers' env file)
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "host/extender_host.h"

namespace {

constexpr DWORD kUrlFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_EXISTING_CONNECT;  // as iurlopen
constexpr DWORD kChunk = 8192;                                                    // as ireaddata

// One download through the extender: iurlopen, ireaddata, iclose. Seconds, or -1.
double Ours(zelhost::Extender& ext, const std::string& session, const std::string& url, const std::string& target) {
  const double start = zelbench::Now();
  zelhost::CallResult opened = ext.Call("iurlopen", {session, url});
  const std::string handle = std::to_string(opened.integer());
  const bool ok = opened.integer() != 0 && ext.Call("ireaddata", {handle, target}).integer() == 1;
  ext.Call("iclose", {handle});
  return ok ? zelbench::Now() - start : -1;
}

// The same download written directly against WinInet. Seconds, or -1.
double Bare(HINTERNET session, const std::string& url, const std::string& target) {
  const double start = zelbench::Now();
  HINTERNET request = InternetOpenUrlA(session, url.c_str(), nullptr, 0, kUrlFlags, 0);
  if (request == nullptr) return -1;
  HANDLE file = CreateFileA(target.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  static char buffer[kChunk];
  BOOL read = FALSE;
  for (;;) {
    DWORD count = 0, written = 0;
    read = InternetReadFile(request, buffer, kChunk, &count);
    if (count == 0) break;
    WriteFile(file, buffer, count, &written, nullptr);
    if (!read) break;
  }
  CloseHandle(file);
  InternetCloseHandle(request);
  return read ? zelbench::Now() - start : -1;
}

}  // namespace

int main(int argc, char** argv) {
  const long mib = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 256;
  const double curlBytesPerSecond = argc > 2 ? std::strtod(argv[2], nullptr) : 0;
  const int rounds = mib >= 64 ? 5 : 3;
  std::map<std::string, std::string> env = zelbench::ServersEnv();
  if (env["HTTP_PORT"].empty()) {
    std::printf("transfer bench: ZEL_SERVERS names no servers\n");
    return 1;
  }
  const long long bytes = static_cast<long long>(mib) << 20;
  const std::string name = "bench-" + std::to_string(mib) + ".bin";
  const std::string url = "http://127.0.0.1:" + env["HTTP_PORT"] + "/" + name;
  if (!zelbench::EnsureFile(zelhost::WindowsPath(env["HTTP_ROOT"]) + "\\" + name, bytes)) {
    std::printf("transfer bench: cannot write the served file\n");
    return 1;
  }
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string target = std::string(temp) + "zelinet-transfer-bench.bin";

  zelhost::Extender ext;
  std::string problem;
  if (!ext.Load(zelbench::DllBesideProgram(), &problem) || !ext.Enumerate()) {
    std::printf("transfer bench: %s\n", problem.c_str());
    return 1;
  }
  const std::string session = std::to_string(ext.Call("ibegin", {"0", "", ""}).integer());
  HINTERNET bare = InternetOpenA("Morvane Internet Extender Ver: 25016", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);

  // Alternate the two so that both see the same state of the machine; medians of the rounds.
  std::vector<double> ours, direct;
  for (int round = 0; round < rounds; ++round) {
    ours.push_back(Ours(ext, session, url, target));
    DeleteUrlCacheEntryA(url.c_str());  // Wine caches each download; keep the prefix small
    direct.push_back(Bare(bare, url, target));
    DeleteUrlCacheEntryA(url.c_str());
  }
  DeleteFileA(target.c_str());
  InternetCloseHandle(bare);
  ext.Call("iclose", {session});
  if (std::count(ours.begin(), ours.end(), -1.0) + std::count(direct.begin(), direct.end(), -1.0) > 0) {
    std::printf("transfer bench: a download failed\n");
    return 1;
  }

  const double mb = static_cast<double>(bytes) / 1e6;
  const double oursRate = mb / zelbench::Median(ours), bareRate = mb / zelbench::Median(direct);
  std::printf("transfer bench: %ld MiB over HTTP from 127.0.0.1, 8 KiB reads, median of %d rounds\n", mib, rounds);
  std::printf("  ireaddata (iurlopen+ireaddata+iclose) %8.1f MB/s\n", oursRate);
  std::printf("  bare WinInet loop                     %8.1f MB/s\n", bareRate);
  std::printf("  ireaddata / bare loop                 %8.3f   (target at least 0.95)\n", oursRate / bareRate);
  if (curlBytesPerSecond > 0) {
    const double curlRate = curlBytesPerSecond / 1e6;
    std::printf("  curl -o (Linux, for context)          %8.1f MB/s\n", curlRate);
    std::printf("  ireaddata / curl                      %8.3f\n", oursRate / curlRate);
    std::printf("  bare loop / curl                      %8.3f\n", bareRate / curlRate);
  }
  return 0;
}
