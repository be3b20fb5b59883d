// The page walk that vets an Ogg Vorbis file (vorbis_survey.h): pages found
// and checksummed as libogg finds them, packets put together per stream as
// libogg does, and the header packets read bit by bit as libvorbis reads them,
// so that every setup header the library will ever unpack is measured first.
#include "audio/vorbis_survey.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

namespace {
// ---- pages ----

uint32_t crcTable[256];

void FillCrcTable() {
  if (crcTable[1]) return;
  for (uint32_t i = 0; i < 256; i++) {
    uint32_t r = i << 24;
    for (int k = 0; k < 8; k++) r = (r & 0x80000000u) ? (r << 1) ^ 0x04c11db7u : r << 1;
    crcTable[i] = r;
  }
}

uint32_t Le32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

struct Page {
  size_t at = 0;  // the header's first byte
  size_t headerBytes = 0, bodyBytes = 0;
  const uint8_t* header = nullptr;
  uint8_t flags() const { return header[5]; }
  int64_t granule() const { return int64_t(uint64_t(Le32(header + 6)) | uint64_t(Le32(header + 10)) << 32); }
  uint32_t serial() const { return Le32(header + 14); }
  // libogg reads the sequence number into a signed 32-bit int.
  int64_t sequence() const { return int64_t(int32_t(Le32(header + 18))); }
  int segments() const { return header[26]; }
};

bool ChecksumHolds(const uint8_t* page, size_t headerBytes, size_t bodyBytes) {
  uint32_t crc = 0;
  for (size_t i = 0; i < headerBytes + bodyBytes; i++) {
    uint8_t byte = (i >= 22 && i < 26) ? 0 : page[i];
    crc = (crc << 8) ^ crcTable[((crc >> 24) & 0xff) ^ byte];
  }
  return crc == Le32(page + 22);
}

// The next page at or after `pos`, as libogg's sync finds it: a capture
// pattern with a whole page and a good checksum behind it, else the search
// goes on from the next 'O'. False at the end of the bytes, or once the
// checksums have cost more than `budget` bytes: capture patterns packed into
// a file make every search check tens of kilobytes, for the library too.
bool NextPage(const uint8_t* bytes, size_t size, size_t& pos, Page& page, size_t& budget) {
  while (pos < size) {
    const uint8_t* p = bytes + pos;
    size_t left = size - pos;
    if (left < 27) return false;
    if (std::memcmp(p, "OggS", 4) == 0) {
      size_t headerBytes = 27 + size_t(p[26]);
      if (left < headerBytes) return false;
      size_t bodyBytes = 0;
      for (int i = 0; i < p[26]; i++) bodyBytes += p[27 + i];
      if (left < headerBytes + bodyBytes) return false;
      if (budget < headerBytes + bodyBytes) return budget = 0, false;
      budget -= headerBytes + bodyBytes;
      if (ChecksumHolds(p, headerBytes, bodyBytes)) {
        page = Page{pos, headerBytes, bodyBytes, p};
        pos += headerBytes + bodyBytes;
        return true;
      }
    }
    const void* next = std::memchr(p + 1, 'O', left - 1);
    pos = next ? size_t(static_cast<const uint8_t*>(next) - bytes) : size;
  }
  return false;
}

// ---- packets: one logical stream's segments, joined as libogg joins them ----

constexpr uint16_t GAP = 0x400;  // a marker where pages went missing

struct Segment {
  uint16_t value;  // the lacing value (0..255), or GAP
  size_t at;       // where its bytes are in the file
};

struct Stream {
  std::vector<Segment> lacing;
  size_t complete = 0;  // segments that end whole packets
  size_t returned = 0;  // segments already taken as packets
  int64_t nextSequence = -1;
  int packets = 0;      // packets taken so far (the first three are headers)
  bool failed = false;  // a hole inside the headers: the link is dead
  // The link: its long block (from its identification header, 0 when not
  // Vorbis) and the largest granule position among its pages.
  int64_t longBlock = 0;
  int64_t granule = 0;
};

void PageIn(Stream& s, const Page& page) {
  if (page.header[4] != 0) return;  // a version libogg does not take
  // Forget what was taken already.
  s.lacing.erase(s.lacing.begin(), s.lacing.begin() + long(s.returned));
  s.complete -= s.returned;
  s.returned = 0;
  if (page.sequence() != s.nextSequence) {
    s.lacing.resize(s.complete);  // the half packet cannot be finished
    if (s.nextSequence != -1) {
      s.lacing.push_back({GAP, 0});
      s.complete++;
    }
  }
  int seg = 0;
  const int count = page.segments();
  size_t at = page.at + page.headerBytes;
  // A page that continues a packet this stream does not hold skips the rest of it.
  if ((page.flags() & 1) && (s.lacing.empty() || (s.lacing.back().value & 0xff) < 255)) {
    for (; seg < count; seg++) {
      int value = page.header[27 + seg];
      at += size_t(value);
      if (value < 255) {
        seg++;
        break;
      }
    }
  }
  for (; seg < count; seg++) {
    uint16_t value = page.header[27 + seg];
    s.lacing.push_back({value, at});
    at += value;
    if (value < 255) s.complete = s.lacing.size();
  }
  s.nextSequence = page.sequence() + 1;
}

// 1: a packet (its pieces in `pieces` when asked for), -1: a hole, 0: none yet.
int PacketOut(Stream& s, std::vector<Segment>* pieces) {
  if (s.complete <= s.returned) return 0;
  if (s.lacing[s.returned].value == GAP) {
    s.returned++;
    return -1;
  }
  if (pieces) pieces->clear();
  size_t i = s.returned;
  for (;; i++) {
    if (pieces) pieces->push_back(s.lacing[i]);
    if (s.lacing[i].value < 255) break;
  }
  s.returned = i + 1;
  return 1;
}

std::vector<uint8_t> Join(const uint8_t* bytes, const std::vector<Segment>& pieces) {
  std::vector<uint8_t> packet;
  for (const Segment& piece : pieces) packet.insert(packet.end(), bytes + piece.at, bytes + piece.at + piece.value);
  return packet;
}

// ---- header packets, read LSB first as libvorbis reads them ----

struct Bits {
  const std::vector<uint8_t>& bytes;
  size_t pos = 0;  // in bits
  // The next n bits (n <= 32), or -1 once they run past the end.
  int64_t Read(int n) {
    if (pos + size_t(n) > bytes.size() * 8) {
      pos = bytes.size() * 8 + 1;
      return -1;
    }
    int64_t v = 0;
    for (int i = 0; i < n; i++, pos++) v |= int64_t((bytes[pos >> 3] >> (pos & 7)) & 1) << i;
    return v;
  }
  void Skip(uint64_t n) { pos = size_t(std::min<uint64_t>(pos + n, bytes.size() * 8 + 1)); }
  // Whole bytes not yet touched.
  int64_t BytesLeft() const { return int64_t(bytes.size()) - int64_t((pos + 7) / 8); }
};

int ILog(int64_t v) {
  int bits = 0;
  for (uint64_t u = uint64_t(v) & 0xffffffffu; u; u >>= 1) bits++;
  return bits;
}

// The greatest v >= 1 with v^dim <= entries.
int64_t LatticeValues(int64_t entries, int64_t dim) {
  if (entries < 1) return 0;
  auto fits = [&](int64_t v) {
    int64_t acc = 1;
    for (int64_t i = 0; i < dim; i++)
      if ((acc *= v) > entries) return false;
    return true;
  };
  int64_t lo = 1, hi = entries;
  while (lo < hi) {
    int64_t mid = lo + (hi - lo + 1) / 2;
    if (fits(mid)) lo = mid;
    else hi = mid - 1;
  }
  return lo;
}

enum class Verdict { Fine, Refuse };

// Steps over one codebook as libvorbis unpacks it, adding its entries to the
// link's and the file's totals. False when the library would stop here too
// (the rest of the packet is never unpacked); Refuse in `verdict` when a
// limit is passed.
bool Codebook(Bits& in, int64_t& linkTotal, int64_t& fileTotal, Verdict& verdict) {
  if (in.Read(24) != 0x564342) return false;
  int64_t dim = in.Read(16), entries = in.Read(24);
  if (dim < 0 || entries < 0 || ILog(dim) + ILog(entries) > 24) return false;
  linkTotal += entries;
  fileTotal += entries;
  if (entries > MAX_BOOK_ENTRIES || linkTotal > MAX_LINK_BOOK_ENTRIES || fileTotal > MAX_FILE_BOOK_ENTRIES) {
    verdict = Verdict::Refuse;
    return false;
  }
  switch (in.Read(1)) {
    case 0: {
      int64_t sparse = in.Read(1);
      if ((entries * (sparse ? 1 : 5) + 7) >> 3 > in.BytesLeft()) return false;
      for (int64_t i = 0; i < entries; i++)
        if ((!sparse || in.Read(1)) && in.Read(5) < 0) return false;
      break;
    }
    case 1: {
      int64_t length = in.Read(5) + 1;
      if (length == 0) return false;
      for (int64_t i = 0; i < entries;) {
        int64_t run = in.Read(ILog(entries - i));
        if (run < 0 || length > 32 || run > entries - i || (run > 0 && ((run - 1) >> (length - 1)) > 1)) return false;
        i += run;
        length++;
      }
      break;
    }
    default:
      return false;
  }
  int64_t lookup = in.Read(4);
  if (lookup == 0) return true;
  if (lookup != 1 && lookup != 2) return false;
  in.Read(32);
  in.Read(32);
  int64_t valueBits = in.Read(4) + 1;
  if (in.Read(1) < 0) return false;
  int64_t values = lookup == 1 ? (dim == 0 ? 0 : LatticeValues(entries, dim)) : entries * dim;
  if ((values * valueBits + 7) >> 3 > in.BytesLeft()) return false;
  in.Skip(uint64_t(values * valueBits));
  return in.BytesLeft() >= 0;
}

// A setup header's codebooks (the rest of it asks nothing of the stack).
Verdict SetupHeader(const std::vector<uint8_t>& packet, int64_t& fileTotal) {
  Bits in{packet, 7 * 8};
  int64_t books = in.Read(8) + 1, linkTotal = 0;
  Verdict verdict = Verdict::Fine;
  for (int64_t i = 0; i < books && Codebook(in, linkTotal, fileTotal, verdict); i++) {
  }
  return verdict;
}

bool IsVorbisHeader(const std::vector<uint8_t>& packet, uint8_t type) {
  return packet.size() >= 7 && packet[0] == type && std::memcmp(&packet[1], "vorbis", 6) == 0;
}
}  // namespace

bool SurveyVorbis(const uint8_t* bytes, size_t size, VorbisSurvey& survey) {
  FillCrcTable();
  survey = VorbisSurvey{};
  std::map<uint32_t, Stream> streams;
  int64_t bookEntries = 0;
  std::vector<Segment> pieces;
  // A link's audio, counted when it ends (at its serial's next start or the
  // end of the file).
  auto closeLink = [&](const Stream& s) {
    if (!s.longBlock || s.packets <= 3) return;
    survey.frameBound += uint64_t(s.packets - 3) * uint64_t(s.longBlock / 2);
    survey.claimedFrames += uint64_t(std::clamp<int64_t>(s.granule, 0, int64_t(1) << 40));
  };
  Page page;
  size_t budget = 4 * size + (size_t(1) << 20);
  size_t pos = 0;
  while (NextPage(bytes, size, pos, page, budget)) {
    const bool starts = page.flags() & 2;
    auto found = streams.find(page.serial());
    if (starts) {
      if (++survey.links > MAX_VORBIS_LINKS) return false;
      if (found != streams.end()) {
        Stream& old = found->second;
        // A stream that starts again before its headers are whole could be
        // joined with what came before: nothing a real file does.
        if (!old.failed && old.packets < 3) return false;
        closeLink(old);
        old = Stream{};
      } else {
        found = streams.emplace(page.serial(), Stream{}).first;
      }
    }
    if (found == streams.end()) continue;
    Stream& s = found->second;
    if (s.failed) continue;
    PageIn(s, page);
    if (s.packets >= 3 && page.granule() != -1) s.granule = std::max(s.granule, page.granule());
    for (int got; (got = PacketOut(s, s.packets < 3 ? &pieces : nullptr)) != 0;) {
      if (got < 0) {
        if (s.packets < 3) s.failed = true;
        if (s.failed) break;
        continue;
      }
      if (++s.packets > 3) continue;
      std::vector<uint8_t> packet = Join(bytes, pieces);
      if (s.packets == 1 && IsVorbisHeader(packet, 1) && packet.size() >= 29) {
        const int channels = packet[11];
        const long rate = long(Le32(&packet[12]));
        const int longExponent = packet[28] >> 4;
        s.longBlock = int64_t(1) << std::min(longExponent, 13);
        if (survey.channels == 0) {
          survey.channels = channels;
          survey.rate = rate;
        } else if (channels != survey.channels || rate != survey.rate) {
          return false;  // a link that plays at another rate or width
        }
      }
      if (IsVorbisHeader(packet, 5) && SetupHeader(packet, bookEntries) == Verdict::Refuse) return false;
    }
  }
  if (budget == 0) return false;  // the search gave up before the end
  for (const auto& [serial, s] : streams) closeLink(s);
  return true;
}
