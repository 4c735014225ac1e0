// HTTP test fixture: a session and a connection to the local server, requests made
// through the extender, and the server's echo record of what it received.
#pragma once
#include <string>

#include "tests/json_reader.h"
#include "tests/support.h"

namespace zeltest {

constexpr char kBoundary[] = "---------------------------56592736725545";

class HttpTest : public ExtenderTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // ihostconnect to host (service 0 @http, 1 @https): the handle text as delivered.
  std::string Connect(const std::string& host, const char* service = "0");
  // ihttpinit on connection; the delivered handle as text ("0" when refused).
  std::string Open(const std::string& verb, const std::string& object, const std::string& connection,
                   const std::string& referrer = "", const std::string& flags = "0");
  // ihttpopen; the status text (or the error delivery).
  zelhost::CallResult Send(const std::string& request, const std::string& headers = "", const std::string& body = "",
                           const std::string& size = "");
  // The response body of a sent request, read here in the test (the DLL shares this process).
  static std::string ReadResponse(const std::string& request);
  // The echo record of a sent /echo request (fails the test when it is not one).
  static Json EchoRecord(const std::string& request);
  // A POST to /echo through the extender with headers and body; the server's record.
  Json PostEcho(const std::string& headers, const std::string& body, const std::string& size,
                const std::string& object = "/echo");

  // The header lines a record holds (name, value), and one value ("" when absent).
  static std::string Header(const Json& record, const std::string& name);
  static bool HasHeader(const Json& record, const std::string& name);

  // Whether any request for path has reached the echo server (its records folder).
  static bool ServerReceived(const std::string& path);
  // Address of memory as the script names it (32-bit decimal text).
  static std::string AddressText(const void* memory);

  std::string session;
  std::string http;  // connection to the plain HTTP server
};

}  // namespace zeltest
