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

// Decodes every frame whose link has the first link's channel count, up to
// maxFrames; a damaged page ends the stream there.
void DecodeAll(OggVorbis_File& vf, int channels, size_t maxFrames, std::vector<int16_t>& samples) {
  char chunk[16384];
  int link = 0;
  for (;;) {
    size_t room = (maxFrames - samples.size() / size_t(channels)) * size_t(channels) * 2;
    if (room == 0) return;
    long got = ov_read(&vf, chunk, int(std::min(room, sizeof chunk)), 0, 2, 1, &link);
    if (got == OV_HOLE) continue;  // a gap in the data: playback goes on after it
    if (got <= 0) return;
    vorbis_info* info = ov_info(&vf, link);
    if (!info || info->channels != channels) return;
    size_t count = size_t(got) / 2;
    const int16_t* decoded = reinterpret_cast<const int16_t*>(chunk);
    samples.insert(samples.end(), decoded, decoded + count);
  }
}
}  // namespace

bool DecodeVorbis(const uint8_t* bytes, size_t size, SoundRecord& out) {
  MemoryFile file{bytes, size, 0};
  ov_callbacks callbacks{MemoryRead, MemorySeek, nullptr, MemoryTell};
  OggVorbis_File vf;
  if (ov_open_callbacks(&file, &vf, nullptr, 0, callbacks) != 0) return false;
  bool ok = false;
  vorbis_info* info = ov_info(&vf, -1);
  ogg_int64_t frames = ov_pcm_total(&vf, -1);
  if (info && info->channels >= 1 && info->channels <= MAX_CHANNELS &&
      info->rate >= MIN_SAMPLE_RATE && info->rate <= MAX_SAMPLE_RATE && frames > 0) {
    int channels = info->channels;
    size_t maxFrames = MAX_DECODED_BYTES / (size_t(channels) * 2);
    if (uint64_t(frames) > maxFrames) {
      ov_clear(&vf);
      return false;
    }
    // The claimed length only sizes the reservation, which stays untouched
    // until samples are really decoded into it.
    maxFrames = size_t(frames);
    std::vector<int16_t> samples;
    try {
      samples.reserve(maxFrames * size_t(channels));
      DecodeAll(vf, channels, maxFrames, samples);
    } catch (const std::bad_alloc&) {
      ov_clear(&vf);  // a track too large to hold is a failed load
      return false;
    }
    samples.resize(samples.size() - samples.size() % size_t(channels));
    if (!samples.empty()) {
      if (samples.size() < samples.capacity() / 2) samples.shrink_to_fit();
      out.samples = std::move(samples);
      out.channels = channels;
      out.sampleRate = int(info->rate);
      out.bitsPerSample = 16;
      ok = true;
    }
  }
  ov_clear(&vf);
  return ok;
}
