#include "feeds/feed_frame.h"

#include <windows.h>

#include "base/files.h"

namespace corvanto {

bool CheckFeedFile(Logger& logger, const std::wstring& path) {
  if (FileExists(path)) return true;
  logger.WriteLine(L" [error]: " + path + L"が見つからないので処理を飛ばします。");
  return false;
}

namespace {

void DeleteIfPresent(const std::wstring& path) {
  if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // a hidden or read-only copy may not be replaced
  if (!::DeleteFileW(path.c_str()) && ::GetLastError() != ERROR_FILE_NOT_FOUND) {
    throw Win32Error(::GetLastError(), L"DeleteFile " + path);
  }
}

}  // namespace

HiddenCopy::HiddenCopy(const std::wstring& path) : path_(path + L".tmp") {
  DeleteIfPresent(path_);
  if (!::CopyFileW(path.c_str(), path_.c_str(), FALSE)) throw Win32Error(::GetLastError(), L"CopyFile " + path);
  if (!::SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_HIDDEN)) {
    const DWORD code = ::GetLastError();
    ::DeleteFileW(path_.c_str());
    throw Win32Error(code, L"SetFileAttributes " + path_);
  }
}

HiddenCopy::~HiddenCopy() {
  ::SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileW(path_.c_str());
}

void WalkXmlFile(Logger& logger, std::wstring_view className, const std::wstring& file,
                 const std::function<void(ForwardXmlReader&)>& walk) {
  const auto bytes = ReadWholeFile(file);
  if (!bytes) throw Win32Error(ERROR_FILE_NOT_FOUND, L"ReadFile " + file);
  try {
    ForwardXmlReader reader(*bytes);
    walk(reader);
  } catch (const XmlParseError& e) {
    logger.WriteLine(L" [error]: " + std::wstring(className) + L" XML異常発生。以降のXMLは無視されます。");
    logger.WriteLine(DescribeXmlError(e));
  }
}

bool LinguisticEqual(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringEx(LOCALE_NAME_USER_DEFAULT, 0, a.c_str(), static_cast<int>(a.size()), b.c_str(),
                           static_cast<int>(b.size()), nullptr, nullptr, 0) == CSTR_EQUAL;
}

void LogProgramCap(Logger& logger, std::wstring_view className) {
  logger.WriteLine(L" [Warn]: " + std::wstring(className) + L" の番組数が上限(" + std::to_wstring(kMaxProgramsPerRead) +
                   L")を超えたので、以降の番組は読みません。");
}

void LogDownloadProblem(Logger& logger, const WebException& e) {
  logger.WriteLine(L" [Error]: フィードダウンロードに問題発生");
  logger.WriteLine(L" [Error]: " + e.message());
}

bool HasAuthor(const ProgramList& programs, const std::wstring& author, size_t from) {
  for (size_t i = from; i < programs.size(); ++i)
    if (LinguisticEqual(author, programs[i]->AuthorName)) return true;
  return false;
}

}  // namespace corvanto
