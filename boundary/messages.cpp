#include "boundary/messages.h"

#include <cstring>
#include <cstdio>

#include "boundary/number_text.h"

namespace zel {
namespace {

enum LanguageState { kNotSetUp = 0, kNoLanguageFile = 1, kLanguageFileFound = 2 };

int g_languageState = kNotSetUp;
char g_languageFilePath[MAX_PATH];

constexpr char kMissing[] = "XXX";

bool FileExists(const char* path, char* fullPath) {
  OFSTRUCT info{};
  info.cBytes = sizeof info;
  if (OpenFile(path, &info, OF_EXIST) == HFILE_ERROR) return false;
  if (fullPath != nullptr) lstrcpynA(fullPath, info.szPathName, MAX_PATH);
  return true;
}

void SetUpLanguage(HINSTANCE module) {
  g_languageState = kNoLanguageFile;
  g_languageFilePath[0] = '\0';

  char language[20];
  GetPrivateProfileStringA("MAIN", "Language", kMissing, language, sizeof language, "TOLVANIX.INI");
  if (std::strcmp(language, kMissing) == 0) GetProfileStringA("INTL", "sLanguage", "enu", language, sizeof language);

  char bareName[32];
  std::snprintf(bareName, sizeof bareName, "%s.%s", "TOLVLANG", language);

  // First beside the library itself...
  char path[MAX_PATH] = "";
  DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) path[0] = '\0';
  const char* separator = LastSeparator(path);
  std::size_t dirLength = separator != nullptr ? static_cast<std::size_t>(separator - path) + 1 : 0;
  if (dirLength + std::strlen(bareName) < MAX_PATH) {
    std::memcpy(path + dirLength, bareName, std::strlen(bareName) + 1);
    if (FileExists(path, nullptr)) {
      lstrcpynA(g_languageFilePath, path, MAX_PATH);
      g_languageState = kLanguageFileFound;
      return;
    }
  }
  // ...then wherever the system's file search finds it.
  if (FileExists(bareName, g_languageFilePath)) g_languageState = kLanguageFileFound;
}

void ApplySubstitutions(char* text) {
  for (char* p = text; *p != '\0'; p = CharNextA(p)) {
    if (*p == '~') *p = '\n';
    else if (*p == '|') *p = '\t';
  }
}

}  // namespace

int LookupMessage(HINSTANCE module, int number, char* out, int capacity) {
  if (out == nullptr || capacity <= 0) return 0;
  if (g_languageState == kNotSetUp) SetUpLanguage(module);

  int count = 0;
  bool found = false;
  if (g_languageState == kLanguageFileFound) {
    char key[kNumberTextSize + 1] = "X";
    NumberText(number, key + 1, sizeof key - 1);
    count = static_cast<int>(GetPrivateProfileStringA("ZELX Extender", key, kMissing, out,
                                                       static_cast<DWORD>(capacity), g_languageFilePath));
    found = std::strcmp(out, kMissing) != 0;
  }
  if (!found) {
    out[0] = '\0';
    count = LoadStringA(module, static_cast<UINT>(number), out, capacity);
    if (count < 0) count = 0;
    out[count < capacity ? count : capacity - 1] = '\0';
  }
  ApplySubstitutions(out);
  return count;
}

}  // namespace zel
