#include "tests/json_reader.h"

#include <cstdlib>
#include <cstring>

namespace zeltest {
namespace {

class Reader {
 public:
  explicit Reader(const std::string& text) : text_(text) {}

  bool Document(Json* out) {
    if (!Value(out)) return false;
    Blanks();
    return pos_ == text_.size() || Fail("text after the value");
  }
  std::string problem;

 private:
  bool Fail(const char* what) {
    problem = std::string(what) + " at offset " + std::to_string(pos_);
    return false;
  }
  void Blanks() {
    while (pos_ < text_.size() && std::strchr(" \t\r\n", text_[pos_]) != nullptr) ++pos_;
  }
  bool Literal(const char* word) {
    const size_t n = std::strlen(word);
    if (text_.compare(pos_, n, word) != 0) return Fail("unknown literal");
    pos_ += n;
    return true;
  }

  bool Value(Json* out) {
    Blanks();
    if (pos_ >= text_.size()) return Fail("end of text");
    switch (text_[pos_]) {
      case '{': return Object(out);
      case '[': return Array(out);
      case '"': out->type = Json::kString; return String(&out->string);
      case 't': out->type = Json::kBool; out->boolean = true; return Literal("true");
      case 'f': out->type = Json::kBool; return Literal("false");
      case 'n': out->type = Json::kNull; return Literal("null");
      default: return Number(out);
    }
  }

  bool Number(Json* out) {
    const char* start = text_.c_str() + pos_;
    char* end = nullptr;
    out->type = Json::kNumber;
    out->number = std::strtod(start, &end);
    if (end == start) return Fail("not a value");
    pos_ += static_cast<size_t>(end - start);
    return true;
  }

  bool String(std::string* out) {
    ++pos_;  // the opening quote
    while (pos_ < text_.size() && text_[pos_] != '"') {
      char c = text_[pos_++];
      if (c != '\\') {
        out->push_back(c);
        continue;
      }
      if (pos_ >= text_.size()) break;
      c = text_[pos_++];
      switch (c) {
        case 'n': out->push_back('\n'); break;
        case 'r': out->push_back('\r'); break;
        case 't': out->push_back('\t'); break;
        case 'b': out->push_back('\b'); break;
        case 'f': out->push_back('\f'); break;
        case 'u': {
          if (pos_ + 4 > text_.size()) return Fail("short \\u escape");
          const unsigned long code = std::strtoul(text_.substr(pos_, 4).c_str(), nullptr, 16);
          pos_ += 4;
          // Header texts reach the records as Latin-1: one escape, one byte.
          out->push_back(code < 0x100 ? static_cast<char>(code) : '?');
          break;
        }
        default: out->push_back(c);
      }
    }
    if (pos_ >= text_.size()) return Fail("unterminated string");
    ++pos_;
    return true;
  }

  bool Array(Json* out) {
    out->type = Json::kArray;
    ++pos_;
    Blanks();
    if (pos_ < text_.size() && text_[pos_] == ']') return ++pos_, true;
    for (;;) {
      out->items.emplace_back();
      if (!Value(&out->items.back())) return false;
      Blanks();
      if (pos_ >= text_.size()) return Fail("unterminated array");
      if (text_[pos_++] == ']') return true;
      if (text_[pos_ - 1] != ',') return Fail("expected , or ]");
    }
  }

  bool Object(Json* out) {
    out->type = Json::kObject;
    ++pos_;
    Blanks();
    if (pos_ < text_.size() && text_[pos_] == '}') return ++pos_, true;
    for (;;) {
      Blanks();
      if (pos_ >= text_.size() || text_[pos_] != '"') return Fail("expected a member name");
      out->members.emplace_back();
      if (!String(&out->members.back().first)) return false;
      Blanks();
      if (pos_ >= text_.size() || text_[pos_++] != ':') return Fail("expected :");
      if (!Value(&out->members.back().second)) return false;
      Blanks();
      if (pos_ >= text_.size()) return Fail("unterminated object");
      if (text_[pos_++] == '}') return true;
      if (text_[pos_ - 1] != ',') return Fail("expected , or }");
    }
  }

  const std::string& text_;
  size_t pos_ = 0;
};

const Json& NullJson() {
  static const Json none;
  return none;
}

}  // namespace

const Json& Json::operator[](const std::string& key) const {
  for (const auto& [name, value] : members) {
    if (name == key) return value;
  }
  return NullJson();
}

const Json& Json::operator[](size_t index) const { return index < items.size() ? items[index] : NullJson(); }

bool ParseJson(const std::string& text, Json* out, std::string* problem) {
  Reader reader(text);
  *out = Json();
  if (reader.Document(out)) return true;
  if (problem != nullptr) *problem = reader.problem;
  return false;
}

std::string DecodeBase64(const std::string& text) {
  static const std::string kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  unsigned value = 0;
  int bits = 0;
  for (char c : text) {
    const size_t digit = kAlphabet.find(c);
    if (digit == std::string::npos) continue;  // padding and line breaks
    value = (value << 6) | static_cast<unsigned>(digit);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(static_cast<char>((value >> bits) & 0xFF));
    }
  }
  return out;
}

}  // namespace zeltest
