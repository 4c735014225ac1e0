// The directory walkers, local and FTP, through the export: order, separators, pattern
// filtering, records, refusals, the walk's handle and iclose, and one search per connection.
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <regex>
#include <set>
#include <sstream>

#include "tests/support.h"

namespace zeltest {
namespace {

// Relative paths with "/"; a trailing "/" makes a directory, anything else a two-byte file.
const std::vector<std::string> kTree = {"a.txt",         "b.dat",       "sub/c.txt", "sub/deep/d.txt",
                                        "empty/",        "x.txt/e.txt", "m.txt/n.dat"};

std::string Local(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

void MakeTree(const std::string& root, const std::vector<std::string>& entries) {
  CreateDirectoryA(root.c_str(), nullptr);
  for (const std::string& entry : entries) {
    for (size_t slash = entry.find('/'); slash != std::string::npos; slash = entry.find('/', slash + 1))
      CreateDirectoryA(Local(root + "\\" + entry.substr(0, slash)).c_str(), nullptr);
    if (entry.back() != '/') WriteWholeFile(Local(root + "\\" + entry), "zz");
  }
}

void RemoveTree(const std::string& root) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((root + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(root + "\\" + name);
      } else {
        DeleteFileA((root + "\\" + name).c_str());
      }
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  RemoveDirectoryA(root.c_str());
}

std::vector<std::string> Fields(const std::string& record) {
  std::vector<std::string> fields;
  std::stringstream in(record);
  for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
  return fields;
}

// Number of live WinInet FTP search handles in this process (WinInet numbers handles
// 1, 2, 3, ...; the DLL lives in this process).
int OpenFtpSearches() {
  int count = 0;
  for (uintptr_t value = 1; value < 512; ++value) {
    DWORD type = 0, length = sizeof type;
    if (InternetQueryOptionA(reinterpret_cast<HINTERNET>(value), INTERNET_OPTION_HANDLE_TYPE, &type, &length) &&
        type == INTERNET_HANDLE_TYPE_FTP_FIND)
      ++count;
  }
  return count;
}

bool IsLive(const std::string& handle) {
  DWORD type = 0, length = sizeof type;
  return InternetQueryOptionA(reinterpret_cast<HINTERNET>(static_cast<uintptr_t>(std::stoul(handle))),
                              INTERNET_OPTION_HANDLE_TYPE, &type, &length) != FALSE;
}

// A walk over a tree of its own: the local one in a temp folder, the FTP one in a
// folder of the FTP server's root (reached as a local folder to build it).
class WalkFixture : public ExtenderTest {
 protected:
  void SetUpWalk(bool ftp) {
    ftp_ = ftp;
    const std::string name = "walk" + std::to_string(GetCurrentProcessId());
    if (ftp_) {
      const Servers& s = TestServers();
      folder_ = s.ftpRoot + name;
      root_ = "/" + name;
      session_ = std::to_string(Integer("ibegin", {"0", "", ""}));
      connection_ = std::to_string(Integer("ihostconnect", {session_, s.ftp(), "4", s.ftpUser, s.ftpPassword}));
      ASSERT_NE(connection_, "0");
    } else {
      folder_ = FreshDir(name);
      folder_.pop_back();  // no trailing separator: the walk adds its own
      root_ = folder_;
    }
    RemoveTree(folder_);
    MakeTree(folder_, kTree);
  }
  void TearDown() override {
    if (!session_.empty()) Call("iclose", {session_});
    RemoveTree(folder_);
  }

  zelhost::CallResult Init(const std::string& dir, const std::string& pattern, const std::string& recurse) {
    return ftp_ ? Call("iftpfindinit", {connection_, dir, pattern, recurse})
                : Call("ilocfindinit", {dir, pattern, recurse});
  }
  std::string Start(const std::string& dir, const std::string& pattern, const std::string& recurse) {
    zelhost::CallResult r = Init(dir, pattern, recurse);
    EXPECT_TRUE(r.ok()) << r.text();
    return std::to_string(r.integer());
  }
  zelhost::CallResult Next(const std::string& detail = "0") {
    return Call(ftp_ ? "iftpfindnext" : "ilocfindnext", {detail});
  }
  // Every entry up to the end; the walk must then go on answering "".
  std::vector<std::string> Rest(const std::string& detail = "0") {
    std::vector<std::string> entries;
    for (int i = 0; i < 5000; ++i) {
      zelhost::CallResult r = Next(detail);
      EXPECT_TRUE(r.ok()) << r.text() << " after " << entries.size() << " entries, error " << LastError();
      if (!r.ok()) break;
      if (r.text().empty()) {
        EXPECT_EQ(Next(detail).text(), "");
        break;
      }
      entries.push_back(r.text());
    }
    return entries;
  }
  int failMessage() const { return ftp_ ? 321 : 322; }

  bool ftp_ = false;
  std::string folder_;  // the tree as a local folder
  std::string root_;    // the tree as the walk names it
  std::string session_, connection_;
};

class BothWalks : public WalkFixture, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    WalkFixture::SetUp();
    SetUpWalk(GetParam());
  }
};

// Entries in layers: each directory level of the breadth-first walk, in any order within.
using Layers = std::vector<std::set<std::string>>;

TEST_P(BothWalks, BreadthFirstOverMatchingDirectories) {
  struct Case {
    const char* pattern;
    const char* recurse;
    Layers layers;  // relative to root + "/"
  } cases[] = {
      {"*", "0", {{"a.txt", "b.dat"}}},
      {"*", "1", {{"a.txt", "b.dat"}, {"sub\\c.txt", "x.txt\\e.txt", "m.txt\\n.dat"}, {"sub\\deep\\d.txt"}}},
      // Only directories matching the pattern are entered; m.txt holds no match.
      {"*.txt", " \t1", {{"a.txt"}, {"x.txt\\e.txt"}}},
      {"*.dat", "-7", {{"b.dat"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.pattern) + " recurse " + c.recurse);
    const std::string handle = Start(root_, c.pattern, c.recurse);
    std::vector<std::string> entries = Rest();
    size_t at = 0;
    for (const std::set<std::string>& layer : c.layers) {
      std::set<std::string> got;
      for (size_t i = 0; i < layer.size() && at < entries.size(); ++i) got.insert(entries[at++].substr(root_.size() + 1));
      EXPECT_EQ(got, layer);
    }
    EXPECT_EQ(at, entries.size());
    for (const std::string& entry : entries) EXPECT_EQ(entry.compare(0, root_.size() + 1, root_ + "/"), 0) << entry;
    EXPECT_EQ(Integer("iclose", {handle}), 1);
  }
}

TEST_P(BothWalks, SeparatorAddedOnlyWhenMissing) {
  for (const std::string tail : {"", "/", "\\"}) {
    const std::string handle = Start(root_ + tail, "a.txt", "0");
    EXPECT_EQ(Next().text(), root_ + (tail.empty() ? "/" : tail) + "a.txt");
    Call("iclose", {handle});
  }
}

TEST_P(BothWalks, DetailedRecordsHaveSixFields) {
  const std::string handle = Start(root_, "*", "1");
  const std::regex stamp("\\d{4}(:\\d\\d){5}");
  for (const std::string& record : Rest("1")) {
    const std::vector<std::string> fields = Fields(record);
    EXPECT_EQ(std::count(record.begin(), record.end(), '\t'), 5) << record;
    ASSERT_EQ(fields.size(), 6u) << record;
    EXPECT_EQ(fields[0].compare(0, root_.size(), root_), 0) << record;
    EXPECT_EQ(fields[2], "2") << record;
    for (int i = 3; i < 6; ++i) EXPECT_TRUE(std::regex_match(fields[i], stamp)) << record;
  }
  Call("iclose", {handle});
  // Detail is read as a number: exactly 1 gives records, anything else the path alone.
  for (const auto& [detail, detailed] : {std::pair<const char*, bool>{"2", false}, {"0", false}, {"\t1", false},
                                         {" 1", true}, {"01x", true}}) {
    const std::string again = Start(root_, "a.txt", "0");
    const std::string entry = Next(detail).text();
    EXPECT_EQ(entry.find('\t') != std::string::npos, detailed) << detail;
    EXPECT_EQ(entry.substr(0, entry.find('\t')), root_ + "/a.txt");
    Call("iclose", {again});
  }
}

TEST_P(BothWalks, SecondStartIsRefusedAndLeavesTheOpenWalkAlone) {
  const std::string handle = Start(root_, "*", "1");
  const std::string first = Next().text();
  zelhost::CallResult refused = Init(root_, "*", "0");
  EXPECT_EQ(refused.errorNumber(), 325);
  EXPECT_EQ(refused.deliveries.at(0).kind, -1);
  std::vector<std::string> rest = Rest();
  EXPECT_EQ(rest.size(), 5u);  // the six files of the tree, one taken before
  EXPECT_EQ(std::count(rest.begin(), rest.end(), first), 0);
  EXPECT_EQ(Integer("iclose", {handle}), 1);
  EXPECT_EQ(Call("iclose", {handle}).errorNumber(), 306);
  zelhost::CallResult after = Next();
  EXPECT_EQ(after.errorNumber(), failMessage());
  EXPECT_EQ(after.deliveries.at(0).kind, -1);
  EXPECT_NE(Start(root_, "*", "0"), "0");  // closed: a new walk may start
}

TEST_P(BothWalks, FailedStartsDeliverZeroAndLeaveTheWalkClosed) {
  EXPECT_EQ(Next().errorNumber(), failMessage());  // no walk was ever started
  struct Case {
    std::string dir, pattern;
    int32_t localError, ftpError;
  } cases[] = {
      {root_ + "/nosuch", "*", ERROR_PATH_NOT_FOUND, 12003},
      {root_, "nomatch*", ERROR_FILE_NOT_FOUND, ERROR_NO_MORE_FILES},
      {root_ + "/" + std::string(300, 'd'), "*", ERROR_FILENAME_EXCED_RANGE, ERROR_FILENAME_EXCED_RANGE},
      {root_, std::string(320, 'p'), ERROR_FILENAME_EXCED_RANGE, ERROR_FILENAME_EXCED_RANGE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dir.substr(0, 60) + " " + c.pattern.substr(0, 20));
    zelhost::CallResult r = Init(c.dir, c.pattern, "1");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.integer(), 0);
    EXPECT_EQ(LastError(), ftp_ ? c.ftpError : c.localError);
    EXPECT_EQ(Next().errorNumber(), failMessage());
  }
  const std::string handle = Start(root_, "*", "0");
  EXPECT_EQ(Rest().size(), 2u);
  Call("iclose", {handle});
}

INSTANTIATE_TEST_SUITE_P(Walkers, BothWalks, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& walker) { return walker.param ? "Ftp" : "Local"; });

class LocalWalk : public WalkFixture {
 protected:
  void SetUp() override {
    WalkFixture::SetUp();
    SetUpWalk(false);
  }
};

FILETIME Time(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
  SYSTEMTIME system = {year, month, 0, day, hour, minute, second, 0};
  FILETIME time;
  SystemTimeToFileTime(&system, &time);
  return time;
}

void SetTimes(const std::string& path, const FILETIME& time) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  SetFileTime(file, &time, &time, &time);
  CloseHandle(file);
}

void SetSize(const std::string& path, LONGLONG size) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  LARGE_INTEGER at;
  at.QuadPart = size;
  SetFilePointerEx(file, at, nullptr, FILE_BEGIN);
  SetEndOfFile(file);  // sparse on the Linux side
  CloseHandle(file);
}

TEST_F(LocalWalk, TimestampsAndSizesInRecords) {
  struct Case {
    const char* name;
    FILETIME time;
    LONGLONG size;
    const char* stamp;
    const char* sizeText;
  } cases[] = {
      {"july.bin", Time(1999, 7, 4, 13, 5, 8), 7, "1999:07:04:13:05:08", "7"},
      {"odd.bin", Time(2024, 2, 29, 23, 59, 59), 0, "2024:02:29:23:59:58", "0"},  // two-second steps
      {"early.bin", Time(1970, 1, 1, 0, 0, 0), 2147483647, "0000:00:00:00:00:00", "2147483647"},
      {"late.bin", Time(2150, 1, 1, 0, 0, 0), 2147483648LL, "0000:00:00:00:00:00", "2147483648.00"},
      {"huge.bin", Time(2107, 12, 31, 23, 59, 58), 5368709120LL, "2107:12:31:23:59:58", "5368709120.00"},
  };
  const std::string dir = folder_ + "\\times";
  CreateDirectoryA(dir.c_str(), nullptr);
  for (const Case& c : cases) {
    SetSize(dir + "\\" + c.name, c.size);
    SetTimes(dir + "\\" + c.name, c.time);
  }
  for (const Case& c : cases) {
    const std::string handle = Start(dir, c.name, "0");
    const std::vector<std::string> fields = Fields(Next("1").text());
    ASSERT_EQ(fields.size(), 6u) << c.name;
    EXPECT_EQ(fields[0], dir + "/" + c.name);
    EXPECT_EQ(fields[2], c.sizeText) << c.name;
    EXPECT_EQ(fields[4], c.stamp) << c.name << " accessed";
    EXPECT_EQ(fields[5], c.stamp) << c.name << " written";
    Call("iclose", {handle});
  }
  for (const Case& c : cases) DeleteFileA((dir + "\\" + c.name).c_str());  // large, if sparse
}

TEST_F(LocalWalk, QueueGrowsPastItsFirstBlock) {
  // 300 directories: more than the 252 slots of the queue's first block.
  std::vector<std::string> entries;
  for (int i = 0; i < 300; ++i) entries.push_back("many/d" + std::to_string(i) + "/f" + std::to_string(i));
  MakeTree(folder_, entries);
  const std::string handle = Start(folder_ + "\\many", "*", "1");
  const std::vector<std::string> found = Rest();
  const std::set<std::string> unique(found.begin(), found.end());
  EXPECT_EQ(found.size(), 300u);
  EXPECT_EQ(unique.size(), 300u);
  EXPECT_EQ(unique.count(folder_ + "\\many/d299\\f299"), 1u);
  Call("iclose", {handle});
}

TEST_F(LocalWalk, LocalAndFtpWalksMayBeOpenTogether) {
  const Servers& s = TestServers();
  const std::string session = std::to_string(Integer("ibegin", {"0", "", ""}));
  const std::string ftp = std::to_string(Integer("ihostconnect", {session, s.ftp(), "4", s.ftpUser, s.ftpPassword}));
  const std::string name = "together" + std::to_string(GetCurrentProcessId());
  WriteWholeFile(s.ftpRoot + name, "zz");
  const std::string local = Start(root_, "*", "0");
  zelhost::CallResult remote = Call("iftpfindinit", {ftp, "/", name, "0"});
  ASSERT_TRUE(remote.ok());
  EXPECT_NE(remote.integer(), 0);
  EXPECT_EQ(Rest().size(), 2u);
  EXPECT_EQ(Integer("iclose", {local}), 1);
  EXPECT_EQ(Call("iftpfindnext", {"0"}).text(), "/" + name);
  EXPECT_EQ(Integer("iclose", {std::to_string(remote.integer())}), 1);
  Call("iclose", {session});
  DeleteFileA((s.ftpRoot + name).c_str());
}

class FtpWalk : public WalkFixture {
 protected:
  void SetUp() override {
    WalkFixture::SetUp();
    SetUpWalk(true);
  }
};

TEST_F(FtpWalk, HandleChecksComeFirst) {
  const std::string http = std::to_string(Integer("ihostconnect", {session_, TestServers().http(), "0", "", ""}));
  const std::string walk = Start(root_, "*", "0");
  const std::pair<std::string, int> cases[] = {{"987654", 306}, {"", 306}, {session_, 316}, {http, 316}, {"S" + http, 316}};
  for (const auto& [handle, number] : cases) {
    zelhost::CallResult r = Call("iftpfindinit", {handle, root_, "*", "0"});
    EXPECT_EQ(r.errorNumber(), number) << handle;
    EXPECT_EQ(r.deliveries.at(0).kind, -2);
  }
  EXPECT_EQ(Rest().size(), 2u);  // the open walk went on undisturbed
  Call("iclose", {walk});
}

TEST_F(FtpWalk, OneSearchAtATimeOnTheConnection) {
  const std::string walk = Start(root_, "*", "1");
  for (zelhost::CallResult r = Next(); r.ok() && !r.text().empty(); r = Next()) EXPECT_LE(OpenFtpSearches(), 1);
  EXPECT_EQ(OpenFtpSearches(), 0);  // the finished search is closed at the end
  // Downloads right after the walk and after each lookup work on the same connection.
  const std::string target = FreshDir("walkget");
  for (const char* name : {"a.txt", "sub/c.txt"}) {
    EXPECT_EQ(Integer("iftpget", {connection_, root_ + "/" + name, target + "got", "0", "0"}), 1) << LastError();
    EXPECT_EQ(ReadWholeFile(target + "got"), "zz");
    EXPECT_EQ(OpenFtpSearches(), 0);
  }
  EXPECT_EQ(Integer("iclose", {walk}), 1);
}

TEST_F(FtpWalk, IcloseOfTheWalkHandleEndsItAfterItMovedOn) {
  const std::string walk = Start(root_, "*", "1");
  std::string entry;
  do entry = Next().text();
  while (!entry.empty() && entry.find('\\') == std::string::npos);  // into a queued directory
  ASSERT_FALSE(entry.empty());
  EXPECT_EQ(Integer("iclose", {walk}), 1);
  EXPECT_EQ(OpenFtpSearches(), 0);
  EXPECT_EQ(Call("iclose", {walk}).errorNumber(), 306);
  EXPECT_EQ(Next().errorNumber(), 321);
  EXPECT_TRUE(IsLive(connection_));
  EXPECT_NE(Start(root_, "*", "0"), "0");
}

TEST_F(FtpWalk, IcloseClosesANewHandleThatTookTheWalksNumber) {
  const std::string walk = Start(root_, "a.txt", "0");
  EXPECT_EQ(Rest().size(), 1u);  // the finished search is closed: its number is free
  const std::string file = std::to_string(Integer("iftpopen", {connection_, root_ + "/b.dat", "1", "946"}));
  ASSERT_EQ(file, walk);  // WinInet hands the number out again
  EXPECT_EQ(Integer("iclose", {file}), 1);
  EXPECT_FALSE(IsLive(file));
  EXPECT_EQ(Integer("iftpdirchange", {connection_, root_}), 1) << LastError();  // the connection is free
  EXPECT_NE(Start(root_, "*", "0"), "0");  // and the walk has ended
}

TEST_F(FtpWalk, IcloseOfAnotherHandleAllowsANewStartAndTheWalkGoesOn) {
  const std::string walk = Start(root_, "*", "1");
  const std::string first = Next().text();
  const std::string other = std::to_string(Integer("ibegin", {"0", "", ""}));
  EXPECT_EQ(Integer("iclose", {other}), 1);
  EXPECT_EQ(Rest().size(), 5u);  // the walk itself is not ended
  EXPECT_NE(Start(root_, "a.txt", "0"), "0");
  EXPECT_EQ(Next().text(), root_ + "/a.txt");
}

TEST_F(FtpWalk, ClosingTheConnectionNeverLetsTheWalkCloseAReusedNumber) {
  Start(root_, "*", "1");
  Next();
  EXPECT_EQ(Integer("iclose", {connection_}), 1);  // takes the walk's search with it
  // WinInet hands the freed numbers out again at once.
  std::vector<std::string> sessions;
  for (int i = 0; i < 4; ++i) sessions.push_back(std::to_string(Integer("ibegin", {"0", "", ""})));
  const Servers& s = TestServers();
  connection_ = std::to_string(Integer("ihostconnect", {session_, s.ftp(), "4", s.ftpUser, s.ftpPassword}));
  const std::string walk = Start(root_, "*", "0");
  for (const std::string& session : sessions) {
    EXPECT_TRUE(IsLive(session)) << session;
    Call("iclose", {session});
  }
  EXPECT_EQ(Rest().size(), 2u);
  Call("iclose", {walk});
}

TEST_F(FtpWalk, AQueuedDirectoryThatCannotBeListedStopsTheWalk) {
  const std::string walk = Start(root_, "sub*", "1");
  EXPECT_EQ(Next().text(), "");  // nothing at the top: straight on to the queued directory
  Call("iclose", {walk});
  Start(root_, "*", "1");
  Next();  // the top directory is listed; its subdirectories are queued
  RemoveTree(folder_ + "\\sub");
  zelhost::CallResult r = Next();
  for (int i = 0; i < 10 && r.ok(); ++i) r = Next();
  EXPECT_EQ(r.errorNumber(), 321);
  EXPECT_EQ(LastError(), 12003);
  EXPECT_EQ(Next().errorNumber(), 321);  // stopped until closed
}

TEST_F(FtpWalk, EntryWhosePathDoesNotFitIsReportedAndTheWalkGoesOn) {
  // Made on the server: too long for this process's own file functions. A queued
  // directory is a Windows path of at most 259 characters; a file's path may be longer.
  const std::string deep = root_ + "/deep";
  const std::string longDir = deep + "/" + std::string(200, 'L');
  const std::string tooDeep = longDir + "/" + std::string(80, 'D');
  const std::string longFile = longDir + "/" + std::string(120, 'F');
  const std::string source = FreshDir("walklong") + "f";
  WriteWholeFile(source, "zz");
  HINTERNET session = InternetOpenA("walk test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  const Servers& s = TestServers();
  HINTERNET ftp = InternetConnectA(session, "127.0.0.1", static_cast<INTERNET_PORT>(s.ftpPort), s.ftpUser.c_str(),
                                   s.ftpPassword.c_str(), INTERNET_SERVICE_FTP, INTERNET_FLAG_PASSIVE, 0);
  for (const std::string& dir : {deep, longDir, tooDeep}) ASSERT_TRUE(FtpCreateDirectoryA(ftp, dir.c_str())) << dir;
  ASSERT_TRUE(FtpPutFileA(ftp, source.c_str(), longFile.c_str(), FTP_TRANSFER_TYPE_BINARY, 0));

  const std::string walk = Start(deep, "*", "1");
  std::set<std::string> got;
  for (int i = 0; i < 2; ++i) {
    zelhost::CallResult r = Next();
    got.insert(r.ok() ? r.text() : "error " + std::to_string(r.errorNumber()) + " " + std::to_string(LastError()));
  }
  const std::string queuedFile = deep + "/" + std::string(200, 'L') + "\\" + std::string(120, 'F');
  EXPECT_EQ(got, (std::set<std::string>{queuedFile, "error 321 206"}));
  EXPECT_EQ(Next().text(), "");
  Call("iclose", {walk});

  FtpDeleteFileA(ftp, longFile.c_str());
  for (const std::string& dir : {tooDeep, longDir, deep}) FtpRemoveDirectoryA(ftp, dir.c_str());
  InternetCloseHandle(session);
}

}  // namespace
}  // namespace zeltest
