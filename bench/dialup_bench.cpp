// Dial-up calls per second against the RAS double: iDialItemize of a full 100-entry
// phonebook (two RAS listings, the list built and delivered twice over), and the NT 3.x
// password store's read and store beside a bare registry read of the same value.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "bench/bench_util.h"
#include "host/extender_host.h"

namespace {

struct StatusRecord {
  int32_t reserved, nStatus, nMessage, bStringResult;
};
using GetPassword = char*(__cdecl*)(StatusRecord*, const char*);
using SetPassword = int(__cdecl*)(StatusRecord*, const char*, const char*);

template <typename Body>
double MicrosecondsPerCall(long iterations, Body body) {
  body();  // warm up
  const double start = zelbench::Now();
  for (long i = 0; i < iterations; ++i) body();
  return (zelbench::Now() - start) * 1e6 / static_cast<double>(iterations);
}

std::string SystemDir() {
  char dir[MAX_PATH];
  GetSystemDirectoryA(dir, MAX_PATH);
  return dir;
}

}  // namespace

int main(int argc, char** argv) {
  const long iterations = zelbench::Iterations(argc, argv, 20000);
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string scenario = std::string(temp) + "zelinet-dialup-bench.txt";
  {
    std::ofstream out(scenario);
    for (int i = 0; i < 100; ++i) out << "entry\tPhonebook entry " << i << "\t555\tuser\tpw\n";
  }
  SetEnvironmentVariableA("ZEL_RAS_SCENARIO", scenario.c_str());
  CreateDirectoryA((SystemDir() + "\\ras").c_str(), nullptr);
  std::ofstream(SystemDir() + "\\ras\\rasphone.pbk") << "[Bench]\r\nUser=bench\r\n";

  zelhost::Extender ext;
  std::string problem;
  if (!ext.Load(zelbench::DllBesideProgram(), &problem) || !ext.Enumerate()) {
    std::printf("dialup bench: %s\n", problem.c_str());
    return 1;
  }
  auto getPassword = reinterpret_cast<GetPassword>(reinterpret_cast<void*>(GetProcAddress(ext.module(), "ZXDoDUNGetPWNT3")));
  auto setPassword = reinterpret_cast<SetPassword>(reinterpret_cast<void*>(GetProcAddress(ext.module(), "ZXDoDUNSetPWNT3")));
  StatusRecord info = {};
  setPassword(&info, "Bench", "a-password-of-some-length");

  std::printf("dialup bench, %ld calls each\n", iterations);
  const size_t listed = ext.Call("iDialItemize").text().size();
  std::printf("  %-40s %8.2f us/call (%zu characters)\n", "iDialItemize, 100 entries",
              MicrosecondsPerCall(iterations / 10 + 1, [&] { ext.Call("iDialItemize"); }), listed);
  std::printf("  %-40s %8.2f us/call\n", "ZXDoDUNGetPWNT3", MicrosecondsPerCall(iterations, [&] {
                GlobalFree(getPassword(&info, "Bench"));
              }));
  std::printf("  %-40s %8.2f us/call\n", "bare RegOpenKeyEx+RegQueryValueEx", MicrosecondsPerCall(iterations, [] {
                HKEY key;
                unsigned char value[70];
                DWORD size = sizeof value;
                if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Ferrovane\\NT3 RAS", 0, KEY_READ, &key) == 0) {
                  RegQueryValueExA(key, "Bench", nullptr, nullptr, value, &size);
                  RegCloseKey(key);
                }
              }));
  std::printf("  %-40s %8.2f us/call\n", "ZXDoDUNSetPWNT3 (phonebook + store)",
              MicrosecondsPerCall(iterations / 10 + 1, [&] { setPassword(&info, "Bench", "another-password"); }));
  DeleteFileA(scenario.c_str());
  return 0;
}
