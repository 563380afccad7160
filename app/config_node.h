#pragma once
// The settings record: one instance per run, shared by reference with every window.
#include <optional>
#include <string>
#include <vector>

namespace corvanto {

struct Point {
  int X = 0;
  int Y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  int Width = 0;
  int Height = 0;
  bool operator==(const Size&) const = default;
};

using OptText = std::optional<std::wstring>;

// A fresh record has every flag false, every number 0, every text and list absent. The field order is the element
// order of Config.xml.
struct ConfigNode {
  int SleepTime = 0;
  OptText AlertFile;
  OptText AlertFile2;
  OptText AlertFile3;
  OptText BrowserPath;
  bool hServer = false;
  bool keywordCvt = false;
  bool UpdateSync = false;
  bool LivetubeJson = false;
  bool DisableFirstNotify = false;
  bool DontShowNiconico = false;
  bool ViewProgramSite = false;
  bool ViewTotalUserNum = false;
  bool ViewMaxUserNum = false;
  bool ViewUserNum = false;
  bool ViewCommentNum = false;
  bool ViewTag = false;
  bool EnableLivetube = false;
  bool EnableCaveTube = false;
  bool EnableHimawari = false;
  bool DisableProgramListByBrowser = false;
  OptText AtomLivetubeFile;
  OptText JsonLivetubeFile;
  OptText AtomCaveTubeFile;
  OptText RssHimawariFile;
  OptText AtomLivetubeURL;
  OptText JsonLivetubeURL;
  OptText AtomCaveTubeURL;
  OptText RssHimawariURL;
  int PopupTime = 0;
  int TimeoutTime = 0;
  int SoundVolume = 0;
  Point NotifyListPos;
  Point AlertListPos;
  Point ProgramPos;
  Point NgListPos;
  Point ConfigFormPos;
  Size ProgramListSize;
  int NgListHeight = 0;
  int NotifyListHeight = 0;
  int AlertListHeight = 0;
  std::optional<std::vector<int>> ProgramListWidth;
  int sortColumn = 0;
  int sortNumber = 0;
  int sortTitle = 0;
  int sortAuthor = 0;
  int sortTime = 0;
  int sortSite = 0;
  int sortTUser = 0;
  int sortMUser = 0;
  int sortUser = 0;
  int sortCom = 0;
  int sortTag = 0;

  bool operator==(const ConfigNode&) const = default;
};

// Window limits the corrections and the geometry check share.
inline constexpr int kNotifyListMinHeight = 407;
inline constexpr int kNgListMinHeight = 311;
inline constexpr int kAlertListMinHeight = 370;
inline constexpr int kListMaxHeight = 1200;
inline constexpr int kMinSleepTime = 600000;

// Sets every field that has a default; the switches without one (hServer, DisableFirstNotify,
// DontShowNiconico, the sort fields) keep their value.
void InitConfigNodeDat(ConfigNode& c);

// Corrections applied to a record read from Config.xml (not to one from InitConfigNodeDat).
void CorrectLoadedConfig(ConfigNode& c);

// Bounds of the primary display (origin 0, 0).
struct DisplaySize {
  int Width = 0;
  int Height = 0;
};
DisplaySize PrimaryDisplaySize();

// Saved window positions off the primary display go back to (100, 100); a position exactly at the far edge stays.
void CheckSavedPositions(ConfigNode& c, DisplaySize display);

// Where a window stands and how large it is, read from the window at exit.
struct WindowGeometry {
  Point pos;
  Size size;
};

struct GuideGeometry {
  WindowGeometry window;
  std::vector<int> columnWidths;  // always ten entries
};

// Records the geometry of the windows that exist and stand on the primary display.
void FormPositionCheck(ConfigNode& c, DisplaySize display, const std::optional<GuideGeometry>& guide,
                       const std::optional<WindowGeometry>& notifyList, const std::optional<WindowGeometry>& ngList);

}  // namespace corvanto
