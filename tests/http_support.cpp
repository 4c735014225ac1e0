#include "tests/http_support.h"

#include <windows.h>
#include <wininet.h>

namespace zeltest {

void HttpTest::SetUp() {
  ExtenderTest::SetUp();
  session = std::to_string(Integer("ibegin", {"0", "", ""}));
  ASSERT_NE(session, "0");
  http = Connect(TestServers().http());
  ASSERT_NE(http, "0");
}

void HttpTest::TearDown() { Call("iclose", {session}); }

std::string HttpTest::Connect(const std::string& host, const char* service) {
  zelhost::CallResult r = Call("ihostconnect", {session, host, service, "", ""});
  EXPECT_TRUE(r.ok()) << r.text();
  return r.deliveries.at(0).valueType == 1 ? r.text() : std::to_string(r.integer());
}

std::string HttpTest::Open(const std::string& verb, const std::string& object, const std::string& connection,
                           const std::string& referrer, const std::string& flags) {
  return std::to_string(Integer("ihttpinit", {connection, verb, object, referrer, flags}));
}

zelhost::CallResult HttpTest::Send(const std::string& request, const std::string& headers, const std::string& body,
                                   const std::string& size) {
  return Call("ihttpopen", {request, headers, body, size});
}

std::string HttpTest::ReadResponse(const std::string& request) {
  HINTERNET handle = reinterpret_cast<HINTERNET>(static_cast<uintptr_t>(std::stoul(request)));
  std::string data;
  char chunk[65536];
  DWORD got = 0;
  while (InternetReadFile(handle, chunk, sizeof chunk, &got) && got > 0) data.append(chunk, got);
  return data;
}

Json HttpTest::EchoRecord(const std::string& request) {
  Json record;
  std::string problem;
  const std::string text = ReadResponse(request);
  EXPECT_TRUE(ParseJson(text, &record, &problem)) << problem << ": " << text.substr(0, 200);
  return record;
}

Json HttpTest::PostEcho(const std::string& headers, const std::string& body, const std::string& size,
                        const std::string& object) {
  const std::string request = Open("POST", object, http);
  zelhost::CallResult sent = Send(request, headers, body, size);
  EXPECT_EQ(sent.text(), "200") << "ihttpopen error " << sent.errorNumber() << ", last error " << LastError();
  Json record = EchoRecord(request);
  Call("iclose", {request});
  return record;
}

std::string HttpTest::Header(const Json& record, const std::string& name) {
  for (const Json& line : record["headers"].items) {
    if (_stricmp(line[0].string.c_str(), name.c_str()) == 0) return line[1].string;
  }
  return "";
}

bool HttpTest::HasHeader(const Json& record, const std::string& name) {
  for (const Json& line : record["headers"].items) {
    if (_stricmp(line[0].string.c_str(), name.c_str()) == 0) return true;
  }
  return false;
}

bool HttpTest::ServerReceived(const std::string& path) {
  const std::string folder = TestServers().httpRecords;
  const std::string needle = "\"path\": \"" + path + "\"";
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "*.json").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  bool seen = false;
  do {
    seen = ReadWholeFile(folder + data.cFileName).find(needle) != std::string::npos;
  } while (!seen && FindNextFileA(find, &data));
  FindClose(find);
  return seen;
}

std::string HttpTest::AddressText(const void* memory) { return std::to_string(reinterpret_cast<uintptr_t>(memory)); }

}  // namespace zeltest
