// ihttpinit, ihttpopen and ihttpheaders against the local echo server: what the server
// received, byte for byte, and what the script is told.
#include <windows.h>
#include <wincrypt.h>
#include <wininet.h>

#include "tests/http_support.h"

namespace zeltest {
namespace {

using HttpRequestTest = HttpTest;

HINTERNET HandleOf(const std::string& text) {
  return reinterpret_cast<HINTERNET>(static_cast<uintptr_t>(std::stoul(text)));
}

const std::string kContentType = std::string("multipart/form-data; boundary=") + kBoundary;

TEST_F(HttpRequestTest, AcceptedVerbsAreSentUpperCasedAsHttp10) {
  for (const auto& [verb, sent] : {std::pair{"get", "GET"}, {"Post", "POST"}, {"PUT", "PUT"}}) {
    const std::string request = Open(verb, "/echo/verb", http);
    ASSERT_NE(request, "0") << verb;
    ASSERT_EQ(Send(request).text(), "200") << verb;
    const Json record = EchoRecord(request);
    EXPECT_EQ(record["request_line"].string, std::string(sent) + " /echo/verb HTTP/1.0");
    EXPECT_EQ(Header(record, "Accept"), "*/*");
    Call("iclose", {request});
  }
}

TEST_F(HttpRequestTest, RefusalsAndTheirMessages) {
  const Servers& s = TestServers();
  const std::string ftp = std::to_string(Integer("ihostconnect", {session, s.ftp(), "4", s.ftpUser, s.ftpPassword}));
  const std::string request = Open("GET", "/", http);
  struct Case {
    const char* command;
    std::vector<std::string> args;
    int error;
  } cases[] = {
      {"ihttpinit", {http, "HEAD", "/", "", "0"}, 310},
      {"ihttpinit", {http, "DELETE", "/", "", "0"}, 310},
      {"ihttpinit", {http, "GE", "/", "", "0"}, 310},
      {"ihttpinit", {http, "", "/", "", "0"}, 310},
      {"ihttpinit", {http, "GETS", "/", "", "0"}, 310},
      {"ihttpinit", {http, " GET", "/", "", "0"}, 310},
      {"ihttpinit", {"987654", "GET", "/", "", "0"}, 306},
      {"ihttpinit", {"", "GET", "/", "", "0"}, 306},
      {"ihttpinit", {session, "GET", "/", "", "0"}, 313},
      {"ihttpinit", {ftp, "GET", "/", "", "0"}, 313},
      {"ihttpinit", {request, "GET", "/", "", "0"}, 313},
      {"ihttpinit", {"987654", "HEAD", "/", "", "0"}, 306},  // the handle is checked first
      {"ihttpopen", {http, "", "", ""}, 314},
      {"ihttpopen", {session, "", "", ""}, 314},
      {"ihttpopen", {"987654", "", "", ""}, 306},
      {"ihttpheaders", {session}, 312},
      {"ihttpheaders", {http}, 312},
      {"ihttpheaders", {ftp}, 312},
      {"ihttpheaders", {"S987654"}, 306},
  };
  for (const Case& c : cases) {
    zelhost::CallResult r = Call(c.command, c.args);
    EXPECT_EQ(r.errorNumber(), c.error) << c.command << " " << c.args[0] << " " << c.args[1];
    EXPECT_EQ(r.deliveries.at(0).kind, -2) << c.command;
  }
  Call("iclose", {ftp});
}

// What WinInet shows of the request flags: the two certificate exceptions as security
// flags, keep-connection as a header, and the SecureMark as the request's https URL.
TEST_F(HttpRequestTest, FlagsTable) {
  struct Case {
    const char* flags;
    bool secure;
    DWORD securityFlags;
    bool keepAlive;
  } cases[] = {
      {"0", false, 0, false},
      {"7", false, SECURITY_FLAG_IGNORE_CERT_DATE_INVALID | SECURITY_FLAG_IGNORE_CERT_CN_INVALID, true},
      {"8", false, 0, false},
      {"1", false, SECURITY_FLAG_IGNORE_CERT_DATE_INVALID, false},
      {"2", false, SECURITY_FLAG_IGNORE_CERT_CN_INVALID, false},
      {"4", false, 0, true},
      {"-1", false, SECURITY_FLAG_IGNORE_CERT_DATE_INVALID | SECURITY_FLAG_IGNORE_CERT_CN_INVALID, true},
      {"0", true, 0, false},
      {"3", true, SECURITY_FLAG_IGNORE_CERT_DATE_INVALID | SECURITY_FLAG_IGNORE_CERT_CN_INVALID, false},
  };
  const std::string secure = "S" + http;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("flags ") + c.flags + (c.secure ? " with S" : ""));
    const std::string request = Open("POST", "/echo", c.secure ? secure : http, "", c.flags);
    DWORD security = 0, length = sizeof security;
    ASSERT_TRUE(InternetQueryOptionA(HandleOf(request), INTERNET_OPTION_SECURITY_FLAGS, &security, &length));
    EXPECT_EQ(security, c.securityFlags);
    char url[512];
    length = sizeof url;
    ASSERT_TRUE(InternetQueryOptionA(HandleOf(request), INTERNET_OPTION_URL, url, &length));
    EXPECT_EQ(std::string(url).rfind(c.secure ? "https://" : "http://", 0), 0u) << url;
    if (!c.secure) {
      ASSERT_EQ(Send(request).text(), "200");
      EXPECT_EQ(Header(EchoRecord(request), "Connection") == "Keep-Alive", c.keepAlive);
    }
    Call("iclose", {request});
  }
}

TEST_F(HttpRequestTest, ObjectAndReferrerAsSent) {
  struct Case {
    const char* object;
    const char* referrer;
    const char* path;
    const char* sentReferrer;  // null: no Referer header
  } cases[] = {
      {"/echo/a?b=c", "", "/echo/a?b=c", nullptr},
      {"/echo/r", "0", "/echo/r", nullptr},
      {"/echo/r", "http://example.test/form", "/echo/r", "http://example.test/form"},
  };
  for (const Case& c : cases) {
    const std::string request = Open("GET", c.object, http, c.referrer);
    ASSERT_EQ(Send(request).text(), "200") << c.object;
    const Json record = EchoRecord(request);
    EXPECT_EQ(record["path"].string, c.path);
    EXPECT_EQ(HasHeader(record, "Referer"), c.sentReferrer != nullptr) << c.referrer;
    EXPECT_EQ(Header(record, "Referer"), c.sentReferrer != nullptr ? c.sentReferrer : "");
    Call("iclose", {request});
  }
  // Object "0" is an object name like any other: the server is asked for /0.
  const std::string request = Open("GET", "0", http);
  EXPECT_EQ(Send(request).text(), "404");
  Call("iclose", {request});
}

// The four header-block cases, as the server received them.
TEST_F(HttpRequestTest, HeaderBlockCases) {
  char* body = static_cast<char*>(zelhost::AllocLowMemory(4096));
  ASSERT_NE(body, nullptr);
  const std::string bytes("field\0\r\n\xff--end", 13);
  memcpy(body, bytes.data(), bytes.size());
  const std::string address = AddressText(body);
  const std::string size = std::to_string(bytes.size());
  struct Case {
    const char* name;
    std::string headers, address, size;
    bool contentType;
    std::string body;
  } cases[] = {
      {"headers, no body", "X-One: 1\r\nX-Two: two", "0", size, false, ""},
      {"headers and body", "X-One: 1\r\nX-Two: two", address, size, true, bytes},
      {"nothing", "0", "0", "100", false, ""},
      {"nothing, empty address", "", "", "100", false, ""},
      {"body only", "", address, size, true, bytes},
      {"empty body", "0", address, "0", true, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Json record = PostEcho(c.headers, c.address, c.size);
    EXPECT_EQ(DecodeBase64(record["body_base64"].string), c.body);
    EXPECT_EQ(Header(record, "Content-Length"), std::to_string(c.body.size()));
    EXPECT_EQ(HasHeader(record, "Content-Type"), c.contentType);
    EXPECT_EQ(Header(record, "Content-Type"), c.contentType ? kContentType : "");
    const bool extra = c.headers != "0" && !c.headers.empty();
    EXPECT_EQ(Header(record, "X-One"), extra ? "1" : "");
    EXPECT_EQ(Header(record, "X-Two"), extra ? "two" : "");
  }
  zelhost::FreeLowMemory(body);
}

// Headers beyond the 4192-byte block are sent whole, with and without a body.
TEST_F(HttpRequestTest, LongExtraHeadersAreSentWhole) {
  char* body = static_cast<char*>(zelhost::AllocLowMemory(4096));
  ASSERT_NE(body, nullptr);
  const std::string value(9000, 'v');
  for (const std::string& address : {std::string("0"), AddressText(body)}) {
    const Json record = PostEcho("X-Long: " + value + "\r\nX-After: yes", address, "1");
    EXPECT_EQ(Header(record, "X-Long"), value);
    EXPECT_EQ(Header(record, "X-After"), "yes");
  }
  zelhost::FreeLowMemory(body);
}

TEST_F(HttpRequestTest, StatusCodesAsText) {
  for (const char* status : {"200", "404", "500"}) {
    const std::string request = Open("GET", std::string("/status/") + status, http);
    zelhost::CallResult r = Send(request);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.deliveries.at(0).valueType, 1);
    EXPECT_EQ(r.text(), status);
    EXPECT_EQ(LastError(), 0);
    Call("iclose", {request});
  }
  // A request that cannot be sent: "ERROR", and the reason in igetlasterror.
  const std::string closed = Connect("127.0.0.1:1");
  const std::string request = Open("GET", "/", closed);
  EXPECT_EQ(Send(request).text(), "ERROR");
  EXPECT_EQ(LastError(), ERROR_INTERNET_CANNOT_CONNECT);
}

// A body that cannot be read is refused with 309 and nothing is sent.
TEST_F(HttpRequestTest, UnreadableBodyIsRefused) {
  char* region = static_cast<char*>(zelhost::AllocLowMemory(0x20000));
  ASSERT_NE(region, nullptr);
  ASSERT_TRUE(VirtualFree(region + 0x10000, 0x10000, MEM_DECOMMIT));  // reserved, not committed
  const std::string path = "/echo/unsent-" + std::to_string(GetCurrentProcessId());
  const std::string request = Open("POST", path, http);
  const std::pair<std::string, std::string> cases[] = {
      {AddressText(region + 0x10000), "1"},   // not committed
      {AddressText(region + 0xFFFF), "2"},    // the last byte crosses into it
      {AddressText(region), "-1"},            // a negative size is 4 GiB
      {"4294967295", "2"},                    // past the end of the address space
  };
  for (const auto& [address, size] : cases) {
    zelhost::CallResult r = Send(request, "", address, size);
    EXPECT_EQ(r.errorNumber(), 309) << address << " " << size;
    EXPECT_EQ(r.deliveries.at(0).kind, -2);
  }
  EXPECT_FALSE(ServerReceived(path));
  // The readable part of the same region goes out.
  memset(region + 0xFFF0, 'z', 16);
  const Json record = PostEcho("", AddressText(region + 0xFFF0), "16", path);
  EXPECT_EQ(DecodeBase64(record["body_base64"].string), std::string(16, 'z'));
  EXPECT_TRUE(ServerReceived(path));
  Call("iclose", {request});
  zelhost::FreeLowMemory(region);
}

// The raw headers as WinInet holds them, NULs turned into tabs; longer than 4192 bytes too.
TEST_F(HttpRequestTest, RawHeadersTabSeparated) {
  for (const char* object : {"/status/404", "/headers/6000"}) {
    SCOPED_TRACE(object);
    const std::string request = Open("GET", object, http);
    ASSERT_NE(Send(request).text(), "ERROR");
    std::string raw(65536, '\0');
    DWORD length = static_cast<DWORD>(raw.size());
    ASSERT_TRUE(HttpQueryInfoA(HandleOf(request), HTTP_QUERY_RAW_HEADERS, &raw[0], &length, nullptr));
    raw.resize(length);
    for (char& c : raw) {
      if (c == '\0') c = '\t';
    }
    zelhost::CallResult r = Call("ihttpheaders", {request});
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.text(), raw);
    EXPECT_EQ(r.text().find(object[1] == 's' ? "HTTP/1.1 404 Not Found\t" : "HTTP/1.1 200 OK\t"), 0u);
    EXPECT_EQ(r.text().back(), '\t');
    Call("iclose", {request});
  }
  const std::string request = Open("GET", "/headers/6000", http);
  Send(request);
  const std::string text = Call("ihttpheaders", {request}).text();
  EXPECT_GT(text.size(), 6000u);
  EXPECT_NE(text.find("\tX-Long-6: " + std::string(1000, 'x') + "\t"), std::string::npos);
  Call("iclose", {request});
}

// An FTP file is a handle ihttpheaders takes, but it has no HTTP headers to give.
TEST_F(HttpRequestTest, FtpFileHasNoRawHeaders) {
  const Servers& s = TestServers();
  ASSERT_TRUE(WriteWholeFile(s.ftpRoot + "raw-headers.txt", "x"));
  const std::string url = std::to_string(
      Integer("iurlopen", {session, "ftp://" + s.ftpUser + ":" + s.ftpPassword + "@" + s.ftp() + "/raw-headers.txt"}));
  ASSERT_NE(url, "0") << "last error " << LastError();
  zelhost::CallResult r = Call("ihttpheaders", {url});
  EXPECT_EQ(r.text(), "ERROR");
  EXPECT_EQ(LastError(), ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
  Call("iclose", {url});
}

// HTTPS end to end: WinInet verifies the server's certificate, and the extender never
// turns that off by itself.
class HttpsTest : public HttpTest {
 protected:
  std::string Post(int port) {
    const std::string connection = Connect("localhost:" + std::to_string(port), "1");
    EXPECT_EQ(connection[0], 'S');
    request = Open("POST", "/echo/tls", connection);
    return Send(request, "X-Tls: yes").text();
  }
  std::string request;
};

TEST_F(HttpsTest, UntrustedCertificateFailsWithTheCertificateError) {
  EXPECT_EQ(Post(TestServers().httpsUntrustedPort), "ERROR");
  EXPECT_EQ(LastError(), ERROR_INTERNET_INVALID_CA);
}

TEST_F(HttpsTest, TrustedCertificateCarriesTheRequest) {
  // Trusted as a user would: the certificate added to the ROOT store (kept in the prefix).
  const std::string der = ReadWholeFile(TestServers().httpsCert);
  ASSERT_FALSE(der.empty()) << TestServers().httpsCert;
  HCERTSTORE root = CertOpenSystemStoreA(0, "ROOT");
  ASSERT_NE(root, nullptr);
  ASSERT_TRUE(CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                                               static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING,
                                               nullptr));
  CertCloseStore(root, 0);

  EXPECT_EQ(Post(TestServers().httpsPort), "200") << "last error " << LastError();
  // A secure request has a certificate to show (asked before its body is read: Wine
  // forgets the connection, and with it the certificate, once the data is consumed).
  const zelhost::CallResult certificate = Call("ioptionget", {request, "security_certificate"});
  EXPECT_NE(certificate.text().find("localhost"), std::string::npos) << certificate.text() << " " << LastError();
  const Json record = EchoRecord(request);
  EXPECT_EQ(record["request_line"].string, "POST /echo/tls HTTP/1.0");
  EXPECT_EQ(Header(record, "X-Tls"), "yes");
}

}  // namespace
}  // namespace zeltest
