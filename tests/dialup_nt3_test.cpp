// The Windows NT 3.x path, with Wine reporting NT 3.51 to this program: the phonebook file
// "<system directory>\ras\rasphone.pbk", the password store under
// HKEY_CURRENT_USER\Software\Ferrovane\NT3 RAS and the three exports, and iDial taking its
// dial parameters from them instead of from RAS. The cases share that file and key, so
// they never run at the same time (one resource lock).
#include <windows.h>
#include <ras.h>

#include <cstring>
#include <ctime>

#include "tests/dialup_support.h"
#include "tests/support.h"

namespace zel::dialup {
bool IsWindowsNT3();  // dialup/operations.h clashes with <ras.h>, which this test uses
}

namespace zeltest {
namespace {

struct StatusRecord {
  int32_t reserved, nStatus, nMessage, bStringResult;
};

constexpr char kStoreKey[] = "Software\\Ferrovane\\NT3 RAS";

std::string SystemDir() {
  char dir[MAX_PATH];
  GetSystemDirectoryA(dir, MAX_PATH);
  return dir;
}
std::string Phonebook() { return SystemDir() + "\\ras\\rasphone.pbk"; }

// The stored value of an entry, or "<absent>".
std::string StoredValue(const std::string& name, DWORD* type = nullptr) {
  char data[256];
  DWORD size = sizeof data;
  DWORD kind = 0;
  if (RegGetValueA(HKEY_CURRENT_USER, kStoreKey, name.c_str(), RRF_RT_ANY, &kind, data, &size) != ERROR_SUCCESS)
    return "<absent>";
  if (type != nullptr) *type = kind;
  return std::string(data, size);
}

void WriteStoredValue(const std::string& name, const std::string& bytes) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kStoreKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), 0);
  RegSetValueExA(key, name.c_str(), 0, REG_BINARY, reinterpret_cast<const BYTE*>(bytes.data()),
                 static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
}

class Nt3Test : public ExtenderTest {
 protected:
  void SetUp() override {
    ExtenderTest::SetUp();
    CreateDirectoryA((SystemDir() + "\\ras").c_str(), nullptr);
    ASSERT_TRUE(WriteWholeFile(Phonebook(),
                               "[Office]\r\nUser=alice\r\nPhoneNumber=555\r\n\r\n[Home]\r\nPhoneNumber=666\r\n\r\n"
                               "[B\xFCro]\r\nUser=bernd\r\n"));
    RegDeleteKeyA(HKEY_CURRENT_USER, kStoreKey);  // a fresh store for every case
    getEntry_ = reinterpret_cast<GetEntry>(Export("?_GetEntryDialParamsNT3@@YAKPEAUZELCUSTOMCMDINFO@@PEAUtagRASDIALPARAMSA@@PEAH@Z"));
    getPassword_ = reinterpret_cast<GetPassword>(Export("ZXDoDUNGetPWNT3"));
    setPassword_ = reinterpret_cast<SetPassword>(Export("ZXDoDUNSetPWNT3"));
    ASSERT_TRUE(getEntry_ && getPassword_ && setPassword_);
  }
  void* Export(const char* name) { return reinterpret_cast<void*>(GetProcAddress(ext.module(), name)); }

  // ZXDoDUNGetPWNT3's text, releasing its block; status gets nStatus.
  std::string Password(const std::string& entry, int32_t* status = nullptr) {
    StatusRecord info = {};
    char* block = getPassword_(&info, entry.c_str());
    EXPECT_NE(block, nullptr);
    EXPECT_EQ(GlobalSize(block), 86u);
    const std::string text = block != nullptr ? block : "";
    GlobalFree(block);
    if (status != nullptr) *status = info.nStatus;
    return text;
  }
  int Store(const std::string& entry, const char* password, int32_t* status = nullptr) {
    StatusRecord info = {};
    const int result = setPassword_(&info, entry.c_str(), password);
    if (status != nullptr) *status = info.nStatus;
    return result;
  }
  RASDIALPARAMSA Params(const std::string& entry) {
    RASDIALPARAMSA params = {};
    params.dwSize = 1052;
    lstrcpynA(params.szEntryName, entry.c_str(), sizeof params.szEntryName);
    return params;
  }

  using GetEntry = unsigned long(__cdecl*)(StatusRecord*, RASDIALPARAMSA*, int*);
  using GetPassword = char*(__cdecl*)(StatusRecord*, const char*);
  using SetPassword = int(__cdecl*)(StatusRecord*, const char*, const char*);
  GetEntry getEntry_ = nullptr;
  GetPassword getPassword_ = nullptr;
  SetPassword setPassword_ = nullptr;
};

TEST(Nt3Platform, WineReportsNT3ToThisProgram) { EXPECT_TRUE(zel::dialup::IsWindowsNT3()); }

// --- the phonebook reader
TEST_F(Nt3Test, FoundEntryFillsTheRecordAndKeepsTheCallersName) {
  ASSERT_EQ(Store("OFFICE", "pw"), 1);
  StatusRecord info = {};
  RASDIALPARAMSA params = Params("OFFICE");  // the section is [Office]
  int found = 0;
  EXPECT_EQ(getEntry_(&info, &params, &found), 0u);
  EXPECT_STREQ(params.szEntryName, "OFFICE");
  EXPECT_STREQ(params.szPhoneNumber, "");
  EXPECT_STREQ(params.szCallbackNumber, "*");
  EXPECT_STREQ(params.szUserName, "alice");
  EXPECT_STREQ(params.szPassword, "pw");
  EXPECT_STREQ(params.szDomain, "*");
  EXPECT_EQ(found, 'p');
  EXPECT_EQ(info.nStatus, 0);
}

TEST_F(Nt3Test, EntryWithoutUserOrPasswordStillFillsTheRecord) {
  StatusRecord info = {};
  RASDIALPARAMSA params = Params("home");
  int found = 7;
  EXPECT_EQ(getEntry_(&info, &params, &found), 0u);
  EXPECT_STREQ(params.szUserName, "");
  EXPECT_STREQ(params.szPassword, "");
  EXPECT_EQ(found, 0);
  EXPECT_EQ(info.nStatus, 9);  // no password could be read
}

TEST_F(Nt3Test, PasswordFlagIsTheFirstCharacterAsSigned) {
  ASSERT_EQ(Store("Office", "\xE9x"), 1);
  RASDIALPARAMSA params = Params("Office");
  int found = 0;
  EXPECT_EQ(getEntry_(nullptr, &params, &found), 0u);
  EXPECT_EQ(found, -23);
}

TEST_F(Nt3Test, MissingEntriesGive623AndLeaveTheRecord) {
  const struct {
    const char* name;
    std::string entry;
  } cases[] = {{"absent", "Nobody"}, {"onlyAsciiLettersFold", "B\xDCRO"}, {"prefix", "Offic"}};
  for (const auto& c : cases) {
    RASDIALPARAMSA params = Params(c.entry);
    const RASDIALPARAMSA before = params;
    int found = 7;
    EXPECT_EQ(getEntry_(nullptr, &params, &found), 623u) << c.name;
    EXPECT_EQ(found, 0) << c.name;
    EXPECT_EQ(std::memcmp(&params, &before, sizeof params), 0) << c.name;
  }
  RASDIALPARAMSA params = Params("b\xFCRO");
  EXPECT_EQ(getEntry_(nullptr, &params, nullptr), 0u);
  EXPECT_STREQ(params.szUserName, "bernd");
}

TEST_F(Nt3Test, MissingPhonebookFileHasNoEntries) {
  ASSERT_TRUE(DeleteFileA(Phonebook().c_str()));
  RASDIALPARAMSA params = Params("Office");
  int found = 7;
  EXPECT_EQ(getEntry_(nullptr, &params, &found), 623u);
  EXPECT_EQ(found, 0);
  StatusRecord info = {};
  EXPECT_EQ(setPassword_(&info, "Office", "pw"), 0);
  EXPECT_EQ(info.nStatus, 9);
}

// --- the password store
TEST_F(Nt3Test, EveryPasswordLengthFrom1To65RoundTrips) {
  for (size_t length = 1; length <= 65; ++length) {
    std::string password;
    for (size_t i = 0; i < length; ++i) password += static_cast<char>(0x21 + (length * 31 + i * 7) % 0xDE);
    ASSERT_EQ(Store("Office", password.c_str()), 1) << length;
    int32_t status = 0;
    EXPECT_EQ(Password("Office", &status), password) << length;
    EXPECT_EQ(status, 0) << length;
  }
}

TEST_F(Nt3Test, FirstStoreForAnEntryLeavesStatus9) {
  int32_t status = 0;
  EXPECT_EQ(Store("Office", "one", &status), 1);
  EXPECT_EQ(status, 9);  // the entry check read no password yet
  EXPECT_EQ(Store("Office", "two", &status), 1);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(Password("Office"), "two");
}

TEST_F(Nt3Test, StoredValueLayout) {
  ASSERT_EQ(Store("Office", "abc"), 1);
  DWORD type = 0;
  const std::string value = StoredValue("Office", &type);
  ASSERT_EQ(value.size(), 70u);
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  const char expected[] = "abc";  // with its NUL, reversed at bytes 65 down to 62
  for (int i = 0; i <= 3; ++i) {
    const char decoded = static_cast<char>(value[static_cast<size_t>(65 - i)] ^ value[static_cast<size_t>(69 - i % 4)]);
    EXPECT_EQ(decoded, expected[i]) << i;
  }
}

TEST_F(Nt3Test, StoresWithinOneSecondWriteTheSameValueAndAnotherSecondDrawsAfresh) {
  bool compared = false;
  for (int attempt = 0; attempt < 5 && !compared; ++attempt) {
    const std::time_t second = std::time(nullptr);
    ASSERT_EQ(Store("Office", "same"), 1);
    const std::string first = StoredValue("Office");
    ASSERT_EQ(Store("Office", "same"), 1);
    const std::string again = StoredValue("Office");
    if (std::time(nullptr) != second) continue;  // crossed a second: try again
    EXPECT_EQ(first, again);
    compared = true;
  }
  EXPECT_TRUE(compared);
  const std::string before = StoredValue("Office");
  for (const std::time_t second = std::time(nullptr); std::time(nullptr) == second;) Sleep(20);
  ASSERT_EQ(Store("Office", "same"), 1);
  const std::string after = StoredValue("Office");
  EXPECT_NE(before.substr(0, 61), after.substr(0, 61));  // filler
  EXPECT_NE(before.substr(66), after.substr(66));        // pad
  EXPECT_EQ(Password("Office"), "same");
}

TEST_F(Nt3Test, EmptyOrNullPasswordRemovesTheValue) {
  for (const char* removal : {"", static_cast<const char*>(nullptr)}) {
    ASSERT_EQ(Store("Office", "secret"), 1);
    ASSERT_NE(StoredValue("Office"), "<absent>");
    EXPECT_EQ(Store("Office", removal), 1);
    EXPECT_EQ(StoredValue("Office"), "<absent>");
    int32_t status = 0;
    EXPECT_EQ(Password("Office", &status), "");
    EXPECT_EQ(status, 9);
  }
  EXPECT_EQ(Store("Home", nullptr), 1);  // never stored: nothing to do, nothing reported
  RegDeleteKeyA(HKEY_CURRENT_USER, kStoreKey);
  EXPECT_EQ(Store("Home", ""), 1);  // no store key at all
}

TEST_F(Nt3Test, RefusedStoresWriteNothing) {
  const struct {
    const char* name;
    std::string entry;
    std::string password;
  } cases[] = {{"notInPhonebook", "Nobody", "pw"},
               {"passwordOver65", "Office", std::string(66, 'p')},
               {"nameOver256", std::string(257, 'n'), "pw"}};
  for (const auto& c : cases) {
    int32_t status = 0;
    EXPECT_EQ(Store(c.entry, c.password.c_str(), &status), 0) << c.name;
    EXPECT_EQ(status, 9) << c.name;
    EXPECT_EQ(StoredValue(c.entry), "<absent>") << c.name;
  }
  EXPECT_EQ(Store("Office", std::string(65, 'p').c_str()), 1);
}

TEST_F(Nt3Test, ValuesOfAnyOtherLengthReadAsNoPassword) {
  for (size_t size : {0u, 1u, 69u, 71u, 200u}) {
    WriteStoredValue("Office", std::string(size, 'q'));
    int32_t status = 0;
    EXPECT_EQ(Password("Office", &status), "") << size;
    EXPECT_EQ(status, 9) << size;
  }
  int32_t status = 0;
  EXPECT_EQ(Password(std::string(257, 'n'), &status), "");
  EXPECT_EQ(status, 9);
}

// --- iDial on NT 3.x: parameters from the phonebook and the store, not from RAS
TEST_F(Nt3Test, DialTakesItsParametersFromThePhonebookAndTheStore) {
  RasScenario scenario("nt3-dial", {EntryLine("Office", "999", "ras-user", "ras-password")});
  ASSERT_EQ(Store("office", "stored"), 1);
  EXPECT_EQ(Integer("iDial", {"office", ""}), 5001);
  EXPECT_EQ(Integer("iDial", {"office", "given"}), 5002);
  EXPECT_EQ(Integer("iDial", {"Home", "0"}), 5003);  // no stored password: dials without
  EXPECT_EQ(Integer("iDial", {"Nobody", ""}), 0);
  EXPECT_TRUE(scenario.Calls("getparams").empty());
  EXPECT_EQ(scenario.Calls("dial"), (std::vector<std::string>{"dial office||*|alice|stored|* -> 0 5001",
                                                              "dial office||*|alice|given|* -> 0 5002",
                                                              "dial Home||*|||* -> 0 5003"}));
}

}  // namespace
}  // namespace zeltest
