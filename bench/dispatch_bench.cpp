// Dispatcher calls per second through the export: iversion (the shortest command),
// a bad handle (resolver query + message lookup + error delivery), and request 99.
#include <cstdio>

#include "bench/bench_util.h"
#include "host/extender_host.h"

namespace {

int32_t CALLBACK Sink(int32_t, intptr_t, intptr_t, int32_t, int32_t, const char*) { return 1; }

double NanosecondsPerCall(zelhost::Dispatcher dispatch, DWORD code, const char* arg, long iterations) {
  const double start = zelbench::Now();
  for (long i = 0; i < iterations; ++i)
    dispatch(nullptr, 0, 0, code, reinterpret_cast<void*>(&Sink), 0, 0, arg, nullptr, nullptr, nullptr, nullptr);
  return (zelbench::Now() - start) * 1e9 / static_cast<double>(iterations);
}

}  // namespace

int main(int argc, char** argv) {
  const long iterations = zelbench::Iterations(argc, argv, 2000000);
  zelhost::Extender ext;
  std::string problem;
  if (!ext.Load(zelbench::DllBesideProgram(), &problem) || !ext.Enumerate()) {
    std::printf("dispatch bench: %s\n", problem.c_str());
    return 1;
  }
  struct Case {
    const char* name;
    DWORD code;
    const char* arg;
  } cases[] = {{"iversion", 10, nullptr}, {"iclose bad handle (306)", 2, "987654"}, {"request 99", 99, nullptr}};
  std::printf("dispatch bench, %ld calls each (target: under 1000 ns per call)\n", iterations);
  for (const Case& c : cases) {
    NanosecondsPerCall(ext.dispatcher(), c.code, c.arg, iterations / 10 + 1);  // warm up
    std::printf("  %-26s %8.1f ns/call\n", c.name, NanosecondsPerCall(ext.dispatcher(), c.code, c.arg, iterations));
  }
  return 0;
}
