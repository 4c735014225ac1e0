// ioptionget and ioptionset: the two keyword tables, value types, the special rules and
// the errors, on handles of every kind and on WinInet's process-wide defaults.
#include "tests/session_fixture.h"

namespace zeltest {
namespace {

class OptionsTest : public SessionTest {
 protected:
  zelhost::CallResult Get(const std::string& handle, const std::string& keyword) {
    return Call("ioptionget", {handle, keyword});
  }
  zelhost::CallResult Set(const std::string& handle, const std::string& keyword, const std::string& value) {
    return Call("ioptionset", {handle, keyword, value});
  }
};

// Expects an integer result (value type 0) and returns it.
int32_t IntegerOf(const zelhost::CallResult& r) {
  EXPECT_TRUE(r.ok()) << r.text();
  EXPECT_EQ(r.deliveries.at(0).valueType, 0) << r.text();
  return r.integer();
}

// Expects a text result and returns it.
std::string TextOf(const zelhost::CallResult& r) {
  EXPECT_TRUE(r.ok()) << r.text();
  EXPECT_EQ(r.deliveries.at(0).valueType, 1);
  return r.text();
}

TEST_F(OptionsTest, ValuesOfEachTypeFromEachKindOfHandle) {
  const std::string http = HttpConnection(), ftp = FtpConnection();
  const std::string url = Open("iurlopen", {session, HttpUrl("status/200")});
  // number: handle types, and context values (pointer-sized in WinInet; 1 on every connection)
  const std::pair<std::string, int32_t> types[] = {{session, 1}, {http, 4}, {"S" + http, 4}, {ftp, 2}, {url, 13}};
  for (const auto& [handle, type] : types) EXPECT_EQ(IntegerOf(Get(handle, "handle_type")), type) << handle;
  EXPECT_EQ(IntegerOf(Get(http, "context_value")), 1);
  EXPECT_EQ(IntegerOf(Get(ftp, "context_value")), 1);
  EXPECT_EQ(IntegerOf(Get("0", "CONNECT_TIMEOUT")), 60000);  // keywords ignore case
  EXPECT_EQ(IntegerOf(Get("", "connect_timeout")), 60000);   // "" is no handle too
  // text
  EXPECT_EQ(TextOf(Get(session, "user_agent")), "Morvane Internet Extender Ver: 25016");
  EXPECT_EQ(TextOf(Get(url, "url")), HttpUrl("status/200"));
  // version
  EXPECT_EQ(TextOf(Get("0", "version")), "1.2");  // Wine's WinInet says 1.2
  Call("iclose", {url});
}

TEST_F(OptionsTest, CertificateOfAPlainRequestIsRefusedNotAskedOfWinInet) {
  const std::string url = Open("iurlopen", {session, HttpUrl("status/200")});
  for (const std::string& handle : {url, session, std::string("0")}) {
    EXPECT_EQ(TextOf(Get(handle, "security_certificate")), "ERROR") << handle;
    EXPECT_EQ(LastError(), ERROR_INTERNET_INVALID_OPERATION) << handle;
  }
}

TEST_F(OptionsTest, SetThenGet) {
  EXPECT_EQ(IntegerOf(Set(session, "connect_timeout", "12345")), 1);
  EXPECT_EQ(IntegerOf(Get(session, "connect_timeout")), 12345);
  // "abc" reads as 0, a time-out Wine refuses (160, bad arguments); the old value stays.
  EXPECT_EQ(IntegerOf(Set(session, "Connect_Timeout", "abc")), 0);
  EXPECT_EQ(LastError(), ERROR_BAD_ARGUMENTS);
  EXPECT_EQ(IntegerOf(Get(session, "connect_timeout")), 12345);
  EXPECT_EQ(IntegerOf(Set(session, "connect_timeout", "  77x")), 1);
  EXPECT_EQ(IntegerOf(Get(session, "connect_timeout")), 77);
  EXPECT_EQ(IntegerOf(Set(session, "user_agent", "agent 2")), 1);
  EXPECT_EQ(TextOf(Get(session, "user_agent")), "agent 2");
  // No handle: WinInet's defaults for the rest of this process.
  EXPECT_EQ(IntegerOf(Set("0", "connect_timeout", "70000")), 1);
  EXPECT_EQ(IntegerOf(Get("0", "connect_timeout")), 70000);
}

TEST_F(OptionsTest, EachTableAcceptsOnlyItsOwnKeywords) {
  for (const char* keyword : {"option_refresh", " connect_timeout", "connect_timeout ", "", "0", "connect"}) {
    zelhost::CallResult r = Get(session, keyword);
    EXPECT_EQ(r.errorNumber(), 302) << "'" << keyword << "'";
    EXPECT_EQ(r.deliveries.at(0).kind, -1);
  }
  for (const char* keyword : {"refresh", "handle_type", "url", "security_flags", "version", "parent_handle",
                              "context_value", "keep_connection", "datafile_name", "Connect_Timeout2"}) {
    zelhost::CallResult r = Set(session, keyword, "1");
    EXPECT_EQ(r.errorNumber(), 302) << keyword;
    EXPECT_EQ(r.deliveries.at(0).kind, -1);
  }
  // option 37 under its set-table name reaches WinInet (which may refuse it).
  EXPECT_TRUE(Set(session, "option_refresh", "1").ok());
}

TEST_F(OptionsTest, SpecialRulesAnswerWithoutAskingWinInet) {
  const std::string http = HttpConnection(), ftp = FtpConnection();
  struct Case {
    std::string command, handle, keyword, expected;
  } cases[] = {
      {"ioptionget", "0", "parent_handle", "ERROR"},
      {"ioptionget", session, "parent_handle", "TOPLEVELHANDLE"},
      {"ioptionget", "0", "username", "ERROR"},
      {"ioptionget", session, "PASSWORD", "ERROR"},
      {"ioptionset", session, "username", "ERROR"},
      {"ioptionset", "", "password", "ERROR"},
  };
  for (const Case& c : cases) {
    zelhost::CallResult r = Call(c.command, {c.handle, c.keyword, "someone"});
    EXPECT_EQ(TextOf(r), c.expected) << c.command << " " << c.handle << " " << c.keyword;
    EXPECT_EQ(LastError(), 0) << c.keyword;  // WinInet was not asked
  }
  // On child handles the question goes to WinInet, which under Wine refuses these:
  // the parent (12018 on every handle) and an FTP connection's user name (12018 / 12009).
  EXPECT_EQ(TextOf(Get(http, "parent_handle")), "ERROR");
  EXPECT_EQ(LastError(), ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
  EXPECT_EQ(TextOf(Get(ftp, "username")), "ERROR");
  EXPECT_EQ(LastError(), ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
  EXPECT_EQ(IntegerOf(Set(ftp, "username", "someone")), 0);
  EXPECT_EQ(LastError(), ERROR_INTERNET_INVALID_OPTION);
}

TEST_F(OptionsTest, RefusalsAndErrors) {
  // A refused query is the text "ERROR", with WinInet's reason.
  EXPECT_EQ(TextOf(Get(session, "read_buffer_size")), "ERROR");
  EXPECT_EQ(LastError(), ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
  // A number answered with a length other than 1, 2 or 4: Wine reports success for
  // security_flags outside a request without setting the length.
  zelhost::CallResult odd = Get(session, "security_flags");
  EXPECT_EQ(odd.errorNumber(), 303);
  EXPECT_EQ(odd.deliveries.at(0).kind, -1);
  // Handles that name nothing: 306 before the keyword is looked at.
  const std::string closed = Open("ibegin", {"0", "", ""});
  Call("iclose", {closed});
  for (const std::string& handle : {std::string("987654"), closed, std::string("00"), std::string("s1")}) {
    EXPECT_EQ(Get(handle, "nosuchkeyword").errorNumber(), 306) << handle;
    EXPECT_EQ(Set(handle, "connect_timeout", "1").errorNumber(), 306) << handle;
    EXPECT_EQ(Call("ioptionget", {handle, "x"}).deliveries.at(0).kind, -2);
  }
}

// The open local walk resolves, but its OS handle is nothing WinInet may be handed: Wine
// would take it for "no handle" and change the process-wide options.
TEST_F(OptionsTest, LocalWalkIsNoWinInetHandle) {
  const std::string walk = Open("ilocfindinit", {FreshDir("optionswalk"), "*", "0"});
  EXPECT_EQ(IntegerOf(Set(walk, "connect_timeout", "7777")), 0);
  EXPECT_EQ(LastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(IntegerOf(Get("0", "connect_timeout")), 60000);
  EXPECT_EQ(TextOf(Get(walk, "connect_timeout")), "ERROR");
  EXPECT_EQ(LastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(TextOf(Get(walk, "parent_handle")), "TOPLEVELHANDLE");  // the rules still come first
  EXPECT_EQ(Integer("iclose", {walk}), 1);
}

}  // namespace
}  // namespace zeltest
