// ilocfindnext with detailed records over a local tree, against a bare recursive
// FindFirstFileA/FindNextFileA loop over the same tree in the same run (target: at
// least 0.8 of the bare rate). The tree (default 20,000 files in 100 folders) is made
// beside the program at start and removed at the end.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "bench/bench_util.h"
#include "host/extender_host.h"

namespace {

long delivered = 0;
bool ended = false;

int32_t CALLBACK Count(int32_t kind, intptr_t, intptr_t, int32_t, int32_t, const char* text) {
  if (kind != 0 || text == nullptr || text[0] == '\0') {
    ended = true;
  } else {
    ++delivered;
  }
  return 1;
}

std::string Directory(const std::string& root, long folder) { return root + "\\d" + std::to_string(folder); }

void MakeTree(const std::string& root, long files, long folders) {
  CreateDirectoryA(root.c_str(), nullptr);
  for (long f = 0; f < folders; ++f) CreateDirectoryA(Directory(root, f).c_str(), nullptr);
  for (long i = 0; i < files; ++i) {
    const std::string path = Directory(root, i % folders) + "\\file" + std::to_string(i) + ".dat";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, "zelinet", 7, &written, nullptr);
    CloseHandle(file);
  }
}

void RemoveTree(const std::string& root, long files, long folders) {
  for (long i = 0; i < files; ++i)
    DeleteFileA((Directory(root, i % folders) + "\\file" + std::to_string(i) + ".dat").c_str());
  for (long f = 0; f < folders; ++f) RemoveDirectoryA(Directory(root, f).c_str());
  RemoveDirectoryA(root.c_str());
}

// The bare loop: breadth-first, as the walk goes, counting files.
long BareWalk(const std::string& root) {
  long files = 0;
  std::deque<std::string> queue = {root};
  WIN32_FIND_DATAA data;
  while (!queue.empty()) {
    const std::string dir = queue.front();
    queue.pop_front();
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) continue;
    do {
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (std::strcmp(data.cFileName, ".") != 0 && std::strcmp(data.cFileName, "..") != 0)
          queue.push_back(dir + "\\" + data.cFileName);
      } else {
        ++files;
      }
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  return files;
}

long ExtenderWalk(zelhost::Extender& ext, const std::string& root) {
  const zelhost::CommandInfo* next = ext.Find("ilocfindnext");
  const zelhost::CommandInfo* close = ext.Find("iclose");
  zelhost::CallResult started = ext.Call("ilocfindinit", {root, "*", "1"});
  const std::string handle = std::to_string(started.integer());
  delivered = 0;
  ended = false;
  void* sink = reinterpret_cast<void*>(&Count);
  while (!ended)
    ext.dispatcher()(nullptr, 0, 0, next->code, sink, 0, 0, "1", nullptr, nullptr, nullptr, nullptr);
  ext.dispatcher()(nullptr, 0, 0, close->code, sink, 0, 0, handle.c_str(), nullptr, nullptr, nullptr, nullptr);
  return delivered;
}

}  // namespace

int main(int argc, char** argv) {
  const long files = zelbench::Iterations(argc, argv, 20000);
  const long folders = std::max(1L, files / 200);
  zelhost::Extender ext;
  std::string problem;
  if (!ext.Load(zelbench::DllBesideProgram(), &problem) || !ext.Enumerate()) {
    std::printf("walk bench: %s\n", problem.c_str());
    return 1;
  }
  const std::string dll = zelbench::DllBesideProgram();
  const std::string root = dll.substr(0, dll.find_last_of('\\')) + "\\bench-walk-" + std::to_string(files);
  RemoveTree(root, files, folders);
  double start = zelbench::Now();
  MakeTree(root, files, folders);
  std::printf("walk bench: %ld files in %ld folders made in %.1f s\n", files, folders, zelbench::Now() - start);

  std::vector<double> bare, ours;
  long bareFiles = 0, ourFiles = 0;
  for (int round = 0; round < 5; ++round) {
    start = zelbench::Now();
    bareFiles = BareWalk(root);
    bare.push_back(static_cast<double>(bareFiles) / (zelbench::Now() - start));
    start = zelbench::Now();
    ourFiles = ExtenderWalk(ext, root);
    ours.push_back(static_cast<double>(ourFiles) / (zelbench::Now() - start));
  }
  const double bareRate = zelbench::Median(bare), ourRate = zelbench::Median(ours);
  std::printf("  bare FindFirstFileA/FindNextFileA loop  %10.0f files/s (%ld files)\n", bareRate, bareFiles);
  std::printf("  ilocfindnext 1 (detailed records)      %10.0f files/s (%ld files)\n", ourRate, ourFiles);
  std::printf("  ratio %.2f (target: at least 0.80), medians of 5 rounds\n", ourRate / bareRate);
  RemoveTree(root, files, folders);
  return 0;
}
