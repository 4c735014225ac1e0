// iftpget of one large file from the local FTP server, against a bare FtpGetFileA of the
// same file on a passive connection in the same run (target: at least 0.95 of its rate),
// and against the bare size lookup + FtpGetFileA that iftpget does by design.
//   ftp_get_bench [MiB] [--keep]   default 256 MiB; the file is made in the FTP root if
//   missing and removed at the end unless --keep (bench/ftp_get.sh adds curl's figure).
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "host/extender_host.h"

namespace {

}  // namespace

int main(int argc, char** argv) {
  const long mib = zelbench::Iterations(argc, argv, 256);
  const bool keep = argc > 2 && std::strcmp(argv[2], "--keep") == 0;
  std::map<std::string, std::string> env = zelbench::ServersEnv();
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
  if (!zelbench::EnsureFile(served, bytes)) {
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

  // Three contenders: the bare transfer, the bare transfer after the same size lookup
  // iftpget makes (one LIST), and iftpget. Rounds rotate which goes first, so that none
  // always writes its local file while the page cache still flushes another's.
  const auto bareGet = [&] {
    return FtpGetFileA(bare, remote.c_str(), local.c_str(), FALSE, FILE_ATTRIBUTE_NORMAL, FTP_TRANSFER_TYPE_BINARY,
                       1) != FALSE;
  };
  const auto bareLookupGet = [&] {
    WIN32_FIND_DATAA entry;
    HINTERNET search = FtpFindFirstFileA(bare, remote.c_str(), &entry, INTERNET_FLAG_RELOAD, 0);
    if (search != nullptr) {
      InternetFindNextFileA(search, &entry);
      InternetCloseHandle(search);
    }
    return bareGet();
  };
  const auto ourGet = [&] { return ext.Call("iftpget", {connection, remote, local, "0", "0"}).integer() == 1; };
  struct Contender {
    const char* name;
    std::function<bool()> run;
    std::vector<double> rates;
  } contenders[] = {{"bare FtpGetFileA", bareGet, {}},
                    {"bare lookup + FtpGetFileA", bareLookupGet, {}},
                    {"iftpget", ourGet, {}}};
  const double megabytes = static_cast<double>(bytes) / 1e6;
  const int rounds = 5;
  for (int round = 0; round < rounds; ++round) {
    for (int turn = 0; turn < 3; ++turn) {
      Contender& c = contenders[(round + turn) % 3];
      const double start = zelbench::Now();
      if (!c.run()) {
        std::printf("ftp get bench: %s failed\n", c.name);
        return 1;
      }
      c.rates.push_back(megabytes / (zelbench::Now() - start));
    }
  }
  std::printf("ftp get bench: %ld MiB from the local FTP server (passive, binary), medians of %d\n", mib, rounds);
  for (Contender& c : contenders) std::printf("  %-26s %8.1f MB/s\n", c.name, zelbench::Median(c.rates));
  const double bareRate = zelbench::Median(contenders[0].rates);
  const double lookupRate = zelbench::Median(contenders[1].rates);
  const double ourRate = zelbench::Median(contenders[2].rates);
  std::printf("  ratio %.2f to the bare transfer (target: at least 0.95); %.2f to the bare lookup + transfer\n",
              ourRate / bareRate, ourRate / lookupRate);

  InternetCloseHandle(bareSession);
  ext.Call("iclose", {session});
  DeleteFileA(local.c_str());
  if (!keep) DeleteFileA(served.c_str());
  return 0;
}
