// Ogg Vorbis output of the music generator: one logical stream with a fixed
// serial number, stereo at 48000 Hz, variable bit rate at a given quality.
#include <vorbis/vorbisenc.h>

#include <cstdio>

#include "tools/music/music.h"

namespace {
constexpr int STREAM_SERIAL = 0x5A595458;  // the same stream number on every run
constexpr int CHUNK_FRAMES = 1024;

bool WritePage(FILE* file, const ogg_page& page) {
  return std::fwrite(page.header, 1, page.header_len, file) == (size_t)page.header_len &&
         std::fwrite(page.body, 1, page.body_len, file) == (size_t)page.body_len;
}
}  // namespace

bool WriteOggVorbis(const std::string& path, const std::vector<float>& master, float quality) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  vorbis_info info;
  vorbis_info_init(&info);
  if (vorbis_encode_init_vbr(&info, 2, SAMPLE_RATE, quality) != 0) {
    vorbis_info_clear(&info);
    std::fclose(file);
    return false;
  }
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  vorbis_comment_add_tag(&comment, "TITLE", "ZYNTRAX");
  vorbis_comment_add_tag(&comment, "ARTIST", "DJ Ferroflux");
  vorbis_dsp_state dsp;
  vorbis_block block;
  vorbis_analysis_init(&dsp, &info);
  vorbis_block_init(&dsp, &block);
  ogg_stream_state stream;
  ogg_stream_init(&stream, STREAM_SERIAL);

  bool ok = true;
  ogg_packet header, commentPacket, codebooks;
  vorbis_analysis_headerout(&dsp, &comment, &header, &commentPacket, &codebooks);
  ogg_stream_packetin(&stream, &header);
  ogg_stream_packetin(&stream, &commentPacket);
  ogg_stream_packetin(&stream, &codebooks);
  ogg_page page;
  while (ok && ogg_stream_flush(&stream, &page)) ok = WritePage(file, page);

  const int64_t frames = (int64_t)master.size() / 2;
  int64_t done = 0;
  bool ended = false;
  while (ok && !ended) {
    int64_t count = frames - done < CHUNK_FRAMES ? frames - done : CHUNK_FRAMES;
    if (count > 0) {
      float** buffer = vorbis_analysis_buffer(&dsp, (int)count);
      for (int64_t i = 0; i < count; ++i) {
        buffer[0][i] = master[2 * (done + i)];
        buffer[1][i] = master[2 * (done + i) + 1];
      }
      vorbis_analysis_wrote(&dsp, (int)count);
      done += count;
    } else {
      vorbis_analysis_wrote(&dsp, 0);  // end of stream
    }
    while (ok && vorbis_analysis_blockout(&dsp, &block) == 1) {
      vorbis_analysis(&block, nullptr);
      vorbis_bitrate_addblock(&block);
      ogg_packet packet;
      while (ok && vorbis_bitrate_flushpacket(&dsp, &packet)) {
        ogg_stream_packetin(&stream, &packet);
        while (ok && ogg_stream_pageout(&stream, &page)) {
          ok = WritePage(file, page);
          if (ogg_page_eos(&page)) ended = true;
        }
      }
    }
  }

  ogg_stream_clear(&stream);
  vorbis_block_clear(&block);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  if (std::fclose(file) != 0) ok = false;
  return ok;
}
