// Writing the capture through libavformat and libavcodec: H.264 + AAC in .mp4,
// VP9 + Opus in .webm, FFV1 (RGB) + FLAC in .mkv. Pictures go through
// libswscale and sound through libswresample into each encoder's own format.
#include "tools/capture/video_file.h"

#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

const char* const MP4_PRESET = "veryfast";

namespace {
AVFormatContext* format = nullptr;
AVCodecContext* videoCodec = nullptr;
AVCodecContext* soundCodec = nullptr;
AVStream* videoStream = nullptr;
AVStream* soundStream = nullptr;
SwsContext* toPicture = nullptr;
SwrContext* toSound = nullptr;
AVFrame* picture = nullptr;
AVFrame* sound = nullptr;
AVPacket* packet = nullptr;
int64_t picturesSent = 0;
int64_t soundSent = 0;       // sample frames handed to the sound encoder
int soundChunk = 1024;       // sample frames per encoder frame
int soundChannels = 2;
std::vector<int16_t> pending;  // interleaved samples not yet a whole chunk

std::string AvError(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

void FreeEverything() {
  avcodec_free_context(&videoCodec);
  avcodec_free_context(&soundCodec);
  sws_freeContext(toPicture);
  toPicture = nullptr;
  swr_free(&toSound);
  av_frame_free(&picture);
  av_frame_free(&sound);
  av_packet_free(&packet);
  if (format) {
    if (format->pb) avio_closep(&format->pb);
    avformat_free_context(format);
  }
  format = nullptr;
  videoStream = soundStream = nullptr;
  pending.clear();
  picturesSent = soundSent = 0;
}

// Sends one frame (or nullptr to flush) and writes every packet that comes out.
bool Encode(AVCodecContext* codec, AVStream* stream, AVFrame* frame) {
  if (avcodec_send_frame(codec, frame) < 0) return false;
  for (;;) {
    int r = avcodec_receive_packet(codec, packet);
    if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
    if (r < 0) return false;
    av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
    packet->stream_index = stream->index;
    if (av_interleaved_write_frame(format, packet) < 0) return false;
  }
}

// The encoder called name with its context and a new stream; null with a
// reason when this FFmpeg lacks it.
const AVCodec* NewEncoder(const char* name, AVCodecContext*& context, AVStream*& stream, std::string& error) {
  const AVCodec* codec = avcodec_find_encoder_by_name(name);
  if (!codec) {
    error = std::string("this FFmpeg has no ") + name + " encoder";
    return nullptr;
  }
  context = avcodec_alloc_context3(codec);
  stream = avformat_new_stream(format, nullptr);
  return context && stream ? codec : nullptr;
}

// Starts a configured encoder and gives its stream the same parameters.
bool OpenEncoder(AVCodecContext* c, const AVCodec* codec, AVStream* stream, std::string& error) {
  if (format->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  int r = avcodec_open2(c, codec, nullptr);
  if (r < 0) {
    error = std::string("cannot start the ") + codec->name + " encoder: " + AvError(r);
    return false;
  }
  avcodec_parameters_from_context(stream->codecpar, c);
  stream->time_base = c->time_base;
  return true;
}

bool SetUpVideo(const VideoFileSettings& s, std::string& error) {
  const char* name = s.container == Container::Mp4 ? "libx264" : s.container == Container::Webm ? "libvpx-vp9" : "ffv1";
  const AVCodec* codec = NewEncoder(name, videoCodec, videoStream, error);
  if (!codec) return false;
  AVCodecContext* c = videoCodec;
  c->width = s.width;
  c->height = s.height;
  c->time_base = AVRational{1, s.fps};
  c->framerate = AVRational{s.fps, 1};
  c->sample_aspect_ratio = AVRational{1, 1};
  c->thread_count = 0;
  bool rgb = s.container == Container::Mkv;
  c->pix_fmt = rgb ? AV_PIX_FMT_BGR0 : AV_PIX_FMT_YUV420P;
  if (!rgb) {
    c->colorspace = AVCOL_SPC_BT709;
    c->color_primaries = AVCOL_PRI_BT709;
    c->color_trc = AVCOL_TRC_BT709;
    c->color_range = AVCOL_RANGE_MPEG;
  }
  if (s.container == Container::Mp4) {
    av_opt_set(c->priv_data, "preset", MP4_PRESET, 0);
    av_opt_set(c->priv_data, "crf", "18", 0);
    c->gop_size = s.fps * 2;
  } else if (s.container == Container::Webm) {
    av_opt_set(c->priv_data, "deadline", "realtime", 0);
    av_opt_set_int(c->priv_data, "cpu-used", 8, 0);
    av_opt_set_int(c->priv_data, "row-mt", 1, 0);
    av_opt_set_int(c->priv_data, "crf", 28, 0);
    c->bit_rate = 0;
    c->gop_size = s.fps * 2;
  } else {
    av_opt_set_int(c->priv_data, "slices", 4, 0);
    av_opt_set_int(c->priv_data, "slicecrc", 1, 0);
    c->level = 3;
  }
  if (!OpenEncoder(c, codec, videoStream, error)) return false;
  videoStream->avg_frame_rate = c->framerate;
  videoStream->r_frame_rate = c->framerate;
  picture = av_frame_alloc();
  if (!picture) return false;
  picture->format = c->pix_fmt;
  picture->width = c->width;
  picture->height = c->height;
  if (av_frame_get_buffer(picture, 0) < 0) return false;
  toPicture = sws_getContext(s.width, s.height, AV_PIX_FMT_BGR0, s.width, s.height, c->pix_fmt,
                             SWS_BILINEAR | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
  if (!toPicture) return false;
  if (!rgb) {
    // Full-range RGB in, limited-range BT.709 out, as HD video expects.
    sws_setColorspaceDetails(toPicture, sws_getCoefficients(SWS_CS_ITU709), 1, sws_getCoefficients(SWS_CS_ITU709),
                             0, 0, 1 << 16, 1 << 16);
  }
  return true;
}

bool SetUpSound(const VideoFileSettings& s, std::string& error) {
  const char* name = s.container == Container::Mp4 ? "aac" : s.container == Container::Webm ? "libopus" : "flac";
  const AVCodec* codec = NewEncoder(name, soundCodec, soundStream, error);
  if (!codec) return false;
  AVCodecContext* c = soundCodec;
  c->sample_rate = s.sampleRate;
  av_channel_layout_default(&c->ch_layout, s.channels);
  c->sample_fmt = s.container == Container::Mp4 ? AV_SAMPLE_FMT_FLTP : AV_SAMPLE_FMT_S16;
  c->time_base = AVRational{1, s.sampleRate};
  if (s.container == Container::Mp4) c->bit_rate = 192000;
  if (s.container == Container::Webm) c->bit_rate = 160000;
  if (!OpenEncoder(c, codec, soundStream, error)) return false;
  soundChunk = c->frame_size > 0 ? c->frame_size : 1024;
  soundChannels = s.channels;
  sound = av_frame_alloc();
  if (!sound) return false;
  AVChannelLayout inLayout;
  av_channel_layout_default(&inLayout, s.channels);
  int r = swr_alloc_set_opts2(&toSound, &c->ch_layout, c->sample_fmt, c->sample_rate, &inLayout, AV_SAMPLE_FMT_S16,
                          s.sampleRate, 0, nullptr);
  av_channel_layout_uninit(&inLayout);
  return r >= 0 && swr_init(toSound) >= 0;
}

// Encodes count sample frames from the start of `pending`.
bool EncodeSound(int count) {
  av_frame_unref(sound);
  sound->nb_samples = count;
  sound->format = soundCodec->sample_fmt;
  sound->sample_rate = soundCodec->sample_rate;
  if (av_channel_layout_copy(&sound->ch_layout, &soundCodec->ch_layout) < 0) return false;
  if (av_frame_get_buffer(sound, 0) < 0) return false;
  const uint8_t* in[1] = {reinterpret_cast<const uint8_t*>(pending.data())};
  if (swr_convert(toSound, sound->data, count, in, count) != count) return false;
  sound->pts = soundSent;
  soundSent += count;
  pending.erase(pending.begin(), pending.begin() + (ptrdiff_t)count * soundChannels);
  return Encode(soundCodec, soundStream, sound);
}
}  // namespace

bool OpenVideoFile(const std::string& path, const VideoFileSettings& settings, std::string& error) {
  FreeEverything();
  // The encoders' own statistics would drown the progress line.
  av_log_set_level(AV_LOG_ERROR);
  const char* formatName = settings.container == Container::Mp4 ? "mp4" : settings.container == Container::Webm ? "webm" : "matroska";
  int r = avformat_alloc_output_context2(&format, nullptr, formatName, path.c_str());
  if (r < 0 || !format) {
    error = std::string("this FFmpeg cannot write ") + formatName + " files";
    FreeEverything();
    return false;
  }
  packet = av_packet_alloc();
  if (!packet || !SetUpVideo(settings, error) || !SetUpSound(settings, error)) {
    if (error.empty()) error = "out of memory setting the encoders up";
    FreeEverything();
    return false;
  }
  r = avio_open(&format->pb, path.c_str(), AVIO_FLAG_WRITE);
  if (r < 0) {
    error = AvError(r);
    FreeEverything();
    return false;
  }
  r = avformat_write_header(format, nullptr);
  if (r < 0) {
    error = "cannot write the file's header: " + AvError(r);
    FreeEverything();
    return false;
  }
  return true;
}

bool WriteVideoPicture(const uint32_t* pixels) {
  if (!format || av_frame_make_writable(picture) < 0) return false;
  const uint8_t* src[1] = {reinterpret_cast<const uint8_t*>(pixels)};
  const int stride[1] = {videoCodec->width * 4};
  sws_scale(toPicture, src, stride, 0, videoCodec->height, picture->data, picture->linesize);
  picture->pts = picturesSent++;
  return Encode(videoCodec, videoStream, picture);
}

bool WriteVideoSound(const int16_t* samples, int count) {
  if (!format) return false;
  pending.insert(pending.end(), samples, samples + (size_t)count * soundChannels);
  while ((int64_t)pending.size() >= (int64_t)soundChunk * soundChannels)
    if (!EncodeSound(soundChunk)) return false;
  return true;
}

bool FinishVideoFile(std::string& error) {
  bool ok = format != nullptr;
  if (ok && !pending.empty()) ok = EncodeSound((int)(pending.size() / soundChannels));
  ok = ok && Encode(videoCodec, videoStream, nullptr) && Encode(soundCodec, soundStream, nullptr);
  int r = ok ? av_write_trailer(format) : -1;
  if (r < 0) ok = false;
  if (ok && format->pb) {
    // A write that failed on the way (a full disk) is remembered here.
    avio_flush(format->pb);
    if (format->pb->error < 0) ok = false;
    r = avio_closep(&format->pb);
    if (r < 0) ok = false;
  }
  if (!ok) error = "cannot finish the file (is the disk full?)";
  FreeEverything();
  return ok;
}

void AbandonVideoFile() { FreeEverything(); }
