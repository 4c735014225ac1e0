// RegistryKey's result codes, on a scratch key of this process under HKEY_CURRENT_USER.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "dialup/registry_key.h"

namespace zeltest {
namespace {

using namespace zel::dialup;

class RegistryKeyTest : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteKeyA(HKEY_CURRENT_USER, path_.c_str()); }
  void TearDown() override { RegDeleteKeyA(HKEY_CURRENT_USER, path_.c_str()); }
  const std::string path_ = "Software\\Ferrovane\\zelinet-test-" + std::to_string(GetCurrentProcessId());
};

TEST_F(RegistryKeyTest, CreateOpenAndClose) {
  RegistryKey key;
  EXPECT_EQ(key.Create(nullptr, path_.c_str(), true), kRegistryBadArgument);
  EXPECT_EQ(key.Create(HKEY_CURRENT_USER, nullptr, true), kRegistryBadArgument);
  EXPECT_EQ(key.Create(HKEY_CURRENT_USER, "", true), kRegistryBadArgument);
  EXPECT_EQ(key.Create(HKEY_CURRENT_USER, std::string(MAX_PATH, 'k').c_str(), true), kRegistryBadArgument);
  EXPECT_EQ(key.Open(HKEY_CURRENT_USER, nullptr, true), kRegistryBadArgument);
  EXPECT_EQ(key.CloseChecked(), kRegistryNotOpen);
  EXPECT_EQ(key.Open(HKEY_CURRENT_USER, path_.c_str(), true), kRegistryAbsent);
  EXPECT_EQ(key.Create(HKEY_CURRENT_USER, path_.c_str(), true), kRegistryCreated);
  EXPECT_EQ(key.Create(HKEY_CURRENT_USER, path_.c_str(), true), kRegistryDone);  // closes the first
  EXPECT_EQ(key.Open(HKEY_CURRENT_USER, path_.c_str(), false), kRegistryDone);
  EXPECT_EQ(key.CloseChecked(), kRegistryDone);
  EXPECT_EQ(key.handle(), nullptr);
}

TEST_F(RegistryKeyTest, EveryOperationNeedsAnOpenKey) {
  RegistryKey key;
  char buffer[4];
  EXPECT_EQ(key.QueryValue("v", buffer, sizeof buffer), kRegistryNotOpen);
  EXPECT_EQ(key.SetBinaryValue("v", "x", 1), kRegistryNotOpen);
  EXPECT_EQ(key.DeleteValue("v"), kRegistryNotOpen);
  EXPECT_EQ(key.QueryValue("v", nullptr, 0), kRegistryBadArgument);
}

TEST_F(RegistryKeyTest, ValuesReadTruncatedDefaultedAndDeleted) {
  RegistryKey key;
  ASSERT_EQ(key.Create(HKEY_CURRENT_USER, path_.c_str(), true), kRegistryCreated);
  ASSERT_EQ(key.SetBinaryValue("v", "abcdef", 6), kRegistryDone);

  char buffer[8] = "-------";
  DWORD stored = 0;
  EXPECT_EQ(key.QueryValue("v", buffer, 4, &stored), kRegistryTruncated);
  EXPECT_EQ(std::string(buffer, 7), "abcd---");
  EXPECT_EQ(stored, 6u);
  EXPECT_EQ(key.QueryValue("v", buffer, 8), kRegistryDone);  // shorter: only its bytes
  EXPECT_EQ(std::string(buffer, 7), "abcdef-");

  EXPECT_EQ(key.QueryValue("absent", buffer, 8), kRegistryAbsent);
  EXPECT_EQ(key.QueryValueOrDefault("absent", nullptr, buffer, 8), kRegistryAbsent);
  EXPECT_EQ(key.QueryValueOrDefault("absent", "default", buffer, 8), kRegistryDefaultUsed);
  EXPECT_STREQ(buffer, "default");
  EXPECT_EQ(key.QueryValueOrDefault("v", "default", buffer, 2), kRegistryTruncated);

  EXPECT_EQ(key.DeleteValue("absent"), kRegistryAbsent);
  EXPECT_EQ(key.DeleteValue("v"), kRegistryDone);
  EXPECT_EQ(key.QueryValue("v", buffer, 8), kRegistryAbsent);
}

TEST_F(RegistryKeyTest, ReadModeRefusesWrites) {
  RegistryKey key;
  ASSERT_EQ(key.Create(HKEY_CURRENT_USER, path_.c_str(), true), kRegistryCreated);
  ASSERT_EQ(key.SetBinaryValue("v", "x", 1), kRegistryDone);
  ASSERT_EQ(key.Open(HKEY_CURRENT_USER, path_.c_str(), false), kRegistryDone);
  EXPECT_EQ(key.SetBinaryValue("v", "y", 1), kRegistryFailed);
  EXPECT_EQ(key.DeleteValue("v"), kRegistryDeleteFailed);
}

}  // namespace
}  // namespace zeltest
