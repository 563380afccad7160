#include "app/logger.h"

#include <windows.h>

#include "base/files.h"
#include "base/handle.h"
#include "base/text.h"

namespace corvanto {

namespace {
constexpr std::chrono::milliseconds kLogPoll{10};
}

std::wstring LocalDateTimeText() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  wchar_t date[80] = L"", time[80] = L"";
  ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date, 80, nullptr);
  ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &now, nullptr, time, 80);
  return std::wstring(date) + L" " + time;
}

Logger::Logger(std::wstring outFile)
    : OutFile_(std::move(outFile)), mutex_(L"Corvanto_log"), clock_(&LocalDateTimeText) {
  UniqueHandle file(::CreateFileW(OutFile_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw Win32Error(::GetLastError(), L"CreateFile " + OutFile_);
}

bool Logger::TryAppend(const std::string& utf8) {
  UniqueHandle file(::CreateFileW(OutFile_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  // One write for the pending lines and the new one, so that another process never sees half of it.
  DWORD wrote = 0;
  return ::WriteFile(file.get(), utf8.data(), static_cast<DWORD>(utf8.size()), &wrote, nullptr) &&
         wrote == utf8.size();
}

void Logger::WriteLine(const std::wstring& message) {
  NamedMutexLock lock(mutex_, kLogPoll);
  const std::wstring line = clock_() + L" " + message + L"\r\n";
  std::wstring text;
  if (!ngBuf.empty()) {
    const size_t first = ngBuf.find_first_not_of(L"\r\n");
    const size_t last = ngBuf.find_last_not_of(L"\r\n");
    if (first != std::wstring::npos) text = ngBuf.substr(first, last - first + 1) + L"\r\n";
  }
  text += line;
  if (TryAppend(WideToUtf8(text))) {
    ngBuf.clear();
  } else {
    ngBuf += line;
  }
}

}  // namespace corvanto
