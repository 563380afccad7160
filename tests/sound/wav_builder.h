#pragma once
// Builds WAV files byte by byte for the player's tests.
#include <cstdint>
#include <string>
#include <vector>

namespace corvanto::test {

inline void PutWord(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(char((v >> (8 * i)) & 0xFF));
}
inline void PutHalf(std::string& out, std::uint16_t v) {
  out.push_back(char(v & 0xFF));
  out.push_back(char(v >> 8));
}

// A fmt chunk body in the WAVEFORMATEX layout (16 bytes, no cbSize) for plain PCM.
inline std::string PcmFormat(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                             std::uint16_t tag = 1) {
  std::string f;
  const std::uint16_t align = std::uint16_t(channels * bits / 8);
  PutHalf(f, tag);
  PutHalf(f, channels);
  PutWord(f, rate);
  PutWord(f, rate * align);
  PutHalf(f, align);
  PutHalf(f, bits);
  return f;
}

// A chunk: four-byte tag, size, body.
inline std::string Chunk(const std::string& tag, const std::string& body) {
  std::string c = tag;
  PutWord(c, std::uint32_t(body.size()));
  return c + body;
}

// RIFF/WAVE with the given fmt body, the chunks in between, and the data; `declaredDataSize` overrides the data
// chunk's size field.
inline std::string MakeWav(const std::string& format, const std::string& between, const std::string& data,
                           std::int64_t declaredDataSize = -1) {
  std::string body = "WAVE" + Chunk("fmt ", format) + between + "data";
  PutWord(body, declaredDataSize < 0 ? std::uint32_t(data.size()) : std::uint32_t(declaredDataSize));
  body += data;
  std::string riff = "RIFF";
  PutWord(riff, std::uint32_t(body.size()));
  return riff + body;
}

inline std::string Samples16(const std::vector<std::int16_t>& samples) {
  std::string out;
  for (auto s : samples) PutHalf(out, std::uint16_t(s));
  return out;
}

inline std::vector<std::int16_t> ToSamples16(const std::string& bytes) {
  std::vector<std::int16_t> out(bytes.size() / 2);
  for (std::size_t i = 0; i < out.size(); ++i) {
    out[i] = std::int16_t(std::uint8_t(bytes[2 * i]) | std::uint8_t(bytes[2 * i + 1]) << 8);
  }
  return out;
}

}  // namespace corvanto::test
