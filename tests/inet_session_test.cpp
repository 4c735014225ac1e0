// Sessions, connections and URLs against the local servers through Wine's WinInet.
#include <windows.h>
#include <wininet.h>

#include "tests/session_fixture.h"

namespace zeltest {
namespace {

TEST_F(SessionTest, BeginAccessTypes) {
  for (const char* access : {"0", "2", " 0", "0x7"}) {
    const int32_t h = Integer("ibegin", {access, "0", "<Registry>"});
    EXPECT_NE(h, 0) << access;
    EXPECT_EQ(TypeOf(std::to_string(h)), 1u) << access;
    Call("iclose", {std::to_string(h)});
  }
  for (const char* access : {"3", "-1", "4294967299"}) {
    zelhost::CallResult r = Call("ibegin", {access, "", ""});
    EXPECT_EQ(r.errorNumber(), 305) << access;
    EXPECT_EQ(r.deliveries.at(0).kind, -2);
  }
}

struct ConnectCase {
  const char* name;
  std::string host;
  const char* service;
  std::string user, password;
  DWORD type;           // expected handle type, 0 for failure
  DWORD lastError;      // checked when type is 0
};

TEST_F(SessionTest, HostConnectServicesPortsAndCredentials) {
  const Servers& s = TestServers();
  const ConnectCase cases[] = {
      {"http", s.http(), "0", "", "", INTERNET_HANDLE_TYPE_CONNECT_HTTP, 0},
      {"ftp", s.ftp(), "2", s.ftpUser, s.ftpPassword, INTERNET_HANDLE_TYPE_CONNECT_FTP, 0},
      {"ftppassive", s.ftp(), "4", s.ftpUser, s.ftpPassword, INTERNET_HANDLE_TYPE_CONNECT_FTP, 0},
      {"passwordZeroWithUser", s.ftp(), "4", "zero", "0", INTERNET_HANDLE_TYPE_CONNECT_FTP, 0},
      {"badPassword", s.ftp(), "4", s.ftpUser, "wrong", 0, 12015},
      {"userZeroMeansAnonymous", s.ftp(), "4", "0", "0", 0, 12015},
      {"closedPort", "127.0.0.1:1", "4", "zel", "x", 0, 12029},
  };
  for (const ConnectCase& c : cases) {
    const int32_t h = Integer("ihostconnect", {session, c.host, c.service, c.user, c.password});
    if (c.type != 0) {
      EXPECT_NE(h, 0) << c.name << " error " << LastError();
      EXPECT_EQ(TypeOf(std::to_string(h)), c.type) << c.name;
      EXPECT_EQ(Integer("iclose", {std::to_string(h)}), 1) << c.name;
    } else {
      EXPECT_EQ(h, 0) << c.name;
      EXPECT_EQ(LastError(), static_cast<int32_t>(c.lastError)) << c.name;
    }
  }
}

TEST_F(SessionTest, HttpsConnectionIsDeliveredAsSecureMarkText) {
  zelhost::CallResult r = Call("ihostconnect", {session, "localhost:", "1", "", ""});
  ASSERT_TRUE(r.ok());
  ASSERT_EQ(r.deliveries[0].valueType, 1);
  const std::string text = r.text();
  ASSERT_GT(text.size(), 1u);
  EXPECT_EQ(text[0], 'S');
  EXPECT_NE(text, "S0");
  EXPECT_EQ(TypeOf(text.substr(1)), static_cast<DWORD>(INTERNET_HANDLE_TYPE_CONNECT_HTTP));
  EXPECT_EQ(Integer("iclose", {text}), 1);  // the SecureMark resolves too
}

TEST_F(SessionTest, HostConnectRefusals) {
  const std::string http = std::to_string(Integer("ihostconnect", {session, TestServers().http(), "0", "", ""}));
  const std::pair<std::vector<std::string>, int> cases[] = {
      {{"987654", "h", "0", "", ""}, 306},
      {{"", "h", "0", "", ""}, 306},
      {{http, "h", "0", "", ""}, 311},
      {{session, "h", "5", "", ""}, 305},
      {{session, "h", "-1", "", ""}, 305},
      {{session, std::string(260, 'h'), "0", "", ""}, 305},
      {{session, "h:65536", "0", "", ""}, 305},  // would wrap around to port 0
      {{session, "h:-1", "0", "", ""}, 305},     // would wrap around to port 65535
      {{"987654", "h", "9", "", ""}, 306},  // the handle is checked before the service
  };
  for (const auto& [args, number] : cases) {
    zelhost::CallResult r = Call("ihostconnect", args);
    EXPECT_EQ(r.errorNumber(), number) << args[0] << " " << args[2];
    EXPECT_EQ(r.deliveries.at(0).kind, -2);
  }
  // 259 characters still fit, and so does port 65535 (an HTTP connect is lazy, so it succeeds).
  EXPECT_NE(Integer("ihostconnect", {session, std::string(259, 'h'), "0", "", ""}), 0);
  EXPECT_NE(Integer("ihostconnect", {session, "h:65535", "0", "", ""}), 0);
}

TEST_F(SessionTest, UrlOpenAndClose) {
  const std::string base = "http://" + TestServers().http();
  const std::string url = std::to_string(Integer("iurlopen", {session, base + "/status/200"}));
  ASSERT_NE(url, "0");
  EXPECT_EQ(TypeOf(url), static_cast<DWORD>(INTERNET_HANDLE_TYPE_HTTP_REQUEST));
  EXPECT_EQ(Integer("iclose", {url}), 1);
  EXPECT_EQ(Call("iclose", {url}).errorNumber(), 306);

  EXPECT_EQ(Integer("iurlopen", {session, "nosuch://x"}), 0);
  EXPECT_EQ(LastError(), ERROR_INTERNET_UNRECOGNIZED_SCHEME);
  const std::string http = std::to_string(Integer("ihostconnect", {session, TestServers().http(), "0", "", ""}));
  EXPECT_EQ(Call("iurlopen", {http, base}).errorNumber(), 311);
  EXPECT_EQ(Call("iurlopen", {"0", base}).errorNumber(), 306);
}

// The resolver: an optional "S", then the DecimalText rule; a value WinInet does not
// know (or 0, while no local walk is open) names nothing.
TEST_F(SessionTest, HandleTextResolution) {
  const uint64_t value = std::stoull(session);
  const std::pair<std::string, bool> cases[] = {
      {session, true},
      {"S" + session, true},
      {"  " + session, true},
      {"+" + session, true},
      {session + "xyz", true},
      {std::to_string(value + (1ULL << 32)), true},  // 32-bit wrap-around
      {"s" + session, false},                        // only a capital S is the mark
      {"SS" + session, false},
      {"\t" + session, false},                      // tabs are not skipped
      {"-" + session, false},
      {"00", false},                                 // not "0", but still no handle
      {"987654", false},
  };
  for (const auto& [text, resolves] : cases) {
    zelhost::CallResult r = Call("ioptionget", {text, "handle_type"});
    if (resolves) {
      EXPECT_EQ(r.integer(), 1) << "'" << text << "' " << r.text();
    } else {
      EXPECT_EQ(r.errorNumber(), 306) << "'" << text << "'";
    }
  }
  const std::string closed = Open("ibegin", {"0", "", ""});
  EXPECT_EQ(Integer("iclose", {closed}), 1);
  EXPECT_EQ(Call("ioptionget", {closed, "handle_type"}).errorNumber(), 306);
}

// Wine's WinInet has no gopher: the connection and URLs the commands ask for fail.
TEST_F(SessionTest, GopherUnderWine) {
  EXPECT_EQ(Integer("ihostconnect", {session, "127.0.0.1:70", "3", "", ""}), 0);
  EXPECT_EQ(LastError(), 0);  // Wine answers NULL without a reason
  EXPECT_EQ(Integer("iurlopen", {session, "gopher://127.0.0.1/1"}), 0);
  EXPECT_EQ(LastError(), ERROR_INTERNET_UNRECOGNIZED_SCHEME);
}

TEST_F(SessionTest, VersionResponseAndConnectedState) {
  EXPECT_EQ(Integer("iversion"), 25016);
  const Servers& s = TestServers();
  const std::string ftp = std::to_string(Integer("ihostconnect", {session, s.ftp(), "4", s.ftpUser, s.ftpPassword}));
  zelhost::CallResult r = Call("igetresponse");
  ASSERT_TRUE(r.ok());
  EXPECT_NE(r.text().find(": "), std::string::npos) << r.text();
  EXPECT_NE(r.text().find("230"), std::string::npos) << r.text();
  EXPECT_EQ(Integer("igetconstate", {"0"}), 1);
  EXPECT_EQ(Integer("igetconstate", {"1"}), 0x12);
  EXPECT_EQ(Integer("igetconstate", {"\t1"}), 0x12);  // read leniently
  EXPECT_EQ(Integer("igetconstate", {" 0"}), 1);
  Call("iclose", {ftp});
}

}  // namespace
}  // namespace zeltest
