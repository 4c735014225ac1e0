// icontentdata and icontentfile: the exact bytes written into the script's memory, the
// offsets delivered, the refusals that leave memory untouched, and a whole body read
// back by a real multipart parser on the server.
#include <windows.h>

#include "tests/http_support.h"

namespace zeltest {
namespace {

constexpr unsigned char kUntouched = 0xCC;
constexpr size_t kRegion = 0x20000;     // committed first half, reserved second half
constexpr size_t kCommitted = 0x10000;

const std::string kDelimiter = std::string("--") + kBoundary;

std::string TextPart(const std::string& name, const std::string& value) {
  return kDelimiter + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value + "\r\n";
}
std::string FileHeader(const std::string& name, const std::string& path) {
  return kDelimiter + "\r\nContent-Disposition: form-data; name=\"" + name + "\"; filename=\"" + path +
         "\"\r\nContent-Type: text/plain\r\n\r\n";
}
std::string FilePart(const std::string& name, const std::string& path, const std::string& content) {
  return FileHeader(name, path) + content + "\r\n";
}
const std::string kClosing = kDelimiter + "--\r\n";
const std::string kDelimiterLine = kDelimiter + "\r\n";

// Bytes that a script would never mistake for text: NUL, CR, LF, 0xFF, a fake delimiter.
std::string Content(size_t size) {
  std::string data(size, '\0');
  uint32_t x = static_cast<uint32_t>(size) * 2654435761u + 1;
  for (size_t i = 0; i < size; ++i) {
    x = x * 1103515245u + 12345u;
    data[i] = static_cast<char>(x >> 24);
  }
  const std::string fake = "\r\n--" + std::string(kBoundary).substr(0, 10) + "\0\r\n\xff";
  if (size > fake.size() + 100) data.replace(50, fake.size(), fake);
  return data;
}

class MultipartTest : public HttpTest {
 protected:
  void SetUp() override {
    HttpTest::SetUp();
    region = static_cast<char*>(zelhost::AllocLowMemory(kRegion));
    ASSERT_NE(region, nullptr);
    ASSERT_TRUE(VirtualFree(region + kCommitted, kRegion - kCommitted, MEM_DECOMMIT));
    memset(region, kUntouched, kCommitted);
    address = AddressText(region);
    dir = FreshDir("multipart");
  }
  void TearDown() override {
    zelhost::FreeLowMemory(region);
    HttpTest::TearDown();
  }

  std::string Memory(size_t from, size_t length) const { return std::string(region + from, length); }
  bool UntouchedFrom(size_t from) const {
    for (size_t i = from; i < kCommitted; ++i) {
      if (static_cast<unsigned char>(region[i]) != kUntouched) return false;
    }
    return true;
  }
  // Checks what a call wrote at offset: exactly the expected bytes, one NUL, nothing else.
  void ExpectWritten(const zelhost::CallResult& r, size_t offset, const std::string& expected) {
    ASSERT_TRUE(r.ok()) << r.text();
    EXPECT_EQ(r.deliveries[0].valueType, 0);
    EXPECT_EQ(r.integer(), static_cast<int32_t>(offset + expected.size()));
    EXPECT_EQ(Memory(offset, expected.size()), expected);
    EXPECT_EQ(region[offset + expected.size()], '\0');
    EXPECT_TRUE(UntouchedFrom(offset + expected.size() + 1));
    for (size_t i = 0; i < offset; ++i) ASSERT_EQ(static_cast<unsigned char>(region[i]), kUntouched) << i;
  }
  std::string File(const std::string& name, size_t size) {
    const std::string path = dir + name;
    EXPECT_TRUE(WriteWholeFile(path, Content(size)));
    return path;
  }

  char* region = nullptr;
  std::string address;
  std::string dir;
};

TEST_F(MultipartTest, TextFieldLayouts) {
  struct Case {
    std::string name, value;
    size_t offset;
    std::string expected;
  } cases[] = {
      {"a", "b", 10, TextPart("a", "b")},  // 10 + 90 + 1 + 1 = 102
      {"", "", 0, kClosing},                // 47
      {"name", "", 5, kDelimiterLine},      // 45: one text missing
      {"", "value", 0, kDelimiterLine},
      {std::string(300, 'n'), "line 1\r\nline \"2\"\t\xe9", 7, TextPart(std::string(300, 'n'), "line 1\r\nline \"2\"\t\xe9")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name.substr(0, 10) + "/" + c.value.substr(0, 10));
    memset(region, kUntouched, kCommitted);
    ExpectWritten(Call("icontentdata", {address, std::to_string(c.offset), c.name, c.value}), c.offset, c.expected);
  }
  EXPECT_EQ(TextPart("a", "b").size(), 92u);
  EXPECT_EQ(kClosing.size(), 47u);
  EXPECT_EQ(kDelimiterLine.size(), 45u);
}

TEST_F(MultipartTest, FileFieldLayouts) {
  for (size_t size : {size_t{0}, size_t{1}, size_t{30000}, size_t{30001}, size_t{60000}}) {
    SCOPED_TRACE(size);
    memset(region, kUntouched, kCommitted);
    const std::string path = File("f" + std::to_string(size) + ".bin", size);
    const std::string expected = FilePart("upload", path, Content(size));
    EXPECT_EQ(expected.size(), 129 + 6 + path.size() + size);
    ExpectWritten(Call("icontentfile", {address, "3", "upload", path}), 3, expected);
  }
  // Without a field, icontentfile writes what icontentdata writes.
  const std::string path = File("x.bin", 10);
  for (const auto& [name, file, expected] :
       {std::tuple{"", "", kClosing}, {"n", "", kDelimiterLine}, {"", path.c_str(), kDelimiterLine}}) {
    memset(region, kUntouched, kCommitted);
    ExpectWritten(Call("icontentfile", {address, "0", name, file}), 0, expected);
  }
}

// A whole body built in memory, sent, and read back by the server's multipart parser.
TEST_F(MultipartTest, ChainedBodyReadByAStandardParser) {
  const std::string path = File("report.bin", 30001);
  int32_t offset = Integer("icontentdata", {address, "0", "title", "Quarterly \"report\""});
  offset = Integer("icontentfile", {address, std::to_string(offset), "file", path});
  offset = Integer("icontentdata", {address, std::to_string(offset), "empty", ""});  // a bare delimiter line
  offset = Integer("icontentdata", {address, std::to_string(offset), "note", "two\r\nlines"});
  offset = Integer("icontentdata", {address, std::to_string(offset), "", ""});
  const std::string body = TextPart("title", "Quarterly \"report\"") + FilePart("file", path, Content(30001)) +
                           kDelimiterLine + TextPart("note", "two\r\nlines") + kClosing;
  ASSERT_EQ(offset, static_cast<int32_t>(body.size()));
  ASSERT_EQ(Memory(0, body.size()), body);

  const Json record = PostEcho("0", address, std::to_string(offset));
  EXPECT_EQ(DecodeBase64(record["body_base64"].string), body);
  ASSERT_TRUE(record["form_error"].isNull()) << record["form_error"].string;
  const Json& form = record["form"];
  struct Field {
    const char* name;
    std::string filename;  // "" for a text field
    std::string content;
  } fields[] = {{"title", "", "Quarterly \"report\""}, {"file", path, Content(30001)}, {"note", "", "two\r\nlines"}};
  // The bare delimiter line makes an empty part that parsers skip or keep; count ours.
  size_t found = 0;
  for (size_t i = 0; i < form.size(); ++i) {
    const Json& part = form[i];
    for (const Field& f : fields) {
      if (part["name"].string != f.name) continue;
      ++found;
      EXPECT_EQ(part["filename"].isNull() ? "" : part["filename"].string, f.filename) << f.name;
      EXPECT_EQ(part["content_type"].isNull() ? "" : part["content_type"].string,
                f.filename.empty() ? "" : "text/plain")
          << f.name;
      EXPECT_EQ(DecodeBase64(part["content_base64"].string), f.content) << f.name;
    }
  }
  EXPECT_EQ(found, 3u);
}

// Every byte a call writes, its NUL included, must be writable; else 309 and nothing is
// written. A part that would run past the end of the memory is refused, not written.
TEST_F(MultipartTest, UnwritableMemoryIsRefusedUntouched) {
  const std::string big = File("big.bin", 30001);
  const std::string small = File("small.bin", 100);
  const size_t bigPart = FilePart("f", big, Content(30001)).size();
  const size_t smallPart = FilePart("f", small, Content(100)).size();
  const size_t textPart = TextPart("name", "value").size();
  struct Case {
    const char* what;
    const char* command;
    std::string address;
    size_t offset;
    std::string name, content;
  } cases[] = {
      {"null address", "icontentdata", "0", 0, "name", "value"},
      {"null address, closing", "icontentfile", "0", 0, "", ""},
      {"reserved memory", "icontentdata", AddressText(region + kCommitted), 0, "", ""},
      {"text part past the end", "icontentdata", address, kCommitted - textPart + 40, "name", "value"},
      {"text part's NUL past the end", "icontentdata", address, kCommitted - textPart, "name", "value"},
      {"closing NUL past the end", "icontentdata", address, kCommitted - kClosing.size(), "", ""},
      {"file larger than the memory left", "icontentfile", address, kCommitted - bigPart + 20000, "f", big},
      {"file part one byte short", "icontentfile", address, kCommitted - smallPart, "f", small},
      {"range past 4 GiB", "icontentdata", "4294967290", 0, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    memset(region, kUntouched, kCommitted);
    zelhost::CallResult r = Call(c.command, {c.address, std::to_string(c.offset), c.name, c.content});
    EXPECT_EQ(r.errorNumber(), 309);
    EXPECT_EQ(r.deliveries.at(0).kind, -2);
    EXPECT_TRUE(UntouchedFrom(0));
  }
  // One byte more room and each part fits exactly, its NUL in the last committed byte.
  memset(region, kUntouched, kCommitted);
  ExpectWritten(Call("icontentfile", {address, std::to_string(kCommitted - smallPart - 1), "f", small}),
                kCommitted - smallPart - 1, FilePart("f", small, Content(100)));
  memset(region, kUntouched, kCommitted);
  ExpectWritten(Call("icontentdata", {address, std::to_string(kCommitted - textPart - 1), "name", "value"}),
                kCommitted - textPart - 1, TextPart("name", "value"));

  // A read-only page is not writable either.
  DWORD old = 0;
  ASSERT_TRUE(VirtualProtect(region, 0x1000, PAGE_READONLY, &old));
  EXPECT_EQ(Call("icontentdata", {address, "0", "", ""}).errorNumber(), 309);
  VirtualProtect(region, 0x1000, PAGE_READWRITE, &old);
}

// A file that cannot be opened: 307 (kind -1), with the part's header already written.
TEST_F(MultipartTest, UnopenableFileLeavesTheHeaderWritten) {
  const std::string held = File("held.bin", 10);
  HANDLE writer = CreateFileA(held.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  for (const std::string& path : {dir + "missing.bin", dir.substr(0, dir.size() - 1), held}) {
    SCOPED_TRACE(path);
    memset(region, kUntouched, kCommitted);
    zelhost::CallResult r = Call("icontentfile", {address, "8", "f", path});
    EXPECT_EQ(r.errorNumber(), 307);
    EXPECT_EQ(r.deliveries.at(0).kind, -1);
    const std::string header = FileHeader("f", path);
    EXPECT_EQ(Memory(8, header.size()), header);
    EXPECT_EQ(region[8 + header.size()], '\0');
    EXPECT_TRUE(UntouchedFrom(8 + header.size() + 1));
  }
  CloseHandle(writer);
  // Once the writer has gone, the same file is read.
  memset(region, kUntouched, kCommitted);
  ExpectWritten(Call("icontentfile", {address, "0", "f", held}), 0, FilePart("f", held, Content(10)));
}

}  // namespace
}  // namespace zeltest
