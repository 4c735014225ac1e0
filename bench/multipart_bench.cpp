// icontentfile of a large file (64 MiB by default) through the export, against the
// limit: one plain ReadFile of the same file into the same memory (target: icontentfile
// at least 0.9 of it). A bare loop of the same 30000-byte reads that icontentfile makes
// shows how much of the gap is the platform's cost per read. All three are timed per
// round, in turn, and the medians are reported as MB/s with their ratios.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "host/extender_host.h"

namespace {

int32_t CALLBACK Sink(int32_t, intptr_t, intptr_t, int32_t, int32_t, const char*) { return 1; }

// Seconds to read the file into memory with reads of unit bytes.
double PlainRead(const std::string& path, char* memory, size_t size, size_t unit) {
  const double start = zelbench::Now();
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  for (size_t done = 0; done < size;) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min(unit, size - done));
    if (!ReadFile(file, memory + done, want, &got, nullptr) || got == 0) break;
    done += got;
  }
  CloseHandle(file);
  return zelbench::Now() - start;
}

double ContentFile(zelhost::Dispatcher dispatch, const std::string& path, char* memory) {
  const std::string address = std::to_string(reinterpret_cast<uintptr_t>(memory));
  const double start = zelbench::Now();
  dispatch(nullptr, 0, 0, 7, reinterpret_cast<void*>(&Sink), 0, 0, address.c_str(), "0", "upload", path.c_str(),
           nullptr);
  return zelbench::Now() - start;
}

}  // namespace

int main(int argc, char** argv) {
  const long mebibytes = zelbench::Iterations(argc, argv, 64);
  const int rounds = mebibytes >= 16 ? 7 : 3;
  const size_t size = static_cast<size_t>(mebibytes) << 20;
  zelhost::Extender ext;
  std::string problem;
  if (!ext.Load(zelbench::DllBesideProgram(), &problem) || !ext.Enumerate()) {
    std::printf("multipart bench: %s\n", problem.c_str());
    return 1;
  }
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string path = std::string(temp) + "zelinet-multipart-bench.bin";
  char* memory = static_cast<char*>(zelhost::AllocLowMemory(size + 4096));
  if (memory == nullptr || !zelbench::EnsureFile(path, static_cast<long long>(size))) {
    std::printf("multipart bench: no memory below 2 GiB or no file for %ld MiB\n", mebibytes);
    return 1;
  }
  std::vector<double> whole, loop, command;
  for (int round = 0; round < rounds; ++round) {
    whole.push_back(PlainRead(path, memory, size, size));
    loop.push_back(PlainRead(path, memory, size, 30000));
    command.push_back(ContentFile(ext.dispatcher(), path, memory));
  }
  const double mb = static_cast<double>(size) / 1e6;
  const double wholeRate = mb / zelbench::Median(whole);
  const double loopRate = mb / zelbench::Median(loop);
  const double commandRate = mb / zelbench::Median(command);
  std::printf("multipart bench, %ld MiB file, median of %d rounds (target: icontentfile/limit at least 0.9)\n",
              mebibytes, rounds);
  std::printf("  limit: one ReadFile of the whole file   %9.1f MB/s\n", wholeRate);
  std::printf("  bare loop of 30000-byte ReadFiles       %9.1f MB/s   ratio to limit %.2f\n", loopRate,
              loopRate / wholeRate);
  std::printf("  icontentfile                            %9.1f MB/s   ratio to limit %.2f, to the loop %.2f\n",
              commandRate, commandRate / wholeRate, commandRate / loopRate);
  zelhost::FreeLowMemory(memory);
  DeleteFileA(path.c_str());
  return 0;
}
