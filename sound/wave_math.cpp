#include "sound/wave_math.h"

#include <algorithm>
#include <cstring>

namespace corvanto {

namespace {

constexpr std::size_t kWaveFormatExBytes = 18;

bool ReadExactly(ByteSource& source, void* buffer, std::size_t count) {
  auto* out = static_cast<std::uint8_t*>(buffer);
  std::size_t done = 0;
  while (done < count) {
    const std::size_t got = source.Read(out + done, count - done);
    if (got == 0) return false;
    done += got;
  }
  return true;
}

bool ReadWord(ByteSource& source, std::uint32_t& value) {
  std::uint8_t b[4];
  if (!ReadExactly(source, b, 4)) return false;
  value = std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
  return true;
}

}  // namespace

std::optional<WaveHeader> ParseWaveHeader(ByteSource& source) {
  // RIFF tag, RIFF size, WAVE tag and fmt tag are passed over unchecked.
  std::uint32_t word = 0;
  for (int i = 0; i < 4; ++i) {
    if (!ReadWord(source, word)) return std::nullopt;
  }
  std::uint32_t formatBytes = 0;
  if (!ReadWord(source, formatBytes) || formatBytes > kMaxFormatBytes) return std::nullopt;

  WaveHeader header;
  header.format.assign(std::max<std::size_t>(formatBytes, kWaveFormatExBytes), 0);
  if (!ReadExactly(source, header.format.data(), formatBytes)) return std::nullopt;
  // ACM reads cbSize extra bytes after the record: never let it reach past what the chunk held.
  if (formatBytes >= kWaveFormatExBytes) {
    const std::uint16_t declared = std::uint16_t(header.format[16] | header.format[17] << 8);
    const std::uint16_t held = std::uint16_t(std::min<std::uint32_t>(formatBytes - kWaveFormatExBytes, 0xFFFF));
    const std::uint16_t extra = std::min(declared, held);
    header.format[16] = std::uint8_t(extra & 0xFF);
    header.format[17] = std::uint8_t(extra >> 8);
  }

  std::int64_t offset = std::int64_t(formatBytes) + 20;
  for (;;) {
    std::uint8_t tag[4];
    if (!ReadExactly(source, tag, 4)) return std::nullopt;
    offset += 4;
    if (std::memcmp(tag, "data", 4) == 0) break;
    if (offset > INT32_MAX) return std::nullopt;
  }
  std::uint32_t dataSize = 0;
  if (!ReadWord(source, dataSize)) return std::nullopt;
  offset += 4;
  if (offset > INT32_MAX) return std::nullopt;
  header.dataOffset = std::int32_t(offset);
  header.dataSize = std::int32_t(dataSize);  // sizes of 2 GiB and more read as negative: nothing to play
  return header;
}

std::int32_t SourceReadCount(std::int32_t dataRead, std::int32_t dataSize) {
  if (std::int64_t(dataRead) + kSourceBlockBytes <= dataSize) return kSourceBlockBytes;
  const std::int64_t rest = std::int64_t(dataSize) - dataRead - 4;
  return rest > 0 ? std::int32_t(rest) : 0;
}

std::int16_t ScaleSample(std::int16_t sample, std::int32_t volume) {
  // Unsigned multiply keeps an out-of-range volume defined; the narrowing wraps like the 16-bit store it models.
  const std::int32_t product = std::int32_t(std::uint32_t(std::int32_t(sample)) * std::uint32_t(volume));
  return static_cast<std::int16_t>(product / 100);
}

std::int32_t FadeStep(std::uint32_t fadeTime, std::uint32_t fadeFrom, std::uint32_t fadeTo) {
  const std::int64_t span = fadeFrom > fadeTo ? std::int64_t(fadeFrom) - fadeTo : std::int64_t(fadeTo) - fadeFrom;
  if (span == 0) return 0;
  const std::int64_t step = std::int64_t(fadeTime) * 44 / span;
  return std::int32_t(std::min<std::int64_t>(step, INT32_MAX));
}

void ApplyVolumeAndFade(std::int16_t* samples, std::size_t count, FadeState& state, std::int32_t step) {
  std::size_t s = 0;
  while (s < count) {
    samples[s] = ScaleSample(samples[s], state.volume);
    ++s;
    if (s < count) {  // an odd tail sample is scaled alone, never one past the block
      samples[s] = ScaleSample(samples[s], state.volume);
      ++s;
    }
    if (state.fading != 1) continue;
    if (s % 882 == 0) {
      state.fadeLeft -= 10;
      if (state.fadeLeft <= 0) {
        state.volume = std::int32_t(state.fadeTo);
        state.fading = 0;
      }
    }
    if (step > 0 && s % std::size_t(step) == 0 && state.volume != std::int32_t(state.fadeTo)) {
      state.volume += state.fadeFrom > state.fadeTo ? -1 : 1;
    }
  }
}

}  // namespace corvanto
