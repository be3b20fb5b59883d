// Writing the capture through libavformat and libavcodec: H.264 + AAC in .mp4,
// VP9 + Opus in .webm, FFV1 (RGB) + FLAC in .mkv. Pictures go through
// libswscale and sound through libswresample into each encoder's own format;
// the bytes go to the caller's descriptor through our own I/O context.
#include "tools/capture/video_file.h"

#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/mem.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace {
// A position on the descriptor of our own: the writer and the muxer's second
// reader (for moving the .mp4 index to the front) never share an offset.
struct FileCursor {
  int fd = -1;
  int64_t position = 0;
};

AVFormatContext* format = nullptr;
FileCursor writer;
AVCodecContext* videoCodec = nullptr;
AVCodecContext* soundCodec = nullptr;
AVStream* videoStream = nullptr;
AVStream* soundStream = nullptr;
SwsContext* toPicture = nullptr;
SwrContext* toSound = nullptr;
AVFrame* picture = nullptr;
AVFrame* sound = nullptr;
AVPacket* packet = nullptr;
int pictureScale = 1;
int sourceWidth = 0, sourceHeight = 0;
std::vector<uint32_t> doubled;
int64_t picturesSent = 0;
int64_t soundSent = 0;       // sample frames handed to the sound encoder
int soundChunk = 1024;       // sample frames per encoder frame
int soundChannels = 2;
int64_t soundPtsOffset = 0;  // see SetUpSound
std::vector<int16_t> pending;  // interleaved samples not yet a whole chunk
std::string lastError;
// While the file is finished: asked between packets and writes, and given the
// bytes written since the trailer began.
FinishWatch finishWatch = nullptr;
int64_t finishWritten = 0, finishTotal = 0;
bool finishStopped = false;

bool FinishGoesOn(int64_t done, int64_t total) {
  if (!finishWatch || finishStopped) return !finishStopped;
  finishStopped = !finishWatch(done, total);
  return !finishStopped;
}

std::string AvError(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

bool Failed(const std::string& what, int code) {
  lastError = what + ": " + AvError(code);
  return false;
}

int ReadCursor(void* opaque, uint8_t* buf, int size) {
  FileCursor* c = static_cast<FileCursor*>(opaque);
  if (finishTotal > 0 && !FinishGoesOn(finishWritten, finishTotal)) return AVERROR_EXIT;
  ssize_t n = pread(c->fd, buf, (size_t)size, c->position);
  if (n < 0) return AVERROR(errno);
  if (n == 0) return AVERROR_EOF;
  c->position += n;
  return (int)n;
}

int WriteCursor(void* opaque, uint8_t* buf, int size) {
  FileCursor* c = static_cast<FileCursor*>(opaque);
  if (finishTotal > 0 && !FinishGoesOn(finishWritten += size, finishTotal)) return AVERROR_EXIT;
  int done = 0;
  while (done < size) {
    ssize_t n = pwrite(c->fd, buf + done, (size_t)(size - done), c->position);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return AVERROR(errno);
    if (n == 0) return AVERROR(EIO);
    done += (int)n;
    c->position += n;
  }
  return size;
}

int64_t SeekCursor(void* opaque, int64_t offset, int whence) {
  FileCursor* c = static_cast<FileCursor*>(opaque);
  off_t end = lseek(c->fd, 0, SEEK_END);
  if (end < 0) return AVERROR(errno);
  switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE: return end;
    case SEEK_SET: c->position = offset; break;
    case SEEK_CUR: c->position += offset; break;
    case SEEK_END: c->position = end + offset; break;
    default: return AVERROR(EINVAL);
  }
  return c->position;
}

AVIOContext* NewCursorContext(FileCursor* cursor, bool write) {
  const int size = 1 << 16;
  unsigned char* buffer = static_cast<unsigned char*>(av_malloc(size));
  if (!buffer) return nullptr;
  AVIOContext* pb = avio_alloc_context(buffer, size, write ? 1 : 0, cursor, write ? nullptr : ReadCursor,
                                       write ? WriteCursor : nullptr, SeekCursor);
  if (!pb) {
    av_free(buffer);
    return nullptr;
  }
  pb->seekable = AVIO_SEEKABLE_NORMAL;
  return pb;
}

void FreeCursorContext(AVIOContext*& pb) {
  if (!pb) return;
  av_freep(&pb->buffer);
  avio_context_free(&pb);
}

// The muxer opens nothing by name: only a second reader of our own file (the
// .mp4 muxer reads its data back to put the index in front of it).
int OpenForMuxer(AVFormatContext* s, AVIOContext** pb, const char* url, int flags, AVDictionary**) {
  if ((flags & AVIO_FLAG_WRITE) || !s->url || std::strcmp(url, s->url) != 0) return AVERROR(EPERM);
  FileCursor* reader = new FileCursor{writer.fd, 0};
  *pb = NewCursorContext(reader, false);
  if (!*pb) {
    delete reader;
    return AVERROR(ENOMEM);
  }
  return 0;
}

int CloseForMuxer(AVFormatContext*, AVIOContext* pb) {
  if (!pb) return 0;
  delete static_cast<FileCursor*>(pb->opaque);
  FreeCursorContext(pb);
  return 0;
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
    FreeCursorContext(format->pb);
    avformat_free_context(format);
  }
  format = nullptr;
  writer = FileCursor{};
  videoStream = soundStream = nullptr;
  pending.clear();
  doubled.clear();
  picturesSent = soundSent = 0;
}

// Sends one frame (or nullptr to flush) and writes every packet that comes out.
bool Encode(AVCodecContext* codec, AVStream* stream, AVFrame* frame) {
  int r = avcodec_send_frame(codec, frame);
  if (r < 0) return Failed(std::string("the ") + codec->codec->name + " encoder failed", r);
  for (;;) {
    if (!frame && !FinishGoesOn(0, 0)) return Failed("interrupted", AVERROR_EXIT);
    r = avcodec_receive_packet(codec, packet);
    if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
    if (r < 0) return Failed(std::string("the ") + codec->codec->name + " encoder failed", r);
    av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
    packet->stream_index = stream->index;
    r = av_interleaved_write_frame(format, packet);
    if (r < 0) return Failed("cannot write to the file", r);
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

bool SetOption(AVCodecContext* c, const char* name, const std::string& value, std::string& error) {
  int r = av_opt_set(c->priv_data, name, value.c_str(), 0);
  if (r < 0) error = std::string("cannot set the encoder's ") + name + " to " + value + ": " + AvError(r);
  return r >= 0;
}

// The colours every stream is tagged with: BT.709 limited range for the YUV
// files (chroma sited at the centre of each 2 x 2 block, as area averaging
// makes it), sRGB full range for the RGB one.
void TagColours(AVCodecContext* c, bool rgb, bool subsampled) {
  c->color_primaries = AVCOL_PRI_BT709;
  if (rgb) {
    c->colorspace = AVCOL_SPC_RGB;
    c->color_trc = AVCOL_TRC_IEC61966_2_1;
    c->color_range = AVCOL_RANGE_JPEG;
  } else {
    c->colorspace = AVCOL_SPC_BT709;
    c->color_trc = AVCOL_TRC_BT709;
    c->color_range = AVCOL_RANGE_MPEG;
    if (subsampled) c->chroma_sample_location = AVCHROMA_LOC_CENTER;
  }
}

bool SetUpVideo(const VideoFileSettings& s, std::string& error) {
  const char* name = s.container == Container::Mp4 ? "libx264" : s.container == Container::Webm ? "libvpx-vp9" : "ffv1";
  const AVCodec* codec = NewEncoder(name, videoCodec, videoStream, error);
  if (!codec) return false;
  AVCodecContext* c = videoCodec;
  c->width = s.width * s.scale;
  c->height = s.height * s.scale;
  c->time_base = AVRational{(int)s.rate.den, (int)s.rate.num};
  c->framerate = AVRational{(int)s.rate.num, (int)s.rate.den};
  c->sample_aspect_ratio = AVRational{1, 1};
  c->thread_count = 0;
  const bool rgb = s.container == Container::Mkv;
  const bool full = rgb || (s.container == Container::Mp4 && s.yuv444);
  // The frame's 32-bit values named as values, not as bytes: right on any byte order.
  c->pix_fmt = rgb ? AV_PIX_FMT_0RGB32 : full ? AV_PIX_FMT_YUV444P : AV_PIX_FMT_YUV420P;
  TagColours(c, rgb, !full);
  const int gop = (int)(2 * s.rate.num / s.rate.den);
  if (s.container == Container::Mp4) {
    if (!SetOption(c, "preset", s.preset, error) || !SetOption(c, "crf", std::to_string(s.crf), error)) return false;
    c->gop_size = gop;
  } else if (s.container == Container::Webm) {
    // libvpx's good-quality mode at a constant quality (CRF with no bitrate cap).
    if (!SetOption(c, "deadline", "good", error) || !SetOption(c, "cpu-used", "4", error) ||
        !SetOption(c, "row-mt", "1", error) || !SetOption(c, "crf", std::to_string(s.crf), error))
      return false;
    c->bit_rate = 0;
    c->gop_size = gop;
  } else {
    av_opt_set_int(c->priv_data, "slices", 4, 0);
    av_opt_set_int(c->priv_data, "slicecrc", 1, 0);
    c->level = 3;
    // Every picture a key frame: an editor can cut, and a reader start, anywhere.
    c->gop_size = 1;
  }
  if (!OpenEncoder(c, codec, videoStream, error)) return false;
  videoStream->avg_frame_rate = c->framerate;
  videoStream->r_frame_rate = c->framerate;
  picture = av_frame_alloc();
  if (!picture) return false;
  picture->format = c->pix_fmt;
  picture->width = c->width;
  picture->height = c->height;
  int r = av_frame_get_buffer(picture, 0);
  if (r < 0) {
    error = "cannot hold a picture: " + AvError(r);
    return false;
  }
  // Area averaging: each chroma sample is the mean of exactly its 2 x 2 block.
  toPicture = sws_getContext(c->width, c->height, AV_PIX_FMT_0RGB32, c->width, c->height, c->pix_fmt,
                             SWS_AREA | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INP, nullptr, nullptr, nullptr);
  if (!toPicture) {
    error = "libswscale cannot convert the pictures";
    return false;
  }
  if (!rgb) {
    // Full-range RGB in, limited-range BT.709 out, as HD video expects.
    sws_setColorspaceDetails(toPicture, sws_getCoefficients(SWS_CS_ITU709), 1, sws_getCoefficients(SWS_CS_ITU709),
                             0, 0, 1 << 16, 1 << 16);
  }
  pictureScale = s.scale;
  sourceWidth = s.width;
  sourceHeight = s.height;
  if (s.scale == 2) doubled.resize((size_t)c->width * c->height);
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
  // The Opus encoder puts its priming samples before the first one given and
  // stamps them earlier; WebM keeps them in its CodecDelay, which players take
  // off the stamps. Where the muxer does not add them back itself, the sound
  // is stamped that much later, so that its first real sample is heard with
  // the first picture. (The .mp4 muxer takes the AAC priming into its edit
  // list itself.)
  soundPtsOffset = s.container == Container::Webm && !MuxerAppliesCodecDelay() ? c->initial_padding : 0;
  soundChannels = s.channels;
  sound = av_frame_alloc();
  if (!sound) return false;
  AVChannelLayout inLayout;
  av_channel_layout_default(&inLayout, s.channels);
  int r = swr_alloc_set_opts2(&toSound, &c->ch_layout, c->sample_fmt, c->sample_rate, &inLayout, AV_SAMPLE_FMT_S16,
                              s.sampleRate, 0, nullptr);
  av_channel_layout_uninit(&inLayout);
  if (r >= 0) r = swr_init(toSound);
  if (r < 0) error = "libswresample cannot convert the sound: " + AvError(r);
  return r >= 0;
}

// Encodes count sample frames from the start of `pending`.
bool EncodeSound(int count) {
  av_frame_unref(sound);
  sound->nb_samples = count;
  sound->format = soundCodec->sample_fmt;
  sound->sample_rate = soundCodec->sample_rate;
  int r = av_channel_layout_copy(&sound->ch_layout, &soundCodec->ch_layout);
  if (r >= 0) r = av_frame_get_buffer(sound, 0);
  if (r < 0) return Failed("cannot hold the sound", r);
  const uint8_t* in[1] = {reinterpret_cast<const uint8_t*>(pending.data())};
  r = swr_convert(toSound, sound->data, count, in, count);
  if (r != count) return Failed("cannot convert the sound", r < 0 ? r : AVERROR_BUG);
  sound->pts = soundSent + soundPtsOffset;
  soundSent += count;
  pending.erase(pending.begin(), pending.begin() + (ptrdiff_t)count * soundChannels);
  return Encode(soundCodec, soundStream, sound);
}

// 2 x 2 copies of every pixel.
void DoublePixels(const uint32_t* src, uint32_t* dst) {
  const int w = sourceWidth;
  for (int y = 0; y < sourceHeight; y++) {
    uint32_t* row = dst + (size_t)y * 2 * w * 2;
    const uint32_t* in = src + (size_t)y * w;
    for (int x = 0; x < w; x++) row[2 * x] = row[2 * x + 1] = in[x];
    std::memcpy(row + w * 2, row, sizeof(uint32_t) * w * 2);
  }
}
}  // namespace

bool OpenVideoFile(int fd, const std::string& name, const VideoFileSettings& settings, std::string& error) {
  FreeEverything();
  lastError.clear();
  // The encoders' own statistics would drown the progress line.
  av_log_set_level(AV_LOG_ERROR);
  const char* formatName = settings.container == Container::Mp4 ? "mp4" : settings.container == Container::Webm ? "webm" : "matroska";
  int r = avformat_alloc_output_context2(&format, nullptr, formatName, nullptr);
  if (r < 0 || !format) {
    error = std::string("this FFmpeg cannot write ") + formatName + " files";
    FreeEverything();
    return false;
  }
  format->url = av_strdup(name.c_str());
  format->flags |= AVFMT_FLAG_CUSTOM_IO;
  format->io_open = OpenForMuxer;
  format->io_close2 = CloseForMuxer;
  writer = FileCursor{fd, 0};
  format->pb = NewCursorContext(&writer, true);
  packet = av_packet_alloc();
  if (!format->url || !format->pb || !packet || !SetUpVideo(settings, error) || !SetUpSound(settings, error)) {
    if (error.empty()) error = "out of memory setting the encoders up";
    FreeEverything();
    return false;
  }
  AVDictionary* options = nullptr;
  // The index goes before the data, so that players can start before the end has arrived.
  if (settings.container == Container::Mp4) av_dict_set(&options, "movflags", "+faststart", 0);
  r = avformat_write_header(format, &options);
  av_dict_free(&options);
  if (r < 0) {
    error = "cannot write the file's header: " + AvError(r);
    FreeEverything();
    return false;
  }
  return true;
}

bool WriteVideoPicture(const uint32_t* pixels) {
  if (!format) return false;
  int r = av_frame_make_writable(picture);
  if (r < 0) return Failed("cannot hold a picture", r);
  if (pictureScale == 2) {
    DoublePixels(pixels, doubled.data());
    pixels = doubled.data();
  }
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

std::string VideoFileError() { return lastError.empty() ? "the encoder stopped" : lastError; }

bool FinishVideoFile(std::string& error, FinishWatch watch) {
  finishWatch = watch;
  finishStopped = false;
  bool ok = format != nullptr;
  if (ok && !pending.empty()) ok = EncodeSound((int)(pending.size() / soundChannels));
  ok = ok && Encode(videoCodec, videoStream, nullptr) && Encode(soundCodec, soundStream, nullptr);
  if (ok) {
    // The .mp4 muxer now moves everything written so far behind its index:
    // about as many bytes again, read and written once.
    avio_flush(format->pb);
    finishWritten = 0;
    finishTotal = std::max<int64_t>(writer.position, 1);
    int r = av_write_trailer(format);
    if (r < 0) ok = Failed(finishStopped ? "interrupted" : "cannot finish the file", r);
    finishTotal = 0;
  }
  if (ok) {
    // A write that failed on the way (a full disk) is remembered here.
    avio_flush(format->pb);
    if (format->pb->error < 0) ok = Failed("cannot write to the file", format->pb->error);
  }
  if (!ok) error = VideoFileError();
  FreeEverything();
  finishWatch = nullptr;
  return ok;
}

bool MuxerAppliesCodecDelay() {
  // libavformat 59.30.100 and before shift every track so that the earliest
  // stamp is 0, undoing the CodecDelay; later ones keep the negative stamps
  // of the priming and the delay players take off them.
  return avformat_version() > AV_VERSION_INT(59, 30, 100);
}

void AbandonVideoFile() { FreeEverything(); }
