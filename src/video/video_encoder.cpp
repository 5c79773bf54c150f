#include "video/video_encoder.h"

#include <unistd.h>

#include <QImage>
#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include "platform/ascii_text.h"
#include "platform/gdi/qt_image.h"

namespace lumen::video {
namespace {

std::string AvError(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

// FFmpeg writes through the caller's descriptor, never by the file's name: whatever the
// name comes to point at, only the file the caller made is written.
int WriteToFd(void* fd, uint8_t* bytes, int size) {
  for (int done = 0; done < size;) {
    const ssize_t n = ::write(*static_cast<int*>(fd), bytes + done, static_cast<size_t>(size - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return AVERROR(n < 0 ? errno : EIO);
    done += static_cast<int>(n);
  }
  return size;
}

int64_t SeekFd(void* fd, int64_t offset, int whence) {
  if (whence == AVSEEK_SIZE) {
    struct stat st {};
    return ::fstat(*static_cast<int*>(fd), &st) == 0 ? st.st_size : AVERROR(errno);
  }
  const off_t at = ::lseek(*static_cast<int*>(fd), offset, whence & ~AVSEEK_FORCE);
  return at < 0 ? AVERROR(errno) : at;
}

}  // namespace

std::optional<Container> ContainerFor(const std::string& path) {
  // A name that is only the extension names no file.
  auto endsWith = [&](std::string_view end) { return path.size() > end.size() && platform::EndsWithNoCase(path, end); };
  if (endsWith(".mp4")) return Container::Mp4;
  if (endsWith(".mkv")) return Container::Matroska;
  if (endsWith(".webm")) return Container::WebM;
  return std::nullopt;
}

int MaxQuality(Container container) { return container == Container::WebM ? 63 : 51; }

// Everything FFmpeg hands out, freed in one place.
struct VideoEncoder::Codec {
  AVFormatContext* file = nullptr;
  AVCodecContext* encoder = nullptr;
  AVStream* stream = nullptr;
  AVFrame* frame = nullptr;  // the last image, converted
  AVPacket* packet = nullptr;
  SwsContext* scaler = nullptr;
  QImage opaque;             // the window image with its key black, as BGRA bytes
  // The audio, when there is any: resampled into the encoder's format, then cut into
  // frames of the encoder's size.
  AVCodecContext* audioEncoder = nullptr;
  AVStream* audioStream = nullptr;
  SwrContext* resampler = nullptr;
  AVAudioFifo* fifo = nullptr;
  AVFrame* audioFrame = nullptr;
  int64_t audioNext = 0;  // in samples of the encoder's rate
  bool headerWritten = false;
  bool failed = false;

  int fd = -1;  // the caller's: not closed here

  // Ends FFmpeg's writing to the descriptor; false when what it still held could not go.
  bool CloseOutput() {
    if (file == nullptr || file->pb == nullptr) return true;
    avio_flush(file->pb);
    const bool ok = file->pb->error == 0;
    av_freep(&file->pb->buffer);
    avio_context_free(&file->pb);
    return ok;
  }

  ~Codec() {
    CloseOutput();
    avformat_free_context(file);
    avcodec_free_context(&encoder);
    av_frame_free(&frame);
    av_packet_free(&packet);
    sws_freeContext(scaler);
    avcodec_free_context(&audioEncoder);
    swr_free(&resampler);
    if (fifo != nullptr) av_audio_fifo_free(fifo);
    av_frame_free(&audioFrame);
  }
};

VideoEncoder::VideoEncoder(std::unique_ptr<Codec> codec) : codec_(std::move(codec)) {}
VideoEncoder::~VideoEncoder() = default;

namespace {

// The picture stream: H.264 or VP9 at constant quality, 4:2:0.
Result<void> OpenVideoStream(VideoEncoder::Codec& c, const VideoFormat& format, bool vp9) {
  const AVCodec* codec = avcodec_find_encoder_by_name(vp9 ? "libvpx-vp9" : "libx264");
  if (codec == nullptr) return Fail(std::string("FFmpeg has no ") + (vp9 ? "VP9" : "H.264") + " encoder");
  c.encoder = avcodec_alloc_context3(codec);
  c.encoder->width = format.width;
  c.encoder->height = format.height;
  c.encoder->pix_fmt = AV_PIX_FMT_YUV420P;
  c.encoder->time_base = AVRational{1, format.fps};
  c.encoder->framerate = AVRational{format.fps, 1};
  c.encoder->gop_size = format.fps * 2;  // a key frame every two seconds: players seek well
  c.encoder->thread_count = 0;           // as many as there are cores
  if (c.file->oformat->flags & AVFMT_GLOBALHEADER) c.encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  const int quality = format.quality >= 0 ? format.quality : (vp9 ? 32 : 23);
  av_opt_set_int(c.encoder->priv_data, "crf", quality, 0);
  if (vp9) {
    // Constant quality needs a zero bit rate; realtime speed keeps it faster than playback.
    c.encoder->bit_rate = 0;
    av_opt_set(c.encoder->priv_data, "deadline", "realtime", 0);
    av_opt_set_int(c.encoder->priv_data, "cpu-used", 8, 0);
    av_opt_set_int(c.encoder->priv_data, "row-mt", 1, 0);
  } else {
    av_opt_set(c.encoder->priv_data, "preset", "veryfast", 0);
    if (int64_t{format.width} * format.height > 3840 * 2160) {
      // Above 4K each frame x264 holds ahead (lookahead, B-frames, one per thread) costs
      // hundreds of megabytes: at 8192 x 8192 they took 4.7 GB. Without them the encoder
      // holds a few frames, whatever the size.
      av_opt_set(c.encoder->priv_data, "x264-params", "rc-lookahead=0:bframes=0:sync-lookahead=0", 0);
      c.encoder->thread_count = 2;
    }
  }
  if (int rc = avcodec_open2(c.encoder, codec, nullptr); rc < 0)
    return Fail("cannot start the encoder: " + AvError(rc));
  c.stream = avformat_new_stream(c.file, nullptr);
  c.stream->time_base = c.encoder->time_base;
  c.stream->avg_frame_rate = c.encoder->framerate;
  avcodec_parameters_from_context(c.stream->codecpar, c.encoder);
  c.frame = av_frame_alloc();
  c.packet = av_packet_alloc();
  if (c.frame == nullptr || c.packet == nullptr) return Fail("out of memory");
  c.frame->format = AV_PIX_FMT_YUV420P;
  c.frame->width = format.width;
  c.frame->height = format.height;
  if (av_frame_get_buffer(c.frame, 0) < 0) return Fail("out of memory");
  return {};
}

// The music's stream: AAC at 44.1 kHz, or Opus at 48 kHz in WebM, fed through a resampler
// and a queue that cuts it into the encoder's frames.
Result<void> OpenAudioStream(VideoEncoder::Codec& c, bool vp9) {
  const AVCodec* audio = avcodec_find_encoder_by_name(vp9 ? "libopus" : "aac");
  if (audio == nullptr) return Fail(std::string("FFmpeg has no ") + (vp9 ? "Opus" : "AAC") + " encoder");
  AVCodecContext* a = c.audioEncoder = avcodec_alloc_context3(audio);
  a->sample_rate = vp9 ? 48000 : 44100;  // Opus knows 48 kHz only
  a->sample_fmt = audio->sample_fmts ? audio->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
  a->ch_layout = AV_CHANNEL_LAYOUT_STEREO;
  a->bit_rate = vp9 ? 128000 : 192000;
  a->time_base = AVRational{1, a->sample_rate};
  if (c.file->oformat->flags & AVFMT_GLOBALHEADER) a->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (int rc = avcodec_open2(a, audio, nullptr); rc < 0) return Fail("cannot start the audio encoder: " + AvError(rc));
  c.audioStream = avformat_new_stream(c.file, nullptr);
  c.audioStream->time_base = a->time_base;
  avcodec_parameters_from_context(c.audioStream->codecpar, a);
  AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
  if (swr_alloc_set_opts2(&c.resampler, &a->ch_layout, a->sample_fmt, a->sample_rate, &stereo, AV_SAMPLE_FMT_S16, 44100,
                          0, nullptr) < 0 ||
      swr_init(c.resampler) < 0) {
    return Fail("cannot set up the audio resampler");
  }
  c.fifo = av_audio_fifo_alloc(a->sample_fmt, 2, a->frame_size > 0 ? a->frame_size : 1024);
  c.audioFrame = av_frame_alloc();
  if (c.fifo == nullptr || c.audioFrame == nullptr) return Fail("out of memory");
  return {};
}

// FFmpeg's writing to the caller's descriptor, and the container's header.
Result<void> StartFile(VideoEncoder::Codec& c, const std::string& path, Container container) {
  constexpr int kBufferBytes = 64 * 1024;
  auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferBytes));
  c.file->pb =
      buffer != nullptr ? avio_alloc_context(buffer, kBufferBytes, 1, &c.fd, nullptr, WriteToFd, SeekFd) : nullptr;
  if (c.file->pb == nullptr) {
    av_free(buffer);
    return Fail("out of memory");
  }
  AVDictionary* options = nullptr;
  // The index at the front, so that phones and browsers start playing before the end.
  if (container == Container::Mp4) av_dict_set(&options, "movflags", "+faststart", 0);
  const int rc = avformat_write_header(c.file, &options);
  av_dict_free(&options);
  if (rc < 0) return Fail("cannot write '" + path + "': " + AvError(rc));
  c.headerWritten = true;
  return {};
}

}  // namespace

Result<std::unique_ptr<VideoEncoder>> VideoEncoder::Open(const std::string& path, int fd, const VideoFormat& format) {
  av_log_set_level(AV_LOG_ERROR);  // the encoders' statistics are no news for the user
  auto c = std::make_unique<Codec>();
  c->fd = fd;
  const bool vp9 = format.container == Container::WebM;
  const char* muxer = format.container == Container::Mp4 ? "mp4" : vp9 ? "webm" : "matroska";
  if (avformat_alloc_output_context2(&c->file, nullptr, muxer, path.c_str()) < 0 || c->file == nullptr) {
    return Fail(std::string("cannot set up a ") + muxer + " file");
  }
  if (auto video = OpenVideoStream(*c, format, vp9); !video) return video.failure();
  if (format.audio) {
    if (auto audio = OpenAudioStream(*c, vp9); !audio) return audio.failure();
  }
  if (auto started = StartFile(*c, path, format.container); !started) return started.failure();
  return std::unique_ptr<VideoEncoder>(new VideoEncoder(std::move(c)));
}

bool VideoEncoder::Add(const platform::gdi::Surface& image, std::optional<platform::gdi::COLORREF> key,
                       int64_t frames) {
  Codec& c = *codec_;
  if (c.opaque.width() != image.Width() || c.opaque.height() != image.Height()) {
    c.opaque = QImage(image.Width(), image.Height(), QImage::Format_ARGB32_Premultiplied);
  }
  // See-through pixels are 0 in a premultiplied image: black once alpha is dropped.
  platform::gdi::PutKeyed(image, key, c.opaque);
  c.scaler = sws_getCachedContext(c.scaler, image.Width(), image.Height(), AV_PIX_FMT_BGRA, c.frame->width,
                                  c.frame->height, AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr);
  // The encoder may still hold the frame from before: write into a buffer of its own.
  if (c.scaler == nullptr || av_frame_make_writable(c.frame) < 0) return !(c.failed = true);
  const uint8_t* source[1] = {c.opaque.constBits()};
  const int stride[1] = {static_cast<int>(c.opaque.bytesPerLine())};
  sws_scale(c.scaler, source, stride, 0, image.Height(), c.frame->data, c.frame->linesize);
  haveImage_ = true;
  return Repeat(frames);
}

bool VideoEncoder::Repeat(int64_t frames) {
  for (int64_t i = 0; i < frames && haveImage_ && !codec_->failed; ++i) {
    codec_->frame->pts = next_++;
    if (!Send(false)) codec_->failed = true;
  }
  return !codec_->failed;
}

bool VideoEncoder::Send(bool flush) {
  Codec& c = *codec_;
  if (avcodec_send_frame(c.encoder, flush ? nullptr : c.frame) < 0) return false;
  return Drain(c.encoder, c.stream);
}

// The packets the encoder has ready, into the file in time order with the other stream's.
bool VideoEncoder::Drain(AVCodecContext* encoder, AVStream* stream) {
  Codec& c = *codec_;
  for (;;) {
    const int rc = avcodec_receive_packet(encoder, c.packet);
    if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return true;
    if (rc < 0) return false;
    av_packet_rescale_ts(c.packet, encoder->time_base, stream->time_base);
    c.packet->stream_index = stream->index;
    if (av_interleaved_write_frame(c.file, c.packet) < 0) return false;
  }
}

bool VideoEncoder::AddAudio(const int16_t* stereo, size_t frames) {
  Codec& c = *codec_;
  if (c.audioEncoder == nullptr || c.failed) return !c.failed;
  const int out = swr_get_out_samples(c.resampler, static_cast<int>(frames));
  uint8_t** planes = nullptr;
  if (av_samples_alloc_array_and_samples(&planes, nullptr, 2, std::max(out, 1), c.audioEncoder->sample_fmt, 0) < 0) {
    return !(c.failed = true);
  }
  const auto* input = reinterpret_cast<const uint8_t*>(stereo);
  const int converted = swr_convert(c.resampler, planes, out, &input, static_cast<int>(frames));
  if (converted > 0) av_audio_fifo_write(c.fifo, reinterpret_cast<void**>(planes), converted);
  av_freep(&planes[0]);
  av_freep(&planes);
  if (converted < 0 || !SendAudio(false)) c.failed = true;
  return !c.failed;
}

// Whole encoder frames from the queue; with flush, the rest as a shorter last frame, and
// then the encoder's own tail.
bool VideoEncoder::SendAudio(bool flush) {
  Codec& c = *codec_;
  const int size = c.audioEncoder->frame_size > 0 ? c.audioEncoder->frame_size : 1024;
  while (av_audio_fifo_size(c.fifo) >= size || (flush && av_audio_fifo_size(c.fifo) > 0)) {
    const int take = std::min(size, av_audio_fifo_size(c.fifo));
    av_frame_unref(c.audioFrame);
    c.audioFrame->nb_samples = take;
    c.audioFrame->format = c.audioEncoder->sample_fmt;
    av_channel_layout_copy(&c.audioFrame->ch_layout, &c.audioEncoder->ch_layout);
    c.audioFrame->sample_rate = c.audioEncoder->sample_rate;
    if (av_frame_get_buffer(c.audioFrame, 0) < 0) return false;
    av_audio_fifo_read(c.fifo, reinterpret_cast<void**>(c.audioFrame->data), take);
    c.audioFrame->pts = c.audioNext;
    c.audioNext += take;
    if (avcodec_send_frame(c.audioEncoder, c.audioFrame) < 0) return false;
    if (!Drain(c.audioEncoder, c.audioStream)) return false;
  }
  if (flush) {
    if (avcodec_send_frame(c.audioEncoder, nullptr) < 0) return false;
    return Drain(c.audioEncoder, c.audioStream);
  }
  return true;
}

bool VideoEncoder::Finish() {
  Codec& c = *codec_;
  bool ok = !c.failed && Send(true);
  if (c.audioEncoder != nullptr) {
    // The queue, then the encoder's tail.
    ok = ok && SendAudio(true);
  }
  ok = av_write_trailer(c.file) == 0 && ok;
  ok = c.CloseOutput() && ok;
  return ok;
}

}  // namespace lumen::video
