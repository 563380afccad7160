#include "app/config_node.h"

#include <windows.h>

#include "app/sites.h"

namespace corvanto {

bool sites::IsListSiteName(std::wstring_view name) {
  return name == kLivetube || name == kCaveTube || name == kHimawari || name == kAll;
}

namespace {

const std::vector<int> kDefaultWidths = {30, 240, 80, 120, 65, 65, 65, 65, 65, 65};

std::wstring HttpUrl(std::wstring_view host, std::wstring_view path) {
  return L"http://" + std::wstring(host) + std::wstring(path);
}

// Defaults of the texts that the corrections restore when absent or empty.
struct TextDefault {
  OptText ConfigNode::*field;
  std::wstring value;
};

const std::vector<TextDefault>& TextDefaults() {
  static const std::vector<TextDefault> defaults = {
      {&ConfigNode::AlertFile, L"Alert.wav"},
      {&ConfigNode::AlertFile2, L"Alert2.wav"},
      {&ConfigNode::AlertFile3, L"Alert3.wav"},
      {&ConfigNode::BrowserPath, L""},
      {&ConfigNode::AtomLivetubeFile, L"index.live.xml"},
      {&ConfigNode::JsonLivetubeFile, L"index.live.json"},
      {&ConfigNode::AtomCaveTubeFile, L"index_live.xml"},
      {&ConfigNode::RssHimawariFile, L"rsshima.xml"},
      {&ConfigNode::AtomLivetubeURL, HttpUrl(sites::kLivetubeHost, L"/index.live.xml")},
      {&ConfigNode::JsonLivetubeURL, HttpUrl(sites::kLivetubeHost, L"/index.live.json")},
      {&ConfigNode::AtomCaveTubeURL, HttpUrl(sites::kCaveTubeFeedHost, L"/index_live.xml")},
      {&ConfigNode::RssHimawariURL,
       HttpUrl(sites::kHimawariHost, L"/?mode=program&cat=search&sort=st_start_date&st_status=1&rss=1&page=")},
  };
  return defaults;
}

bool OffDisplay(Point p, DisplaySize d) { return p.X > d.Width || p.X < 0 || p.Y > d.Height || p.Y < 0; }

bool Inside(Point p, DisplaySize d) { return p.X >= 0 && p.X < d.Width && p.Y >= 0 && p.Y < d.Height; }

}  // namespace

void InitConfigNodeDat(ConfigNode& c) {
  c.SleepTime = 900000;
  for (const auto& d : TextDefaults()) c.*d.field = d.value;
  c.keywordCvt = false;
  c.UpdateSync = false;
  c.LivetubeJson = false;
  c.ViewProgramSite = c.ViewTotalUserNum = c.ViewMaxUserNum = c.ViewUserNum = c.ViewCommentNum = c.ViewTag = false;
  c.EnableLivetube = true;
  c.EnableCaveTube = false;
  c.EnableHimawari = false;
  c.DisableProgramListByBrowser = false;
  c.PopupTime = 15000;
  c.TimeoutTime = 20000;
  c.SoundVolume = 100;
  c.NotifyListPos = c.AlertListPos = c.ProgramPos = c.NgListPos = c.ConfigFormPos = Point{100, 100};
  c.ProgramListSize = Size{606, 306};
  c.NgListHeight = kNgListMinHeight;
  c.NotifyListHeight = kNotifyListMinHeight;
  c.AlertListHeight = kAlertListMinHeight;
  c.ProgramListWidth = kDefaultWidths;
}

void CorrectLoadedConfig(ConfigNode& c) {
  if (c.SleepTime < kMinSleepTime) c.SleepTime = kMinSleepTime;
  for (const auto& d : TextDefaults()) {
    OptText& text = c.*d.field;
    if (!text || text->empty()) text = d.value;
  }
  if (!c.EnableLivetube && !c.EnableCaveTube && !c.EnableHimawari) c.EnableLivetube = true;
  if (c.SoundVolume < 0 || c.SoundVolume > 100) c.SoundVolume = 100;
  auto clampHeight = [](int& h, int minimum) {
    if (h < minimum || h > kListMaxHeight) h = minimum;
  };
  clampHeight(c.NotifyListHeight, kNotifyListMinHeight);
  clampHeight(c.AlertListHeight, kAlertListMinHeight);
  clampHeight(c.NgListHeight, kNgListMinHeight);
  // A file without any width list is treated like one with too few entries.
  std::vector<int>& widths = c.ProgramListWidth ? *c.ProgramListWidth : c.ProgramListWidth.emplace();
  if (widths.size() <= 5) {
    widths.resize(10, 0);
    for (size_t i = 4; i < 10; ++i) widths[i] = 65;
  }
}

DisplaySize PrimaryDisplaySize() { return {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}; }

void CheckSavedPositions(ConfigNode& c, DisplaySize display) {
  for (Point* p : {&c.NotifyListPos, &c.AlertListPos, &c.ProgramPos, &c.NgListPos, &c.ConfigFormPos}) {
    if (OffDisplay(*p, display)) *p = Point{100, 100};
  }
}

void FormPositionCheck(ConfigNode& c, DisplaySize display, const std::optional<GuideGeometry>& guide,
                       const std::optional<WindowGeometry>& notifyList, const std::optional<WindowGeometry>& ngList) {
  if (guide && Inside(guide->window.pos, display)) {
    c.ProgramPos = guide->window.pos;
    c.ProgramListSize = guide->window.size;
    c.ProgramListWidth = guide->columnWidths;
  }
  // The notify editor alone is not recorded with its top edge on the display's top edge.
  if (notifyList && Inside(notifyList->pos, display) && notifyList->pos.Y > 0) c.NotifyListPos = notifyList->pos;
  if (ngList && Inside(ngList->pos, display)) c.NgListPos = ngList->pos;
  if (notifyList && notifyList->size.Height >= kNotifyListMinHeight && notifyList->size.Height <= kListMaxHeight)
    c.NotifyListHeight = notifyList->size.Height;
  if (ngList && ngList->size.Height >= kNgListMinHeight && ngList->size.Height <= kListMaxHeight)
    c.NgListHeight = ngList->size.Height;
}

}  // namespace corvanto
