#include "host/script.h"

#include <cctype>
#include <cstdio>
#include <ostream>
#include <sstream>

namespace zelhost {
namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default:
        if (c < 32) {
          char hex[8];
          std::snprintf(hex, sizeof hex, "\\x%02X", c);
          out += hex;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

}  // namespace

std::string DescribeDelivery(const Delivery& d) {
  if (d.isError()) return "error " + std::to_string(std::atoi(d.text.c_str())) + " (kind " + std::to_string(d.kind) + "): " + d.text;
  if (d.valueType == 1) return Quote(d.text);
  return std::to_string(d.value);
}

ScriptRunner::~ScriptRunner() {
  for (auto& entry : buffers_) FreeLowMemory(entry.second.first);
}

bool ScriptRunner::Tokenize(const std::string& rest, std::vector<Token>& tokens, std::string& problem) const {
  size_t i = 0;
  while (i < rest.size()) {
    char c = rest[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
    } else if (c == ',') {
      tokens.push_back({Token::kComma, ","});
      ++i;
    } else if (rest.compare(i, 2, "==") == 0 || rest.compare(i, 2, "!=") == 0) {
      tokens.push_back({c == '=' ? Token::kEquals : Token::kNotEquals, rest.substr(i, 2)});
      i += 2;
    } else if (c == '"') {
      std::string text;
      ++i;
      bool closed = false;
      while (i < rest.size()) {
        char q = rest[i++];
        if (q == '"') {
          closed = true;
          break;
        }
        if (q == '\\' && i < rest.size()) {
          char e = rest[i++];
          switch (e) {
            case 't': text += '\t'; break;
            case 'r': text += '\r'; break;
            case 'n': text += '\n'; break;
            default: text += e; break;  // \" and \\ and anything else: the character itself
          }
        } else {
          text += q;
        }
      }
      if (!closed) {
        problem = "unterminated quoted text";
        return false;
      }
      tokens.push_back({Token::kValue, text});
    } else if (c == '$') {
      size_t j = i + 1;
      while (j < rest.size() && IsNameChar(rest[j])) ++j;
      std::string name = rest.substr(i + 1, j - i - 1);
      auto found = variables_.find(name);
      if (name.empty() || found == variables_.end()) {
        problem = "$" + name + " is not set";
        return false;
      }
      tokens.push_back({Token::kValue, found->second});
      i = j;
    } else if (c == '@') {
      size_t j = i + 1;
      while (j < rest.size() && IsNameChar(rest[j])) ++j;
      std::string name = rest.substr(i, j - i);
      const CommandInfo* info = extender_.Find(name);
      if (info == nullptr || info->kind != 3) {
        problem = "unknown constant " + name;
        return false;
      }
      tokens.push_back({Token::kValue, std::to_string(info->count)});
      i = j;
    } else {
      size_t j = i;
      while (j < rest.size() && rest[j] != ',' && rest[j] != ' ' && rest[j] != '\t' &&
             rest.compare(j, 2, "==") != 0 && rest.compare(j, 2, "!=") != 0)
        ++j;
      tokens.push_back({Token::kValue, rest.substr(i, j - i)});
      i = j;
    }
  }
  return true;
}

std::vector<std::string> ScriptRunner::Values(const std::vector<Token>& tokens) const {
  std::vector<std::string> values;
  for (const Token& t : tokens) {
    if (t.kind == Token::kValue) values.push_back(t.text);
  }
  return values;
}

ScriptStatus ScriptRunner::Builtin(const std::string& name, const std::vector<Token>& tokens,
                                   const std::string& line, int lineNumber, bool& handled) {
  handled = true;
  const std::vector<std::string> v = Values(tokens);
  const std::string where = "line " + std::to_string(lineNumber) + ": ";
  if (name == "print") {
    std::string joined;
    for (size_t i = 0; i < v.size(); ++i) joined += (i ? " " : "") + v[i];
    out_ << joined << "\n";
    return kScriptOk;
  }
  if (name == "expect") {
    if (tokens.size() != 3 || tokens[0].kind != Token::kValue || tokens[2].kind != Token::kValue ||
        (tokens[1].kind != Token::kEquals && tokens[1].kind != Token::kNotEquals)) {
      out_ << where << "expect needs: A == B or A != B\n";
      return kScriptFault;
    }
    const bool equal = tokens[0].text == tokens[2].text;
    const bool holds = tokens[1].kind == Token::kEquals ? equal : !equal;
    if (!holds) {
      out_ << where << "expectation failed: " << Quote(tokens[0].text) << " " << tokens[1].text << " "
           << Quote(tokens[2].text) << "\n";
      return kExpectationFailed;
    }
    out_ << line << " => ok\n";
    return kScriptOk;
  }
  if (name == "buffer") {
    if (v.size() != 2 || v[0].empty()) {
      out_ << where << "buffer needs: NAME, SIZE\n";
      return kScriptFault;
    }
    const long long size = std::atoll(v[1].c_str());
    if (size <= 0 || size > (1LL << 30)) {
      out_ << where << "buffer size must be 1 to 1073741824\n";
      return kScriptFault;
    }
    void* memory = AllocLowMemory(static_cast<size_t>(size));
    if (memory == nullptr) {
      out_ << where << "no memory below 2 GiB for the buffer\n";
      return kScriptFault;
    }
    auto old = buffers_.find(v[0]);
    if (old != buffers_.end()) FreeLowMemory(old->second.first);
    buffers_[v[0]] = {memory, static_cast<size_t>(size)};
    variables_[v[0]] = std::to_string(reinterpret_cast<uintptr_t>(memory));
    out_ << line << " => " << variables_[v[0]] << "\n";
    return kScriptOk;
  }
  if (name == "dump") {
    auto found = v.empty() ? buffers_.end() : buffers_.find(v[0]);
    if (v.size() != 3 || found == buffers_.end()) {
      out_ << where << "dump needs: BUFFERNAME, OFFSET, LENGTH\n";
      return kScriptFault;
    }
    const long long offset = std::atoll(v[1].c_str());
    const long long length = std::atoll(v[2].c_str());
    const long long size = static_cast<long long>(found->second.second);
    if (offset < 0 || length < 0 || offset > size || length > size - offset) {
      out_ << where << "dump range is outside the buffer\n";
      return kScriptFault;
    }
    const unsigned char* bytes = static_cast<const unsigned char*>(found->second.first) + offset;
    for (long long row = 0; row < length; row += 16) {
      char hex[80];
      std::snprintf(hex, sizeof hex, "%08llx ", static_cast<unsigned long long>(offset + row));
      std::string text(hex), ascii;
      for (long long k = row; k < row + 16; ++k) {
        if (k < length) {
          std::snprintf(hex, sizeof hex, " %02x", bytes[k]);
          text += hex;
          ascii += (bytes[k] >= 32 && bytes[k] < 127) ? static_cast<char>(bytes[k]) : '.';
        } else {
          text += "   ";
        }
      }
      out_ << text << "  " << ascii << "\n";
    }
    return kScriptOk;
  }
  handled = false;
  return kScriptOk;
}

ScriptStatus ScriptRunner::RunLine(const std::string& rawLine, int lineNumber) {
  const std::string line = Trim(rawLine);
  if (line.empty() || line[0] == '#') return kScriptOk;
  const std::string where = "line " + std::to_string(lineNumber) + ": ";

  // Optional "name =" in front.
  std::string target, rest = line;
  size_t n = 0;
  while (n < line.size() && IsNameChar(line[n])) ++n;
  size_t after = line.find_first_not_of(" \t", n);
  if (n > 0 && after != std::string::npos && line[after] == '=' && line.compare(after, 2, "==") != 0) {
    target = line.substr(0, n);
    rest = Trim(line.substr(after + 1));
  }
  size_t nameEnd = 0;
  while (nameEnd < rest.size() && (IsNameChar(rest[nameEnd]) || rest[nameEnd] == '@')) ++nameEnd;
  const std::string command = rest.substr(0, nameEnd);
  if (command.empty()) {
    out_ << where << "expected a command: " << line << "\n";
    return kScriptFault;
  }
  std::vector<Token> tokens;
  std::string problem;
  if (!Tokenize(rest.substr(nameEnd), tokens, problem)) {
    out_ << where << problem << "\n";
    return kScriptFault;
  }
  bool handled = false;
  ScriptStatus status = Builtin(command, tokens, line, lineNumber, handled);
  if (handled) return status;

  const CommandInfo* info = extender_.Find(command);
  if (info == nullptr || info->kind != 2) {
    out_ << where << "unknown command " << command << "\n";
    return kScriptFault;
  }
  std::vector<std::string> args = Values(tokens);
  if (args.size() > info->count) {
    out_ << where << command << " takes " << info->count << " argument(s), not " << args.size() << "\n";
    return kScriptFault;
  }
  CallResult result = extender_.Call(command, args);
  if (result.returned == -5 && result.deliveries.empty()) {
    out_ << line << " => cancelled (-5)\n";
    return kScriptOk;
  }
  std::string shown;
  bool error = false;
  for (size_t i = 0; i < result.deliveries.size(); ++i) {
    shown += (i ? " ; " : "") + DescribeDelivery(result.deliveries[i]);
    error = error || result.deliveries[i].isError();
  }
  out_ << line << " => " << shown << "\n";
  if (!target.empty() && !result.deliveries.empty() && !error) {
    const Delivery& d = result.deliveries.front();
    variables_[target] = d.valueType == 1 ? d.text : std::to_string(d.value);
  }
  if (error) return kErrorDelivered;
  return kScriptOk;
}

ScriptStatus ScriptRunner::RunText(const std::string& text) {
  std::istringstream in(text);
  std::string line;
  int number = 0;
  ScriptStatus status = kScriptOk;
  while (std::getline(in, line)) {
    ScriptStatus s = RunLine(line, ++number);
    if (s == kErrorDelivered && keepGoing) {
      status = kErrorDelivered;
      continue;
    }
    if (s != kScriptOk) return s;
  }
  return keepGoing && status == kErrorDelivered ? kScriptOk : status;
}

}  // namespace zelhost
