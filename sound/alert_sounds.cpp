#include "sound/alert_sounds.h"

#include "app/config_node.h"

namespace corvanto {

WaveSound waveSound1;
WaveSound waveSound2;
WaveSound waveSound3;

namespace {

void LoadOne(WaveSound& player, const OptText& name, const std::wstring& folder) {
  if (!name) return;
  player.Load(folder + L"\\" + *name, 0);
}

}  // namespace

void LoadAlertSounds(const ConfigNode& config, const std::wstring& folder) {
  LoadOne(waveSound1, config.AlertFile, folder);
  LoadOne(waveSound2, config.AlertFile2, folder);
  LoadOne(waveSound3, config.AlertFile3, folder);
}

}  // namespace corvanto
