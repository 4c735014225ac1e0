// iftpget and iftpput against the local FTP server: flag bits and transfer types, the
// size lookup (327, 324), refusals, and what an armed transfer leaves behind.
#include <windows.h>
#include <wininet.h>

#include "tests/ftp_support.h"

namespace zeltest {
namespace {

class FtpTransfer : public FtpTest {
 protected:
  void SetUp() override {
    FtpTest::SetUp();
    dir_ = FreshDir("transfer");
  }
  // WinInet's status callback on the connection (asked in this process), left as it was.
  INTERNET_STATUS_CALLBACK CallbackOnConnection() {
    HINTERNET connection = reinterpret_cast<HINTERNET>(static_cast<uintptr_t>(std::stoul(connection_)));
    INTERNET_STATUS_CALLBACK previous = InternetSetStatusCallbackA(connection, nullptr);
    InternetSetStatusCallbackA(connection, previous);
    return previous;
  }
  std::string dir_;
};

// The server converts line ends in ASCII transfers: LF on its side, CR LF on ours.
TEST_F(FtpTransfer, GetFlagBits) {
  const std::string remote = ServerFile("lines.txt", "a\nb\n");
  const std::string binary = "a\nb\n", ascii = "a\r\nb\r\n", old = "old";
  struct Case {
    const char* flags;
    bool localExists;
    int32_t result;
    const std::string& content;
    int32_t error;
  } cases[] = {
      {"0", true, 1, binary, 0},          {"1", true, 1, ascii, 0},
      {"2", false, 1, binary, 0},         {"2", true, 0, old, ERROR_FILE_EXISTS},
      {"3", false, 1, ascii, 0},          {"3", true, 0, old, ERROR_FILE_EXISTS},
      {"945", true, 1, ascii, 0},         {"946", true, 0, old, ERROR_FILE_EXISTS},  // the constants are not special
      {" \t\n3", false, 1, ascii, 0},     {"-4", true, 1, binary, 0},
  };
  for (const Case& c : cases) {
    const std::string local = dir_ + "got.txt";
    DeleteFileA(local.c_str());
    if (c.localExists) WriteWholeFile(local, old);
    EXPECT_EQ(Integer("iftpget", {connection_, remote, local, "0", c.flags}), c.result) << c.flags;
    EXPECT_EQ(LastError(), c.error) << c.flags;
    EXPECT_EQ(ReadWholeFile(local), c.content) << c.flags;
  }
}

TEST_F(FtpTransfer, PutTransferTypes) {
  const std::string local = dir_ + "put.txt";
  WriteWholeFile(local, "x\r\ny\r\n");
  const std::string remote = ServerFile("put.txt", "");
  const std::pair<const char*, const char*> stored[] = {{"945", "x\r\ny\r\n"}, {"946", "x\ny\n"}, {"  946", "x\ny\n"}};
  for (const auto& [type, content] : stored) {
    EXPECT_EQ(Integer("iftpput", {connection_, local, remote, "0", type}), 1) << type;
    EXPECT_EQ(ServerContent(remote), content) << type;
  }
  for (const char* type : {"1", "2", "0", "\t945", "947", "@binary"}) {
    zelhost::CallResult r = Call("iftpput", {connection_, local, remote, "0", type});
    EXPECT_EQ(r.errorNumber(), 305) << type;
    EXPECT_EQ(r.deliveries.at(0).kind, -1);
  }
  EXPECT_EQ(Integer("iftpput", {connection_, dir_ + "missing.txt", remote, "0", "945"}), 0);
  EXPECT_EQ(LastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(FtpTransfer, HandleChecks) {
  const std::string http = std::to_string(Integer("ihostconnect", {session_, TestServers().http(), "0", "", ""}));
  const std::pair<std::string, int> handles[] = {{"987654", 306}, {"", 306}, {session_, 316}, {http, 316}, {"S" + http, 316}};
  for (const auto& [handle, number] : handles) {
    for (const char* command : {"iftpget", "iftpput"}) {
      zelhost::CallResult r = Call(command, {handle, "/x", dir_ + "x", "0", "945"});
      EXPECT_EQ(r.errorNumber(), number) << command << " " << handle;
      EXPECT_EQ(r.deliveries.at(0).kind, -2);
    }
  }
}

TEST_F(FtpTransfer, MissingRemoteFileLeavesNoWindowOrCallback) {
  for (const char* mode : {"0", "2"}) {  // progress off, then armed
    Integer("iftpdialog", {mode, "Missing", "", "0", "1"});
    zelhost::CallResult r = Call("iftpget", {connection_, "/no-such-file.bin", dir_ + "none", "0", "0"});
    EXPECT_EQ(r.errorNumber(), 327) << mode;
    EXPECT_EQ(r.deliveries.at(0).kind, -1);
    EXPECT_EQ(LastError(), ERROR_NO_MORE_FILES);
    EXPECT_EQ(FindThreadWindow("Missing"), nullptr);
    EXPECT_EQ(CallbackOnConnection(), nullptr);
    EXPECT_EQ(Integer("iftpdialog", {"7", "", "", "", ""}), 0);
  }
  EXPECT_EQ(ReadWholeFile(dir_ + "none"), "");
}

TEST_F(FtpTransfer, SizeZeroWithProgressAndAnOpenWalkIsRefused) {
  const std::string remote = ServerFile("sized.txt", "12345");
  const std::string walk = std::to_string(Integer("iftpfindinit", {connection_, "/", "*", "0"}));
  Integer("iftpdialog", {"2", "Sized", "", "0", "0"});
  zelhost::CallResult refused = Call("iftpget", {connection_, remote, dir_ + "sized", " 0", "0"});
  EXPECT_EQ(refused.errorNumber(), 324);
  EXPECT_EQ(refused.deliveries.at(0).kind, -2);
  EXPECT_EQ(FindThreadWindow("Sized"), nullptr);
  EXPECT_EQ(CallbackOnConnection(), nullptr);
  // A size, or progress off, lets it through with the walk still open.
  EXPECT_EQ(Integer("iftpget", {connection_, remote, dir_ + "sized", "5", "0"}), 1);
  Integer("iftpdialog", {"0", "", "", "", "0"});
  EXPECT_EQ(Integer("iftpget", {connection_, remote, dir_ + "sized", "0", "0"}), 1);
  EXPECT_EQ(ReadWholeFile(dir_ + "sized"), "12345");
  EXPECT_NE(Call("iftpfindnext", {"0"}).deliveries.size(), 0u);
  Call("iclose", {walk});
}

TEST_F(FtpTransfer, ArmedTransfersRemoveTheirCallback) {
  const std::string remote = ServerFile("armed.txt", "armed");
  Integer("iftpdialog", {"3", "Armed", "", "0", "0"});
  EXPECT_EQ(Integer("iftpget", {connection_, remote, dir_ + "armed", "0", "0"}), 1);
  EXPECT_EQ(CallbackOnConnection(), nullptr);
  EXPECT_EQ(Integer("iftpput", {connection_, dir_ + "armed", remote, "5", "945"}), 1);
  EXPECT_EQ(CallbackOnConnection(), nullptr);
  EXPECT_EQ(ServerContent(remote), "armed");
  Integer("iftpdialog", {"0", "", "", "", "0"});
}

}  // namespace
}  // namespace zeltest
