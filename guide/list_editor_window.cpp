#include "guide/list_editor_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "base/files.h"
#include "resources/resource_ids.h"

namespace corvanto {

namespace {
constexpr wchar_t kClassName[] = L"CorvantoListEditor";
constexpr int kGridId = 100;
}  // namespace

HFONT CreateUiFont(double points) {
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  LOGFONTW lf{};
  lf.lfHeight = -static_cast<LONG>(std::lround(points * dpi / 72.0));
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = DEFAULT_QUALITY;
  lstrcpynW(lf.lfFaceName, L"MS UI Gothic", LF_FACESIZE);
  return ::CreateFontIndirectW(&lf);
}

ListEditorWindow::ListEditorWindow() = default;

ListEditorWindow::~ListEditorWindow() {
  grid_.reset();
  if (hwnd_) {
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd_);
  }
  if (owner_) ::DestroyWindow(owner_);
  for (HFONT f : {groupFont_, buttonFont_, gridFont_})
    if (f) ::DeleteObject(f);
}

void ListEditorWindow::Create(const EditorLayout& layout, Point pos, int height, std::vector<GridColumn> columns) {
  layout_ = layout;
  const HINSTANCE inst = ::GetModuleHandleW(nullptr);
  static bool registered = false;
  if (!registered) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &ListEditorWindow::WndProc;
    wc.hInstance = inst;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    ::RegisterClassExW(&wc);
    registered = true;
  }
  groupFont_ = CreateUiFont(layout.groupFontPt);
  buttonFont_ = CreateUiFont(layout.buttonFontPt);
  gridFont_ = CreateUiFont(layout.gridFontPt);

  // A window with a hidden owner stays out of the task bar.
  if (!layout.inTaskBar)
    owner_ = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, inst, nullptr);
  // No WS_CLIPCHILDREN: the group box leaves its inside to the parent's background.
  DWORD style = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
  if (layout.minMaxBoxes) style |= WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  height = std::clamp(height, layout.minHeight, layout.maxHeight);
  hwnd_ = ::CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, layout.title.c_str(), style, pos.X, pos.Y, layout.width,
                            height, owner_, nullptr, inst, this);
  if (!hwnd_) throw Win32Error(::GetLastError(), L"CreateWindowEx " + layout.title);

  if (HICON big = static_cast<HICON>(::LoadImageW(inst, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                                  ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), LR_SHARED)))
    ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  if (HICON small = static_cast<HICON>(::LoadImageW(inst, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                                    ::GetSystemMetrics(SM_CXSMICON),
                                                    ::GetSystemMetrics(SM_CYSMICON), LR_SHARED)))
    ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));

  const RECT& g = layout.group;
  group_ = ::CreateWindowExW(0, WC_BUTTONW, layout.groupText.c_str(), WS_CHILD | WS_VISIBLE | BS_GROUPBOX, g.left,
                             g.top, g.right - g.left, g.bottom - g.top, hwnd_, nullptr, inst, nullptr);
  ::SendMessageW(group_, WM_SETFONT, reinterpret_cast<WPARAM>(groupFont_), FALSE);
  grid_ = std::make_unique<EditableGrid>(hwnd_, kGridId, layout.grid, std::move(columns), gridFont_,
                                         layout.resizableColumns);
  for (const EditorButton& b : layout.buttons) {
    HWND h = ::CreateWindowExW(0, WC_BUTTONW, b.text.c_str(), WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                               b.bounds.left, b.bounds.top, b.bounds.right - b.bounds.left,
                               b.bounds.bottom - b.bounds.top, hwnd_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(b.id)), inst, nullptr);
    ::SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont_), FALSE);
    buttons_.push_back(h);
  }
  // The group box is drawn behind the grid.
  ::SetWindowPos(group_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Layout();
}

void ListEditorWindow::Layout() {
  if (!grid_) return;
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  const int dw = client.right - layout_.designClient.cx;
  const int dh = client.bottom - layout_.designClient.cy;
  const RECT& g = layout_.group;
  ::MoveWindow(group_, g.left, g.top, g.right - g.left, std::max<int>(0, g.bottom - g.top + dh), TRUE);
  RECT grid = layout_.grid;
  grid.bottom = std::max<LONG>(grid.top, grid.bottom + dh);
  grid_->SetBounds(grid);
  for (size_t i = 0; i < buttons_.size(); ++i) {
    const RECT& b = layout_.buttons[i].bounds;
    ::MoveWindow(buttons_[i], b.left + dw, b.top + dh, b.right - b.left, b.bottom - b.top, TRUE);
  }
}

void ListEditorWindow::Show() {
  ::ShowWindow(hwnd_, SW_SHOWNORMAL);
  ::SetForegroundWindow(hwnd_);
}

void ListEditorWindow::Hide() {
  if (grid_ && grid_->IsEditing()) grid_->EndEdit(true);
  ::ShowWindow(hwnd_, SW_HIDE);
}

WindowGeometry ListEditorWindow::Geometry() const {
  RECT rc{};
  ::GetWindowRect(hwnd_, &rc);
  return WindowGeometry{Point{rc.left, rc.top}, Size{rc.right - rc.left, rc.bottom - rc.top}};
}

LRESULT CALLBACK ListEditorWindow::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
    auto* created = reinterpret_cast<ListEditorWindow*>(cs->lpCreateParams);
    created->hwnd_ = hwnd;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* self = reinterpret_cast<ListEditorWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return ::DefWindowProcW(hwnd, msg, wp, lp);
  return self->OnMessage(msg, wp, lp);
}

LRESULT ListEditorWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_GETMINMAXINFO: {
      auto* mmi = reinterpret_cast<MINMAXINFO*>(lp);
      mmi->ptMinTrackSize = POINT{layout_.width, layout_.minHeight};
      mmi->ptMaxTrackSize = POINT{layout_.width, layout_.maxHeight};
      mmi->ptMaxSize = POINT{layout_.width, layout_.maxHeight};
      return 0;
    }
    case WM_SIZE:
      Layout();
      return 0;
    case WM_SETFOCUS:
      // Activating the window puts the keys into the grid.
      if (grid_) ::SetFocus(grid_->ListView());
      return 0;
    case WM_COMMAND:
      if (HIWORD(wp) == BN_CLICKED && lp) OnButton(LOWORD(wp));
      return 0;
    case WM_SHOWWINDOW:
      if (wp && !shownOnce_) {
        shownOnce_ = true;
        OnFirstShown();
      }
      return ::DefWindowProcW(hwnd_, msg, wp, lp);
    case WM_SYSCOMMAND:
      if ((wp & 0xFFF0) == SC_CLOSE) {
        // The close box, the system menu and Alt+F4 all come this way: the user is closing.
        userClosing_ = true;
        LRESULT r = ::DefWindowProcW(hwnd_, msg, wp, lp);
        userClosing_ = false;
        return r;
      }
      return ::DefWindowProcW(hwnd_, msg, wp, lp);
    case WM_CLOSE:
      OnClosing(userClosing_);
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wp) OnClosing(false);
      return 0;
    case WM_CTLCOLORSTATIC:
      // The group box's caption on the window's own background.
      ::SetBkMode(reinterpret_cast<HDC>(wp), TRANSPARENT);
      return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    default:
      return ::DefWindowProcW(hwnd_, msg, wp, lp);
  }
}

}  // namespace corvanto
