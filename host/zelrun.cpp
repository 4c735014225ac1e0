// zelrun: the command-line host. Runs extender scripts without the Morvane host.
//
//   zelrun [--dll PATH] [--keep-going] [-D name=value]... SCRIPT...
//   zelrun [--dll PATH] -e LINE [-e LINE]...
//   zelrun [--dll PATH] --list
//
// Exit status: 0 success, 1 an expectation failed, 2 an error was delivered,
// 3 a script fault (unknown command, unset $name, bad syntax) or a usage error.
#include <windows.h>

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "host/extender_host.h"
#include "host/script.h"

using namespace zelhost;

namespace {

std::string DefaultDllPath() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string self(path, n < MAX_PATH ? n : 0);
  size_t slash = self.find_last_of("\\/");
  return (slash == std::string::npos ? std::string() : self.substr(0, slash + 1)) + "zelinet.dll";
}

int Usage() {
  std::cerr << "usage: zelrun [--dll PATH] [--keep-going] [-D name=value]... (SCRIPT... | -e LINE... | --list)\n";
  return kScriptFault;
}

}  // namespace

int main(int argc, char** argv) {
  std::string dll = DefaultDllPath();
  bool list = false, keepGoing = false;
  std::vector<std::string> lines, scripts;
  std::vector<std::pair<std::string, std::string>> defines;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--dll" && i + 1 < argc) dll = argv[++i];
    else if (a == "--list") list = true;
    else if (a == "--keep-going") keepGoing = true;
    else if (a == "-e" && i + 1 < argc) lines.push_back(argv[++i]);
    else if (a == "-D" && i + 1 < argc) {
      std::string d = argv[++i];
      size_t eq = d.find('=');
      if (eq == std::string::npos) return Usage();
      defines.emplace_back(d.substr(0, eq), d.substr(eq + 1));
    } else if (!a.empty() && a[0] == '-') return Usage();
    else scripts.push_back(a);
  }
  if (!list && lines.empty() && scripts.empty()) return Usage();

  Extender extender;
  std::string problem;
  if (!extender.Load(dll, &problem) || !extender.Enumerate()) {
    std::cerr << "zelrun: " << (problem.empty() ? "the extender enumerated no commands" : problem) << "\n";
    return kScriptFault;
  }
  if (list) {
    for (const CommandInfo& c : extender.table()) {
      std::cout << c.code << "\t" << (c.kind == 2 ? "command" : "constant") << "\t" << c.count << "\t0x" << std::hex
                << c.flags << std::dec << "\t" << c.name << "\n";
    }
  }
  ScriptRunner runner(extender, std::cout);
  runner.keepGoing = keepGoing;
  for (auto& d : defines) runner.Define(d.first, d.second);
  for (size_t i = 0; i < lines.size(); ++i) {
    ScriptStatus s = runner.RunLine(lines[i], static_cast<int>(i + 1));
    if (s != kScriptOk && !(s == kErrorDelivered && keepGoing)) return s;
  }
  for (const std::string& path : scripts) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      std::cerr << "zelrun: cannot read " << path << "\n";
      return kScriptFault;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::cout << "## " << path << "\n";
    ScriptStatus s = runner.RunText(text.str());
    if (s != kScriptOk) {
      std::cout << "## " << path << ": failed (" << s << ")\n";
      return s;
    }
  }
  return kScriptOk;
}
