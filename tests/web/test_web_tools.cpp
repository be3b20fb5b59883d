// The browser tests' own tools: the JSON reader on what the DevTools protocol
// sends, base64, the file server's paths and answers over a real socket.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "web/file_server.h"
#include "web/json_value.h"
#include "web/page_tools.h"

TEST(Json, ReadsNestedValuesEscapesAndSurrogatePairs) {
  std::string error;
  JsonValue v = ParseJson(
      R"( {"id": 7, "result": {"value": "a\"b\\c\/\n\u00e9\u20ac\ud83d\ude00", "list": [1, -2.5e3, true, false, null, []],
          "empty": {}}} )",
      &error);
  ASSERT_EQ(v.kind, JsonValue::OBJECT) << error;
  EXPECT_EQ(v["id"].Number(), 7);
  EXPECT_EQ(v["result"]["value"].Text(), "a\"b\\c/\n\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
  const JsonValue& list = v["result"]["list"];
  ASSERT_EQ(list.items.size(), 6u);
  EXPECT_EQ(list[1].Number(), -2500);
  EXPECT_TRUE(list[2].boolean);
  EXPECT_EQ(list[3].kind, JsonValue::BOOL);
  EXPECT_FALSE(list[3].boolean);
  EXPECT_EQ(list[4].kind, JsonValue::NUL);
  EXPECT_EQ(list[5].kind, JsonValue::ARRAY);
  EXPECT_EQ(v["result"]["empty"].kind, JsonValue::OBJECT);
  // Missing members and wrong kinds read as nothing, never as a crash.
  EXPECT_EQ(v["nope"]["deeper"][3].kind, JsonValue::NONE);
  EXPECT_EQ(v["id"].Text(), "");
  EXPECT_EQ(v["result"]["value"].Number(-1), -1);
}

TEST(Json, RefusesBrokenTextWithAReason) {
  for (const char* bad : {"", "{", "{\"a\" 1}", "[1,]", "{\"a\":1,}", "\"open", "\"\\x\"", "\"\\ud83d\"",
                          "\"\\ude00\"", "\"\\u12\"", "tru", "01x", "-", "[1] 2", "\"tab\there\""}) {
    std::string error;
    EXPECT_EQ(ParseJson(bad, &error).kind, JsonValue::NONE) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
  // Deep nesting is refused instead of running the stack out.
  std::string deep(100000, '[');
  EXPECT_EQ(ParseJson(deep).kind, JsonValue::NONE);
}

TEST(Json, QuotedTextReadsBackAsItWas) {
  const std::string text = std::string("quote \" backslash \\ newline \n tab \t bell \x07 nul ") + '\0' + " \xC3\xA9";
  JsonValue v = ParseJson(JsonQuote(text));
  ASSERT_EQ(v.kind, JsonValue::STRING);
  EXPECT_EQ(v.text, text);
}

TEST(Base64, DecodesEveryPaddingAndRefusesTheRest) {
  std::vector<uint8_t> out;
  ASSERT_TRUE(DecodeBase64("", out));
  EXPECT_TRUE(out.empty());
  ASSERT_TRUE(DecodeBase64("TWFu", out));
  EXPECT_EQ(std::string(out.begin(), out.end()), "Man");
  ASSERT_TRUE(DecodeBase64("TWE=", out));
  EXPECT_EQ(std::string(out.begin(), out.end()), "Ma");
  ASSERT_TRUE(DecodeBase64("TQ==", out));
  EXPECT_EQ(std::string(out.begin(), out.end()), "M");
  ASSERT_TRUE(DecodeBase64("////AAEC", out));
  EXPECT_EQ(out, (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0x00, 0x01, 0x02}));
  for (const char* bad : {"TWF", "TW=u", "T===", "TQ==TWFu", "TW\nu", "TWF!"}) EXPECT_FALSE(DecodeBase64(bad, out)) << bad;
}

TEST(FileServer, MapsRequestPathsInsideItsFolderOnly) {
  EXPECT_EQ(ServedPath("/srv", "/index.html?test=1&seed=3"), "/srv/index.html");
  EXPECT_EQ(ServedPath("/srv", "/"), "/srv/index.html");
  EXPECT_EQ(ServedPath("/srv", "/a%20b.js#top"), "/srv/a b.js");
  for (const char* bad : {"/../etc/passwd", "/a/../../x", "/%2e%2e/x", "/%2E%2E", "/a%00b", "/a\\b", "/bad%zz",
                          "/cut%2", "relative", ""})
    EXPECT_EQ(ServedPath("/srv", bad), "") << bad;
  // A name that merely contains two dots is a name.
  EXPECT_EQ(ServedPath("/srv", "/x..y"), "/srv/x..y");
  EXPECT_STREQ(MimeTypeFor("zyntrax.wasm"), "application/wasm");
  EXPECT_STREQ(MimeTypeFor("zyntrax.js"), "text/javascript; charset=utf-8");
  EXPECT_STREQ(MimeTypeFor("index.html"), "text/html; charset=utf-8");
  EXPECT_STREQ(MimeTypeFor("data.bin"), "application/octet-stream");
}

namespace {
int Connect(int port) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons((uint16_t)port);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, (sockaddr*)&a, sizeof a) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

std::string Fetch(int port, const std::string& request) {
  int fd = Connect(port);
  if (fd < 0) return "";
  timeval tv{10, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  send(fd, request.data(), request.size(), MSG_NOSIGNAL);
  std::string reply;
  char buf[4096];
  ssize_t n;
  while ((n = recv(fd, buf, sizeof buf, 0)) > 0) reply.append(buf, (size_t)n);
  close(fd);
  return reply;
}
}  // namespace

TEST(FileServer, AnswersOverASocketAndAnIdleConnectionBlocksNobody) {
  char dir[] = "/tmp/zyntrax-served-XXXXXX";
  ASSERT_TRUE(mkdtemp(dir));
  const std::string folder = dir;
  std::string wasm("\0asm\x01\0\0\0", 8);
  std::ofstream(folder + "/zyntrax.wasm", std::ios::binary) << wasm;
  mkdir((folder + "/sub").c_str(), 0700);
  FileServer server;
  std::string error;
  ASSERT_TRUE(server.Start(folder, 60000, error)) << error;
  ASSERT_GT(server.Port(), 0);
  // A browser's spare connection that never sends a request.
  int idle = Connect(server.Port());
  ASSERT_GE(idle, 0);

  std::string r = Fetch(server.Port(), "GET /zyntrax.wasm?x=1 HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
  ASSERT_EQ(r.rfind("HTTP/1.0 200 OK\r\n", 0), 0u) << r;
  EXPECT_NE(r.find("Content-Type: application/wasm\r\n"), std::string::npos);
  EXPECT_NE(r.find("Content-Length: 8\r\n"), std::string::npos);
  EXPECT_EQ(r.substr(r.find("\r\n\r\n") + 4), wasm);

  r = Fetch(server.Port(), "HEAD /zyntrax.wasm HTTP/1.0\r\n\r\n");
  EXPECT_EQ(r.rfind("HTTP/1.0 200 OK\r\n", 0), 0u);
  EXPECT_EQ(r.substr(r.find("\r\n\r\n") + 4), "");
  EXPECT_EQ(Fetch(server.Port(), "GET /missing.js HTTP/1.0\r\n\r\n").rfind("HTTP/1.0 404", 0), 0u);
  EXPECT_EQ(Fetch(server.Port(), "GET /sub HTTP/1.0\r\n\r\n").rfind("HTTP/1.0 404", 0), 0u);
  EXPECT_EQ(Fetch(server.Port(), "GET /../" + folder.substr(5) + "/zyntrax.wasm HTTP/1.0\r\n\r\n").rfind("HTTP/1.0 404", 0), 0u);
  EXPECT_EQ(Fetch(server.Port(), "POST /zyntrax.wasm HTTP/1.0\r\n\r\n").rfind("HTTP/1.0 405", 0), 0u);
  EXPECT_EQ(server.Requests(), 6);
  close(idle);
  server.Stop();
  // Stopped means stopped: nobody answers on the port any more.
  EXPECT_EQ(Connect(server.Port()), -1);
  std::system(("rm -rf " + folder).c_str());
}

TEST(BuiltPage, IsWhereTheBrowserTestsLookForIt) {
  // Without it every browser test fails; this says so in one line.
  EXPECT_EQ(MissingPageFiles(), "");
}
