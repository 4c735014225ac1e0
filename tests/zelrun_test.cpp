// zelrun's script language, run in-process against the DLL through ScriptRunner,
// and zelrun.exe itself for its exit statuses.
#include <windows.h>

#include <sstream>

#include "host/script.h"
#include "tests/support.h"

namespace zeltest {
namespace {

class ZelrunTest : public ExtenderTest {
 protected:
  zelhost::ScriptStatus Run(const std::string& script) {
    out_.str("");
    zelhost::ScriptRunner runner(ext, out_);
    runner.keepGoing = keepGoing_;
    return runner.RunText(script);
  }
  std::string Output() const { return out_.str(); }
  std::ostringstream out_;
  bool keepGoing_ = false;
};

TEST_F(ZelrunTest, CallsResultsVariablesConstantsAndExpectations) {
  EXPECT_EQ(Run("# comment\n"
                "v = iversion\n"
                "expect $v == \"25016\"\n"
                "expect $v != 0\n"
                "print \"https is\", @https, \"ftppassive is\", @ftppassive\n"
                "s = ibegin 0, \"\", \"\"\n"
                "expect $s != \"0\"\n"
                "iclose $s\n"),
            zelhost::kScriptOk)
      << Output();
  EXPECT_NE(Output().find("iversion => 25016"), std::string::npos) << Output();
  EXPECT_NE(Output().find("https is 1 ftppassive is 4\n"), std::string::npos) << Output();
}

TEST_F(ZelrunTest, QuotedTextEscapes) {
  EXPECT_EQ(Run("x = igetresponse\nprint \"a\\\"b\\\\c\\td\"\n"), zelhost::kScriptOk) << Output();
  EXPECT_NE(Output().find("a\"b\\c\td\n"), std::string::npos) << Output();
}

TEST_F(ZelrunTest, ErrorDeliveryStopsUnlessKeepGoing) {
  EXPECT_EQ(Run("iclose 987654\nprint after\n"), zelhost::kErrorDelivered);
  EXPECT_NE(Output().find("iclose 987654 => error 306 (kind -2): 306: Bad Handle"), std::string::npos) << Output();
  EXPECT_EQ(Output().find("after"), std::string::npos);
  keepGoing_ = true;
  EXPECT_EQ(Run("iclose 987654\nprint after\n"), zelhost::kScriptOk);
  EXPECT_NE(Output().find("after"), std::string::npos);
}

TEST_F(ZelrunTest, ScriptFaultsNameTheirLine) {
  const std::pair<const char*, const char*> cases[] = {
      {"iversion\nnosuchcommand 1\n", "line 2: unknown command nosuchcommand"},
      {"print $never\n", "line 1: $never is not set"},
      {"print @nosuch\n", "line 1: unknown constant @nosuch"},
      {"print \"open\n", "line 1: unterminated quoted text"},
      {"iclose 1, 2\n", "line 1: iclose takes 1 argument(s), not 2"},
      {"expect 1 <> 2\n", "line 1: expect needs"},
      {"dump nothing, 0, 4\n", "line 1: dump needs"},
  };
  for (const auto& [script, message] : cases) {
    EXPECT_EQ(Run(script), zelhost::kScriptFault) << script;
    EXPECT_NE(Output().find(message), std::string::npos) << Output();
  }
  EXPECT_EQ(Run("expect \"a\" == \"b\"\n"), zelhost::kExpectationFailed);
}

TEST_F(ZelrunTest, BuffersLieBelow2GiBAndDump) {
  EXPECT_EQ(Run("buffer body, 100\ndump body, 0, 20\ndump body, 90, 11\n"), zelhost::kScriptFault);
  EXPECT_NE(Output().find("00000000  00 00 00"), std::string::npos) << Output();
  EXPECT_NE(Output().find("line 3: dump range is outside the buffer"), std::string::npos) << Output();
  const size_t arrow = Output().find("buffer body, 100 => ");
  ASSERT_NE(arrow, std::string::npos);
  const unsigned long long address = std::stoull(Output().substr(arrow + 20));
  EXPECT_GT(address, 0u);
  EXPECT_LT(address, 0x80000000ull);
}

// zelrun.exe as a user runs it: exit statuses and --list.
int RunZelrun(const std::string& arguments, std::string* output) {
  const std::string outPath = FreshDir("zelrun-exe") + "out.txt";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOA start{};
  start.cb = sizeof start;
  start.dwFlags = STARTF_USESTDHANDLES;
  start.hStdOutput = start.hStdError = out;
  PROCESS_INFORMATION process{};
  std::string command = "\"" + ProgramDir() + "zelrun.exe\" " + arguments;
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start, &process)) {
    CloseHandle(out);
    return -1;
  }
  WaitForSingleObject(process.hProcess, 60000);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  CloseHandle(out);
  *output = ReadWholeFile(outPath);
  return static_cast<int>(code);
}

TEST(ZelrunExe, ListAndExitStatuses) {
  std::string output;
  EXPECT_EQ(RunZelrun("--list", &output), 0);
  EXPECT_NE(output.find("1\tcommand\t3\t0x1f\tibegin"), std::string::npos) << output;
  EXPECT_NE(output.find("43\tconstant\t4\t0x0\t@ftppassive"), std::string::npos) << output;
  EXPECT_EQ(RunZelrun("-e iversion", &output), 0) << output;
  EXPECT_EQ(RunZelrun("-e \"iclose 987654\"", &output), 2) << output;
  EXPECT_EQ(RunZelrun("--keep-going -e \"iclose 987654\" -e iversion", &output), 0) << output;
  EXPECT_EQ(RunZelrun("-D want=25016 -e \"v = iversion\" -e \"expect $v == $want\"", &output), 0) << output;
  EXPECT_EQ(RunZelrun("-e \"expect 1 == 2\"", &output), 1) << output;
  EXPECT_EQ(RunZelrun("-e \"bogus\"", &output), 3) << output;
  EXPECT_EQ(RunZelrun("--dll C:\\nowhere\\zelinet.dll -e iversion", &output), 3) << output;
}

}  // namespace
}  // namespace zeltest
