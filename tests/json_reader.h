// A small JSON reader for what the test servers answer (records of the echo endpoint).
#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zeltest {

struct Json {
  enum Type { kNull, kBool, kNumber, kString, kArray, kObject } type = kNull;
  bool boolean = false;
  double number = 0;
  std::string string;
  std::vector<Json> items;                    // kArray
  std::vector<std::pair<std::string, Json>> members;  // kObject, in order

  // The member named key (a null value when absent or not an object).
  const Json& operator[](const std::string& key) const;
  const Json& operator[](size_t index) const;
  size_t size() const { return type == kArray ? items.size() : members.size(); }
  bool isNull() const { return type == kNull; }
};

// Parses text; on a syntax error returns false and says where in *problem.
bool ParseJson(const std::string& text, Json* out, std::string* problem);

// Standard base64 to bytes (the records carry bodies this way).
std::string DecodeBase64(const std::string& text);

}  // namespace zeltest
