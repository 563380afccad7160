#include "app/data_files.h"

#include <windows.h>

#include "app/sites.h"
#include "app/xml_records.h"
#include "base/files.h"

namespace corvanto {

DataPaths DataPaths::In(const std::wstring& folder) {
  DataPaths p;
  p.folder = folder;
  p.ConfigFileName = folder + L"\\config\\Config.xml";
  p.NotifyListFileName = folder + L"\\config\\NotifyList.xml";
  p.ListFileName = folder + L"\\config\\List.xml";
  p.KeywordFileName = folder + L"\\config\\Keyword.xml";
  p.NgListFileName = folder + L"\\config\\NgList.xml";
  return p;
}

namespace {

void EnsureFolder(const std::wstring& path) {
  if (DirectoryExists(path)) return;
  if (!::CreateDirectoryW(path.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
    throw Win32Error(::GetLastError(), L"CreateDirectory " + path);
}

void DeleteIfPresent(const std::wstring& path) {
  if (!::DeleteFileW(path.c_str())) {
    const DWORD e = ::GetLastError();
    if (e != ERROR_FILE_NOT_FOUND && e != ERROR_PATH_NOT_FOUND) throw Win32Error(e, L"DeleteFile " + path);
  }
}

void LogMissing(Logger& logger, const std::wstring& path) { logger.WriteLine(L" [Worn]: " + path + L" が存在しない"); }
void LogMalformed(Logger& logger, const std::wstring& path) {
  logger.WriteLine(L" [Error]: " + path + L" のフォーマットが異常です");
}

// A site field that is not one of the four list site names becomes `fallback`.
void NormaliseSite(OptText& site, std::wstring_view fallback) {
  if (!site || !sites::IsListSiteName(*site)) site = std::wstring(fallback);
}

}  // namespace

LoadedData LoadConfigList(const DataPaths& paths, Logger& logger, DisplaySize display) {
  LoadedData data;
  EnsureFolder(paths.ConfigFolder());
  EnsureFolder(paths.FeedFolder());

  // Older versions kept their files beside the executable; those win over what config holds.
  for (const wchar_t* name : {L"Config.xml", L"List.xml", L"Keyword.xml", L"NgList.xml"}) {
    const std::wstring old = paths.folder + L"\\" + name;
    if (!FileExists(old)) continue;
    const std::wstring target = paths.ConfigFolder() + L"\\" + name;
    if (!::MoveFileExW(old.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
      throw Win32Error(::GetLastError(), L"MoveFileEx " + old);
  }
  DeleteIfPresent(paths.folder + L"\\index.live.xml");

  if (auto bytes = ReadWholeFile(paths.ConfigFileName)) {
    if (auto config = DeserializeConfigNode(*bytes)) {
      data.ConfigNodeDat = std::move(*config);
      CorrectLoadedConfig(data.ConfigNodeDat);
    } else {
      LogMalformed(logger, paths.ConfigFileName);
      InitConfigNodeDat(data.ConfigNodeDat);
    }
  } else {
    LogMissing(logger, paths.ConfigFileName);
    InitConfigNodeDat(data.ConfigNodeDat);
    logger.WriteLine(L" [Info]: コンフィグデータに初期値を採用");
  }

  if (auto bytes = ReadWholeFile(paths.NotifyListFileName)) {
    if (auto rows = DeserializeNotifyList(*bytes)) {
      for (auto& row : *rows) NormaliseSite(row.server, sites::kLivetube);
      data.NotifyNodeDat = std::move(*rows);
    } else {
      LogMalformed(logger, paths.NotifyListFileName);
    }
  } else {
    LogMissing(logger, paths.NotifyListFileName);
  }

  if (auto bytes = ReadWholeFile(paths.ListFileName)) {
    if (auto rows = DeserializeAuthorList(*bytes)) {
      for (auto& row : *rows) {
        NormaliseSite(row.serverAuthor, sites::kLivetube);
        data.NotifyNodeDat.push_back(NotifyNode{row.serverAuthor, row.AuthorName, row.NickName, L"", L"", {}});
      }
      DeleteIfPresent(paths.ListFileName);
    } else {
      LogMalformed(logger, paths.ListFileName);
    }
  }

  if (auto bytes = ReadWholeFile(paths.KeywordFileName)) {
    if (auto rows = DeserializeKeywordList(*bytes)) {
      for (auto& row : *rows) {
        NormaliseSite(row.serverKeyword, sites::kLivetube);
        data.NotifyNodeDat.push_back(NotifyNode{row.serverKeyword, L"", L"", row.Keyword, L"", {}});
      }
      DeleteIfPresent(paths.KeywordFileName);
    } else {
      LogMalformed(logger, paths.KeywordFileName);
    }
  }

  if (auto bytes = ReadWholeFile(paths.NgListFileName)) {
    if (auto rows = DeserializeNgList(*bytes)) {
      for (auto& row : *rows) NormaliseSite(row.serverNg, sites::kAll);
      data.NgWordNodeDat = std::move(*rows);
    } else {
      LogMalformed(logger, paths.NgListFileName);
    }
  } else {
    LogMissing(logger, paths.NgListFileName);
  }

  CheckSavedPositions(data.ConfigNodeDat, display);
  return data;
}

bool WriteWithTemporaryFile(const std::wstring& target, const std::function<std::string()>& serialize,
                            Logger& logger, const std::wstring& failureLine, const std::wstring& successLine) {
  const std::wstring temporary = target + L".tmp";
  std::wstring message, cause;
  try {
    const std::string bytes = serialize();
    WriteWholeFile(temporary, bytes);
    ReplaceFileAtomically(temporary, target);
    logger.WriteLine(successLine);
    return true;
  } catch (const XmlSerializeError& e) {
    message = L"XML ドキュメントの生成中にエラーが発生しました。";
    cause = e.message();
  } catch (const Win32Error& e) {
    message = e.message();
  }
  logger.WriteLine(failureLine);
  logger.WriteLine(message);
  if (!cause.empty()) logger.WriteLine(cause);
  ::DeleteFileW(temporary.c_str());  // the old file stays as it was
  return false;
}

bool SaveConfigFile(const std::wstring& path, const ConfigNode& config, Logger& logger) {
  return WriteWithTemporaryFile(path, [&] { return SerializeConfigNode(config); }, logger, L"リストXML書き込み失敗",
                                L" [Info]: コンフィグXML書き出し完了");
}

bool SaveNotifyListFile(const std::wstring& path, const std::vector<NotifyNode>& rows, Logger& logger) {
  return WriteWithTemporaryFile(path, [&] { return SerializeNotifyList(rows); }, logger, L"通知情報XML書き込み失敗",
                                L" [Info]: 通知情報XML書き出し完了");
}

bool SaveNgListFile(const std::wstring& path, const std::vector<NgWordNode>& rows, Logger& logger) {
  return WriteWithTemporaryFile(path, [&] { return SerializeNgList(rows); }, logger, L"リストXML書き込み失敗",
                                L" [Info]: NGリストXML書き出し完了");
}

}  // namespace corvanto
