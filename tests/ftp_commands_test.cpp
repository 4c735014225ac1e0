// The single FTP commands against the local FTP server: what they do on its disk, how
// refusals come back (0, igetlasterror, igetresponse), and the checks in front of them.
#include "tests/session_fixture.h"

namespace zeltest {
namespace {

class FtpCommandsTest : public SessionTest {
 protected:
  void SetUp() override {
    SessionTest::SetUp();
    ftp = FtpConnection();
  }
  void TearDown() override {
    Call("iclose", {ftp});
    SessionTest::TearDown();
  }
  static bool ExistsOnServer(const std::string& name) {
    return GetFileAttributesA((TestServers().ftpRoot + name).c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  std::string ftp;
};

TEST_F(FtpCommandsTest, DirectoriesAndFilesRoundTrip) {
  const std::string dir = Unique("dir");
  EXPECT_EQ(Integer("iftpdirmake", {ftp, dir}), 1);
  EXPECT_EQ(GetFileAttributesA((TestServers().ftpRoot + dir).c_str()) & FILE_ATTRIBUTE_DIRECTORY,
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(Integer("iftpdirchange", {ftp, dir}), 1);
  EXPECT_EQ(Call("iftpdirget", {ftp}).text(), "/" + dir);
  // Relative names now land in the new directory.
  ASSERT_TRUE(WriteWholeFile(TestServers().ftpRoot + dir + "\\old.txt", "x"));
  EXPECT_EQ(Integer("iftprename", {ftp, "old.txt", "new.txt"}), 1);
  EXPECT_TRUE(ExistsOnServer(dir + "\\new.txt"));
  EXPECT_FALSE(ExistsOnServer(dir + "\\old.txt"));
  EXPECT_EQ(Integer("iftpdelete", {ftp, "new.txt"}), 1);
  EXPECT_FALSE(ExistsOnServer(dir + "\\new.txt"));
  EXPECT_EQ(Integer("iftpdirchange", {ftp, ".."}), 1);
  EXPECT_EQ(Call("iftpdirget", {ftp}).text(), "/");
  EXPECT_EQ(Integer("iftpdirremove", {ftp, dir}), 1);
  EXPECT_FALSE(ExistsOnServer(dir));
}

// A refusal is the result 0; the reason is in igetlasterror (12003: see the server's
// reply) and the reply itself in igetresponse.
TEST_F(FtpCommandsTest, RefusalsLeaveTheReasonAndTheReply) {
  const std::string existing = Unique("existing");
  ASSERT_EQ(Integer("iftpdirmake", {ftp, existing}), 1);
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"iftpdelete", {ftp, "nosuch.txt"}},
      {"iftprename", {ftp, "nosuch.txt", "other.txt"}},
      {"iftpdirremove", {ftp, "nosuchdir"}},
      {"iftpdirchange", {ftp, "nosuchdir"}},
      {"iftpdirmake", {ftp, existing}},
      {"iftpdirmake", {ftp, ""}},  // passed on as it is; the server wants a name
  };
  for (const auto& [command, args] : cases) {
    EXPECT_EQ(Integer(command, args), 0) << command << " " << args[1];
    EXPECT_EQ(LastError(), ERROR_INTERNET_EXTENDED_ERROR) << command;
    const std::string reply = Call("igetresponse").text();
    EXPECT_EQ(reply.rfind("12003: 5", 0), 0u) << command << ": " << reply;
  }
  EXPECT_EQ(Integer("iftpdirremove", {ftp, existing}), 1);
}

// While a remote file is open the connection serves nothing else: the directory
// query fails with 318, never an empty text.
TEST_F(FtpCommandsTest, DirGetFailureIs318) {
  const std::string file = Open("iftpopen", {ftp, Unique("open.txt"), "0", "946"});
  zelhost::CallResult r = Call("iftpdirget", {ftp});
  EXPECT_EQ(r.errorNumber(), 318);
  EXPECT_EQ(r.deliveries.at(0).kind, -2);
  EXPECT_EQ(LastError(), ERROR_FTP_TRANSFER_IN_PROGRESS);
  EXPECT_EQ(Integer("iftpdirmake", {ftp, Unique("blocked")}), 0);
  EXPECT_EQ(LastError(), ERROR_FTP_TRANSFER_IN_PROGRESS);
  Call("iclose", {file});
  EXPECT_EQ(Call("iftpdirget", {ftp}).text(), "/");
}

TEST_F(FtpCommandsTest, OpenChecksHandleThenAccessThenType) {
  const std::string http = HttpConnection();
  const std::string name = Unique("open.txt");
  struct Case {
    std::vector<std::string> args;
    int number, kind;
  } cases[] = {
      {{"987654", name, "9", "9"}, 306, -2}, {{http, name, "9", "9"}, 316, -2},
      {{ftp, name, "2", "945"}, 315, -1},    {{ftp, name, "-1", "946"}, 315, -1},
      {{ftp, name, "+2", "946"}, 315, -1},
      {{ftp, name, "1", "945"}, 305, -1},    // @binary is not accepted here
      {{ftp, name, "0", "0"}, 305, -1},
  };
  for (const Case& c : cases) {
    zelhost::CallResult r = Call("iftpopen", c.args);
    EXPECT_EQ(r.errorNumber(), c.number) << c.args[0] << " " << c.args[2] << " " << c.args[3];
    EXPECT_EQ(r.deliveries.at(0).kind, c.kind);
  }
  // Both accesses open an FTP file; a missing file to read is the server's refusal.
  const std::string write = Open("iftpopen", {ftp, name, " 0", " 946"});
  EXPECT_EQ(TypeOf(write), static_cast<DWORD>(INTERNET_HANDLE_TYPE_FTP_FILE));
  EXPECT_EQ(Integer("iclose", {write}), 1);
  const std::string read = Open("iftpopen", {ftp, name, "1", "946"});
  EXPECT_EQ(TypeOf(read), static_cast<DWORD>(INTERNET_HANDLE_TYPE_FTP_FILE));
  EXPECT_EQ(Integer("iclose", {read}), 1);
  EXPECT_EQ(Integer("iftpopen", {ftp, Unique("nosuch.txt"), "1", "946"}), 0);
  EXPECT_EQ(LastError(), ERROR_INTERNET_EXTENDED_ERROR);
}

TEST_F(FtpCommandsTest, EveryCommandNeedsAnFtpConnection) {
  const std::string http = HttpConnection();
  const std::string url = Open("iurlopen", {session, HttpUrl("status/200")});
  const std::string closed = FtpConnection();
  Call("iclose", {closed});
  const std::pair<std::string, int> handles[] = {{http, 316}, {"S" + http, 316}, {session, 316}, {url, 316},
                                                 {"0", 306},  {closed, 306},     {"", 306}};
  for (const char* command : {"iftpopen", "iftpdirmake", "iftpdirget", "iftpdirremove", "iftpdelete", "iftprename",
                              "iftpdirchange"}) {
    for (const auto& [handle, number] : handles) {
      // Arguments that would pass every later check, so only the handle can fail.
      zelhost::CallResult r = Call(command, {handle, "x", "1", "946"});
      EXPECT_EQ(r.errorNumber(), number) << command << " " << handle;
      EXPECT_EQ(r.deliveries.at(0).kind, -2) << command;
    }
  }
  Call("iclose", {url});
}

}  // namespace
}  // namespace zeltest
