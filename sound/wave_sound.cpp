#include "sound/wave_sound.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace corvanto {

namespace {

constexpr std::int32_t kPlaying = 0;
constexpr std::int32_t kIdle = 1;
constexpr std::int32_t kExit = 2;
// Four output blocks of this size at most: 262144 bytes of 8000 Hz 8-bit mono need under 6 MiB each.
constexpr DWORD kMaxOutputBlockBytes = 32u << 20;

// Every block goes out as 16-bit stereo PCM at 44100 Hz.
WAVEFORMATEX OutputFormat() {
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 2;
  format.nSamplesPerSec = 44100;
  format.nAvgBytesPerSec = 176400;
  format.nBlockAlign = 4;
  format.wBitsPerSample = 16;
  format.cbSize = 0;
  return format;
}

// The header walk reads a few bytes at a time: buffer it so that a long search does not cost a call per word.
class FileByteSource : public ByteSource {
 public:
  explicit FileByteSource(HANDLE file) : file_(file) {}
  std::size_t Read(void* buffer, std::size_t count) override {
    if (pos_ == end_) {
      DWORD got = 0;
      if (!::ReadFile(file_, buf_, sizeof(buf_), &got, nullptr)) got = 0;
      pos_ = 0;
      end_ = got;
      if (got == 0) return 0;
    }
    const std::size_t n = std::min<std::size_t>(count, end_ - pos_);
    std::memcpy(buffer, buf_ + pos_, n);
    pos_ += n;
    return n;
  }

 private:
  HANDLE file_;
  char buf_[65536];
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
};

}  // namespace

WaveSound::WaveSound() { loaded = false; }

WaveSound::~WaveSound() { Release(); }

bool WaveSound::Load(const std::wstring& path, std::uint32_t loopFlag) {
  if (loaded.load()) Release();
  if (!::PathFileExistsW(path.c_str())) return false;

  wchar_t fullPath[MAX_PATH];
  if (!::PathSearchAndQualifyW(path.c_str(), fullPath, MAX_PATH)) return false;
  // Shared for reading only: the sound cannot be replaced or deleted while it is loaded. OPEN_EXISTING: a load
  // never creates a file, even when the sound vanished since the check above.
  HANDLE opened = ::CreateFileW(fullPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return false;
  file = opened;

  std::optional<WaveHeader> header;
  {
    auto source = std::make_unique<FileByteSource>(file);
    header = ParseWaveHeader(*source);
  }
  if (!header) {
    Release();
    return false;
  }
  dataOffset = header->dataOffset;
  dataSize = header->dataSize;
  dataRead = 0;
  ::SetFilePointer(file, dataOffset, nullptr, FILE_BEGIN);

  loop = loopFlag;
  {
    std::lock_guard<std::mutex> lock(controlsLock);
    controls.volume = 100;
    controls.fading = 0;
    controls.fadeTime = 1000;
    ++controlsGeneration;
  }

  WAVEFORMATEX output = OutputFormat();
  if (::waveOutOpen(&waveOut, WAVE_MAPPER, &output, reinterpret_cast<DWORD_PTR>(&WaveSound::waveOutProc),
                    reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION | WAVE_ALLOWSYNC) != MMSYSERR_NOERROR) {
    waveOut = nullptr;
    Release();
    return false;
  }
  auto* source = reinterpret_cast<WAVEFORMATEX*>(header->format.data());
  if (::acmStreamOpen(&acmStream, nullptr, source, &output, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) != 0) {
    acmStream = nullptr;
    Release();
    return false;
  }
  outBlockBytes = 0;
  // A sample rate of a few hertz would turn each source block into gigabytes: refuse such a file.
  if (::acmStreamSize(acmStream, kSourceBlockBytes, &outBlockBytes, ACM_STREAMSIZEF_SOURCE) != 0 ||
      outBlockBytes == 0 || outBlockBytes > kMaxOutputBlockBytes) {
    Release();
    return false;
  }

  sourceBuffer = static_cast<char*>(::VirtualAlloc(nullptr, kSourceBlockBytes, MEM_COMMIT, PAGE_READWRITE));
  bool allocated = sourceBuffer != nullptr;
  for (int i = 0; i < kBlocks; ++i) {
    outBuffers[i] = static_cast<char*>(::VirtualAlloc(nullptr, outBlockBytes, MEM_COMMIT, PAGE_READWRITE));
    allocated = allocated && outBuffers[i] != nullptr;
    headers[i] = WAVEHDR{};
    headers[i].lpData = outBuffers[i];
  }
  if (!allocated) {
    Release();
    return false;
  }
  currentBlock = 0;
  blocksQueued = 0;

  semaphore = ::CreateSemaphoreW(nullptr, kBlocks, kBlocks, nullptr);
  stopEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!semaphore || !stopEvent) {
    Release();
    return false;
  }

  state = kIdle;
  loaded = true;  // before the thread starts: a pass never sees a half-made player
  decodeThread = ::CreateThread(nullptr, 0, &WaveSound::DecodeThreadProc, this, 0, nullptr);
  if (!decodeThread) {
    Release();
    return false;
  }
  return true;
}

bool WaveSound::Release() {
  state = kExit;
  if (decodeThread) {
    ::SetEvent(stopEvent);  // a pass waiting for a free block gives up at once
    ::WaitForSingleObject(decodeThread, INFINITE);
    ::CloseHandle(decodeThread);
    decodeThread = nullptr;
  }
  if (file) {
    ::CloseHandle(file);
    file = nullptr;
  }
  bool deviceLetGo = true;
  if (waveOut) {
    deviceLetGo = false;
    // The reset hands the queued blocks back (through the callback, which still needs the semaphore); only a
    // closed device has let go of the buffers.
    for (int attempt = 0; attempt < 100; ++attempt) {
      ::waveOutReset(waveOut);
      for (auto& header : headers) {
        if (header.dwFlags & WHDR_PREPARED) ::waveOutUnprepareHeader(waveOut, &header, sizeof(header));
      }
      if (::waveOutClose(waveOut) == MMSYSERR_NOERROR) {
        deviceLetGo = true;
        break;
      }
      ::Sleep(10);
    }
    waveOut = nullptr;
  }
  if (!deviceLetGo) {
    // A device that would not close may still read the blocks and signal the semaphore: leave them be.
    for (auto*& buffer : outBuffers) buffer = nullptr;
    semaphore = nullptr;
  }
  if (sourceBuffer) {
    ::VirtualFree(sourceBuffer, 0, MEM_RELEASE);
    sourceBuffer = nullptr;
  }
  for (int i = 0; i < kBlocks; ++i) {
    if (outBuffers[i]) {
      ::VirtualFree(outBuffers[i], 0, MEM_RELEASE);
      outBuffers[i] = nullptr;
    }
    headers[i] = WAVEHDR{};
  }
  if (semaphore) {
    ::CloseHandle(semaphore);
    semaphore = nullptr;
  }
  if (stopEvent) {
    ::CloseHandle(stopEvent);
    stopEvent = nullptr;
  }
  if (acmStream) {
    ::acmStreamClose(acmStream, 0);
    acmStream = nullptr;
  }
  blocksQueued = 0;
  loaded = false;
  return true;
}

void WaveSound::Play() { state = kPlaying; }

void WaveSound::Stop() { state = kExit; }

void WaveSound::SetVolume(std::int32_t volume) {
  std::lock_guard<std::mutex> lock(controlsLock);
  controls.volume = volume;
  ++controlsGeneration;
}

void WaveSound::Fade(std::uint32_t from, std::uint32_t to, std::uint32_t time) {
  std::lock_guard<std::mutex> lock(controlsLock);
  controls.fading = 1;
  controls.fadeFrom = from;
  controls.fadeTo = to;
  controls.fadeTime = time;
  controls.fadeLeft = static_cast<std::int32_t>(time);
  ++controlsGeneration;
}

FadeState WaveSound::SnapshotControls(std::uint64_t& generation) {
  std::lock_guard<std::mutex> lock(controlsLock);
  generation = controlsGeneration;
  return controls;
}

void WaveSound::StoreFadeProgress(const FadeState& after, std::uint64_t generation) {
  std::lock_guard<std::mutex> lock(controlsLock);
  // A SetVolume or Fade made while the block was converted wins over the fade's own progress.
  if (generation != controlsGeneration) return;
  controls.volume = after.volume;
  controls.fading = after.fading;
  controls.fadeLeft = after.fadeLeft;
}

void CALLBACK WaveSound::waveOutProc(HWAVEOUT, UINT message, DWORD_PTR instance, DWORD_PTR, DWORD_PTR) {
  // Runs on the system's audio thread: no waveOut call may be made from here.
  if (message != WOM_DONE) return;
  auto* player = reinterpret_cast<WaveSound*>(instance);
  player->blocksQueued.fetch_sub(1);
  ::ReleaseSemaphore(player->semaphore, 1, nullptr);
}

DWORD WINAPI WaveSound::DecodeThreadProc(LPVOID param) {
  auto* player = static_cast<WaveSound*>(param);
  // Ends on the exit state, or when Release signals, even if a Play came in between.
  for (std::int32_t s = player->state.load(); s != kExit; s = player->state.load()) {
    if (s == kIdle) {
      if (::WaitForSingleObject(player->stopEvent, 10) == WAIT_OBJECT_0) break;
    } else if (!player->Decode()) {
      break;
    }
  }
  return 0;
}

bool WaveSound::Decode() {
  if (!loaded.load()) return true;
  const HANDLE waits[2] = {semaphore, stopEvent};
  if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) return false;

  WAVEHDR& header = headers[currentBlock];
  char* block = outBuffers[currentBlock];
  // The count came back, so this block has played: let go of its old preparation before it changes length.
  if (header.dwFlags & WHDR_PREPARED) ::waveOutUnprepareHeader(waveOut, &header, sizeof(header));

  const std::int32_t want = SourceReadCount(dataRead, dataSize);
  DWORD got = 0;
  if (want > 0 && !::ReadFile(file, sourceBuffer, DWORD(want), &got, nullptr)) got = 0;
  dataRead += std::int32_t(got);

  if (got == 0) {
    ::SetFilePointer(file, dataOffset, nullptr, FILE_BEGIN);
    dataRead = 0;
    if (loop == 1) {
      ::ReleaseSemaphore(semaphore, 1, nullptr);  // no block goes out: give the count back
      return true;
    }
    // Idle only from playing: a Stop or Release meanwhile must still end the thread.
    std::int32_t playing = kPlaying;
    state.compare_exchange_strong(playing, kIdle);
  }

  DWORD converted = 0;
  if (got > 0) {
    if (::acmStreamSize(acmStream, got, &converted, ACM_STREAMSIZEF_SOURCE) != 0) converted = 0;
    converted = std::min(converted, outBlockBytes);
    ACMSTREAMHEADER acmHeader{};
    acmHeader.cbStruct = sizeof(acmHeader);
    acmHeader.pbSrc = reinterpret_cast<LPBYTE>(sourceBuffer);
    acmHeader.cbSrcLength = got;
    acmHeader.pbDst = reinterpret_cast<LPBYTE>(block);
    acmHeader.cbDstLength = converted;
    ::acmStreamPrepareHeader(acmStream, &acmHeader, 0);
    ::acmStreamConvert(acmStream, &acmHeader, ACM_STREAMCONVERTF_BLOCKALIGN);
    ::acmStreamUnprepareHeader(acmStream, &acmHeader, 0);
  }
  header.dwBufferLength = converted;

  std::uint64_t generation = 0;
  FadeState fade = SnapshotControls(generation);
  const std::int32_t step = fade.fading == 1 ? FadeStep(fade.fadeTime, fade.fadeFrom, fade.fadeTo) : 0;
  ApplyVolumeAndFade(reinterpret_cast<std::int16_t*>(block), converted / 2, fade, step);
  StoreFadeProgress(fade, generation);

  blocksQueued.fetch_add(1);
  ::waveOutPrepareHeader(waveOut, &header, sizeof(header));
  if (::waveOutWrite(waveOut, &header, sizeof(header)) != MMSYSERR_NOERROR) {
    // Never reaches the callback: give its count back here, or the player would run out of blocks.
    blocksQueued.fetch_sub(1);
    ::ReleaseSemaphore(semaphore, 1, nullptr);
  }
  ::waveOutUnprepareHeader(waveOut, &header, sizeof(header));
  currentBlock = (currentBlock + 1) % kBlocks;
  return true;
}

}  // namespace corvanto
