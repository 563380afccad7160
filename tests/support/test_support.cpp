#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#include "base/files.h"
#include "base/text.h"

namespace corvanto::test {

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  wchar_t base[MAX_PATH];
  ::GetTempPathW(MAX_PATH, base);
  for (;;) {
    path_ = std::wstring(base) + L"corvanto-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter);
    if (::CreateDirectoryW(path_.c_str(), nullptr)) break;
    if (::GetLastError() != ERROR_ALREADY_EXISTS) {
      ADD_FAILURE() << "cannot create a temporary folder";
      break;
    }
  }
}

TempDir::~TempDir() { RemoveTree(path_); }

void RemoveTree(const std::wstring& path) {
  WIN32_FIND_DATAW fd;
  HANDLE find = ::FindFirstFileW((path + L"\\*").c_str(), &fd);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = fd.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring full = path + L"\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full);
      } else {
        ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(full.c_str());
      }
    } while (::FindNextFileW(find, &fd));
    ::FindClose(find);
  }
  ::RemoveDirectoryW(path.c_str());
}

std::string ReadBytes(const std::wstring& path) {
  // Share everything: the file may be one a running program is appending to at this moment (its log).
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    ADD_FAILURE() << "cannot read " << WideToUtf8(path) << ": " << WideToUtf8(SystemMessage(::GetLastError()));
    return {};
  }
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (::ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) bytes.append(buffer, got);
  ::CloseHandle(file);
  return bytes;
}

void WriteBytes(const std::wstring& path, std::string_view bytes) { WriteWholeFile(path, bytes); }

std::vector<std::wstring> ReadLines(const std::wstring& path) {
  const std::wstring text = Utf8ToWide(ReadBytes(path));
  std::vector<std::wstring> lines;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(L"\r\n", start);
    if (end == std::wstring::npos) {
      if (start < text.size()) lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::vector<std::wstring> ListFolder(const std::wstring& path) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW fd;
  HANDLE find = ::FindFirstFileW((path + L"\\*").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = fd.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (::FindNextFileW(find, &fd));
  ::FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

std::string XmlLines(std::initializer_list<const char*> lines) {
  std::string out;
  for (const char* l : lines) {
    if (!out.empty()) out += "\r\n";
    out += l;
  }
  return out;
}

std::wstring TestBinFolder() { return ExeFolder(); }

Process::Process(const std::wstring& exe, const std::wstring& arguments, const std::wstring& workingDir) {
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingDir.empty() ? nullptr : workingDir.c_str(), &si, &info_)) {
    ADD_FAILURE() << "cannot start " << WideToUtf8(exe) << ": " << WideToUtf8(SystemMessage(::GetLastError()));
    info_ = {};
  }
}

Process::~Process() {
  if (info_.hProcess) {
    if (!Wait(std::chrono::milliseconds(0))) Kill();
    ::CloseHandle(info_.hThread);
    ::CloseHandle(info_.hProcess);
  }
}

std::optional<DWORD> Process::Wait(std::chrono::milliseconds timeout) {
  if (!info_.hProcess) return DWORD{0xFFFFFFFF};
  if (::WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
    return std::nullopt;
  DWORD code = 0;
  ::GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

void Process::Kill() {
  if (info_.hProcess) {
    ::TerminateProcess(info_.hProcess, 99);
    ::WaitForSingleObject(info_.hProcess, 5000);
  }
}

HWND FindTopWindow(DWORD processId, const std::wstring& title) {
  struct Search {
    DWORD pid;
    const std::wstring* title;
    HWND found;
  } search{processId, &title, nullptr};
  WaitUntil(
      [&] {
        ::EnumWindows(
            [](HWND w, LPARAM lp) -> BOOL {
              auto* s = reinterpret_cast<Search*>(lp);
              DWORD pid = 0;
              ::GetWindowThreadProcessId(w, &pid);
              wchar_t text[64] = {};
              ::GetWindowTextW(w, text, 64);
              if (pid == s->pid && *s->title == text) {
                s->found = w;
                return FALSE;
              }
              return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      std::chrono::seconds(20));
  return search.found;
}

HWND FindCoreWindow(DWORD processId) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND w = nullptr; (w = ::FindWindowExW(HWND_MESSAGE, w, L"CorvantoCoreWindow", nullptr));) {
          DWORD pid = 0;
          ::GetWindowThreadProcessId(w, &pid);
          if (pid == processId) return (found = w) != nullptr;
        }
        return false;
      },
      std::chrono::seconds(20));
  return found;
}

}  // namespace corvanto::test
