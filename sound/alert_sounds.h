#pragma once
// The three alert players, alive for the whole run: by author, by keyword, by tag.
#include <string>

#include "sound/wave_sound.h"

namespace corvanto {

struct ConfigNode;

extern WaveSound waveSound1;
extern WaveSound waveSound2;
extern WaveSound waveSound3;

// Loads AlertFile, AlertFile2 and AlertFile3, each relative to `folder` (the exe's folder), to play once. A file
// that is not set, missing or unplayable leaves its player silent.
void LoadAlertSounds(const ConfigNode& config, const std::wstring& folder);

}  // namespace corvanto
