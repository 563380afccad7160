#include <gtest/gtest.h>

#include <functional>

#include "app/config_node.h"

namespace corvanto {
namespace {

const std::vector<int> kDefaultWidths = {30, 240, 80, 120, 65, 65, 65, 65, 65, 65};

TEST(InitConfigNodeDat, SetsDefaultsAndLeavesTheSwitchesWithoutOne) {
  ConfigNode c;
  c.hServer = true;
  c.sortTitle = 1;
  InitConfigNodeDat(c);
  EXPECT_EQ(c.SleepTime, 900000);
  EXPECT_EQ(c.AlertFile, L"Alert.wav");
  EXPECT_EQ(c.AlertFile3, L"Alert3.wav");
  EXPECT_EQ(c.BrowserPath, L"");
  EXPECT_EQ(c.RssHimawariFile, L"rsshima.xml");
  EXPECT_EQ(c.AtomLivetubeURL, L"http://livetube.cc/index.live.xml");
  ASSERT_TRUE(c.RssHimawariURL.has_value());
  EXPECT_TRUE(c.RssHimawariURL->ends_with(L"/?mode=program&cat=search&sort=st_start_date&st_status=1&rss=1&page="));
  EXPECT_TRUE(c.EnableLivetube);
  EXPECT_FALSE(c.EnableCaveTube || c.EnableHimawari);
  EXPECT_EQ(c.PopupTime, 15000);
  EXPECT_EQ(c.TimeoutTime, 20000);
  EXPECT_EQ(c.SoundVolume, 100);
  EXPECT_EQ(c.ProgramPos, (Point{100, 100}));
  EXPECT_EQ(c.ProgramListSize, (Size{606, 306}));
  EXPECT_EQ(c.NgListHeight, 311);
  EXPECT_EQ(c.NotifyListHeight, 407);
  EXPECT_EQ(c.AlertListHeight, 370);
  EXPECT_EQ(c.ProgramListWidth, kDefaultWidths);
  EXPECT_TRUE(c.hServer);  // no default: kept
  EXPECT_EQ(c.sortTitle, 1);
}

// A record as read from a file, before corrections: everything in range.
ConfigNode ValidLoaded() {
  ConfigNode c;
  InitConfigNodeDat(c);
  return c;
}

struct Correction {
  const char* name;
  std::function<void(ConfigNode&)> file;    // what the file held
  std::function<void(ConfigNode&)> expect;  // how the corrected record differs from the file
};

TEST(CorrectLoadedConfig, Table) {
  const Correction cases[] = {
      {"missing SleepTime is 0 and becomes the minimum", [](ConfigNode& c) { c.SleepTime = 0; },
       [](ConfigNode& c) { c.SleepTime = 600000; }},
      {"SleepTime just below the minimum", [](ConfigNode& c) { c.SleepTime = 599999; },
       [](ConfigNode& c) { c.SleepTime = 600000; }},
      {"SleepTime has no upper bound", [](ConfigNode& c) { c.SleepTime = 99999999; }, [](ConfigNode&) {}},
      {"absent and empty texts get defaults",
       [](ConfigNode& c) { c.AlertFile2.reset(), c.AtomCaveTubeURL = L"", c.BrowserPath.reset(); },
       [](ConfigNode& c) {
         c.AlertFile2 = L"Alert2.wav", c.AtomCaveTubeURL = L"http://rss.cavelis.net/index_live.xml";
         c.BrowserPath = L"";
       }},
      {"a set text is kept", [](ConfigNode& c) { c.AlertFile = L"ding.wav"; }, [](ConfigNode&) {}},
      {"no site enabled enables Livetube",
       [](ConfigNode& c) { c.EnableLivetube = c.EnableCaveTube = c.EnableHimawari = false; },
       [](ConfigNode& c) { c.EnableLivetube = true; }},
      {"one other site enabled is kept", [](ConfigNode& c) { c.EnableLivetube = false, c.EnableHimawari = true; },
       [](ConfigNode&) {}},
      {"volume 101 becomes 100", [](ConfigNode& c) { c.SoundVolume = 101; }, [](ConfigNode& c) { c.SoundVolume = 100; }},
      {"volume -1 becomes 100, not 0", [](ConfigNode& c) { c.SoundVolume = -1; },
       [](ConfigNode& c) { c.SoundVolume = 100; }},
      {"volume 0 is kept", [](ConfigNode& c) { c.SoundVolume = 0; }, [](ConfigNode&) {}},
      {"notify height 1300 becomes the minimum", [](ConfigNode& c) { c.NotifyListHeight = 1300; },
       [](ConfigNode& c) { c.NotifyListHeight = 407; }},
      {"NG height 1200 is kept", [](ConfigNode& c) { c.NgListHeight = 1200; }, [](ConfigNode&) {}},
      {"NG height 310 becomes 311", [](ConfigNode& c) { c.NgListHeight = 310; },
       [](ConfigNode& c) { c.NgListHeight = 311; }},
      {"alert height 369 becomes 370", [](ConfigNode& c) { c.AlertListHeight = 369; },
       [](ConfigNode& c) { c.AlertListHeight = 370; }},
      {"five widths are lengthened, entry 4 overwritten",
       [](ConfigNode& c) { c.ProgramListWidth = std::vector<int>{30, 240, 80, 120, 90}; },
       [](ConfigNode& c) { c.ProgramListWidth = std::vector<int>{30, 240, 80, 120, 65, 65, 65, 65, 65, 65}; }},
      {"two widths are lengthened with zeros", [](ConfigNode& c) { c.ProgramListWidth = std::vector<int>{11, 22}; },
       [](ConfigNode& c) { c.ProgramListWidth = std::vector<int>{11, 22, 0, 0, 65, 65, 65, 65, 65, 65}; }},
      {"an absent width list is treated like a short one", [](ConfigNode& c) { c.ProgramListWidth.reset(); },
       [](ConfigNode& c) { c.ProgramListWidth = std::vector<int>{0, 0, 0, 0, 65, 65, 65, 65, 65, 65}; }},
      {"six widths are kept", [](ConfigNode& c) { c.ProgramListWidth = std::vector<int>{1, 2, 3, 4, 5, 6}; },
       [](ConfigNode&) {}},
      {"time-outs and sizes are not corrected",
       [](ConfigNode& c) { c.PopupTime = -5, c.TimeoutTime = 0, c.ProgramListSize = Size{-1, 99999}; },
       [](ConfigNode&) {}},
  };
  for (const auto& tc : cases) {
    ConfigNode file = ValidLoaded();
    tc.file(file);
    ConfigNode expected = file;
    tc.expect(expected);
    ConfigNode corrected = file;
    CorrectLoadedConfig(corrected);
    EXPECT_TRUE(corrected == expected) << tc.name;
  }
}

TEST(CheckSavedPositions, OffDisplayBecomes100AndTheFarEdgeStays) {
  const DisplaySize display{1024, 768};
  struct Case {
    Point saved, expected;
  };
  const Case cases[] = {
      {{1024, 768}, {1024, 768}}, {{0, 0}, {0, 0}},       {{1025, 10}, {100, 100}},
      {{10, 769}, {100, 100}},    {{-1, 10}, {100, 100}}, {{10, -1}, {100, 100}},
  };
  for (const auto& tc : cases) {
    ConfigNode c;
    c.NotifyListPos = c.AlertListPos = c.ProgramPos = c.NgListPos = c.ConfigFormPos = tc.saved;
    CheckSavedPositions(c, display);
    for (Point p : {c.NotifyListPos, c.AlertListPos, c.ProgramPos, c.NgListPos, c.ConfigFormPos})
      EXPECT_EQ(p, tc.expected) << tc.saved.X << "," << tc.saved.Y;
  }
}

TEST(FormPositionCheck, RecordsWindowsOnThePrimaryDisplayOnly) {
  const DisplaySize display{1024, 768};
  const std::vector<int> widths = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  auto fresh = [] {
    ConfigNode c;
    InitConfigNodeDat(c);
    return c;
  };

  {  // everything on screen
    ConfigNode c = fresh();
    FormPositionCheck(c, display, GuideGeometry{{{5, 6}, {700, 400}}, widths}, WindowGeometry{{7, 8}, {598, 500}},
                      WindowGeometry{{0, 0}, {538, 600}});
    EXPECT_EQ(c.ProgramPos, (Point{5, 6}));
    EXPECT_EQ(c.ProgramListSize, (Size{700, 400}));
    EXPECT_EQ(c.ProgramListWidth, widths);
    EXPECT_EQ(c.NotifyListPos, (Point{7, 8}));
    EXPECT_EQ(c.NgListPos, (Point{0, 0}));  // the NG editor at Y = 0 is recorded
    EXPECT_EQ(c.NotifyListHeight, 500);
    EXPECT_EQ(c.NgListHeight, 600);
  }
  {  // guide at X = W, notify editor at Y = 0, heights out of range
    ConfigNode c = fresh();
    FormPositionCheck(c, display, GuideGeometry{{{1024, 6}, {700, 400}}, widths}, WindowGeometry{{7, 0}, {598, 1201}},
                      WindowGeometry{{-30, 5}, {538, 310}});
    EXPECT_EQ(c.ProgramPos, (Point{100, 100}));
    EXPECT_EQ(c.ProgramListSize, (Size{606, 306}));
    EXPECT_EQ(c.ProgramListWidth, kDefaultWidths);
    EXPECT_EQ(c.NotifyListPos, (Point{100, 100}));
    EXPECT_EQ(c.NgListPos, (Point{100, 100}));
    EXPECT_EQ(c.NotifyListHeight, 407);
    EXPECT_EQ(c.NgListHeight, 311);
  }
  {  // heights at their bounds; windows that do not exist change nothing
    ConfigNode c = fresh();
    FormPositionCheck(c, display, std::nullopt, WindowGeometry{{1, 1}, {598, 1200}}, std::nullopt);
    EXPECT_EQ(c.NotifyListHeight, 1200);
    EXPECT_EQ(c.NgListHeight, 311);
    EXPECT_EQ(c.ProgramPos, (Point{100, 100}));
  }
}

}  // namespace
}  // namespace corvanto
