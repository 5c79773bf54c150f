#include "platform/audio/file_sound.h"

#include <algorithm>
#include <cstring>

#include "platform/whole_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

namespace lumen::platform::audio {
namespace {

// FFmpeg reads the file the program opened, never by its name: a FIFO or a device in a
// music file's place was refused before any of it was read.
int ReadSource(void* cursor, uint8_t* bytes, int size) {
  const int64_t n = static_cast<FileCursor*>(cursor)->Read(bytes, static_cast<size_t>(size));
  return n < 0 ? AVERROR(EIO) : n == 0 ? AVERROR_EOF : static_cast<int>(n);
}

int64_t SeekSource(void* cursor, int64_t offset, int whence) {
  auto* source = static_cast<FileCursor*>(cursor);
  if ((whence & ~AVSEEK_FORCE) == AVSEEK_SIZE) return static_cast<int64_t>(source->File().Size());
  const int64_t at = source->Seek(offset, whence & ~AVSEEK_FORCE);
  return at < 0 ? AVERROR(EINVAL) : at;
}

}  // namespace

struct FileSound::Decoder {
  std::unique_ptr<FileCursor> source;
  AVIOContext* io = nullptr;  // ours, over source: FFmpeg does not free it
  AVFormatContext* file = nullptr;
  AVCodecContext* codec = nullptr;
  SwrContext* resampler = nullptr;
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  int stream = -1;
  bool ended = false;

  ~Decoder() {
    avformat_close_input(&file);
    if (io != nullptr) av_freep(&io->buffer);
    avio_context_free(&io);
    avcodec_free_context(&codec);
    swr_free(&resampler);
    av_packet_free(&packet);
    av_frame_free(&frame);
  }
};

FileSound::FileSound(std::unique_ptr<Decoder> decoder, double length)
    : decoder_(std::move(decoder)), length_(length) {}
FileSound::~FileSound() = default;

std::unique_ptr<FileSound> FileSound::Open(const std::string& path) {
  auto d = std::make_unique<Decoder>();
  OpenedFile file(path, UINT64_MAX);
  if (file.Status() != FileContents::Status::Read) return nullptr;
  d->source = std::make_unique<FileCursor>(std::move(file));
  constexpr int kBufferBytes = 32 * 1024;
  auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferBytes));
  d->io = buffer != nullptr ? avio_alloc_context(buffer, kBufferBytes, 0, d->source.get(), ReadSource, nullptr, SeekSource)
                            : nullptr;
  d->file = d->io != nullptr ? avformat_alloc_context() : nullptr;
  if (d->file == nullptr) {
    if (d->io == nullptr) av_free(buffer);
    return nullptr;
  }
  d->file->pb = d->io;
  d->file->flags |= AVFMT_FLAG_CUSTOM_IO;
  // On failure avformat_open_input frees the context (not our I/O) and nulls it.
  if (avformat_open_input(&d->file, path.c_str(), nullptr, nullptr) < 0) return nullptr;
  if (avformat_find_stream_info(d->file, nullptr) < 0) return nullptr;
  const AVCodec* codec = nullptr;
  d->stream = av_find_best_stream(d->file, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
  if (d->stream < 0 || codec == nullptr) return nullptr;
  d->codec = avcodec_alloc_context3(codec);
  avcodec_parameters_to_context(d->codec, d->file->streams[d->stream]->codecpar);
  if (avcodec_open2(d->codec, codec, nullptr) < 0) return nullptr;
  AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
  if (swr_alloc_set_opts2(&d->resampler, &stereo, AV_SAMPLE_FMT_S16, kAudioRate, &d->codec->ch_layout,
                          d->codec->sample_fmt, d->codec->sample_rate, 0, nullptr) < 0 ||
      swr_init(d->resampler) < 0) {
    return nullptr;
  }
  const double length = d->file->duration != AV_NOPTS_VALUE ? d->file->duration / double(AV_TIME_BASE) : 0;
  return std::unique_ptr<FileSound>(new FileSound(std::move(d), length));
}

void FileSound::Seek(double seconds) {
  // From the start and decoded up to the place: exact, and music files are small.
  Decoder& d = *decoder_;
  av_seek_frame(d.file, d.stream, 0, AVSEEK_FLAG_BACKWARD);
  avcodec_flush_buffers(d.codec);
  swr_init(d.resampler);
  d.ended = false;
  pending_.clear();
  pendingAt_ = 0;
  skip_ = std::max<int64_t>(0, static_cast<int64_t>(seconds * kAudioRate));
}

bool FileSound::DecodeMore() {
  Decoder& d = *decoder_;
  while (!d.ended) {
    const int received = avcodec_receive_frame(d.codec, d.frame);
    if (received == 0) {
      const int out = swr_get_out_samples(d.resampler, d.frame->nb_samples);
      std::vector<int16_t> samples(static_cast<size_t>(std::max(out, 0)) * 2);
      auto* target = reinterpret_cast<uint8_t*>(samples.data());
      const int converted = swr_convert(d.resampler, &target, out, const_cast<const uint8_t**>(d.frame->extended_data),
                                        d.frame->nb_samples);
      av_frame_unref(d.frame);
      if (converted <= 0) continue;
      pending_.assign(samples.begin(), samples.begin() + converted * 2);
      pendingAt_ = 0;
      return true;
    }
    if (received != AVERROR(EAGAIN)) {
      d.ended = true;
      break;
    }
    if (av_read_frame(d.file, d.packet) < 0) {
      avcodec_send_packet(d.codec, nullptr);  // drain what the decoder holds
      continue;
    }
    if (d.packet->stream_index == d.stream) avcodec_send_packet(d.codec, d.packet);
    av_packet_unref(d.packet);
  }
  return false;
}

size_t FileSound::Read(int16_t* stereo, size_t frames) {
  size_t done = 0;
  while (done < frames) {
    if (pendingAt_ == pending_.size() && !DecodeMore()) break;
    size_t available = (pending_.size() - pendingAt_) / 2;
    if (skip_ > 0) {
      const size_t dropped = std::min<size_t>(available, static_cast<size_t>(skip_));
      pendingAt_ += dropped * 2;
      skip_ -= static_cast<int64_t>(dropped);
      continue;
    }
    const size_t take = std::min(available, frames - done);
    std::memcpy(stereo + done * 2, pending_.data() + pendingAt_, take * 4);
    pendingAt_ += take * 2;
    done += take;
  }
  return done;
}

}  // namespace lumen::platform::audio
