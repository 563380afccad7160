#pragma once
// The three sites: the names under which they are stored (program records, list rows) and their hosts.
#include <string>
#include <string_view>

namespace corvanto::sites {

inline constexpr std::wstring_view kLivetube = L"Livetube";
inline constexpr std::wstring_view kCaveTube = L"CaveTube";
inline constexpr std::wstring_view kHimawari = L"ひまわりストリーム";
inline constexpr std::wstring_view kAll = L"全部";  // list rows that apply to every site

// True for the four names a list row may hold in its site field.
bool IsListSiteName(std::wstring_view name);

inline constexpr std::wstring_view kLivetubeHost = L"livetube.cc";
inline constexpr std::wstring_view kLivetubeAlternateHost = L"h.livetube.cc";
inline constexpr std::wstring_view kCaveTubeFeedHost = L"rss.cavelis.net";
inline constexpr std::wstring_view kCaveTubeHost = L"gae.cavelis.net";
inline constexpr std::wstring_view kHimawariHost = L"himast.in";

// The Livetube site's base address: scheme and host, no trailing slash. The JSON feed's page links are
// relative to it.
inline std::wstring LivetubeBaseAddress() { return L"http://" + std::wstring(kLivetubeHost); }

}  // namespace corvanto::sites
