// The host boundary through the export: handshake and gate, dispatch order, the
// command table byte for byte, requests 99 and 100, and every message text.
#include <cstring>

#include "boundary/messages.h"
#include "tests/support.h"

using zelhost::CallResult;
using zelhost::Extender;
using zelhost::Handshake;

namespace zeltest {
namespace {

constexpr uint32_t kVersionCode = 10;
constexpr uint32_t kGetLastError = 11;

// --- handshake and gate: each case in a fresh load, since only the first request 98 tests.
struct HandshakeCase {
  const char* name;
  Handshake handshake;
  bool opens;
};

class HandshakeTest : public ::testing::TestWithParam<HandshakeCase> {};

TEST_P(HandshakeTest, FirstRequest98DecidesTheGate) {
  Extender ext;
  ASSERT_TRUE(ext.Load(DllPath()));
  ASSERT_TRUE(ext.Enumerate(GetParam().handshake));
  EXPECT_EQ(ext.table().size(), 43u);  // enumeration works whatever the gate says
  CallResult r = ext.Raw(kVersionCode, {});
  ASSERT_EQ(r.deliveries.size(), 1u);
  if (GetParam().opens) {
    EXPECT_EQ(r.deliveries[0].kind, 0);
    EXPECT_EQ(r.deliveries[0].value, 25016);
  } else {
    EXPECT_EQ(r.deliveries[0].kind, -1);
    EXPECT_EQ(r.deliveries[0].text, "903: Need newer version of ZEL DLL");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Gate, HandshakeTest,
    ::testing::Values(HandshakeCase{"current", {1001, "ZEL", ""}, true},
                      HandshakeCase{"newer", {70000, "x", ""}, true},
                      HandshakeCase{"version1000", {1000, "ZEL", ""}, false},
                      HandshakeCase{"lowByteZero1024", {1024, "ZEL", ""}, false},
                      HandshakeCase{"secondEmpty", {1001, "", ""}, false},
                      HandshakeCase{"thirdNotEmpty", {1001, "ZEL", "x"}, false}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Gate, ClosedGateRefusesEveryLowCodeButNotHostRequests) {
  Extender ext;
  ASSERT_TRUE(ext.Load(DllPath()));
  for (uint32_t code : {0u, 1u, 11u, 12u, 42u, 97u, 0xFFFFu, 0x8000u}) {
    CallResult r = ext.Raw(code, {"0", "0", "0", "0", "0"});
    ASSERT_EQ(r.deliveries.size(), 1u) << code;
    EXPECT_EQ(r.deliveries[0].kind, -1) << code;
    EXPECT_EQ(r.deliveries[0].text, "903: Need newer version of ZEL DLL") << code;
    EXPECT_EQ(r.deliveries[0].value, 34) << code;  // the text's length
  }
  EXPECT_EQ(ext.Raw(99, {}).returned, 1);
  EXPECT_TRUE(ext.Enumerate());  // the first request 98 opens it now
  EXPECT_EQ(ext.Raw(kVersionCode, {}).integer(), 25016);
}

TEST(Gate, SecondRequest98NeverRetests) {
  Extender ext;
  ASSERT_TRUE(ext.Load(DllPath()));
  ASSERT_TRUE(ext.Enumerate(Handshake{1000, "ZEL", ""}));
  ASSERT_TRUE(ext.Enumerate(Handshake{1001, "ZEL", ""}));
  EXPECT_EQ(ext.Raw(kVersionCode, {}).deliveries.at(0).kind, -1);
}

// --- dispatch order
class DispatchTest : public ExtenderTest {};

TEST_F(DispatchTest, CodesThatNameNoCommandGet901) {
  std::vector<uint32_t> codes = {12, 13, 14, 15, 25, 26, 27, 28, 101, 200, 32767, 0xFFFF, 0x8000};
  for (uint32_t code = 43; code <= 97; ++code) codes.push_back(code);
  for (uint32_t code : codes) {
    CallResult r = ext.Raw(code, {"0", "0", "0", "0", "0"});
    ASSERT_EQ(r.deliveries.size(), 1u) << code;
    EXPECT_EQ(r.deliveries[0].kind, -1) << code;
    EXPECT_EQ(r.deliveries[0].valueType, 1) << code;
    EXPECT_EQ(r.deliveries[0].text, "901: Internal Error - Undefined function") << code;
    EXPECT_EQ(r.deliveries[0].value, 40) << code;
  }
}

TEST_F(DispatchTest, OnlyTheLow16BitsOfTheCodeCount) {
  EXPECT_EQ(ext.Raw(kVersionCode + 0x10000, {}).integer(), 25016);
  EXPECT_EQ(ext.Raw(kVersionCode + 0xABCD0000u, {}).integer(), 25016);
  EXPECT_EQ(ext.Raw(99 + 0x70000, {}).returned, 1);
}

TEST_F(DispatchTest, ContextsPassThroughAndTheCallbackValueIsReturned) {
  ext.callbackReturn = 4242;
  CallResult r = ext.Raw(kVersionCode, {}, nullptr, 0x1234567, -99);
  ASSERT_EQ(r.deliveries.size(), 1u);
  EXPECT_EQ(r.deliveries[0].contextA, 0x1234567);
  EXPECT_EQ(r.deliveries[0].contextB, -99);
  EXPECT_EQ(r.deliveries[0].valueType, 0);
  EXPECT_FALSE(r.deliveries[0].hasText);
  EXPECT_EQ(r.returned, 4242);
}

TEST_F(DispatchTest, GetLastErrorAnswersWithoutClearingAndOtherCallsClear) {
  const std::string session = std::to_string(Integer("ibegin", {"0", "", ""}));
  CallResult open = Call("iurlopen", {session, "notascheme://x/"});
  EXPECT_EQ(open.integer(), 0);
  const int32_t first = LastError();
  EXPECT_NE(first, 0);
  EXPECT_EQ(LastError(), first);
  EXPECT_EQ(ext.Raw(99, {}).returned, 1);  // a host request clears it too
  EXPECT_EQ(LastError(), 0);
  Call("iclose", {session});
}

// --- command table
struct ExpectedRecord {
  uint16_t code, kind, count;
  const char* name;
};
const ExpectedRecord kTable[] = {
    {1, 2, 3, "ibegin"},        {2, 2, 1, "iclose"},         {3, 2, 5, "ihostconnect"},
    {4, 2, 2, "iurlopen"},      {5, 2, 2, "ireaddata"},      {6, 2, 4, "icontentdata"},
    {7, 2, 4, "icontentfile"},  {8, 2, 5, "ihttpinit"},      {9, 2, 4, "ihttpopen"},
    {10, 2, 0, "iversion"},     {11, 2, 0, "igetlasterror"}, {12, 3, 0, "@http"},
    {13, 3, 1, "@https"},       {14, 3, 2, "@ftp"},          {15, 3, 3, "@gopher"},
    {16, 2, 2, "ioptionget"},   {17, 2, 3, "ioptionset"},    {18, 2, 0, "igetresponse"},
    {19, 2, 1, "ihttpheaders"}, {20, 2, 4, "iftpopen"},      {21, 2, 2, "iwritedata"},
    {22, 2, 2, "iftpdirmake"},  {23, 2, 1, "iftpdirget"},    {24, 2, 5, "iftpget"},
    {25, 3, 945, "@binary"},    {26, 3, 946, "@ascii"},      {27, 3, 1, "@true"},
    {28, 3, 0, "@false"},       {29, 2, 5, "iftpput"},       {30, 2, 2, "iftpdirremove"},
    {31, 2, 2, "iftpdelete"},   {32, 2, 3, "iftprename"},    {33, 2, 2, "iftpdirchange"},
    {34, 2, 4, "iftpfindinit"}, {35, 2, 1, "iftpfindnext"},  {36, 2, 3, "ilocfindinit"},
    {37, 2, 1, "ilocfindnext"}, {38, 2, 5, "iftpdialog"},    {39, 2, 1, "igetconstate"},
    {40, 2, 2, "idial"},        {41, 2, 1, "idialhangup"},   {42, 2, 0, "idialitemize"},
    {43, 3, 4, "@ftppassive"},
};

TEST(CommandTable, EveryRecordByteForByteAndNothingPastIt) {
  Extender ext;
  ASSERT_TRUE(ext.Load(DllPath()));
  for (uint32_t index = 0; index < 43; ++index) {
    unsigned char buffer[40];
    std::memset(buffer, 0xCC, sizeof buffer);
    ASSERT_EQ(ext.Request98(index, buffer, Handshake()), 1) << index;
    const ExpectedRecord& e = kTable[index];
    const uint16_t flags = e.kind == 2 ? 0x1F : 0;
    const size_t length = std::strlen(e.name);
    unsigned char expected[40];
    std::memset(expected, 0xCC, sizeof expected);
    const uint16_t header[] = {e.code, e.kind, e.count, flags, static_cast<uint16_t>(length)};
    for (size_t i = 0; i < 5; ++i) {
      expected[2 * i] = static_cast<unsigned char>(header[i] & 0xFF);
      expected[2 * i + 1] = static_cast<unsigned char>(header[i] >> 8);
    }
    std::memcpy(expected + 10, e.name, length + 1);
    EXPECT_EQ(0, std::memcmp(buffer, expected, sizeof buffer)) << "record " << index << " (" << e.name << ")";
  }
}

TEST(CommandTable, TerminatorAndIndicesPastItAnswerZeroAndWriteNothing) {
  Extender ext;
  ASSERT_TRUE(ext.Load(DllPath()));
  for (uint32_t index : {43u, 44u, 1000u, 0xFFFFu}) {
    unsigned char buffer[32];
    std::memset(buffer, 0xCC, sizeof buffer);
    EXPECT_EQ(ext.Request98(index, buffer, Handshake()), 0) << index;
    EXPECT_EQ(buffer[0], 0xCC) << index;
  }
  unsigned char buffer[32] = {};
  EXPECT_EQ(ext.Request98(0x10000, buffer, Handshake()), 1);  // low 16 bits: index 0
  EXPECT_STREQ(reinterpret_cast<char*>(buffer + 10), "ibegin");
}

TEST(CommandTable, LongestNamesFillTheRecordAndIDialNamesAreLowered) {
  Extender ext;
  ASSERT_TRUE(ext.Load(DllPath()));
  ASSERT_TRUE(ext.Enumerate());
  ASSERT_EQ(ext.table().size(), 43u);
  EXPECT_EQ(ext.table()[10].name, "igetlasterror");
  EXPECT_EQ(ext.table()[29].name, "iftpdirremove");
  EXPECT_EQ(ext.table()[40].name, "idialhangup");
  // The codes run 1..43 in table order.
  for (size_t i = 0; i < ext.table().size(); ++i) EXPECT_EQ(ext.table()[i].code, i + 1);
}

// --- requests 99 and 100
TEST_F(DispatchTest, Request99AnswersOneWithoutCallback) {
  CallResult r = ext.Raw(99, {});
  EXPECT_EQ(r.returned, 1);
  EXPECT_TRUE(r.deliveries.empty());
}

struct DescriptionCase {
  const char* size;
  const char* expected;  // null: nothing is written
};

TEST_F(DispatchTest, Request100CopiesAtMostTheSizeGiven) {
  const DescriptionCase cases[] = {{"5", "Tarv"},  {"1", ""},        {"256", "Tarvelo Extender"},
                                   {"17", "Tarvelo Extender"},      {"16", "Tarvelo Extende"},
                                   {"0", nullptr}, {"-3", nullptr},  {"abc", nullptr},
                                   {" 5", "Tarv"}};
  for (const DescriptionCase& c : cases) {
    char out[64];
    std::memset(out, '#', sizeof out);
    CallResult r = ext.Raw(100, {out, c.size});
    EXPECT_EQ(r.returned, 1) << c.size;
    EXPECT_TRUE(r.deliveries.empty()) << c.size;
    if (c.expected == nullptr) {
      EXPECT_EQ(out[0], '#') << c.size;
    } else {
      EXPECT_STREQ(out, c.expected) << c.size;
      EXPECT_EQ(out[std::strlen(c.expected) + 1], '#') << c.size;
    }
  }
}

// --- the message catalogue, read from the DLL's own string table
TEST(Messages, EveryTextExactly) {
  Extender ext;
  ASSERT_TRUE(ext.Load(DllPath()));
  const std::pair<int, const char*> kTexts[] = {
      {301, "301: Internal Error - bad opttype"},
      {302, "302: Option keyword not recognised"},
      {303, "303: Unknown type for iOption response"},
      {305, "305: Parameter out of range"},
      {306, "306: Bad Handle"},
      {307, "307: File Access Failed"},
      {308, "308: Error - Memory Alloc Failure"},
      {309, "309: Bad Memory Buffer address or offset"},
      {310, "310: Verb must be GET, POST, or PUT"},
      {311, "311: Wrong handle type.  Need iBegin"},
      {312, "312: Wrong handle type. Need iUrlOpen iFtpOpen iHttpOpen or iGopherOpen"},
      {313, "313: Wrong handle type.  Need iHostConnect/ http"},
      {314, "314: Wrong handle type. Need iHttpInit"},
      {315, "315: Wrong access type - specify 0 for WRITE or 1 for READ"},
      {316, "316: Wrong Handle type. Need iHostConnect/ftp"},
      {318, "318: iFtpDirGet Failed."},
      {321, "321: iFtpFindNext failed."},
      {322, "322: iLocFindNext Failed"},
      {324, "324: Need to specify filesize."},
      {325, "325: FindInit already Open. Cannot have more than FindInit handle open at a time"},
      {327, "327: Cannot find file specified. Filename may be case sensitive"},
      {901, "901: Internal Error - Undefined function"},
      {903, "903: Need newer version of ZEL DLL"},
      {1000, "Tarvelo Extender"},
      {304, ""},  // no such message: empty text, count 0
  };
  for (const auto& [number, text] : kTexts) {
    char buffer[256];
    const int count = zel::LookupMessage(ext.module(), number, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, text) << number;
    EXPECT_EQ(count, static_cast<int>(std::strlen(text))) << number;
  }
  char small[8];
  EXPECT_EQ(zel::LookupMessage(ext.module(), 306, small, sizeof small), 7);
  EXPECT_STREQ(small, "306: Ba");
}

TEST_F(DispatchTest, ErrorDeliveryCarriesKindLengthAndText) {
  CallResult r = Call("iclose", {"987654"});
  ASSERT_EQ(r.deliveries.size(), 1u);
  EXPECT_EQ(r.deliveries[0].kind, -2);
  EXPECT_EQ(r.deliveries[0].valueType, 1);
  EXPECT_EQ(r.deliveries[0].value, 15);
  EXPECT_EQ(r.deliveries[0].text, "306: Bad Handle");
}

}  // namespace
}  // namespace zeltest
