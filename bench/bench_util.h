// Small timing helpers for the benchmarks (figures only; nothing here fails a run).
#pragma once
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

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

inline std::string DllBesideProgram() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string self(path, n);
  return self.substr(0, self.find_last_of("\\/") + 1) + "zelinet.dll";
}

}  // namespace zelbench
