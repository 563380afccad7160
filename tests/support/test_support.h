#pragma once
// Helpers for tests that run under Wine: a temporary folder of real files, file contents, and processes.
#include <windows.h>

#include <chrono>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvanto::test {

// A fresh empty folder under the system's temporary folder, removed with everything in it at the end.
class TempDir {
 public:
  TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir();
  const std::wstring& path() const { return path_; }
  std::wstring operator/(std::wstring_view name) const { return path_ + L"\\" + std::wstring(name); }

 private:
  std::wstring path_;
};

void RemoveTree(const std::wstring& path);

// The file's bytes, read while others may write it; fails the test when it cannot be opened.
std::string ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, std::string_view bytes);
// The UTF-8 file's lines as text, split at CR LF (a final empty piece dropped).
std::vector<std::wstring> ReadLines(const std::wstring& path);
// Names of the entries of a folder, sorted, without "." and "..".
std::vector<std::wstring> ListFolder(const std::wstring& path);

// A data file's text from its lines: CR LF between them, none after the last (as the program writes them).
std::string XmlLines(std::initializer_list<const char*> lines);
// The two namespace declarations every data file's root carries.
#define CORVANTO_XML_NS \
  "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\""

// The folder that holds the test executable (and Corvanto.exe with its sounds).
std::wstring TestBinFolder();

// Starts a program; the handle is closed by the destructor.
class Process {
 public:
  Process(const std::wstring& exe, const std::wstring& arguments = L"", const std::wstring& workingDir = L"");
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  ~Process();
  // The exit code, or nothing if it is still running after `timeout`.
  std::optional<DWORD> Wait(std::chrono::milliseconds timeout);
  void Kill();
  DWORD id() const { return info_.dwProcessId; }

 private:
  PROCESS_INFORMATION info_{};
};

// Windows of a running copy of the program, waited for up to 20 s; nullptr when none appears.
// The context's message-only window: closing it ends the program as the tray menu's end item does.
HWND FindCoreWindow(DWORD processId);
// A top-level window of the process with exactly this title.
HWND FindTopWindow(DWORD processId, const std::wstring& title);

// Polls `condition` every 20 ms until it holds or `timeout` passes; returns whether it held.
template <class F>
bool WaitUntil(F condition, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() > end) return false;
    ::Sleep(20);
  }
}

}  // namespace corvanto::test
