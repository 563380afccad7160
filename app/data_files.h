#pragma once
// The data files beside the executable: the config and feedfile folders, the moving of files left by older
// versions, reading the settings and the lists at start, and the temporary-file write that replaces a file in
// one step.
#include <functional>
#include <string>
#include <vector>

#include "app/config_node.h"
#include "app/list_nodes.h"
#include "app/logger.h"

namespace corvanto {

struct DataPaths {
  std::wstring folder;  // the executable's folder
  std::wstring ConfigFileName, NotifyListFileName, ListFileName, KeywordFileName, NgListFileName;
  std::wstring ConfigFolder() const { return folder + L"\\config"; }
  std::wstring FeedFolder() const { return folder + L"\\feedfile"; }
  static DataPaths In(const std::wstring& folder);
};

struct LoadedData {
  ConfigNode ConfigNodeDat;
  std::vector<NotifyNode> NotifyNodeDat;  // NotifyList.xml, then List.xml, then Keyword.xml
  std::vector<NgWordNode> NgWordNodeDat;
};

// Everything the program reads at start, with its corrections and log lines. Errors other than a missing or
// malformed file (a file that cannot be opened, a folder that cannot be made) are thrown.
LoadedData LoadConfigList(const DataPaths& paths, Logger& logger, DisplaySize display);

// Writes `serialize()` to `target` + ".tmp" and then moves it over `target` in one step. On failure logs
// `failureLine`, the error's message and its cause, keeps the old file and returns false; on success logs
// `successLine` and returns true.
bool WriteWithTemporaryFile(const std::wstring& target, const std::function<std::string()>& serialize,
                            Logger& logger, const std::wstring& failureLine, const std::wstring& successLine);

bool SaveConfigFile(const std::wstring& path, const ConfigNode& config, Logger& logger);
bool SaveNotifyListFile(const std::wstring& path, const std::vector<NotifyNode>& rows, Logger& logger);
bool SaveNgListFile(const std::wstring& path, const std::vector<NgWordNode>& rows, Logger& logger);

}  // namespace corvanto
