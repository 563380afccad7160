// The player's arithmetic without a device: header walk, read sizes, volume and fade.
#include "sound/wave_math.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/sound/wav_builder.h"

namespace corvanto {
namespace {

using test::Chunk;
using test::MakeWav;
using test::PcmFormat;
using test::PutHalf;
using test::PutWord;

class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::string bytes) : bytes_(std::move(bytes)) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    const std::size_t n = std::min(count, bytes_.size() - pos_);
    std::memcpy(buffer, bytes_.data() + pos_, n);
    pos_ += n;
    return n;
  }

 private:
  std::string bytes_;
  std::size_t pos_ = 0;
};

std::optional<WaveHeader> Parse(const std::string& bytes) {
  MemorySource source(bytes);
  return ParseWaveHeader(source);
}

// ---- Header walk ----

struct HeaderCase {
  const char* name;
  std::string file;
  bool found;
  std::int32_t dataOffset;
  std::int32_t dataSize;
};

std::string FmtWithExtra(std::uint16_t cbSize, std::size_t extraBytes) {
  std::string f = PcmFormat(2, 44100, 16, 0x0002);
  PutHalf(f, cbSize);
  f.append(extraBytes, '\x7');
  return f;
}

std::string RawHeader(std::uint32_t fmtSize) {
  std::string h = "RIFF";
  PutWord(h, 100);
  h += "WAVEfmt ";
  PutWord(h, fmtSize);
  return h;
}

TEST(WaveHeader, FindsTheDataChunkOnlyOnTheFourByteGrid) {
  const std::string pcm = PcmFormat(2, 44100, 16);
  const std::string data(8, '\x1');
  std::string noTag = RawHeader(16) + pcm + std::string(64, 'x');
  std::string tagNoSize = RawHeader(16) + pcm + "data" + "\x01\x02";
  const HeaderCase cases[] = {
      {"plain", MakeWav(pcm, "", data), true, 44, 8},
      {"list26", MakeWav(pcm, Chunk("LIST", std::string(26, 'a')), data), false, 0, 0},
      {"list28", MakeWav(pcm, Chunk("LIST", std::string(28, 'a')), data), true, 44 + 36, 8},
      {"two chunks", MakeWav(pcm, Chunk("fact", std::string(4, 'a')) + Chunk("LIST", std::string(12, 'b')), data),
       true, 44 + 12 + 20, 8},
      {"fmt18", MakeWav(FmtWithExtra(0, 0), "", data), true, 46, 8},
      {"fmt with extra bytes", MakeWav(FmtWithExtra(32, 32), "", data), true, 44 + 34, 8},
      {"zero data", MakeWav(pcm, "", ""), true, 44, 0},
      {"data larger than file", MakeWav(pcm, "", data, 1000000), true, 44, 1000000},
      {"data size 2 GiB or more", MakeWav(pcm, "", data, 0xFFFFFFFFu), true, 44, -1},
      {"empty file", "", false, 0, 0},
      {"ends in RIFF header", std::string("RIFF\x10\0\0\0WAV", 11), false, 0, 0},
      {"ends in fmt", RawHeader(16) + pcm.substr(0, 10), false, 0, 0},
      {"no data tag", noTag, false, 0, 0},
      {"data tag without size", tagNoSize, false, 0, 0},
      {"fmt of 64 KiB + 1", RawHeader(65537) + std::string(65537 + 16, '\0') + "data" + std::string(4, '\0'), false,
       0, 0},
      {"fmt of 2 GiB", RawHeader(0x7FFFFFFF) + pcm + "data" + std::string(4, '\0'), false, 0, 0},
      {"fmt of 4 GiB - 1", RawHeader(0xFFFFFFFF) + pcm + "data" + std::string(4, '\0'), false, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto header = Parse(c.file);
    ASSERT_EQ(header.has_value(), c.found);
    if (!header) continue;
    EXPECT_EQ(header->dataOffset, c.dataOffset);
    EXPECT_EQ(header->dataSize, c.dataSize);
  }
}

TEST(WaveHeader, HoldsTheWholeFmtChunk) {
  // 16 bytes: padded with a zero cbSize to the WAVEFORMATEX layout.
  const std::string pcm = PcmFormat(1, 22050, 8);
  auto header = Parse(MakeWav(pcm, "", "abcd"));
  ASSERT_TRUE(header);
  ASSERT_EQ(header->format.size(), 18u);
  EXPECT_EQ(std::string(header->format.begin(), header->format.begin() + 16), pcm);
  EXPECT_EQ(header->format[16], 0);
  EXPECT_EQ(header->format[17], 0);

  // Longer than WAVEFORMATEX: every byte kept.
  const std::string extra = FmtWithExtra(32, 32);
  header = Parse(MakeWav(extra, "", "abcd"));
  ASSERT_TRUE(header);
  EXPECT_EQ(std::string(header->format.begin(), header->format.end()), extra);

  // Exactly the 64 KiB limit is still accepted.
  std::string big = FmtWithExtra(0xFFFF, 65536 - 18);
  header = Parse(MakeWav(big, "", "abcd"));
  ASSERT_TRUE(header);
  EXPECT_EQ(header->format.size(), 65536u);
  EXPECT_EQ(header->dataOffset, 65536 + 28);

  // Shorter than 16: the fields the chunk does not cover are zero.
  header = Parse(MakeWav(pcm.substr(0, 4), "", "abcd"));
  ASSERT_TRUE(header);
  EXPECT_EQ(header->format.size(), 18u);
  EXPECT_EQ(std::string(header->format.begin(), header->format.begin() + 4), pcm.substr(0, 4));
  for (std::size_t i = 4; i < 18; ++i) EXPECT_EQ(header->format[i], 0) << i;
}

TEST(WaveHeader, ExtraSizeNeverReachesPastTheChunk) {
  struct Case {
    std::uint16_t declared;
    std::size_t held;
    std::uint16_t kept;
  };
  const Case cases[] = {{0, 0, 0}, {100, 0, 0}, {2, 2, 2}, {2, 10, 2}, {0xFFFF, 10, 10}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.declared);
    const auto header = Parse(MakeWav(FmtWithExtra(c.declared, c.held), "", "abcd"));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->format[16] | header->format[17] << 8, c.kept);
  }
}

// ---- Read sizes ----

TEST(SourceReadCount, FullBlocksThenTheRestLessFourBytes) {
  struct Case {
    std::int32_t dataRead, dataSize, expected;
  };
  const Case cases[] = {
      {0, 352800, 262144},       // 2 s of 44100 Hz 16-bit stereo: first pass
      {262144, 352800, 90652},   // second pass: the rest less 4 bytes
      {352796, 352800, 0},       // third pass: the end
      {0, 262144, 262144},       // a whole multiple of the block...
      {262144, 262144, 0},       // ...leaves nothing, not a negative count
      {0, 0, 0},                 // zero-length data
      {0, 3, 0},                 // fewer than 4 bytes
      {0, 4, 0},
      {0, 5, 1},
      {0, -1, 0},                // a size of 2 GiB or more
      {INT32_MAX - 100, INT32_MAX, 96},  // no overflow near the top
      {INT32_MAX - 262144, INT32_MAX, 262144},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SourceReadCount(c.dataRead, c.dataSize), c.expected) << c.dataRead << " of " << c.dataSize;
  }
}

// ---- Volume ----

TEST(ScaleSample, TruncatesTowardZeroWithoutClipping) {
  struct Case {
    std::int16_t sample;
    std::int32_t volume;
    std::int16_t expected;
  };
  const Case cases[] = {
      {-3, 50, -1},  {3, 50, 1},         {-3, 0, 0},          {32767, 0, 0},        {1, 99, 0},
      {-1, 99, 0},   {32767, 100, 32767}, {-32768, 100, -32768}, {-32768, 50, -16384}, {12345, 37, 4567},
      {-12345, 37, -4567},
      {20000, 200, -25536},  // 40000 does not fit: wraps, as the 16-bit store does
      {100, -50, -50},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ScaleSample(c.sample, c.volume), c.expected) << c.sample << " at " << c.volume;
  }
}

TEST(ApplyVolumeAndFade, ScalesEverySampleAtAFixedVolume) {
  std::vector<std::int16_t> block = {-3, 3, 100, -100, 32767, -32768};
  FadeState state;
  state.volume = 50;
  ApplyVolumeAndFade(block.data(), block.size(), state, 0);
  EXPECT_EQ(block, (std::vector<std::int16_t>{-1, 1, 50, -50, 16383, -16384}));
  EXPECT_EQ(state.volume, 50);

  block = {-3, 3, 100, -100};
  state.volume = 0;
  ApplyVolumeAndFade(block.data(), block.size(), state, 0);
  EXPECT_EQ(block, (std::vector<std::int16_t>{0, 0, 0, 0}));

  // An odd count stops at the last sample: the one after it is not touched.
  block = {1000, 1000, 1000, 1000};
  state.volume = 50;
  ApplyVolumeAndFade(block.data(), 3, state, 0);
  EXPECT_EQ(block, (std::vector<std::int16_t>{500, 500, 500, 1000}));
}

// ---- Fade ----

TEST(FadeStep, IsTimeTimes44OverTheSpan) {
  struct Case {
    std::uint32_t time, from, to;
    std::int32_t step;
  };
  const Case cases[] = {
      {1000, 100, 0, 440}, {1000, 0, 100, 440}, {500, 100, 50, 440}, {2000, 80, 20, 1466},
      {10, 100, 0, 4},     {1, 100, 0, 0},      {1000, 50, 50, 0},   {0xFFFFFFFFu, 1, 0, INT32_MAX},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FadeStep(c.time, c.from, c.to), c.step) << c.time << " " << c.from << "->" << c.to;
  }
}

FadeState Fading(std::int32_t volume, std::uint32_t from, std::uint32_t to, std::uint32_t time) {
  FadeState s;
  s.volume = volume;
  s.fading = 1;
  s.fadeFrom = from;
  s.fadeTo = to;
  s.fadeTime = time;
  s.fadeLeft = std::int32_t(time);
  return s;
}

TEST(ApplyVolumeAndFade, FadeFrom100To0Over1000Ms) {
  FadeState state = Fading(100, 100, 0, 1000);
  const std::int32_t step = FadeStep(state.fadeTime, state.fadeFrom, state.fadeTo);
  ASSERT_EQ(step, 440);
  std::vector<std::int16_t> block(100000, 10000);
  ApplyVolumeAndFade(block.data(), block.size(), state, step);
  // Down one percent every 440 samples: 0 after 44000 samples (half a second).
  struct Probe {
    std::size_t sample;
    std::int16_t value;
  };
  const Probe probes[] = {{0, 10000},    {439, 10000}, {440, 9900}, {879, 9900}, {880, 9800},
                          {43999, 100},  {44000, 0},   {60000, 0},  {99999, 0}};
  for (const auto& p : probes) EXPECT_EQ(block[p.sample], p.value) << "sample " << p.sample;
  EXPECT_EQ(state.volume, 0);
  EXPECT_EQ(state.fading, 0);
  EXPECT_EQ(state.fadeLeft, 0);

  // The 10-ms count ends the fade at exactly 1000 ms: 88200 samples.
  state = Fading(100, 100, 0, 1000);
  block.assign(88198, 1);
  ApplyVolumeAndFade(block.data(), block.size(), state, step);
  EXPECT_EQ(state.fading, 1);
  EXPECT_EQ(state.fadeLeft, 10);
  state = Fading(100, 100, 0, 1000);
  block.assign(88200, 1);
  ApplyVolumeAndFade(block.data(), block.size(), state, step);
  EXPECT_EQ(state.fading, 0);
  EXPECT_EQ(state.fadeLeft, 0);
}

TEST(ApplyVolumeAndFade, FadesUpAndEndsOnTimeWhateverTheSteps) {
  struct Case {
    const char* name;
    FadeState start;
    std::size_t samples;
    std::int32_t volume;  // after the samples
    std::int32_t fading;
  };
  const Case cases[] = {
      // 0 -> 100 over 1000 ms: up one every 440 samples.
      {"up, half way", Fading(0, 0, 100, 1000), 22000, 50, 1},
      {"up, done", Fading(0, 0, 100, 1000), 88200, 100, 0},
      // Too short to step (1 ms): the volume jumps to the target when the 10-ms count runs out.
      {"short", Fading(100, 100, 0, 1), 880, 100, 1},
      {"short, ended", Fading(100, 100, 0, 1), 882, 0, 0},
      // from equal to to: no steps, the fade only ends.
      {"flat", Fading(70, 30, 30, 20), 1764, 30, 0},
      // 2000 ms from 80 to 20: step 1466, ramp stops at the target.
      {"partial", Fading(80, 80, 20, 2000), 1466 * 10, 70, 1},
      {"partial, at target", Fading(80, 80, 20, 2000), 1466 * 60 + 10, 20, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    FadeState state = c.start;
    std::vector<std::int16_t> block(c.samples, 1);
    ApplyVolumeAndFade(block.data(), block.size(), state,
                       FadeStep(state.fadeTime, state.fadeFrom, state.fadeTo));
    EXPECT_EQ(state.volume, c.volume);
    EXPECT_EQ(state.fading, c.fading);
  }
}

}  // namespace
}  // namespace corvanto
