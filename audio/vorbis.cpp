// The Ogg Vorbis decoder: libvorbisfile over the bytes in memory, once the
// page walk has vetted them, the whole stream decoded at once to 16-bit signed
// interleaved samples.
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "audio/sound_internal.h"
#include "audio/vorbis_survey.h"

namespace {
struct MemoryFile {
  const uint8_t* bytes;
  size_t size;
  size_t pos;
};

size_t MemoryRead(void* dest, size_t itemSize, size_t count, void* source) {
  MemoryFile* file = static_cast<MemoryFile*>(source);
  if (itemSize == 0) return 0;
  size_t items = std::min(count, (file->size - file->pos) / itemSize);
  if (items == 0) return 0;
  std::memcpy(dest, file->bytes + file->pos, items * itemSize);
  file->pos += items * itemSize;
  return items;
}

long MemoryTell(void* source) { return long(static_cast<MemoryFile*>(source)->pos); }

// A chain is one sound only when every link has the first one's rate and
// channel count: a link at another rate would play at the wrong speed.
bool SameFormat(const vorbis_info* link, const vorbis_info& first) {
  return link && link->channels == first.channels && link->rate == first.rate;
}

// Decodes the links in file order, up to maxFrames; false when a link differs
// from the first. A damaged page ends the stream there, keeping what came before.
bool DecodeAll(OggVorbis_File& vf, const vorbis_info& first, size_t maxFrames, std::vector<int16_t>& samples) {
  char chunk[16384];
  int link = 0;
  size_t channels = size_t(first.channels);
  for (;;) {
    size_t room = (maxFrames - samples.size() / channels) * channels * 2;
    if (room == 0) return true;
    long got = ov_read(&vf, chunk, int(std::min(room, sizeof chunk)), 0, 2, 1, &link);
    if (got == OV_HOLE) continue;  // a gap in the data, or the seam of two links
    if (got <= 0) return true;
    if (!SameFormat(ov_info(&vf, -1), first)) return false;
    const int16_t* decoded = reinterpret_cast<const int16_t*>(chunk);
    samples.insert(samples.end(), decoded, decoded + size_t(got) / 2);
  }
}

}  // namespace

bool DecodeVorbis(const uint8_t* bytes, size_t size, SoundRecord& out) {
  // Nothing reaches libvorbisfile before its pages, links and codebooks are
  // known to be within what the library can take on every target.
  VorbisSurvey survey;
  if (!SurveyVorbis(bytes, size, survey)) return false;
  // Read as a stream that cannot seek: from the first link on, in order, the
  // length found by decoding. (A seekable opening would scan every link first,
  // recursing once a link.)
  MemoryFile file{bytes, size, 0};
  ov_callbacks callbacks{MemoryRead, nullptr, nullptr, MemoryTell};
  OggVorbis_File vf;
  if (ov_open_callbacks(&file, &vf, nullptr, 0, callbacks) != 0) return false;
  bool ok = false;
  const vorbis_info* info = ov_info(&vf, -1);
  if (info && info->channels >= 1 && info->channels <= MAX_CHANNELS && info->rate >= MIN_SAMPLE_RATE &&
      info->rate <= MAX_SAMPLE_RATE) {
    // A stream that cannot seek keeps one info, refilled at each new link.
    const vorbis_info first = *info;
    const size_t channels = size_t(first.channels);
    // The track ends where its granule positions say (a damaged page can make
    // the decoder run on), but the reservation follows what the packets can
    // hold, however far the granule positions claim.
    const size_t maxFrames = size_t(std::min<uint64_t>(MAX_DECODED_BYTES / (channels * 2), survey.claimedFrames));
    const size_t expected = size_t(std::min<uint64_t>(survey.frameBound, maxFrames));
    std::vector<int16_t> samples;
    bool whole = false;
    try {
      samples.reserve(expected * channels);
      whole = DecodeAll(vf, first, maxFrames, samples);
    } catch (const std::bad_alloc&) {
      whole = false;  // a track too large to hold is a failed load
    }
    samples.resize(samples.size() - samples.size() % channels);
    if (whole && !samples.empty()) {
      if (samples.size() < samples.capacity() / 2) samples.shrink_to_fit();
      out.samples = std::move(samples);
      out.channels = int(channels);
      out.sampleRate = int(first.rate);
      out.bitsPerSample = 16;
      ok = true;
    }
  }
  ov_clear(&vf);
  return ok;
}
