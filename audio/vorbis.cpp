// The Ogg Vorbis decoder: libvorbisfile over the bytes in memory, the whole
// stream decoded at once to 16-bit signed interleaved samples.
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "audio/sound_internal.h"

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

int MemorySeek(void* source, ogg_int64_t offset, int whence) {
  MemoryFile* file = static_cast<MemoryFile*>(source);
  ogg_int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? ogg_int64_t(file->pos)
                                                                  : ogg_int64_t(file->size);
  if (whence != SEEK_SET && whence != SEEK_CUR && whence != SEEK_END) return -1;
  ogg_int64_t target = base + offset;
  if (target < 0 || target > ogg_int64_t(file->size)) return -1;
  file->pos = size_t(target);
  return 0;
}

long MemoryTell(void* source) { return long(static_cast<MemoryFile*>(source)->pos); }

// A chain is one sound only when every link has the first one's rate and
// channel count: a link at another rate would play at the wrong speed.
bool SameFormat(const vorbis_info* link, const vorbis_info& first) {
  return link && link->channels == first.channels && link->rate == first.rate;
}

// The length the file claims, from libvorbisfile's scan of every link: 0 when
// it cannot be opened or its links differ. The scan leaves the decoder in the
// last link, and seeking back to the start can corrupt libogg's heap on a
// damaged chain, so nothing is decoded from this opening.
ogg_int64_t ClaimedFrames(const uint8_t* bytes, size_t size) {
  MemoryFile file{bytes, size, 0};
  ov_callbacks callbacks{MemoryRead, MemorySeek, nullptr, MemoryTell};
  OggVorbis_File vf;
  if (ov_open_callbacks(&file, &vf, nullptr, 0, callbacks) != 0) return 0;
  ogg_int64_t frames = ov_pcm_total(&vf, -1);
  const vorbis_info* first = ov_info(&vf, 0);
  for (long link = 0; link < ov_streams(&vf) && frames > 0; link++)
    if (!first || !SameFormat(ov_info(&vf, int(link)), *first)) frames = 0;
  ov_clear(&vf);
  return frames > 0 ? frames : 0;
}

// Decodes the links in file order, up to maxFrames; false when a link differs
// from the first (one the scan did not see). A damaged page ends the stream
// there, keeping what came before.
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
  ogg_int64_t frames = ClaimedFrames(bytes, size);
  if (frames == 0) return false;
  // Read as a stream that cannot seek: from the first link on, in order.
  MemoryFile file{bytes, size, 0};
  ov_callbacks callbacks{MemoryRead, nullptr, nullptr, MemoryTell};
  OggVorbis_File vf;
  if (ov_open_callbacks(&file, &vf, nullptr, 0, callbacks) != 0) return false;
  bool ok = false;
  const vorbis_info* info = ov_info(&vf, -1);
  if (info && info->channels >= 1 && info->channels <= MAX_CHANNELS && info->rate >= MIN_SAMPLE_RATE &&
      info->rate <= MAX_SAMPLE_RATE && uint64_t(frames) <= MAX_DECODED_BYTES / (size_t(info->channels) * 2)) {
    // A stream that cannot seek keeps one info, refilled at each new link.
    const vorbis_info first = *info;
    int channels = first.channels;
    // The claimed length only sizes the reservation, which stays untouched
    // until samples are really decoded into it.
    std::vector<int16_t> samples;
    bool whole = false;
    try {
      samples.reserve(size_t(frames) * size_t(channels));
      whole = DecodeAll(vf, first, size_t(frames), samples);
    } catch (const std::bad_alloc&) {
      whole = false;  // a track too large to hold is a failed load
    }
    samples.resize(samples.size() - samples.size() % size_t(channels));
    if (whole && !samples.empty()) {
      if (samples.size() < samples.capacity() / 2) samples.shrink_to_fit();
      out.samples = std::move(samples);
      out.channels = channels;
      out.sampleRate = int(first.rate);
      out.bitsPerSample = 16;
      ok = true;
    }
  }
  ov_clear(&vf);
  return ok;
}
