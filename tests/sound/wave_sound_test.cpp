// The player for real: files in a temporary folder, played through waveOut. Under Wine, CTest points HOME at a
// folder whose .asoundrc makes ALSA's default device a raw file sink (CORVANTO_SOUND_CAPTURE), so the test can
// compare what reached the "speaker" with what it expects.
#include "sound/wave_sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "app/config_node.h"
#include "base/files.h"
#include "base/text.h"
#include "sound/alert_sounds.h"
#include "tests/sound/wav_builder.h"
#include "tests/support/test_support.h"

namespace corvanto {
namespace {

using namespace std::chrono_literals;
using test::MakeWav;
using test::PcmFormat;
using test::TempDir;

constexpr auto kPlayTimeout = 120s;

// A Linux path as Wine shows it (the Linux root is Z:); other paths unchanged.
std::wstring WindowsPath(std::wstring path) {
  if (path.rfind(L"/", 0) == 0) {
    for (auto& c : path) {
      if (c == L'/') c = L'\\';
    }
    path = L"Z:" + path;
  }
  return path;
}

// The capture file, or empty outside the file-sink set-up.
std::wstring CapturePath() {
  wchar_t buffer[1024];
  const DWORD n = ::GetEnvironmentVariableW(L"CORVANTO_SOUND_CAPTURE", buffer, 1024);
  if (n == 0 || n >= 1024) return {};
  return WindowsPath(std::wstring(buffer, n));
}

#define REQUIRE_SOUND_SINK()                                                                   \
  if (CapturePath().empty()) GTEST_SKIP() << "no sound sink: run through CTest under Wine"

// Played samples without the all-silent frames that the output may add around and between blocks.
std::vector<std::int16_t> AudibleFrames(const std::string& bytes) {
  const auto all = test::ToSamples16(bytes);
  std::vector<std::int16_t> out;
  out.reserve(all.size());
  for (std::size_t i = 0; i + 1 < all.size(); i += 2) {
    if (all[i] == 0 && all[i + 1] == 0) continue;
    out.push_back(all[i]);
    out.push_back(all[i + 1]);
  }
  return out;
}

std::string Captured() {
  auto bytes = ReadWholeFile(CapturePath());
  return bytes ? *bytes : std::string();
}

// Stereo 16-bit samples with no value that a volume of 50 would turn into silence: |s| >= 2, both signs.
std::vector<std::int16_t> NoiseSamples(std::size_t frames, std::uint32_t seed) {
  std::vector<std::int16_t> samples(frames * 2);
  std::uint32_t x = seed;
  for (auto& s : samples) {
    x = x * 1664525u + 1013904223u;
    const std::int32_t magnitude = 2 + std::int32_t((x >> 8) % 30000);
    s = std::int16_t((x >> 31) ? -magnitude : magnitude);
  }
  return samples;
}

std::vector<std::int16_t> Scaled(const std::vector<std::int16_t>& samples, std::int32_t volume) {
  std::vector<std::int16_t> out;
  out.reserve(samples.size());
  for (auto s : samples) out.push_back(std::int16_t(std::int32_t(s) * volume / 100));
  return out;
}

// The samples of the data chunk that play: all but the last 4 bytes (one frame).
std::vector<std::int16_t> Played(const std::vector<std::int16_t>& samples) {
  return std::vector<std::int16_t>(samples.begin(), samples.end() - 2);
}

std::string PcmStereoWav(const std::vector<std::int16_t>& samples) {
  return MakeWav(PcmFormat(2, 44100, 16), "", test::Samples16(samples));
}

bool WaitUntilQuiet(const WaveSound& player) {
  return test::WaitUntil([&] { return !player.IsBusy(); }, kPlayTimeout);
}

// Compares long sample runs without printing millions of values.
void ExpectSamples(const std::vector<std::int16_t>& actual, const std::vector<std::int16_t>& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < actual.size(); ++i) {
    if (actual[i] != expected[i]) {
      FAIL() << "first difference at sample " << i << ": " << actual[i] << " instead of " << expected[i];
    }
  }
}

std::vector<std::int16_t> Repeat(const std::vector<std::int16_t>& one, int times) {
  std::vector<std::int16_t> out;
  for (int i = 0; i < times; ++i) out.insert(out.end(), one.begin(), one.end());
  return out;
}

TEST(WaveSound, PlaysPcmAtHalfVolumeLessTheLastFourBytes) {
  REQUIRE_SOUND_SINK();
  TempDir dir;
  // 2 s: one full block, then the rest less 4 bytes, then the end.
  const auto samples = NoiseSamples(88200, 1);
  const std::wstring path = dir / L"two-seconds.wav";
  test::WriteBytes(path, PcmStereoWav(samples));

  WaveSound player;
  ASSERT_TRUE(player.Load(path, 0));
  EXPECT_TRUE(player.IsLoaded());
  EXPECT_EQ(player.State(), 1);
  // Loaded: others may read the file, nobody may delete it.
  {
    HANDLE reader = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    if (reader != INVALID_HANDLE_VALUE) ::CloseHandle(reader);
    EXPECT_FALSE(::DeleteFileW(path.c_str()));
  }
  player.SetVolume(50);
  player.Play();
  ASSERT_TRUE(WaitUntilQuiet(player));
  EXPECT_EQ(player.State(), 1);  // idle again, ready to play from the beginning
  EXPECT_TRUE(player.Release());
  EXPECT_FALSE(player.IsLoaded());
  EXPECT_TRUE(::DeleteFileW(path.c_str()));

  ExpectSamples(AudibleFrames(Captured()), Scaled(Played(samples), 50));
}

TEST(WaveSound, EachPlayToTheEndGivesItsBlocksBack) {
  REQUIRE_SOUND_SINK();
  TempDir dir;
  const auto samples = NoiseSamples(4410, 2);
  const std::wstring path = dir / L"short.wav";
  test::WriteBytes(path, PcmStereoWav(samples));

  WaveSound player;
  ASSERT_TRUE(player.Load(path, 0));
  // More plays than blocks: the empty block that ends each play must bring its count back.
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    player.Play();
    ASSERT_TRUE(WaitUntilQuiet(player));
  }
  player.Release();
  ExpectSamples(AudibleFrames(Captured()), Repeat(Played(samples), 6));
}

TEST(WaveSound, SecondPlayWhilePlayingDoesNotRestart) {
  REQUIRE_SOUND_SINK();
  TempDir dir;
  // Long enough to be still playing a second later, even on a sink that runs faster than real time.
  const auto samples = NoiseSamples(44100 * 20, 3);
  const std::wstring path = dir / L"long.wav";
  test::WriteBytes(path, PcmStereoWav(samples));

  WaveSound player;
  ASSERT_TRUE(player.Load(path, 0));
  player.Play();
  ::Sleep(1000);
  ASSERT_EQ(player.State(), 0) << "the sound should still be playing";
  player.Play();
  ASSERT_TRUE(WaitUntilQuiet(player));
  player.Release();
  ExpectSamples(AudibleFrames(Captured()), Played(samples));
}

TEST(WaveSound, Converts8BitMono22050ThroughAcm) {
  REQUIRE_SOUND_SINK();
  TempDir dir;
  // 1 s of a 441 Hz triangle wave around the 8-bit midpoint 128.
  std::string data;
  for (int i = 0; i < 22050; ++i) {
    const int phase = i % 50;
    const int value = phase < 25 ? 28 + phase * 8 : 28 + (50 - phase) * 8;
    data.push_back(char(value));
  }
  const std::wstring path = dir / L"mono8.wav";
  test::WriteBytes(path, MakeWav(PcmFormat(1, 22050, 8), "", data));

  WaveSound player;
  ASSERT_TRUE(player.Load(path, 0));
  player.Play();
  ASSERT_TRUE(WaitUntilQuiet(player));
  player.Release();

  const auto captured = test::ToSamples16(Captured());
  // (22050 - 4) source bytes, each becoming two stereo frames of 16 bits: 8 bytes, 4 samples.
  const double expected = (22050.0 - 4) * 4;
  EXPECT_GT(captured.size(), expected * 0.95);
  EXPECT_LT(captured.size(), expected * 1.05);
  std::size_t loud = 0;
  std::size_t mismatchedChannels = 0;
  for (std::size_t i = 0; i + 1 < captured.size(); i += 2) {
    if (std::abs(captured[i]) > 10000) ++loud;
    if (captured[i] != captured[i + 1]) ++mismatchedChannels;
  }
  EXPECT_GT(loud, captured.size() / 8) << "the converted sound is nearly silent";
  EXPECT_EQ(mismatchedChannels, 0u) << "mono should land on both channels alike";
}

// A compressed format whose fmt chunk carries extra bytes: IMA ADPCM, 44100 Hz stereo, 2048-byte blocks. Without
// the whole chunk (cbSize 2, samples per block) no driver would take it.
TEST(WaveSound, ConvertsImaAdpcmWithItsWholeFmtChunk) {
  REQUIRE_SOUND_SINK();
  TempDir dir;
  constexpr int kBlockAlign = 2048;
  constexpr int kSamplesPerBlock = 2041;  // one in each channel header, eight per 4-byte group of each channel
  constexpr int kBlocksInFile = 44;
  std::string format = PcmFormat(2, 44100, 4, 0x0011);
  // nAvgBytesPerSec and nBlockAlign of an ADPCM block
  const std::uint32_t avg = std::uint32_t(44100ull * kBlockAlign / kSamplesPerBlock);
  for (int i = 0; i < 4; ++i) format[8 + i] = char((avg >> (8 * i)) & 0xFF);
  format[12] = char(kBlockAlign & 0xFF);
  format[13] = char(kBlockAlign >> 8);
  test::PutHalf(format, 2);
  test::PutHalf(format, kSamplesPerBlock);
  std::string data;
  for (int b = 0; b < kBlocksInFile; ++b) {
    for (int ch = 0; ch < 2; ++ch) {
      test::PutHalf(data, 0);         // first sample
      data.push_back(char(60));       // step index
      data.push_back(0);
    }
    // Alternating big steps up and down: a loud square-ish wave.
    for (int i = 8; i < kBlockAlign; ++i) data.push_back(char((i / 8) % 2 ? 0x77 : 0xFF));
  }
  const std::wstring path = dir / L"adpcm.wav";
  test::WriteBytes(path, MakeWav(format, "", data));

  WaveSound player;
  ASSERT_TRUE(player.Load(path, 0));
  player.Play();
  ASSERT_TRUE(WaitUntilQuiet(player));
  player.Release();

  const auto captured = test::ToSamples16(Captured());
  // The last 4 bytes are never read, so the last block is not whole and is dropped by the block-aligned conversion.
  const double expected = (kBlocksInFile - 1) * kSamplesPerBlock * 2.0;
  EXPECT_GT(captured.size(), expected * 0.95);
  EXPECT_LT(captured.size(), expected * 1.2);
  const auto loud = std::count_if(captured.begin(), captured.end(), [](std::int16_t v) { return std::abs(v) > 1000; });
  EXPECT_GT(std::size_t(loud), captured.size() / 4) << "the converted sound is nearly silent";
}

TEST(WaveSound, LoopsUntilReleased) {
  REQUIRE_SOUND_SINK();
  TempDir dir;
  const auto samples = NoiseSamples(2205, 4);  // 50 ms
  const std::wstring path = dir / L"loop.wav";
  test::WriteBytes(path, PcmStereoWav(samples));
  const std::size_t oneRound = samples.size() - 2;

  WaveSound player;
  ASSERT_TRUE(player.Load(path, 1));
  player.Play();
  // Far more rounds than blocks: the end-of-data passes must not use the blocks up.
  // The output pads with silence when it runs dry, so count only what was audible.
  const bool looped = test::WaitUntil([&] { return AudibleFrames(Captured()).size() > oneRound * 12; }, kPlayTimeout);
  EXPECT_EQ(player.State(), 0);
  player.Release();
  ASSERT_TRUE(looped);
  auto audible = AudibleFrames(Captured());
  ASSERT_GE(audible.size(), (samples.size() - 2) * 10);
  audible.resize((samples.size() - 2) * 10);
  ExpectSamples(audible, Repeat(Played(samples), 10));
}

TEST(WaveSound, ReleaseWhilePlayingEndsAtOnceAndLoadsAgain) {
  REQUIRE_SOUND_SINK();
  TempDir dir;
  const std::wstring longPath = dir / L"long.wav";
  test::WriteBytes(longPath, PcmStereoWav(NoiseSamples(44100 * 20, 5)));
  const auto samples = NoiseSamples(22050, 6);
  const std::wstring shortPath = dir / L"short.wav";
  test::WriteBytes(shortPath, PcmStereoWav(samples));

  WaveSound player;
  ASSERT_TRUE(player.Load(longPath, 0));
  player.Play();
  ::Sleep(300);
  // Bounded only so that a hang fails the test instead of stalling it.
  std::atomic<bool> released{false};
  std::thread releaser([&] {
    player.Release();
    released = true;
  });
  const bool ended = test::WaitUntil([&] { return released.load(); }, 30s);
  releaser.join();
  ASSERT_TRUE(ended);
  EXPECT_FALSE(player.IsLoaded());
  EXPECT_FALSE(player.IsBusy());
  EXPECT_TRUE(::DeleteFileW(longPath.c_str())) << "the file is still open";

  // Load over a loaded player releases it first; load, release and load again all work.
  ASSERT_TRUE(player.Load(shortPath, 0));
  ASSERT_TRUE(player.Load(shortPath, 0));
  player.Release();
  ASSERT_TRUE(player.Load(shortPath, 0));
  player.Play();
  ASSERT_TRUE(WaitUntilQuiet(player));
  player.Release();
  ExpectSamples(AudibleFrames(Captured()), Played(samples));
}

TEST(WaveSound, StopEndsTheThreadUntilTheNextLoad) {
  REQUIRE_SOUND_SINK();
  TempDir dir;
  const auto samples = NoiseSamples(4410, 7);
  const std::wstring path = dir / L"stop.wav";
  test::WriteBytes(path, PcmStereoWav(samples));

  WaveSound player;
  ASSERT_TRUE(player.Load(path, 0));
  player.Stop();
  EXPECT_EQ(player.State(), 2);
  player.Play();  // the thread has ended or will: nothing more is decoded
  ::Sleep(200);
  player.Release();
  ASSERT_TRUE(player.Load(path, 0));
  player.Play();
  ASSERT_TRUE(WaitUntilQuiet(player));
  player.Release();
  ExpectSamples(AudibleFrames(Captured()), Played(samples));
}

// ---- Bad files ----

std::string RawHeader(std::uint32_t fmtSize) {
  std::string h = "RIFF";
  test::PutWord(h, 100);
  h += "WAVEfmt ";
  test::PutWord(h, fmtSize);
  return h;
}

TEST(WaveSound, RefusesBadFilesCleanly) {
  // Refused before the output is opened, so these hold with or without a sound device.
  const std::string pcm = PcmFormat(2, 44100, 16);
  const std::string data = test::Samples16(NoiseSamples(100, 8));
  struct Case {
    const char* name;
    std::string file;
  };
  const Case cases[] = {
      {"empty", ""},
      {"truncated in the RIFF header", "RIFF\x10"},
      {"truncated in fmt", RawHeader(16) + pcm.substr(0, 6)},
      {"fmt of 2 GiB", RawHeader(0x7FFFFFFF) + pcm + "data" + std::string(8, '\x1')},
      {"fmt of 64 KiB + 4", RawHeader(65540) + std::string(65540, '\0') + "data" + std::string(8, '\x1')},
      {"no data chunk", RawHeader(16) + pcm + test::Chunk("LIST", std::string(4000, 'x'))},
      {"data tag off the grid", MakeWav(pcm, test::Chunk("LIST", std::string(26, 'a')), data)},
  };
  TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::wstring path = dir / L"bad.wav";
    test::WriteBytes(path, c.file);
    WaveSound player;
    EXPECT_FALSE(player.Load(path, 0));
    EXPECT_FALSE(player.IsLoaded());
    player.Play();
    EXPECT_FALSE(player.IsBusy());
    EXPECT_TRUE(::DeleteFileW(path.c_str())) << "the file was left open";
  }

  WaveSound player;
  EXPECT_FALSE(player.Load(dir / L"missing.wav", 0));
  EXPECT_FALSE(player.Load(dir.path(), 0)) << "a folder is no sound";
  EXPECT_FALSE(FileExists(dir / L"missing.wav")) << "a load must not create the file";
  EXPECT_FALSE(player.IsLoaded());
}

TEST(WaveSound, RefusesFormatsItCannotPlay) {
  REQUIRE_SOUND_SINK();  // the output opens first: without a device every load fails anyway
  TempDir dir;
  const std::string data(4000, '\x11');
  const struct {
    const char* name;
    std::string format;
  } cases[] = {
      {"unknown tag", PcmFormat(2, 44100, 16, 0x1234)},
      {"all zero", std::string(16, '\0')},
      {"24 channels of 3 bits", PcmFormat(24, 44100, 3)},
      {"1 Hz", PcmFormat(1, 1, 8)},
      {"100 Hz: 1.7 GiB of output blocks", PcmFormat(1, 100, 8)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::wstring path = dir / L"odd.wav";
    test::WriteBytes(path, MakeWav(c.format, "", data));
    WaveSound player;
    EXPECT_FALSE(player.Load(path, 0));
    EXPECT_FALSE(player.IsLoaded());
    EXPECT_TRUE(::DeleteFileW(path.c_str())) << "the file was left open";
  }
}

TEST(WaveSound, PlaysWhatIsThereOfOddDataChunks) {
  REQUIRE_SOUND_SINK();
  TempDir dir;
  const auto samples = NoiseSamples(11025, 9);
  const std::string bytes = test::Samples16(samples);
  const struct {
    const char* name;
    std::string file;
    std::vector<std::int16_t> played;
  } cases[] = {
      // Reads come back short, then empty: everything present plays, the last frame too.
      {"data larger than the file", MakeWav(PcmFormat(2, 44100, 16), "", bytes, 10 * 176400), samples},
      {"zero-length data", MakeWav(PcmFormat(2, 44100, 16), "", ""), {}},
      {"data size of 2 GiB or more", MakeWav(PcmFormat(2, 44100, 16), "", bytes, 0xFFFFFFF0u), {}},
      {"fewer than 4 bytes", MakeWav(PcmFormat(2, 44100, 16), "", bytes.substr(0, 3)), {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::wstring path = dir / L"odd.wav";
    test::WriteBytes(path, c.file);
    WaveSound player;
    ASSERT_TRUE(player.Load(path, 0));
    for (int i = 0; i < 5; ++i) {  // more plays than blocks: none of them may hang
      player.Play();
      ASSERT_TRUE(WaitUntilQuiet(player));
      EXPECT_EQ(player.State(), 1);
    }
    player.Release();
    EXPECT_TRUE(::DeleteFileW(path.c_str()));
    ExpectSamples(AudibleFrames(Captured()), Repeat(c.played, 5));
  }
}

TEST(AlertSounds, LoadsTheThreeFilesFromTheFolder) {
  REQUIRE_SOUND_SINK();
  TempDir dir;
  test::WriteBytes(dir / L"Alert.wav", PcmStereoWav(NoiseSamples(441, 10)));
  test::WriteBytes(dir / L"my tag.wav", PcmStereoWav(NoiseSamples(441, 11)));
  ConfigNode config;
  config.AlertFile = L"Alert.wav";
  config.AlertFile2 = L"missing.wav";
  config.AlertFile3 = L"my tag.wav";
  LoadAlertSounds(config, dir.path());
  EXPECT_TRUE(waveSound1.IsLoaded());
  EXPECT_FALSE(waveSound2.IsLoaded());
  EXPECT_TRUE(waveSound3.IsLoaded());

  config.AlertFile.reset();
  config.AlertFile3 = L"";
  waveSound1.Release();
  waveSound3.Release();
  LoadAlertSounds(config, dir.path());
  EXPECT_FALSE(waveSound1.IsLoaded());
  EXPECT_FALSE(waveSound3.IsLoaded());
}

}  // namespace
}  // namespace corvanto

namespace corvanto {
namespace {

// The sounds the program ships, loaded the way the program loads them, play whole and unchanged.
TEST(AlertSounds, ShippedSoundsPlayAsRecorded) {
  REQUIRE_SOUND_SINK();
  const std::wstring folder = WindowsPath(Utf8ToWide(CORVANTO_RESOURCES_DIR));
  ConfigNode config;
  config.AlertFile = L"Alert.wav";
  config.AlertFile2 = L"Alert2.wav";
  config.AlertFile3 = L"Alert3.wav";
  const struct {
    WaveSound* player;
    const wchar_t* file;
  } sounds[] = {{&waveSound1, L"Alert.wav"}, {&waveSound2, L"Alert2.wav"}, {&waveSound3, L"Alert3.wav"}};
  // One at a time: every player that is loaded holds the one capture file open.
  for (const auto& sound : sounds) {
    SCOPED_TRACE(WideToUtf8(sound.file));
    const std::string file = test::ReadBytes(folder + L"\\" + sound.file);
    const std::size_t data = file.find("data");
    ASSERT_NE(data, std::string::npos);
    const std::uint32_t size = std::uint8_t(file[data + 4]) | std::uint8_t(file[data + 5]) << 8 |
                               std::uint8_t(file[data + 6]) << 16 | std::uint32_t(std::uint8_t(file[data + 7])) << 24;
    const std::string played = file.substr(data + 8, size - 4);

    LoadAlertSounds(config, folder);
    ASSERT_TRUE(waveSound1.IsLoaded() && waveSound2.IsLoaded() && waveSound3.IsLoaded());
    for (const auto& other : sounds) {
      if (other.player != sound.player) other.player->Release();
    }
    sound.player->SetVolume(100);
    sound.player->Play();
    ASSERT_TRUE(WaitUntilQuiet(*sound.player));
    sound.player->Release();
    ExpectSamples(AudibleFrames(Captured()), AudibleFrames(played));
  }
}

}  // namespace
}  // namespace corvanto
