// Language override files: TOLVANIX.INI [MAIN] Language, else WIN.INI [INTL] sLanguage;
// TOLVLANG.<code> beside the DLL, else on the system's search path. Runs serially:
// it changes profile files in the Windows directory that every load reads.
#include <windows.h>

#include "tests/support.h"

using zelhost::CallResult;
using zelhost::Extender;

namespace zeltest {
namespace {

std::string WindowsDir() {
  char dir[MAX_PATH];
  GetWindowsDirectoryA(dir, MAX_PATH);
  return std::string(dir) + "\\";
}

class LanguageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Clean();
    dir_ = FreshDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
    ASSERT_TRUE(CopyFileA(DllPath().c_str(), (dir_ + "zelinet.dll").c_str(), FALSE));
  }
  void TearDown() override {
    ext_.Unload();
    Clean();
  }
  static void Clean() {
    DeleteFileA((WindowsDir() + "TOLVANIX.INI").c_str());
    DeleteFileA((WindowsDir() + "TOLVLANG.zq2").c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "TOLVANIX.INI");  // flush Wine's cache
  }
  static void SetLanguage(const char* code) {
    ASSERT_TRUE(WritePrivateProfileStringA("MAIN", "Language", code, (WindowsDir() + "TOLVANIX.INI").c_str()));
  }
  void Load() {
    std::string problem;
    ASSERT_TRUE(ext_.Load(dir_ + "zelinet.dll", &problem)) << problem;
    ASSERT_TRUE(ext_.Enumerate());
  }
  zelhost::Delivery BadHandle() {
    CallResult r = ext_.Call("iclose", {"987654"});
    EXPECT_EQ(r.deliveries.size(), 1u);
    return r.deliveries.empty() ? zelhost::Delivery() : r.deliveries[0];
  }
  std::string Description() {
    char out[256] = {};
    ext_.Raw(100, {out, "256"});
    return out;
  }
  std::string dir_;
  Extender ext_;
};

constexpr char kOverride[] =
    "[ZELX Extender]\r\n"
    "X306=two~words\r\n"
    "X305=XXX\r\n"
    "X901=col|umn\r\n"
    "X1000=Described here\r\n";

TEST_F(LanguageTest, FileBesideTheLibraryOverridesWithTildeAndBar) {
  SetLanguage("zq1");
  ASSERT_TRUE(WriteWholeFile(dir_ + "TOLVLANG.zq1", kOverride));
  Load();
  zelhost::Delivery d = BadHandle();
  EXPECT_EQ(d.text, "two\nwords");
  EXPECT_EQ(d.value, 9);
  EXPECT_EQ(d.kind, -2);
  EXPECT_EQ(ext_.Raw(50, {}).text(), "col\tumn");
  EXPECT_EQ(Description(), "Described here");
  // "XXX" and missing keys fall back to the resources.
  EXPECT_EQ(ext_.Call("ibegin", {"7", "", ""}).text(), "305: Parameter out of range");
  EXPECT_EQ(ext_.Call("iurlopen", {"0", "x"}).text(), "two\nwords");
}

TEST_F(LanguageTest, FileOnTheSearchPathIsFoundWhenNotBesideTheLibrary) {
  SetLanguage("zq2");
  ASSERT_TRUE(WriteWholeFile(WindowsDir() + "TOLVLANG.zq2", "[ZELX Extender]\r\nX306=from windows\r\n"));
  Load();
  EXPECT_EQ(BadHandle().text, "from windows");
}

TEST_F(LanguageTest, WithoutTolvanixTheWindowsLanguageIsUsed) {
  // Wine's WIN.INI [INTL] sLanguage is "ENU".
  ASSERT_TRUE(WriteWholeFile(dir_ + "TOLVLANG.ENU", "[ZELX Extender]\r\nX306=english override\r\n"));
  Load();
  EXPECT_EQ(BadHandle().text, "english override");
}

TEST_F(LanguageTest, NoLanguageFileMeansResourceTexts) {
  SetLanguage("zq3");
  Load();
  EXPECT_EQ(BadHandle().text, "306: Bad Handle");
  EXPECT_EQ(Description(), "Tarvelo Extender");
}

TEST_F(LanguageTest, LongOverrideIsCutToTheMessageBuffer) {
  SetLanguage("zq4");
  ASSERT_TRUE(WriteWholeFile(dir_ + "TOLVLANG.zq4", "[ZELX Extender]\r\nX306=" + std::string(600, 'w') + "\r\n"));
  Load();
  zelhost::Delivery d = BadHandle();
  EXPECT_EQ(d.text, std::string(255, 'w'));
  EXPECT_EQ(d.value, 255);
}

}  // namespace
}  // namespace zeltest
