#pragma once
// A WAV player: any format an ACM driver converts to 16-bit stereo PCM at 44100 Hz, decoded block by block on a
// thread of its own and played through waveOut with at most four blocks queued.
#include <windows.h>
// In this order: msacm.h needs both before it.
#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

#include "sound/wave_math.h"

namespace corvanto {

class WaveSound {
 public:
  WaveSound();
  WaveSound(const WaveSound&) = delete;
  WaveSound& operator=(const WaveSound&) = delete;
  ~WaveSound();

  // Opens the file and the output and starts the decode thread, idle. `loop` 1 repeats the sound for ever.
  bool Load(const std::wstring& path, std::uint32_t loop);
  // Ends the decode thread and frees everything; the player can be loaded again. Always true.
  bool Release();
  // Starts the sound from its beginning when idle; changes nothing while it plays.
  void Play();
  // The decode thread ends after its current pass; nothing plays until the next Load.
  void Stop();
  // Percent; applies to the blocks converted from now on.
  void SetVolume(std::int32_t volume);
  void Fade(std::uint32_t from, std::uint32_t to, std::uint32_t time);

  bool IsLoaded() const { return loaded.load(); }
  // 0 playing, 1 idle, 2 exit.
  std::int32_t State() const { return state.load(); }
  // Playing: the decode thread is converting, or converted blocks are still queued at the output.
  bool IsBusy() const { return (state.load() == 0 && loaded.load()) || blocksQueued.load() > 0; }

  static void CALLBACK waveOutProc(HWAVEOUT device, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                                   DWORD_PTR param2);
  static DWORD WINAPI DecodeThreadProc(LPVOID player);

 private:
  static constexpr int kBlocks = 4;

  // One pass: false when Release asked the thread to end.
  bool Decode();
  FadeState SnapshotControls(std::uint64_t& generation);
  void StoreFadeProgress(const FadeState& after, std::uint64_t generation);

  HANDLE semaphore = nullptr;
  HANDLE decodeThread = nullptr;
  HANDLE stopEvent = nullptr;  // lets Release end a pass that waits for a free block
  std::atomic<std::int32_t> state{0};
  HACMSTREAM acmStream = nullptr;
  HANDLE file = nullptr;
  std::atomic<bool> loaded{false};
  HWAVEOUT waveOut = nullptr;
  char* outBuffers[kBlocks] = {};
  WAVEHDR headers[kBlocks] = {};
  std::int32_t currentBlock = 0;
  std::int32_t dataOffset = 0;
  std::uint32_t loop = 0;
  char* sourceBuffer = nullptr;
  std::int32_t dataSize = 0;
  std::int32_t dataRead = 0;
  DWORD outBlockBytes = 0;
  std::atomic<std::int32_t> blocksQueued{0};

  // Volume and fade: set by the caller, advanced by the decode thread once per block.
  std::mutex controlsLock;
  FadeState controls;
  std::uint64_t controlsGeneration = 0;  // counts SetVolume and Fade calls
};

}  // namespace corvanto
