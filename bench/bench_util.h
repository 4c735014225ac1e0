// Small timing helpers for the benchmarks (figures only; nothing here fails a run).
#pragma once
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "host/extender_host.h"

namespace zelbench {

inline double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Iterations from argv[1] (the test suite passes a small count), else the default.
inline long Iterations(int argc, char** argv, long fallback) {
  return argc > 1 ? std::strtol(argv[1], nullptr, 10) : fallback;
}

// The middle of several timings (rounds alternate between the contenders).
inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0.0 : values[values.size() / 2];
}

// The local servers' settings (KEY=VALUE lines of the file ZEL_SERVERS names).
inline std::map<std::string, std::string> ServersEnv() {
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

// A file of exactly `bytes` varied bytes at path; one of that size already there is kept.
inline bool EnsureFile(const std::string& path, long long bytes) {
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &info) &&
      (static_cast<long long>(info.nFileSizeHigh) << 32 | info.nFileSizeLow) == bytes)
    return true;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::vector<char> block(1 << 20);
  unsigned state = 12345;
  for (char& c : block) c = static_cast<char>((state = state * 1103515245u + 12345u) >> 24);
  bool ok = true;
  for (long long left = bytes; left > 0 && ok; left -= static_cast<long long>(block.size())) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<long long>(left, static_cast<long long>(block.size())));
    ok = WriteFile(file, block.data(), chunk, &written, nullptr) && written == chunk;
  }
  CloseHandle(file);
  return ok;
}

inline std::string DllBesideProgram() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string self(path, n);
  return self.substr(0, self.find_last_of("\\/") + 1) + "zelinet.dll";
}

}  // namespace zelbench
