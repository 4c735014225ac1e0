// Test side of the RAS double (tests/ras_double): the scenario a test runs against, the
// calls the double saw, and a watcher that answers the binding's modal message box.
#pragma once
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

namespace zeltest {

// A fresh scenario for this process's double; lines as ras_double.cpp describes them
// (fields separated by tabs).
class RasScenario {
 public:
  RasScenario(const std::string& name, const std::vector<std::string>& lines);
  // Every logged call, in order, and those that start with prefix.
  std::vector<std::string> Log() const;
  std::vector<std::string> Calls(const std::string& prefix) const;

 private:
  std::string log_;
};

// "entry" line of the scenario.
std::string EntryLine(const std::string& name, const std::string& phone = "555", const std::string& user = "user",
                      const std::string& password = "stored");

// While alive, finds each "ZEL Extender Error" box of this process, records its text and
// presses OK, so a modal box cannot block the test.
class BoxWatcher {
 public:
  BoxWatcher();
  ~BoxWatcher();
  BoxWatcher(const BoxWatcher&) = delete;
  BoxWatcher& operator=(const BoxWatcher&) = delete;
  // Texts of the boxes dismissed so far.
  std::vector<std::string> texts() const;

 private:
  void Run();
  HANDLE stop_;
  mutable CRITICAL_SECTION lock_;
  std::vector<std::string> texts_;
  std::thread thread_;
};

}  // namespace zeltest
