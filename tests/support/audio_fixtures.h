// Sound made in the tests: tones written as WAV files and CD images, and the analysis of
// what SDL's disk audio driver wrote (44.1 kHz, 16-bit stereo, little-endian).
#pragma once

#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace lumen::test {

inline constexpr int kRate = 44100;

// Interleaved stereo samples of a sine tone.
inline std::vector<int16_t> Tone(double frequency, double seconds) {
  std::vector<int16_t> samples;
  auto frames = static_cast<size_t>(seconds * kRate);
  for (size_t i = 0; i < frames; ++i) {
    auto v = static_cast<int16_t>(8000 * std::sin(2 * M_PI * frequency * static_cast<double>(i) / kRate));
    samples.push_back(v);
    samples.push_back(v);
  }
  return samples;
}

inline void Append(std::vector<int16_t>& to, const std::vector<int16_t>& more) {
  to.insert(to.end(), more.begin(), more.end());
}

inline void PutLE(std::ofstream& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((value >> (8 * i)) & 0xFF));
}

inline void WriteRawLE(const std::string& path, const std::vector<int16_t>& samples) {
  std::ofstream out(path, std::ios::binary);
  for (int16_t s : samples) PutLE(out, static_cast<uint16_t>(s), 2);
}

inline void WriteWav(const std::string& path, const std::vector<int16_t>& samples) {
  std::ofstream out(path, std::ios::binary);
  auto bytes = static_cast<uint32_t>(samples.size() * 2);
  out.write("RIFF", 4);
  PutLE(out, 36 + bytes, 4);
  out.write("WAVEfmt ", 8);
  PutLE(out, 16, 4);
  PutLE(out, 1, 2);  // PCM
  PutLE(out, 2, 2);
  PutLE(out, kRate, 4);
  PutLE(out, kRate * 4, 4);
  PutLE(out, 4, 2);
  PutLE(out, 16, 2);
  out.write("data", 4);
  PutLE(out, bytes, 4);
  for (int16_t s : samples) PutLE(out, static_cast<uint16_t>(s), 2);
}

inline std::vector<int16_t> ReadRawLE(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<int16_t> samples;
  unsigned char b[2];
  while (in.read(reinterpret_cast<char*>(b), 2)) samples.push_back(static_cast<int16_t>(b[0] | (b[1] << 8)));
  return samples;
}

// The tone heard in each window of the left channel: the strongest of `frequencies`, or
// 0 for silence. Consecutive equal windows are merged: {frequency, windows} runs.
inline std::vector<std::pair<int, int>> ToneRuns(const std::vector<int16_t>& stereo, double windowSeconds,
                                                 const std::vector<int>& frequencies) {
  std::vector<std::pair<int, int>> runs;
  auto window = static_cast<size_t>(windowSeconds * kRate);
  for (size_t start = 0; (start + window) * 2 <= stereo.size(); start += window) {
    double energy = 0;
    int best = 0;
    double bestPower = 0;
    for (int f : frequencies) {
      // Goertzel: the power of one frequency in the window.
      double k = 2 * std::cos(2 * M_PI * f / kRate), s1 = 0, s2 = 0;
      for (size_t i = start; i < start + window; ++i) {
        double s0 = stereo[2 * i] + k * s1 - s2;
        s2 = s1;
        s1 = s0;
      }
      double power = s1 * s1 + s2 * s2 - k * s1 * s2;
      if (power > bestPower) bestPower = power, best = f;
    }
    for (size_t i = start; i < start + window; ++i) energy += double(stereo[2 * i]) * stereo[2 * i];
    int heard = std::sqrt(energy / static_cast<double>(window)) > 1000 ? best : 0;
    if (!runs.empty() && runs.back().first == heard) {
      ++runs.back().second;
    } else {
      runs.push_back({heard, 1});
    }
  }
  return runs;
}

// "660x10 0x3 880x2": the runs, for failure messages.
inline std::string Describe(const std::vector<std::pair<int, int>>& runs) {
  std::string text;
  for (auto [f, n] : runs) text += std::to_string(f) + "x" + std::to_string(n) + " ";
  return text;
}

}  // namespace lumen::test
