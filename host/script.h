// The zelrun script language: one extender call per line.
//
//   # comment
//   s = ibegin 0, "", ""           name = command args...   (result kept as text in $s)
//   iurlopen $s, "http://..."      "quoted" (\" \\ \t \r \n), bare, $name, @constant
//   buffer body, 4096               zeroed memory below 2 GiB; $body is its address
//   dump body, 0, 64                hex and text of a buffer's bytes
//   print "text", $s                prints its arguments
//   expect $u != "0"                == or != on texts; a failure ends the run
#pragma once
#include <cstdint>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include "host/extender_host.h"

namespace zelhost {

enum ScriptStatus : int {
  kScriptOk = 0,
  kExpectationFailed = 1,
  kErrorDelivered = 2,
  kScriptFault = 3,  // unknown command, unset $name, bad syntax
};

class ScriptRunner {
 public:
  ScriptRunner(Extender& extender, std::ostream& out) : extender_(extender), out_(out) {}
  ~ScriptRunner();

  bool keepGoing = false;  // go on after an error delivery

  void Define(const std::string& name, const std::string& value) { variables_[name] = value; }
  // Runs one line; lineNumber only labels messages.
  ScriptStatus RunLine(const std::string& line, int lineNumber);
  // Runs every line; stops at the first failure (errors too, unless keepGoing).
  ScriptStatus RunText(const std::string& text);

 private:
  struct Token {
    enum Kind { kValue, kComma, kEquals, kNotEquals } kind;
    std::string text;
  };
  bool Tokenize(const std::string& rest, std::vector<Token>& tokens, std::string& problem) const;
  ScriptStatus Builtin(const std::string& name, const std::vector<Token>& tokens, const std::string& line,
                       int lineNumber, bool& handled);
  std::vector<std::string> Values(const std::vector<Token>& tokens) const;

  Extender& extender_;
  std::ostream& out_;
  std::map<std::string, std::string> variables_;
  std::map<std::string, std::pair<void*, size_t>> buffers_;
};

// The text a zelrun line prints for a delivery.
std::string DescribeDelivery(const Delivery& d);

}  // namespace zelhost
