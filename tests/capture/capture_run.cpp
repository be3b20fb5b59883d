// Helpers of the capture tests (see capture_run.h).
#include "capture/capture_run.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include "audio/audio.h"
#include "platform/platform.h"
#include "render/screen.h"
#include "support/gl_display.h"
#include "support/scene_check.h"
#include "support/scene_checks.h"


std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// A temporary folder for the captures of one test (beside its scratch folder):
// tests running side by side then never write the same asset files at once.
std::string PrivateTemp(const std::string& folder) {
  std::string tmp = folder.substr(0, folder.size() - 1) + "-tmp";
  mkdir(tmp.c_str(), 0700);
  return tmp;
}

RunResult RunCapture(const std::string& folder, const std::string& args, const std::string& shell) {
  std::string stem = folder.substr(0, folder.size() - 1);
  std::string out = stem + "-stdout.txt", err = stem + "-stderr.txt";
  // Without a display: the capture paints in memory only.
  std::string command = shell + "env -u DISPLAY -u WAYLAND_DISPLAY TMPDIR=" + PrivateTemp(folder) + " " + ZYNTRAX_CAPTURE +
                        " " + args + " >" + out + " 2>" + err;
  int status = std::system(command.c_str());
  RunResult r;
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.output = ReadText(out);
  r.errors = ReadText(err);
  return r;
}

std::string EmptyScratchFolder(const std::string& name) {
  const std::string dir = TestScratchFolder(name);
  for (const std::string& file : FilesIn(dir)) std::remove((dir + file).c_str());
  return dir;
}

pid_t SpawnCapture(const std::string& folder, const std::string& args, const std::vector<std::string>& env,
                   const char* binary) {
  std::vector<std::string> words{binary};
  std::istringstream split(args);
  for (std::string w; split >> w;) words.push_back(w);
  const std::string tmp = PrivateTemp(folder), stem = folder.substr(0, folder.size() - 1);
  std::fflush(nullptr);  // the child would write out what this process has buffered
  pid_t pid = fork();
  if (pid == 0) {
    setenv("TMPDIR", tmp.c_str(), 1);
    for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
    freopen((stem + "-stdout.txt").c_str(), "w", stdout);
    freopen((stem + "-stderr.txt").c_str(), "w", stderr);
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return pid;
}

pid_t WaitForWriter(const std::string& folder, std::string* link) {
  const std::string prefix = folder;
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < until) {
    for (const std::string& pid : FilesIn("/proc")) {
      if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
      const std::string fds = "/proc/" + pid + "/fd/";
      for (const std::string& fd : FilesIn(fds)) {
        char target[4096];
        ssize_t n = readlink((fds + fd).c_str(), target, sizeof target - 1);
        if (n <= 0) continue;
        target[n] = 0;
        if (std::string(target).rfind(prefix, 0) != 0) continue;
        if (link) *link = target;
        return (pid_t)std::stol(pid);
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return -1;
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* d = opendir(folder.c_str())) {
    while (dirent* e = readdir(d))
      if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.push_back(e->d_name);
    closedir(d);
  }
  return names;
}

ReadBack ReadVideo(const std::string& path, const std::function<void(const AVFrame*)>& onPicture) {
  ReadBack r;
  AVFormatContext* format = nullptr;
  if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return r;
  avformat_find_stream_info(format, nullptr);
  int videoIndex = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  int soundIndex = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
  AVCodecContext* decoders[2] = {nullptr, nullptr};
  int indexes[2] = {videoIndex, soundIndex};
  for (int k = 0; k < 2; k++) {
    if (indexes[k] < 0 || (k == 0 && !onPicture)) continue;
    const AVCodecParameters* p = format->streams[indexes[k]]->codecpar;
    decoders[k] = avcodec_alloc_context3(avcodec_find_decoder(p->codec_id));
    avcodec_parameters_to_context(decoders[k], p);
    // The decoder moves the stamps past the priming samples it drops.
    decoders[k]->pkt_timebase = format->streams[indexes[k]]->time_base;
    avcodec_open2(decoders[k], avcodec_find_decoder(p->codec_id), nullptr);
  }
  if (videoIndex >= 0) {
    AVStream* v = format->streams[videoIndex];
    r.videoCodec = avcodec_get_name(v->codecpar->codec_id);
    r.primaries = v->codecpar->color_primaries;
    r.transfer = v->codecpar->color_trc;
    r.matrix = v->codecpar->color_space;
    r.range = v->codecpar->color_range;
    r.chromaSite = v->codecpar->chroma_location;
    r.pixelFormat = v->codecpar->format;
    r.width = v->codecpar->width;
    r.height = v->codecpar->height;
    r.frameRate = v->avg_frame_rate.num ? v->avg_frame_rate : v->r_frame_rate;
  }
  if (soundIndex >= 0) {
    r.soundCodec = avcodec_get_name(format->streams[soundIndex]->codecpar->codec_id);
    r.sampleRate = format->streams[soundIndex]->codecpar->sample_rate;
  }
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  auto drain = [&](int k) {
    while (avcodec_receive_frame(decoders[k], frame) == 0) {
      AVRational tb = format->streams[indexes[k]]->time_base;
      double at = frame->best_effort_timestamp == AV_NOPTS_VALUE ? NAN : frame->best_effort_timestamp * av_q2d(tb);
      double& first = k == 0 ? r.firstPictureSeconds : r.firstSoundSeconds;
      if (std::isnan(first)) first = at;
      if (k == 0) {
        r.pictures++;
        onPicture(frame);
      } else {
        r.soundFrames += frame->nb_samples;
        if (frame->format == AV_SAMPLE_FMT_S16) {
          const int16_t* s = reinterpret_cast<const int16_t*>(frame->data[0]);
          r.sound.insert(r.sound.end(), s, s + (size_t)frame->nb_samples * frame->ch_layout.nb_channels);
        }
      }
    }
  };
  while (av_read_frame(format, packet) >= 0) {
    int k = packet->stream_index == videoIndex ? 0 : packet->stream_index == soundIndex ? 1 : -1;
    if (k == 0 && !decoders[0]) r.pictures++;
    // Lossy decoders that need no pictures still give the first picture's time.
    if (k == 0 && !decoders[0] && std::isnan(r.firstPictureSeconds) && packet->pts != AV_NOPTS_VALUE)
      r.firstPictureSeconds = packet->pts * av_q2d(format->streams[videoIndex]->time_base);
    if (k >= 0 && decoders[k] && avcodec_send_packet(decoders[k], packet) >= 0) drain(k);
    av_packet_unref(packet);
  }
  for (int k = 0; k < 2; k++)
    if (decoders[k] && avcodec_send_packet(decoders[k], nullptr) >= 0) drain(k);
  av_frame_free(&frame);
  av_packet_free(&packet);
  for (AVCodecContext*& d : decoders) avcodec_free_context(&d);
  avformat_close_input(&format);
  r.opened = true;
  return r;
}

// The decoded 32-bit picture (blue, green, red, unused) as packed rows.
std::vector<uint32_t> PicturePixels(const AVFrame* f) {
  std::vector<uint32_t> px((size_t)f->width * f->height);
  for (int y = 0; y < f->height; y++) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(f->data[0] + (size_t)y * f->linesize[0]);
    for (int x = 0; x < f->width; x++) px[(size_t)y * f->width + x] = row[x] & 0xFFFFFF;
  }
  return px;
}

std::vector<int16_t> DecodedTrack() {
  std::vector<int16_t> samples;
  int channels = 0, rate = 0;
  DecodeSoundFile(std::string(ZYNTRAX_ASSET_DIR) + "/music.ogg", samples, channels, rate);
  return samples;
}

// The track's interleaved samples of sample frames [from, to) at a volume,
// scaled as the show's mixer scales them.
std::vector<int16_t> TrackSpan(const std::vector<int16_t>& track, int64_t from, int64_t to, int volume) {
  std::vector<int16_t> out;
  float gain = float(volume / 100.0);
  for (int64_t i = from * 2; i < to * 2; i++)
    out.push_back(int16_t(std::nearbyint(float(track[(size_t)i]) * gain)));
  return out;
}

// Pixels of a decoded 0xRRGGBB picture that differ from the current frame.
int64_t DifferencesFromFrame(const std::vector<uint32_t>& picture) {
  FrameBlock block = ReadFrameBlock(0, 0, 1920, 1080);
  if (block.pixels.size() != picture.size()) return -1;
  int64_t differ = 0;
  for (size_t i = 0; i < picture.size(); i++) {
    Colour c = block.pixels[i];
    uint32_t rgb = (uint32_t)RedOf(c) << 16 | (uint32_t)GreenOf(c) << 8 | (uint32_t)BlueOf(c);
    differ += rgb != picture[i];
  }
  return differ;
}

uint64_t RowsHash(const uint32_t* pixels, int stridePixels, int y0, int y1) {
  uint64_t hash = 1469598103934665603ull;
  for (int y = y0; y < y1; y++) {
    const uint32_t* row = pixels + (size_t)y * stridePixels;
    for (int x = 0; x < 1920; x++) {
      hash ^= row[x] & 0xFFFFFFu;
      hash *= 1099511628211ull;
    }
  }
  return hash;
}

std::vector<uint64_t> FileFrameHashes(const std::string& path, int64_t skip, int y0, int y1) {
  std::vector<uint64_t> hashes;
  AVFormatContext* format = nullptr;
  if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return hashes;
  avformat_find_stream_info(format, nullptr);
  int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (index < 0) {
    avformat_close_input(&format);
    return hashes;
  }
  const AVCodecParameters* p = format->streams[index]->codecpar;
  AVCodecContext* decoder = avcodec_alloc_context3(avcodec_find_decoder(p->codec_id));
  avcodec_parameters_to_context(decoder, p);
  avcodec_open2(decoder, avcodec_find_decoder(p->codec_id), nullptr);
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  auto drain = [&] {
    while (avcodec_receive_frame(decoder, frame) == 0)
      hashes.push_back(RowsHash(reinterpret_cast<const uint32_t*>(frame->data[0]), frame->linesize[0] / 4, y0, y1));
  };
  int64_t seen = 0;
  while (av_read_frame(format, packet) >= 0) {
    // Every picture of the lossless file is a key frame: those before `skip` need no decoding.
    if (packet->stream_index == index && seen++ >= skip && avcodec_send_packet(decoder, packet) >= 0) drain();
    av_packet_unref(packet);
  }
  if (avcodec_send_packet(decoder, nullptr) >= 0) drain();
  av_frame_free(&frame);
  av_packet_free(&packet);
  avcodec_free_context(&decoder);
  avformat_close_input(&format);
  return hashes;
}

std::vector<uint64_t> ShowFrameHashes(const FrameGrid& grid, uint64_t seed, int64_t from, int64_t end, int y0,
                                      int y1) {
  std::vector<uint64_t> hashes;
  StartShowForTest(0, seed);
  showStartMs = 0;
  EnterScene(0);
  for (int64_t n = 0; n < end; n++) {
    TestSetClock(GridFrameMs(grid, n));
    UpdateSceneTime();
    DrawFrame();
    if (n < from) continue;
    FrameView f = FinishedFrame();
    hashes.push_back(RowsHash(reinterpret_cast<const uint32_t*>(f.pixels), f.stride / 4, y0, y1));
  }
  TestUseRealClock();
  return hashes;
}
