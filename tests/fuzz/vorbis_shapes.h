// Small Ogg Vorbis files made from nothing, in the shapes that once took the
// decoder down: one link whose only codebook has any number of entries (an
// ordered book says so in a few bits), chains of many such links, and a last
// granule position claiming any length. Every page carries a good checksum,
// so the shape reaches the decoder. Shared by the seed maker and the tests.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace vorbis_shapes {

// Bits written least significant first, as Vorbis packets are read.
struct BitWriter {
  std::vector<uint8_t> bytes;
  int used = 8;  // bits taken in the last byte
  void Put(uint64_t value, int bits) {
    for (int i = 0; i < bits; i++) {
      if (used == 8) bytes.push_back(0), used = 0;
      bytes.back() |= uint8_t(((value >> i) & 1) << used++);
    }
  }
  void Text(const char* s) {
    for (; *s; s++) Put(uint8_t(*s), 8);
  }
};

inline int ILog(uint64_t v) {
  int bits = 0;
  for (; v; v >>= 1) bits++;
  return bits;
}

inline uint32_t OggCrc(const uint8_t* data, size_t size) {
  uint32_t crc = 0;
  for (size_t i = 0; i < size; i++) {
    crc ^= uint32_t(data[i]) << 24;
    for (int k = 0; k < 8; k++) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04c11db7u : crc << 1;
  }
  return crc;
}

// One page holding whole packets (each under 255 x 255 bytes in all).
inline void PutPage(std::vector<uint8_t>& out, uint32_t serial, uint32_t sequence, int64_t granule, uint8_t flags,
                    const std::vector<std::vector<uint8_t>>& packets) {
  std::vector<uint8_t> page = {'O', 'g', 'g', 'S', 0, flags};
  for (int i = 0; i < 8; i++) page.push_back(uint8_t(uint64_t(granule) >> (8 * i)));
  for (uint32_t v : {serial, sequence, 0u})
    for (int i = 0; i < 4; i++) page.push_back(uint8_t(v >> (8 * i)));
  std::vector<uint8_t> lacing, body;
  for (const auto& packet : packets) {
    size_t left = packet.size();
    for (; left >= 255; left -= 255) lacing.push_back(255);
    lacing.push_back(uint8_t(left));
    body.insert(body.end(), packet.begin(), packet.end());
  }
  page.push_back(uint8_t(lacing.size()));
  page.insert(page.end(), lacing.begin(), lacing.end());
  page.insert(page.end(), body.begin(), body.end());
  uint32_t crc = OggCrc(page.data(), page.size());
  for (int i = 0; i < 4; i++) page[22 + size_t(i)] = uint8_t(crc >> (8 * i));
  out.insert(out.end(), page.begin(), page.end());
}

// A link of 48 kHz stereo in 256-frame blocks whose one codebook has `entries`
// entries (at least 2) as a whole ordered code, `silentPackets` audio packets
// of silence, and a last granule position of `claimedFrames` (-1: the real
// length, 128 frames a packet after the first).
inline std::vector<uint8_t> Link(uint32_t serial, uint32_t entries, int silentPackets, int64_t claimedFrames = -1) {
  BitWriter id;
  id.Put(1, 8), id.Text("vorbis"), id.Put(0, 32), id.Put(2, 8), id.Put(48000, 32);
  id.Put(0, 32), id.Put(0, 32), id.Put(0, 32), id.Put(8, 4), id.Put(8, 4), id.Put(1, 1);
  BitWriter comment;
  comment.Put(3, 8), comment.Text("vorbis"), comment.Put(0, 32), comment.Put(0, 32), comment.Put(1, 1);
  BitWriter setup;
  setup.Put(5, 8), setup.Text("vorbis");
  setup.Put(0, 8);  // one codebook
  setup.Put(0x564342, 24), setup.Put(1, 16), setup.Put(entries, 24);
  // A whole code of `entries` words: the shortest at `depth` bits, the rest
  // one bit longer in pairs.
  const int depth = ILog(entries) - 1;
  const uint32_t longer = 2 * (entries - (1u << depth)), shorter = entries - longer;
  setup.Put(1, 1), setup.Put(uint32_t(depth - 1), 5);
  setup.Put(shorter, ILog(entries));
  if (longer) setup.Put(longer, ILog(longer));
  setup.Put(0, 4);                    // no value lookup
  setup.Put(0, 6), setup.Put(0, 16);  // one time slot
  setup.Put(0, 6), setup.Put(1, 16);  // one floor of type 1 without partitions
  setup.Put(0, 5), setup.Put(0, 2), setup.Put(8, 4);
  setup.Put(0, 6), setup.Put(0, 16);  // one residue of type 0 on nothing
  setup.Put(0, 24), setup.Put(0, 24), setup.Put(0, 24), setup.Put(0, 6), setup.Put(0, 8);
  setup.Put(0, 3), setup.Put(0, 1);
  setup.Put(0, 6), setup.Put(0, 16);  // one mapping, one submap, no coupling
  setup.Put(0, 1), setup.Put(0, 1), setup.Put(0, 2), setup.Put(0, 8), setup.Put(0, 8), setup.Put(0, 8);
  setup.Put(0, 6), setup.Put(0, 1), setup.Put(0, 16), setup.Put(0, 16), setup.Put(0, 8);  // one mode
  setup.Put(1, 1);
  std::vector<uint8_t> out;
  PutPage(out, serial, 0, 0, 2, {id.bytes});
  PutPage(out, serial, 1, 0, 0, {comment.bytes, setup.bytes});
  // Each audio packet: the audio flag and an unused floor (a silent block).
  std::vector<std::vector<uint8_t>> audio(size_t(silentPackets), std::vector<uint8_t>{0});
  if (claimedFrames < 0) claimedFrames = silentPackets > 1 ? int64_t(silentPackets - 1) * 128 : 0;
  PutPage(out, serial, 2, claimedFrames, 4, audio);
  return out;
}

// `links` links one after another, each with its own serial number.
inline std::vector<uint8_t> Chain(int links, uint32_t entries = 2, int silentPackets = 2) {
  std::vector<uint8_t> out;
  for (int i = 0; i < links; i++) {
    std::vector<uint8_t> link = Link(0x5eed0000u + uint32_t(i), entries, silentPackets);
    out.insert(out.end(), link.begin(), link.end());
  }
  return out;
}

}  // namespace vorbis_shapes
