// Multipart form bodies, written straight into memory the script owns.
//
//   icontentdata address, offset, name, value -> the offset just past what was written
//       A text field: "--" boundary CRLF
//                     Content-Disposition: form-data; name="<name>" CRLF CRLF <value> CRLF
//       (90 + name + value bytes). Name and value both "": the closing delimiter
//       "--" boundary "--" CRLF (47 bytes). Only one of them "": "--" boundary CRLF (45).
//   icontentfile address, offset, name, path -> the offset just past what was written
//       A file field: "--" boundary CRLF
//                     Content-Disposition: form-data; name="<name>"; filename="<path>" CRLF
//                     Content-Type: text/plain CRLF CRLF <the file's bytes> CRLF
//       (129 + name + path + file size bytes); the path is written as given.
//       "" arguments as for icontentdata.
//   Writing starts at address + offset; a NUL follows the part, uncounted, and the next
//   call writes over it. Chain the offsets, close with both "", and hand address and the
//   last offset to ihttpopen. The memory must hold the whole part and the NUL.
//   Errors: 309 (kind -2) when that memory is not writable: nothing is written.
//           307 (kind -1) when the file cannot be opened: the delimiter line and the part's
//           header lines are left written, and no offset is delivered.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "boundary/number_text.h"
#include "boundary/unique_handle.h"
#include "http/commands.h"
#include "http/form_boundary.h"
#include "http/script_memory.h"

namespace zel::http {
namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr char kCloseMark[] = "--";
constexpr char kNamePrefix[] = "Content-Disposition: form-data; name=\"";
constexpr char kNameEnd[] = "\"";
constexpr char kFilenamePrefix[] = "\"; filename=\"";
constexpr char kTypeLine[] = "\"\r\nContent-Type: text/plain";
constexpr char kHeaderEnd[] = "\r\n\r\n";
constexpr DWORD kFileReadUnit = 30000;

template <std::size_t N>
constexpr uint64_t Bytes(const char (&)[N]) {
  return N - 1;
}
constexpr uint64_t kDelimiterBytes = 2 + Bytes(kFormBoundary);

// What a call writes, by which of its two texts are given.
struct Part {
  Part(const char* nameText, const char* contentText)
      : name(nameText), content(contentText), nameLength(std::strlen(nameText)), contentLength(std::strlen(contentText)) {}
  bool closing() const { return nameLength == 0 && contentLength == 0; }
  bool field() const { return nameLength != 0 && contentLength != 0; }
  uint64_t delimiterLineBytes() const { return kDelimiterBytes + (closing() ? Bytes(kCloseMark) : 0) + Bytes(kLineEnd); }

  const char* name;
  const char* content;
  std::size_t nameLength;
  std::size_t contentLength;
};

// Copies pieces one after another into memory the probe has vouched for.
class BodyWriter {
 public:
  explicit BodyWriter(uint32_t position) : position_(position) {}
  void Put(const char* text, std::size_t length) {
    std::memcpy(ScriptAddress(position_), text, length);
    Advance(length);
  }
  template <std::size_t N>
  void Put(const char (&text)[N]) {
    Put(text, N - 1);
  }
  void Advance(uint64_t bytes) { position_ = static_cast<uint32_t>(position_ + bytes); }
  // The uncounted NUL after the last piece.
  void Terminate() { *ScriptAddress(position_) = '\0'; }
  char* at() const { return ScriptAddress(position_); }
  uint32_t position() const { return position_; }

 private:
  uint32_t position_;
};

// Where a call writes: address + offset, both 32-bit as the script gives them.
uint32_t WritePosition(const Call& call) {
  return static_cast<uint32_t>(DecimalText(call.arg(1))) + static_cast<uint32_t>(DecimalText(call.arg(2)));
}

// Every byte the call will write, with its NUL, must be writable; the probe has always
// covered name + content + 47 bytes, so it never covers less than that.
bool ProbeHolds(uint32_t position, const Part& part, uint64_t bytes) {
  const uint64_t headerProbe = uint64_t{part.nameLength} + part.contentLength + kDelimiterBytes + 4;
  return ScriptMemoryWritable(position, std::max(headerProbe, bytes + 1));
}

void PutDelimiterLine(BodyWriter& out, const Part& part) {
  out.Put("--", 2);
  out.Put(kFormBoundary);
  if (part.closing()) out.Put(kCloseMark);
  out.Put(kLineEnd);
}

int32_t Deliver(const Call& call, const BodyWriter& out) {
  return call.integer(static_cast<int32_t>(out.position() - static_cast<uint32_t>(DecimalText(call.arg(1)))));
}

// A call without a field: the delimiter line only (closing, or one text missing).
int32_t DelimiterOnly(const Call& call, const Part& part, uint32_t position) {
  if (!ProbeHolds(position, part, part.delimiterLineBytes())) return call.error(309, -2);
  BodyWriter out(position);
  PutDelimiterLine(out, part);
  out.Terminate();
  return Deliver(call, out);
}

// Every field part opens with its delimiter line and the disposition up to the name.
uint64_t FieldStartBytes(const Part& part) {
  return part.delimiterLineBytes() + Bytes(kNamePrefix) + part.nameLength;
}

void PutFieldStart(BodyWriter& out, const Part& part) {
  PutDelimiterLine(out, part);
  out.Put(kNamePrefix);
  out.Put(part.name, part.nameLength);
}

// Reads at most size bytes, in units of 30000, straight into the body; a read error or
// a short read ends the content, keeping what was read.
void ReadContent(BodyWriter& out, HANDLE file, uint64_t size) {
  while (size > 0) {
    const DWORD want = static_cast<DWORD>(std::min<uint64_t>(size, kFileReadUnit));
    DWORD got = 0;
    if (!ReadFile(file, out.at(), want, &got, nullptr)) return;
    out.Advance(got);
    size -= got;
    if (got < want) return;
  }
}

}  // namespace

int32_t ContentData(const Call& call) {
  const Part part(call.arg(3), call.arg(4));
  const uint32_t position = WritePosition(call);
  if (!part.field()) return DelimiterOnly(call, part, position);
  const uint64_t bytes =
      FieldStartBytes(part) + Bytes(kNameEnd) + Bytes(kHeaderEnd) + part.contentLength + Bytes(kLineEnd);
  if (!ProbeHolds(position, part, bytes)) return call.error(309, -2);
  BodyWriter out(position);
  PutFieldStart(out, part);
  out.Put(kNameEnd);
  out.Put(kHeaderEnd);
  out.Put(part.content, part.contentLength);
  out.Put(kLineEnd);
  out.Terminate();
  return Deliver(call, out);
}

int32_t ContentFile(const Call& call) {
  const Part part(call.arg(3), call.arg(4));
  const uint32_t position = WritePosition(call);
  if (!part.field()) return DelimiterOnly(call, part, position);

  // Opened first, others' writes denied, so that the probe covers the file as it is.
  UniqueFile file(CreateFileA(part.content, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (file && !GetFileSizeEx(file.get(), &size)) file.reset();
  const uint64_t header =
      FieldStartBytes(part) + Bytes(kFilenamePrefix) + part.contentLength + Bytes(kTypeLine) + Bytes(kHeaderEnd);
  const uint64_t content = file ? static_cast<uint64_t>(size.QuadPart) : 0;
  const uint64_t bytes = header + (file ? content + Bytes(kLineEnd) : 0);
  if (!ProbeHolds(position, part, bytes)) return call.error(309, -2);

  BodyWriter out(position);
  PutFieldStart(out, part);
  out.Put(kFilenamePrefix);
  out.Put(part.content, part.contentLength);
  out.Put(kTypeLine);
  out.Put(kHeaderEnd);
  if (!file) {
    out.Terminate();
    return call.error(307, -1);
  }
  ReadContent(out, file.get(), content);
  out.Put(kLineEnd);
  out.Terminate();
  return Deliver(call, out);
}

}  // namespace zel::http
