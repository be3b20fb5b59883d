// A small JSON reader and writer for the browser tests: what the DevTools
// protocol sends back (objects, arrays, strings, numbers, true/false/null) read
// into a tree, and strings quoted for the messages we send.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

struct JsonValue {
  enum Kind { NONE, NUL, BOOL, NUMBER, STRING, ARRAY, OBJECT };
  Kind kind = NONE;  // NONE: missing member, or text that did not parse
  bool boolean = false;
  double number = 0;
  std::string text;  // STRING: the decoded UTF-8 text
  std::vector<JsonValue> items;
  std::map<std::string, JsonValue> members;

  bool Has(const std::string& name) const { return kind == OBJECT && members.count(name) != 0; }
  // The member, or a NONE value when this is no object or has no such member.
  const JsonValue& operator[](const std::string& name) const;
  const JsonValue& operator[](size_t index) const;
  // The value as a number or string, or the fallback when it is of another kind.
  double Number(double fallback = 0) const { return kind == NUMBER ? number : fallback; }
  const std::string& Text() const;
};

// Parses one complete JSON text (surrounding blanks allowed). On failure the
// result is NONE and error says where and why.
JsonValue ParseJson(const std::string& text, std::string* error = nullptr);
// text as a JSON string literal, quotes included.
std::string JsonQuote(const std::string& text);
