// Without a RAS library (Wine told to load none for this program) every dial-up command
// and export fails with its failure result, quietly: no message box.
#include <windows.h>

#include <cstring>

#include "tests/dialup_support.h"
#include "tests/support.h"

namespace zeltest {
namespace {

struct StatusRecord {
  int32_t reserved, nStatus, nMessage, bStringResult;
};

class AbsentRasTest : public ExtenderTest {};

TEST_F(AbsentRasTest, CommandsDeliverTheirFailureResults) {
  BoxWatcher boxes;
  EXPECT_EQ(Integer("iDial", {"Office", ""}), 0);
  EXPECT_EQ(Integer("iDial", {"Office", "pw"}), 0);
  EXPECT_EQ(Integer("iDialHangUp", {"0"}), 0);
  EXPECT_EQ(Integer("iDialHangUp", {"7001"}), 0);
  const zelhost::CallResult listed = Call("iDialItemize");
  ASSERT_EQ(listed.deliveries.size(), 2u);
  EXPECT_EQ(listed.deliveries[0].text, "");
  EXPECT_EQ(listed.deliveries[1].valueType, 0);
  EXPECT_TRUE(boxes.texts().empty());
}

TEST_F(AbsentRasTest, PhonebookExportsDoNotReportSuccess) {
  using GetEntry = unsigned long(__cdecl*)(StatusRecord*, void*, int*);
  using SetPassword = int(__cdecl*)(StatusRecord*, const char*, const char*);
  auto getEntry = reinterpret_cast<GetEntry>(reinterpret_cast<void*>(GetProcAddress(
      ext.module(), "?_GetEntryDialParamsNT3@@YAKPEAUZELCUSTOMCMDINFO@@PEAUtagRASDIALPARAMSA@@PEAH@Z")));
  auto setPassword = reinterpret_cast<SetPassword>(reinterpret_cast<void*>(GetProcAddress(ext.module(), "ZXDoDUNSetPWNT3")));
  ASSERT_NE(getEntry, nullptr);
  ASSERT_NE(setPassword, nullptr);
  unsigned char params[1052] = {};
  params[0] = 0x1C;  // size member 1052
  params[1] = 0x04;
  std::memcpy(params + 4, "Office", 7);
  int found = 7;
  EXPECT_NE(getEntry(nullptr, params, &found), 0u);
  EXPECT_EQ(found, 0);
  StatusRecord info = {};
  EXPECT_EQ(setPassword(&info, "Office", "pw"), 0);
  EXPECT_EQ(info.nStatus, 9);
}

}  // namespace
}  // namespace zeltest
