#pragma once
// The arithmetic of the alert player, kept free of devices so that it can be checked on its own: the walk over a
// WAV header, the size of each source read, and the volume and fade applied to the converted samples.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace corvanto {

// Source bytes converted per pass (about 1.5 s of 44100 Hz 16-bit stereo).
inline constexpr std::int32_t kSourceBlockBytes = 262144;
// A fmt chunk larger than this is not a sound we can trust.
inline constexpr std::uint32_t kMaxFormatBytes = 65536;

// Sequential reads from the start of a file; Read returns how many bytes it delivered (0 at the end or on error).
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
};

struct WaveHeader {
  // The whole fmt chunk in the WAVEFORMATEX layout, zero-padded to at least that layout's 18 bytes.
  std::vector<std::uint8_t> format;
  std::int32_t dataOffset = 0;  // file offset of the first data byte
  std::int32_t dataSize = 0;    // data size as the file declares it
};

// Reads the RIFF/WAVE header: the fmt chunk right after the 12-byte RIFF header, then the "data" tag looked for
// on the 4-byte grid that starts after the fmt chunk. Nothing when the fmt chunk is larger than kMaxFormatBytes,
// when the file ends before the data size, or when the data would start beyond a signed 32-bit offset.
std::optional<WaveHeader> ParseWaveHeader(ByteSource& source);

// How many source bytes the next pass reads: a full block while one fits in the declared data, else what is
// left less its last 4 bytes. 0 means the end of the data (also when fewer than 4 bytes are left).
std::int32_t SourceReadCount(std::int32_t dataRead, std::int32_t dataSize);

// sample × volume / 100 in 32 bits, truncated toward zero, stored back in 16 bits without clipping.
std::int16_t ScaleSample(std::int16_t sample, std::int32_t volume);

struct FadeState {
  std::int32_t volume = 100;
  std::int32_t fading = 0;
  std::uint32_t fadeFrom = 0;
  std::uint32_t fadeTo = 0;
  std::uint32_t fadeTime = 1000;
  std::int32_t fadeLeft = 0;
};

// Samples between two one-percent moves of a fade: fadeTime × 44 / |from − to|. 0 when it is undefined or less
// than one sample (from equal to to, or a very short time): the fade then only ends by its 10-ms count.
std::int32_t FadeStep(std::uint32_t fadeTime, std::uint32_t fadeFrom, std::uint32_t fadeTo);

// Scales `count` interleaved stereo samples in place, one frame at a time, and runs the fade over them with a
// sample counter from 0: every 882 samples (10 ms) the time left falls by 10 and at 0 the fade ends at its
// target; every `step` samples the volume moves one percent toward the target.
void ApplyVolumeAndFade(std::int16_t* samples, std::size_t count, FadeState& state, std::int32_t step);

}  // namespace corvanto
