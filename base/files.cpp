#include "base/files.h"

#include <algorithm>
#include <vector>

#include "base/handle.h"
#include "base/text.h"

namespace corvanto {

std::wstring SystemMessage(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD n = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
      reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = n ? std::wstring(buffer, n) : L"error " + std::to_wstring(code);
  if (buffer) ::LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
  return text;
}

Win32Error::Win32Error(DWORD code, std::wstring what)
    : std::runtime_error(WideToUtf8(what)), code_(code), message_(std::move(what) + L": " + SystemMessage(code)) {}

std::wstring ExeFolder() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) throw Win32Error(::GetLastError(), L"GetModuleFileName");
    if (n < buffer.size()) {
      std::wstring path(buffer.data(), n);
      return path.substr(0, path.find_last_of(L"\\/"));
    }
    buffer.resize(buffer.size() * 2);
  }
}

bool FileExists(const std::wstring& path) {
  const DWORD a = ::GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::wstring& path) {
  const DWORD a = ::GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> ReadWholeFile(const std::wstring& path) {
  UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD e = ::GetLastError();
    if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND) return std::nullopt;
    throw Win32Error(e, L"CreateFile " + path);
  }
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size)) throw Win32Error(::GetLastError(), L"GetFileSizeEx " + path);
  std::string bytes;
  bytes.resize(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
    if (!::ReadFile(file.get(), bytes.data() + done, want, &got, nullptr))
      throw Win32Error(::GetLastError(), L"ReadFile " + path);
    if (got == 0) break;
    done += got;
  }
  bytes.resize(done);
  return bytes;
}

void WriteWholeFile(const std::wstring& path, std::string_view bytes) {
  UniqueHandle file(
      ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw Win32Error(::GetLastError(), L"CreateFile " + path);
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD wrote = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
    if (!::WriteFile(file.get(), bytes.data() + done, want, &wrote, nullptr))
      throw Win32Error(::GetLastError(), L"WriteFile " + path);
    done += wrote;
  }
  if (!::FlushFileBuffers(file.get())) throw Win32Error(::GetLastError(), L"FlushFileBuffers " + path);
}

void ReplaceFileAtomically(const std::wstring& from, const std::wstring& to) {
  if (!::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    throw Win32Error(::GetLastError(), L"MoveFileEx " + from);
}

}  // namespace corvanto
