// ireaddata and iwritedata against the local HTTP and FTP servers: what arrives on
// either side, the refusals, and the local failures that must not pass as success.
#include "tests/session_fixture.h"

namespace zeltest {
namespace {

class TransferTest : public SessionTest {
 protected:
  void SetUp() override {
    SessionTest::SetUp();
    local = FreshDir(Unique("transfer"));
  }
  // Uploads data through iftpopen (ASCII, write) and iwritedata; returns iwritedata's
  // result and keeps its igetlasterror in uploadError.
  int32_t Upload(const std::string& remote, const std::string& data) {
    const std::string source = local + "upload.bin";
    EXPECT_TRUE(WriteWholeFile(source, data));
    const std::string ftp = FtpConnection();
    const std::string file = Open("iftpopen", {ftp, remote, "0", "946"});
    const int32_t result = Integer("iwritedata", {file, source});
    uploadError = LastError();
    EXPECT_EQ(Integer("iclose", {file}), 1);  // the server has the whole file once this returns
    Call("iclose", {ftp});
    return result;
  }
  std::string local;
  int32_t uploadError = 0;
};

TEST_F(TransferTest, ReadDataSavesWhatTheHandleDelivers) {
  const Servers& s = TestServers();
  const std::string big = Noise(100003), page = Noise(8192);
  ASSERT_TRUE(WriteWholeFile(s.httpRoot + Unique("big.bin"), big));
  ASSERT_TRUE(WriteWholeFile(s.httpRoot + Unique("page.bin"), page));
  ASSERT_TRUE(WriteWholeFile(s.httpRoot + Unique("empty.bin"), ""));
  ASSERT_TRUE(WriteWholeFile(s.ftpRoot + Unique("big.bin"), big));
  ASSERT_TRUE(WriteWholeFile(s.ftpRoot + Unique("lines.txt"), "hello\nworld\n"));
  const std::string ftp = FtpConnection();
  struct Case {
    const char* name;
    std::string command;
    std::vector<std::string> args;
    std::string expected;
  } cases[] = {
      {"http", "iurlopen", {session, HttpUrl(Unique("big.bin"))}, big},
      {"httpExactChunk", "iurlopen", {session, HttpUrl(Unique("page.bin"))}, page},
      {"httpEmpty", "iurlopen", {session, HttpUrl(Unique("empty.bin"))}, ""},
      {"httpStatus404", "iurlopen", {session, HttpUrl("status/404")}, "status 404\n"},
      {"ftpUrl", "iurlopen", {session, FtpUrl(Unique("big.bin"))}, big},  // URLs move binary
      {"iftpopenAscii", "iftpopen", {ftp, Unique("lines.txt"), "1", "946"}, "hello\r\nworld\r\n"},
  };
  for (const Case& c : cases) {
    const std::string target = local + c.name;
    ASSERT_TRUE(WriteWholeFile(target, std::string(200000, 'x')));  // truncated, not merged
    const std::string handle = Open(c.command, c.args);
    EXPECT_EQ(Integer("ireaddata", {handle, target}), 1) << c.name;
    EXPECT_EQ(ReadWholeFile(target), c.expected) << c.name;
    // At the end of the data: an empty file and success.
    EXPECT_EQ(Integer("ireaddata", {handle, target}), 1) << c.name;
    EXPECT_EQ(ReadWholeFile(target), "") << c.name;
    EXPECT_EQ(Integer("iclose", {handle}), 1) << c.name;
  }
  Call("iclose", {ftp});
}

TEST_F(TransferTest, ReadDataRefusals) {
  const std::string http = HttpConnection(), ftp = FtpConnection();
  const std::string url = Open("iurlopen", {session, HttpUrl("status/200")});
  const std::string target = local + "never";
  const std::pair<std::vector<std::string>, int> cases[] = {
      {{"0", target}, 306},
      {{"987654", target}, 306},
      {{session, target}, 312},
      {{http, target}, 312},
      {{"S" + http, target}, 312},
      {{ftp, target}, 312},
      {{url, local + "no\\such\\dir\\file"}, 307},
      {{url, ""}, 307},
  };
  for (const auto& [args, number] : cases) {
    zelhost::CallResult r = Call("ireaddata", args);
    EXPECT_EQ(r.errorNumber(), number) << args[0] << " " << args[1];
    EXPECT_EQ(r.deliveries.at(0).kind, -2);
  }
  // A refused handle never reaches the file system.
  EXPECT_EQ(GetFileAttributesA(target.c_str()), INVALID_FILE_ATTRIBUTES);
}

// A full disk must not pass as a clean download: the read stops at the failed write,
// the result is 0 and igetlasterror gives the write's error.
TEST_F(TransferTest, ReadDataIntoAFullDiskDeliversZero) {
  const std::string data = Noise(200000);
  ASSERT_TRUE(WriteWholeFile(TestServers().httpRoot + Unique("full.bin"), data));
  const std::string url = Open("iurlopen", {session, HttpUrl(Unique("full.bin"))});
  EXPECT_EQ(Integer("ireaddata", {url, "Z:\\dev\\full"}), 0);
  EXPECT_EQ(LastError(), ERROR_DISK_FULL);
  // Reading stopped there: the rest of the data is still waiting on the handle.
  EXPECT_EQ(Integer("ireaddata", {url, local + "rest"}), 1);
  const std::string rest = ReadWholeFile(local + "rest");
  EXPECT_GT(rest.size(), 0u);
  EXPECT_LT(rest.size(), data.size());
  EXPECT_EQ(rest, data.substr(data.size() - rest.size()));
  Call("iclose", {url});
}

TEST_F(TransferTest, WriteDataUploadsTheWholeFile) {
  // Around the 8192-byte chunk: none, one exactly, one and a byte, several.
  for (size_t size : {size_t{0}, size_t{1}, size_t{8191}, size_t{8192}, size_t{8193}, size_t{3 * 8192 + 5}}) {
    const std::string remote = Unique("up-" + std::to_string(size));
    const std::string data = Noise(size, false);
    EXPECT_EQ(Upload(remote, data), 1) << size << " error " << uploadError;
    EXPECT_EQ(ReadWholeFile(TestServers().ftpRoot + remote), data) << size;
  }
}

// iftpopen always moves ASCII: the server turns CRLF into its own line ends.
TEST_F(TransferTest, WriteDataGoesThroughAsciiMode) {
  const std::string remote = Unique("ascii.txt");
  EXPECT_EQ(Upload(remote, "one\r\ntwo\r\n"), 1);
  EXPECT_EQ(ReadWholeFile(TestServers().ftpRoot + remote), "one\ntwo\n");
}

TEST_F(TransferTest, WriteDataRefusals) {
  const std::string ftp = FtpConnection(), http = HttpConnection();
  const std::string url = Open("iurlopen", {session, HttpUrl("status/200")});
  const std::string source = local + "source";
  ASSERT_TRUE(WriteWholeFile(source, "data"));
  const std::pair<std::vector<std::string>, int> cases[] = {
      {{"0", source}, 306},         {{"S987654", source}, 306}, {{url, source}, 312},
      {{session, source}, 312},     {{ftp, source}, 312},       {{http, source}, 312},
      {{url, local + "missing"}, 312},  // the handle is checked before the file
  };
  for (const auto& [args, number] : cases) {
    zelhost::CallResult r = Call("iwritedata", args);
    EXPECT_EQ(r.errorNumber(), number) << args[0] << " " << args[1];
    EXPECT_EQ(r.deliveries.at(0).kind, -2);
  }
  const std::string file = Open("iftpopen", {ftp, Unique("never.txt"), "0", "946"});
  zelhost::CallResult r = Call("iwritedata", {file, local + "missing"});
  EXPECT_EQ(r.errorNumber(), 307);
  EXPECT_EQ(r.deliveries.at(0).kind, -2);
  Call("iclose", {file});
}

// A server that drops the data connection mid-upload: a failed write ends the upload
// with 0 and its error, never a success over a file with a hole in it.
TEST_F(TransferTest, WriteDataFailsWhenTheServerDropsTheUpload) {
  const std::string remote = "abort-" + Unique("upload");  // the test server drops it after 64 KiB
  const std::string data = Noise(16 << 20, false);       // more than the sockets can hold
  EXPECT_EQ(Upload(remote, data), 0);
  EXPECT_NE(uploadError, 0);
  EXPECT_LT(ReadWholeFile(TestServers().ftpRoot + remote).size(), data.size());
}

// A local read that fails ends the upload with 0 and the read's error; nothing of the
// failure reaches the server as data.
TEST_F(TransferTest, WriteDataLocalReadErrorDeliversZero) {
  const std::string remote = Unique("unreadable.txt");
  const std::string ftp = FtpConnection();
  const std::string file = Open("iftpopen", {ftp, remote, "0", "946"});
  // Reading a process's own memory at offset 0 fails (EIO, error 21 under Wine).
  EXPECT_EQ(Integer("iwritedata", {file, "Z:\\proc\\self\\mem"}), 0);
  EXPECT_EQ(LastError(), ERROR_NOT_READY);
  EXPECT_EQ(Integer("iclose", {file}), 1);
  EXPECT_EQ(ReadWholeFile(TestServers().ftpRoot + remote), "");
  Call("iclose", {ftp});
}

}  // namespace
}  // namespace zeltest
