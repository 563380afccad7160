#pragma once
// What the four site readers share: the missing-file check, the hidden ".tmp" copy they parse, the XML walk
// frame with its error lines, the duplicate comparison and the download-failure lines of `getProgramList`.
#include <functional>
#include <string>
#include <string_view>

#include "app/config_node.h"
#include "app/logger.h"
#include "feeds/feed_errors.h"
#include "feeds/forward_xml_reader.h"
#include "feeds/program_node.h"

namespace corvanto {

// False, after the line " [error]: <path>が見つからないので処理を飛ばします。", when there is no file at `path`.
bool CheckFeedFile(Logger& logger, const std::wstring& path);

// `path`.tmp: an old copy deleted, `path` copied to it and the copy hidden. The copy is deleted when this object
// goes, on every way out. Throws Win32Error when the copy cannot be made.
class HiddenCopy {
 public:
  explicit HiddenCopy(const std::wstring& path);
  HiddenCopy(const HiddenCopy&) = delete;
  HiddenCopy& operator=(const HiddenCopy&) = delete;
  ~HiddenCopy();
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

// Runs `walk` over the XML document in `file`. An XML error stops the walk after the lines
// " [error]: <className> XML異常発生。以降のXMLは無視されます。" and the reader's description of the error; every
// other failure goes on to the caller. A missing file throws Win32Error.
void WalkXmlFile(Logger& logger, std::wstring_view className, const std::wstring& file,
                 const std::function<void(ForwardXmlReader&)>& walk);

// Equality under the user locale's linguistic comparison, case-sensitive, without width or kana folding.
bool LinguisticEqual(const std::wstring& a, const std::wstring& b);

// The most programs one read keeps; a feed of more is cut there with a warning. Real sites list a few hundred at
// most, and the duplicate scan grows with the square of the count, so a runaway feed would otherwise hold its
// worker (and with it the fetch cycle) for hours.
inline constexpr size_t kMaxProgramsPerRead = 2000;
// " [Warn]: <className> の番組数が上限(2000)を超えたので、以降の番組は読みません。"
void LogProgramCap(Logger& logger, std::wstring_view className);

// Whether a record from `from` on has this author (the readers' duplicate rule).
bool HasAuthor(const ProgramList& programs, const std::wstring& author, size_t from = 0);

// The two lines a reader writes after a network failure of its download.
void LogDownloadProblem(Logger& logger, const WebException& e);

// Settings text, empty when absent.
inline std::wstring SettingText(const OptText& value) { return value ? *value : std::wstring(); }
// The full path of a feed file: the feedfile folder, a backslash, the file name from the settings.
inline std::wstring FeedFilePath(const std::wstring& feedFolder, const OptText& file) {
  return feedFolder + L"\\" + SettingText(file);
}

}  // namespace corvanto
