#include "boundary/command_table.h"

#include <windows.h>

#include <cstring>

#include "dialup/commands.h"
#include "ftp/commands.h"
#include "http/commands.h"
#include "inet/commands.h"

namespace zel {
namespace {

constexpr uint16_t C = kCommandKind;
constexpr uint16_t K = kConstantKind;
constexpr uint16_t F = kCommandFlags;

// code, kind, arguments or value, flags, reserved, name, command.
// Order and codes are what scripts are compiled against: never reorder.
const CommandRecord kCommandTable[] = {
    {1, C, 3, F, 0, "ibegin", inet::Begin},
    {2, C, 1, F, 0, "iclose", inet::Close},
    {3, C, 5, F, 0, "ihostconnect", inet::HostConnect},
    {4, C, 2, F, 0, "iurlopen", inet::UrlOpen},
    {5, C, 2, F, 0, "ireaddata", inet::ReadData},
    {6, C, 4, F, 0, "icontentdata", http::ContentData},
    {7, C, 4, F, 0, "icontentfile", http::ContentFile},
    {8, C, 5, F, 0, "ihttpinit", http::HttpInit},
    {9, C, 4, F, 0, "ihttpopen", http::HttpOpen},
    {10, C, 0, F, 0, "iversion", inet::Version},
    {11, C, 0, F, 0, "igetlasterror", nullptr},  // answered by the dispatcher itself
    {12, K, 0, 0, 0, "@http", nullptr},
    {13, K, 1, 0, 0, "@https", nullptr},
    {14, K, 2, 0, 0, "@ftp", nullptr},
    {15, K, 3, 0, 0, "@gopher", nullptr},
    {16, C, 2, F, 0, "ioptionget", inet::OptionGet},
    {17, C, 3, F, 0, "ioptionset", inet::OptionSet},
    {18, C, 0, F, 0, "igetresponse", inet::GetResponse},
    {19, C, 1, F, 0, "ihttpheaders", http::HttpHeaders},
    {20, C, 4, F, 0, "iftpopen", ftp::Open},
    {21, C, 2, F, 0, "iwritedata", inet::WriteData},
    {22, C, 2, F, 0, "iftpdirmake", ftp::DirMake},
    {23, C, 1, F, 0, "iftpdirget", ftp::DirGet},
    {24, C, 5, F, 0, "iftpget", ftp::FtpGet},
    {25, K, 945, 0, 0, "@binary", nullptr},
    {26, K, 946, 0, 0, "@ascii", nullptr},
    {27, K, 1, 0, 0, "@true", nullptr},
    {28, K, 0, 0, 0, "@false", nullptr},
    {29, C, 5, F, 0, "iftpput", ftp::FtpPut},
    {30, C, 2, F, 0, "iftpdirremove", ftp::DirRemove},
    {31, C, 2, F, 0, "iftpdelete", ftp::Delete},
    {32, C, 3, F, 0, "iftprename", ftp::Rename},
    {33, C, 2, F, 0, "iftpdirchange", ftp::DirChange},
    {34, C, 4, F, 0, "iftpfindinit", ftp::FtpFindInit},
    {35, C, 1, F, 0, "iftpfindnext", ftp::FtpFindNext},
    {36, C, 3, F, 0, "ilocfindinit", ftp::LocFindInit},
    {37, C, 1, F, 0, "ilocfindnext", ftp::LocFindNext},
    {38, C, 5, F, 0, "iftpdialog", ftp::FtpDialog},
    {39, C, 1, F, 0, "igetconstate", inet::GetConnectedState},
    {40, C, 2, F, 0, "iDial", dialup::Dial},
    {41, C, 1, F, 0, "iDialHangUp", dialup::DialHangUp},
    {42, C, 0, F, 0, "iDialItemize", dialup::DialItemize},
    {43, K, 4, 0, 0, "@ftppassive", nullptr},
    {kTerminatorCode, kTerminatorKind, 0, 0, 0, "", nullptr},
};
constexpr std::size_t kEntries = sizeof kCommandTable / sizeof kCommandTable[0];
static_assert(kEntries == 44, "43 records and the terminator");

void PutU16(unsigned char* out, uint16_t value) {
  out[0] = static_cast<unsigned char>(value & 0xFF);
  out[1] = static_cast<unsigned char>(value >> 8);
}

}  // namespace

const CommandRecord* CommandAt(std::size_t index) { return index < kEntries ? &kCommandTable[index] : nullptr; }

const CommandRecord* FindCommand(int code) {
  for (const CommandRecord& record : kCommandTable) {
    if (record.kind == kCommandKind && record.code == code) return &record;
  }
  return nullptr;
}

void WriteEnumerationRecord(const CommandRecord& record, unsigned char* out) {
  char name[kNameSize];
  lstrcpynA(name, record.name, static_cast<int>(kNameSize));
  CharLowerA(name);
  const std::size_t length = std::strlen(name);
  PutU16(out + 0, record.code);
  PutU16(out + 2, record.kind);
  PutU16(out + 4, record.count);
  PutU16(out + 6, record.flags);
  PutU16(out + 8, static_cast<uint16_t>(length));
  std::memcpy(out + kEnumerationHeaderSize, name, length + 1);
}

}  // namespace zel
