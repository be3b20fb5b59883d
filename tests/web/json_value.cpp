// The JSON reader: a recursive descent over the text with a depth limit, \u
// escapes (surrogate pairs included) decoded to UTF-8.
#include "web/json_value.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
const JsonValue NOTHING;
const std::string NO_TEXT;
constexpr int MAX_DEPTH = 200;

struct Reader {
  explicit Reader(const std::string& text) : s(text) {}
  const std::string& s;
  size_t at = 0;
  std::string error;

  bool Fail(const char* why) {
    if (error.empty()) error = std::string(why) + " at offset " + std::to_string(at);
    return false;
  }
  void Blanks() {
    while (at < s.size() && (s[at] == ' ' || s[at] == '\t' || s[at] == '\n' || s[at] == '\r')) at++;
  }
  bool Literal(const char* word) {
    size_t n = std::strlen(word);
    if (s.compare(at, n, word) != 0) return Fail("unknown word");
    at += n;
    return true;
  }
  static void PutUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
      out += (char)cp;
    } else if (cp < 0x800) {
      out += (char)(0xC0 | cp >> 6);
      out += (char)(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += (char)(0xE0 | cp >> 12);
      out += (char)(0x80 | (cp >> 6 & 0x3F));
      out += (char)(0x80 | (cp & 0x3F));
    } else {
      out += (char)(0xF0 | cp >> 18);
      out += (char)(0x80 | (cp >> 12 & 0x3F));
      out += (char)(0x80 | (cp >> 6 & 0x3F));
      out += (char)(0x80 | (cp & 0x3F));
    }
  }
  bool Hex4(unsigned& v) {
    if (at + 4 > s.size()) return Fail("short \\u escape");
    v = 0;
    for (int i = 0; i < 4; i++) {
      char c = s[at++];
      v <<= 4;
      if (c >= '0' && c <= '9') v |= (unsigned)(c - '0');
      else if (c >= 'a' && c <= 'f') v |= (unsigned)(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') v |= (unsigned)(c - 'A' + 10);
      else return Fail("bad hex digit");
    }
    return true;
  }
  bool String(std::string& out) {
    at++;  // the opening quote
    while (true) {
      // Plain runs are copied in one go: frames arrive as megabytes of base64.
      size_t end = at;
      while (end < s.size() && s[end] != '"' && s[end] != '\\' && (unsigned char)s[end] >= 0x20) end++;
      out.append(s, at, end - at);
      at = end;
      if (at >= s.size()) return Fail("unterminated string");
      char c = s[at];
      if (c == '"') {
        at++;
        return true;
      }
      if ((unsigned char)c < 0x20) return Fail("control character in string");
      if (++at >= s.size()) return Fail("unterminated escape");
      char e = s[at++];
      switch (e) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case '/': out += '/'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'u': {
          unsigned cp;
          if (!Hex4(cp)) return false;
          if (cp >= 0xD800 && cp < 0xDC00) {
            unsigned low;
            if (s.compare(at, 2, "\\u") != 0) return Fail("lone high surrogate");
            at += 2;
            if (!Hex4(low)) return false;
            if (low < 0xDC00 || low >= 0xE000) return Fail("bad low surrogate");
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          } else if (cp >= 0xDC00 && cp < 0xE000) {
            return Fail("lone low surrogate");
          }
          PutUtf8(out, cp);
          break;
        }
        default: return Fail("unknown escape");
      }
    }
  }
  bool Number(double& out) {
    size_t start = at;
    if (at < s.size() && s[at] == '-') at++;
    if (at >= s.size() || s[at] < '0' || s[at] > '9') return Fail("bad number");
    while (at < s.size() && ((s[at] >= '0' && s[at] <= '9') || s[at] == '.' || s[at] == 'e' || s[at] == 'E' ||
                             s[at] == '+' || s[at] == '-'))
      at++;
    std::string digits = s.substr(start, at - start);
    char* end = nullptr;
    out = std::strtod(digits.c_str(), &end);
    if (end != digits.c_str() + digits.size()) return Fail("bad number");
    return true;
  }
  bool Value(JsonValue& v, int depth) {
    if (depth > MAX_DEPTH) return Fail("nested too deeply");
    Blanks();
    if (at >= s.size()) return Fail("missing value");
    char c = s[at];
    if (c == '{') {
      v.kind = JsonValue::OBJECT;
      at++;
      Blanks();
      if (at < s.size() && s[at] == '}') {
        at++;
        return true;
      }
      while (true) {
        Blanks();
        if (at >= s.size() || s[at] != '"') return Fail("member name expected");
        std::string name;
        if (!String(name)) return false;
        Blanks();
        if (at >= s.size() || s[at] != ':') return Fail("':' expected");
        at++;
        JsonValue member;
        if (!Value(member, depth + 1)) return false;
        v.members[name] = std::move(member);
        Blanks();
        if (at < s.size() && s[at] == ',') {
          at++;
          continue;
        }
        if (at < s.size() && s[at] == '}') {
          at++;
          return true;
        }
        return Fail("',' or '}' expected");
      }
    }
    if (c == '[') {
      v.kind = JsonValue::ARRAY;
      at++;
      Blanks();
      if (at < s.size() && s[at] == ']') {
        at++;
        return true;
      }
      while (true) {
        JsonValue item;
        if (!Value(item, depth + 1)) return false;
        v.items.push_back(std::move(item));
        Blanks();
        if (at < s.size() && s[at] == ',') {
          at++;
          continue;
        }
        if (at < s.size() && s[at] == ']') {
          at++;
          return true;
        }
        return Fail("',' or ']' expected");
      }
    }
    if (c == '"') {
      v.kind = JsonValue::STRING;
      return String(v.text);
    }
    if (c == 't' || c == 'f') {
      v.kind = JsonValue::BOOL;
      v.boolean = c == 't';
      return Literal(c == 't' ? "true" : "false");
    }
    if (c == 'n') {
      v.kind = JsonValue::NUL;
      return Literal("null");
    }
    v.kind = JsonValue::NUMBER;
    return Number(v.number);
  }
};
}  // namespace

const JsonValue& JsonValue::operator[](const std::string& name) const {
  if (kind != OBJECT) return NOTHING;
  auto it = members.find(name);
  return it == members.end() ? NOTHING : it->second;
}

const JsonValue& JsonValue::operator[](size_t index) const {
  return kind == ARRAY && index < items.size() ? items[index] : NOTHING;
}

const std::string& JsonValue::Text() const { return kind == STRING ? text : NO_TEXT; }

JsonValue ParseJson(const std::string& text, std::string* error) {
  Reader r(text);
  JsonValue v;
  bool ok = r.Value(v, 0);
  if (ok) {
    r.Blanks();
    if (r.at != text.size()) ok = r.Fail("text after the value");
  }
  if (!ok) {
    if (error) *error = r.error;
    return JsonValue();
  }
  return v;
}

std::string JsonQuote(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += (char)c;
        }
    }
  }
  return out + "\"";
}
