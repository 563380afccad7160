#include "guide/editable_grid.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cwctype>

#include "base/files.h"

namespace corvanto {

namespace {

constexpr wchar_t kClassName[] = L"CorvantoEditableGrid";
constexpr int kListId = 1;
constexpr int kEditId = 2;
constexpr int kComboId = 3;
constexpr int kRowHeaderWidth = 22;
constexpr UINT kCommitChoice = WM_APP + 1;  // wParam: the edit generation it belongs to

std::wstring WindowText(HWND h) {
  const int n = ::GetWindowTextLengthW(h);
  std::wstring s(static_cast<size_t>(n) + 1, L'\0');
  s.resize(static_cast<size_t>(::GetWindowTextW(h, s.data(), n + 1)));
  return s;
}

void FillRect(HDC dc, const RECT& rc, COLORREF color) {
  ::SetBkColor(dc, color);
  ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
}

}  // namespace

EditableGrid::EditableGrid(HWND parent, int controlId, RECT bounds, std::vector<GridColumn> columns, HFONT font,
                           bool resizableColumns)
    : model_(static_cast<int>(columns.size())), columns_(std::move(columns)), resizable_(resizableColumns),
      font_(font) {
  const HINSTANCE inst = ::GetModuleHandleW(nullptr);
  static bool registered = false;  // the interface thread builds every grid
  if (!registered) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &EditableGrid::WndProc;
    wc.hInstance = inst;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    ::RegisterClassExW(&wc);
    registered = true;
  }
  hwnd_ = ::CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, bounds.left, bounds.top,
                            bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), inst, this);
  if (!hwnd_) throw Win32Error(::GetLastError(), L"CreateWindowEx grid");

  list_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                                LVS_OWNERDRAWFIXED | LVS_SINGLESEL | LVS_NOSORTHEADER,
                            0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top, hwnd_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), inst, nullptr);
  if (!list_) throw Win32Error(::GetLastError(), L"CreateWindowEx list view");
  ::SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  ListView_SetBkColor(list_, kSeaShell);
  ListView_SetTextBkColor(list_, kSeaShell);
  if (!resizable_) {
    HWND header = Header();
    ::SetWindowLongPtrW(header, GWL_STYLE, ::GetWindowLongPtrW(header, GWL_STYLE) | HDS_NOSIZING);
  }

  LVCOLUMNW col{};
  col.mask = LVCF_WIDTH | LVCF_TEXT | LVCF_FMT;
  col.fmt = LVCFMT_LEFT;
  col.cx = kRowHeaderWidth;
  col.pszText = const_cast<wchar_t*>(L"");
  ListView_InsertColumn(list_, 0, &col);
  for (size_t i = 0; i < columns_.size(); ++i) {
    col.cx = columns_[i].width;
    col.pszText = const_cast<wchar_t*>(columns_[i].header.c_str());
    ListView_InsertColumn(list_, static_cast<int>(i) + 1, &col);
  }
  ::SetWindowSubclass(list_, &EditableGrid::ListProc, 1, reinterpret_cast<DWORD_PTR>(this));

  edit_ = ::CreateWindowExW(0, WC_EDITW, L"", WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, 0, 0, 10, 10, hwnd_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), inst, nullptr);
  combo_ = ::CreateWindowExW(0, WC_COMBOBOXW, L"", WS_CHILD | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 0, 10, 200, hwnd_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kComboId)), inst, nullptr);
  for (HWND editor : {edit_, combo_}) {
    ::SendMessageW(editor, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    ::SetWindowSubclass(editor, &EditableGrid::EditorProc, 1, reinterpret_cast<DWORD_PTR>(this));
  }

  tip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0,
                           0, 0, hwnd_, nullptr, inst, nullptr);
  for (size_t i = 0; i < columns_.size(); ++i) {
    if (columns_[i].toolTip.empty()) continue;
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.uFlags = TTF_SUBCLASS;
    ti.hwnd = Header();
    ti.uId = i + 1;
    ti.lpszText = const_cast<wchar_t*>(columns_[i].toolTip.c_str());
    ::SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  }
  UpdateToolTips();

  model_.AddListener(this);
  Refresh();
}

EditableGrid::~EditableGrid() {
  model_.RemoveListener(this);
  if (list_) ::RemoveWindowSubclass(list_, &EditableGrid::ListProc, 1);
  for (HWND editor : {edit_, combo_})
    if (editor) ::RemoveWindowSubclass(editor, &EditableGrid::EditorProc, 1);
  if (tip_) ::DestroyWindow(tip_);
  if (hwnd_) {
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd_);
  }
}

HWND EditableGrid::Header() const { return ListView_GetHeader(list_); }

void EditableGrid::SetBounds(RECT bounds) {
  ::MoveWindow(hwnd_, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, TRUE);
}

void EditableGrid::UpdateToolTips() {
  for (size_t i = 0; i < columns_.size(); ++i) {
    if (columns_[i].toolTip.empty()) continue;
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.hwnd = Header();
    ti.uId = i + 1;
    Header_GetItemRect(Header(), static_cast<int>(i) + 1, &ti.rect);
    ::SendMessageW(tip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
  }
}

void EditableGrid::Refresh() {
  ListView_SetItemCountEx(list_, model_.RowCount(), LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
  curRow_ = std::clamp(curRow_, 0, model_.RowCount() - 1);
  curCol_ = std::clamp(curCol_, 0, std::max(0, model_.ColumnCount() - 1));
  ::InvalidateRect(list_, nullptr, TRUE);
}

void EditableGrid::RowsAdded(int first, int count) {
  // The current cell and an open editor stay on their row; on the new-entry row they move down with it.
  if (curRow_ >= first) curRow_ += count;
  if (editing_ && editRow_ >= first) editRow_ += count;
  Refresh();
}

void EditableGrid::RowsRemoved(int first, int count) {
  if (editing_) {
    if (editRow_ >= first + count) {
      editRow_ -= count;
    } else if (editRow_ >= first) {
      // The row being edited is gone: drop the edit.
      editing_ = false;
      ::ShowWindow(edit_, SW_HIDE);
      ::ShowWindow(combo_, SW_HIDE);
    }
  }
  if (curRow_ >= first + count) curRow_ -= count;
  Refresh();
}

void EditableGrid::CellValueChanged(int, int) { ::InvalidateRect(list_, nullptr, TRUE); }

void EditableGrid::SetCurrentCell(int row, int column) {
  if (editing_) EndEdit(true);
  curRow_ = std::clamp(row, 0, model_.RowCount() - 1);
  curCol_ = std::clamp(column, 0, std::max(0, model_.ColumnCount() - 1));
  ListView_EnsureVisible(list_, curRow_, FALSE);
  ::InvalidateRect(list_, nullptr, TRUE);
}

void EditableGrid::MoveCurrent(int rowDelta, int columnDelta) {
  int row = curRow_ + rowDelta;
  int col = curCol_ + columnDelta;
  if (col >= model_.ColumnCount() && rowDelta == 0 && columnDelta == 1 && row + 1 < model_.RowCount()) {
    col = 0;  // Tab past the last column goes on in the next row
    ++row;
  }
  SetCurrentCell(row, col);
}

int EditableGrid::ColumnLeft(int column) const {
  POINT origin{};
  ListView_GetOrigin(list_, &origin);
  int x = -origin.x;
  for (int c = -1; c < column; ++c) x += ListView_GetColumnWidth(list_, c + 1);
  return x;
}

RECT EditableGrid::CellRect(int row, int column) const {
  RECT rc{};
  ListView_GetItemRect(list_, row, &rc, LVIR_BOUNDS);
  rc.left = ColumnLeft(column);
  rc.right = rc.left + ListView_GetColumnWidth(list_, column + 1);
  return rc;
}

bool EditableGrid::HitCell(POINT pt, int& row, int& column) const {
  LVHITTESTINFO hit{};
  hit.pt = pt;
  if (ListView_SubItemHitTest(list_, &hit) < 0 || hit.iItem < 0) return false;
  row = hit.iItem;
  column = hit.iSubItem - 1;
  return true;
}

bool EditableGrid::BeginEdit(const std::wstring* typed, bool dropDown) {
  if (editing_) return true;
  if (curRow_ < 0 || curRow_ >= model_.RowCount() || curCol_ < 0 || curCol_ >= model_.ColumnCount()) return false;
  ListView_EnsureVisible(list_, curRow_, FALSE);
  const GridColumn& column = columns_[static_cast<size_t>(curCol_)];
  const GridCell& value = model_.Cell(curRow_, curCol_);
  RECT rc = CellRect(curRow_, curCol_);
  ::MapWindowPoints(list_, hwnd_, reinterpret_cast<POINT*>(&rc), 2);
  editRow_ = curRow_;
  editCol_ = curCol_;
  editing_ = true;
  ++editGeneration_;
  if (column.dropDown) {
    ::SendMessageW(combo_, CB_RESETCONTENT, 0, 0);
    int selected = -1;
    for (size_t i = 0; i < column.choices.size(); ++i) {
      ::SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(column.choices[i].c_str()));
      if (value && *value == column.choices[i]) selected = static_cast<int>(i);
    }
    if (value && selected < 0 && DataError) DataError(editRow_, editCol_);
    ::SendMessageW(combo_, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    ::SetWindowPos(combo_, HWND_TOP, rc.left, rc.top, rc.right - rc.left, 200, SWP_SHOWWINDOW);
    ::SetFocus(combo_);
    if (typed && !typed->empty()) {
      // Typing picks the first choice that starts with the typed letter, as a list box does.
      for (size_t i = 0; i < column.choices.size(); ++i) {
        if (!column.choices[i].empty() && std::towupper(column.choices[i][0]) == std::towupper((*typed)[0])) {
          ::SendMessageW(combo_, CB_SETCURSEL, i, 0);
          break;
        }
      }
    }
    if (dropDown) ::SendMessageW(combo_, CB_SHOWDROPDOWN, TRUE, 0);
  } else {
    ::SendMessageW(edit_, EM_SETLIMITTEXT, column.maxLength > 0 ? static_cast<WPARAM>(column.maxLength) : 0, 0);
    std::wstring text = typed ? *typed : value.value_or(L"");
    if (column.maxLength > 0 && text.size() > static_cast<size_t>(column.maxLength))
      text.resize(static_cast<size_t>(column.maxLength));
    ::SetWindowTextW(edit_, text.c_str());
    ::SetWindowPos(edit_, HWND_TOP, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, SWP_SHOWWINDOW);
    ::SetFocus(edit_);
    if (typed)
      ::SendMessageW(edit_, EM_SETSEL, text.size(), text.size());
    else
      ::SendMessageW(edit_, EM_SETSEL, 0, -1);
  }
  ::InvalidateRect(list_, nullptr, TRUE);
  return true;
}

void EditableGrid::EndEdit(bool commit, bool restoreFocus) {
  if (!editing_ || ending_) return;
  const bool choice = columns_[static_cast<size_t>(editCol_)].dropDown;
  HWND editor = choice ? combo_ : edit_;
  const bool hadFocus = restoreFocus && ::GetFocus() == editor;
  std::optional<std::wstring> text;
  if (choice) {
    ::SendMessageW(combo_, CB_SHOWDROPDOWN, FALSE, 0);
    const LRESULT sel = ::SendMessageW(combo_, CB_GETCURSEL, 0, 0);
    if (sel >= 0) text = columns_[static_cast<size_t>(editCol_)].choices[static_cast<size_t>(sel)];
  } else {
    text = WindowText(edit_);
  }
  ending_ = true;
  editing_ = false;
  if (hadFocus) ::SetFocus(list_);
  ::ShowWindow(editor, SW_HIDE);
  const int row = editRow_;
  const int col = editCol_;
  if (commit && text) {
    const bool wasNew = model_.IsNewRow(row);
    if (model_.CommitUserEdit(row, col, *text) && wasNew) curRow_ = std::min(row, model_.RowCount() - 1);
  }
  ending_ = false;
  editRow_ = editCol_ = -1;
  Refresh();
}

bool EditableGrid::DeleteCurrentRow() {
  if (editing_) EndEdit(false);
  if (model_.IsNewRow(curRow_)) return false;
  return model_.RemoveRow(curRow_);
}

void EditableGrid::DrawRow(const DRAWITEMSTRUCT& dis) {
  const int row = static_cast<int>(dis.itemID);
  HDC dc = dis.hDC;
  const COLORREF back = (row % 2 == 1) ? kAliceBlue : kSeaShell;
  const COLORREF gridLine = RGB(208, 208, 208);
  HGDIOBJ oldFont = ::SelectObject(dc, font_);
  HPEN pen = ::CreatePen(PS_SOLID, 1, gridLine);
  HGDIOBJ oldPen = ::SelectObject(dc, pen);
  const bool focused = ::GetFocus() == list_;
  for (int c = -1; c < model_.ColumnCount(); ++c) {
    RECT rc = dis.rcItem;
    rc.left = ColumnLeft(c);
    rc.right = rc.left + ListView_GetColumnWidth(list_, c + 1);
    std::wstring text;
    COLORREF fill = back;
    COLORREF ink = ::GetSysColor(COLOR_WINDOWTEXT);
    if (c < 0) {
      fill = ::GetSysColor(COLOR_BTNFACE);
      if (row == curRow_) text = L"\u25B6";  // the current row
      else if (model_.IsNewRow(row)) text = L"*";
    } else {
      text = model_.Cell(row, c).value_or(L"");
      if (row == curRow_ && c == curCol_ && !(editing_ && row == editRow_ && c == editCol_)) {
        fill = focused ? ::GetSysColor(COLOR_HIGHLIGHT) : RGB(204, 204, 204);
        ink = focused ? ::GetSysColor(COLOR_HIGHLIGHTTEXT) : ::GetSysColor(COLOR_WINDOWTEXT);
      }
    }
    FillRect(dc, rc, fill);
    ::SetTextColor(dc, ink);
    ::SetBkMode(dc, TRANSPARENT);
    RECT textRc = rc;
    textRc.left += 3;
    textRc.right -= 3;
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRc,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS | (c < 0 ? DT_CENTER : DT_LEFT));
    ::MoveToEx(dc, rc.right - 1, rc.top, nullptr);
    ::LineTo(dc, rc.right - 1, rc.bottom - 1);
    ::LineTo(dc, rc.left - 1, rc.bottom - 1);
  }
  ::SelectObject(dc, oldPen);
  ::DeleteObject(pen);
  ::SelectObject(dc, oldFont);
}

LRESULT EditableGrid::OnNotify(NMHDR* hdr) {
  if (hdr->hwndFrom == list_) {
    switch (hdr->code) {
      case LVN_GETDISPINFOW: {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(hdr);
        if ((info->item.mask & LVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0) {
          std::wstring text =
              info->item.iSubItem > 0 ? model_.Cell(info->item.iItem, info->item.iSubItem - 1).value_or(L"") : L"";
          lstrcpynW(info->item.pszText, text.c_str(), info->item.cchTextMax);
        }
        return 0;
      }
      case LVN_BEGINSCROLL:
        if (editing_) EndEdit(true);
        return 0;
      default:
        return 0;
    }
  }
  // Header notifications that the list view passes on.
  switch (hdr->code) {
    case HDN_BEGINTRACKW:
    case HDN_BEGINTRACKA:
    case HDN_DIVIDERDBLCLICKW:
    case HDN_DIVIDERDBLCLICKA: {
      auto* nm = reinterpret_cast<NMHEADERW*>(hdr);
      if (editing_) EndEdit(true);
      return (!resizable_ || nm->iItem == 0) ? TRUE : FALSE;  // the row header keeps its width
    }
    case HDN_ENDTRACKW:
    case HDN_ENDTRACKA:
    case HDN_ITEMCHANGEDW:
    case HDN_ITEMCHANGEDA:
      UpdateToolTips();
      ::InvalidateRect(list_, nullptr, TRUE);
      return 0;
    default:
      return 0;
  }
}

LRESULT CALLBACK EditableGrid::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    // Messages reach the object from here on; the list view asks for its row height while it is being created.
    auto* created = reinterpret_cast<EditableGrid*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    created->hwnd_ = hwnd;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* self = reinterpret_cast<EditableGrid*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return ::DefWindowProcW(hwnd, msg, wp, lp);
  return self->OnMessage(msg, wp, lp);
}

LRESULT EditableGrid::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      if (mis->CtlType == ODT_LISTVIEW) mis->itemHeight = kRowHeight;
      return TRUE;
    }
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      if (dis->CtlType == ODT_LISTVIEW && static_cast<int>(dis->itemID) >= 0 &&
          static_cast<int>(dis->itemID) < model_.RowCount())
        DrawRow(*dis);
      return TRUE;
    }
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<NMHDR*>(lp));
    case WM_COMMAND:
      if (reinterpret_cast<HWND>(lp) == combo_ && HIWORD(wp) == CBN_CLOSEUP && editing_)
        ::PostMessageW(hwnd_, kCommitChoice, editGeneration_, 0);
      return 0;
    case kCommitChoice:
      // The list closed over a choice: take it once the combo box has finished its own work.
      if (editing_ && static_cast<unsigned>(wp) == editGeneration_) EndEdit(true);
      return 0;
    case WM_SIZE:
      if (list_) ::MoveWindow(list_, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
      return 0;
    case WM_SETFOCUS:
      ::SetFocus(list_);
      return 0;
    case WM_CTLCOLOREDIT:
      return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
    default:
      return ::DefWindowProcW(hwnd_, msg, wp, lp);
  }
}

LRESULT CALLBACK EditableGrid::ListProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
  bool handled = false;
  LRESULT r = reinterpret_cast<EditableGrid*>(ref)->OnListMessage(msg, wp, lp, handled);
  return handled ? r : ::DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT EditableGrid::OnListMessage(UINT msg, WPARAM wp, LPARAM lp, bool& handled) {
  switch (msg) {
    case WM_GETDLGCODE: {
      handled = true;
      // Ctrl+Tab leaves the grid for the window's next control; every other key stays in the grid.
      const auto* key = reinterpret_cast<const MSG*>(lp);
      if (key && key->message == WM_KEYDOWN && key->wParam == VK_TAB && ::GetKeyState(VK_CONTROL) < 0)
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
      return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
    }
    case WM_KEYDOWN: {
      handled = true;
      const int page = std::max(1, ListView_GetCountPerPage(list_));
      switch (wp) {
        case VK_UP: MoveCurrent(-1, 0); return 0;
        case VK_DOWN: MoveCurrent(1, 0); return 0;
        case VK_LEFT: MoveCurrent(0, -1); return 0;
        case VK_RIGHT: MoveCurrent(0, 1); return 0;
        case VK_TAB: MoveCurrent(0, (::GetKeyState(VK_SHIFT) < 0) ? -1 : 1); return 0;
        case VK_PRIOR: MoveCurrent(-page, 0); return 0;
        case VK_NEXT: MoveCurrent(page, 0); return 0;
        case VK_HOME: SetCurrentCell(::GetKeyState(VK_CONTROL) < 0 ? 0 : curRow_, 0); return 0;
        case VK_END:
          SetCurrentCell(::GetKeyState(VK_CONTROL) < 0 ? model_.RowCount() - 1 : curRow_, model_.ColumnCount() - 1);
          return 0;
        case VK_RETURN: MoveCurrent(1, 0); return 0;
        case VK_F2: BeginEdit(); return 0;
        case VK_F4: BeginEdit(nullptr, true); return 0;
        case VK_DELETE: DeleteCurrentRow(); return 0;
        default: handled = false; return 0;
      }
    }
    case WM_CHAR: {
      handled = true;
      const wchar_t ch = static_cast<wchar_t>(wp);
      if (ch < 0x20 || ch == 0x7F) return 0;
      if (editing_) {
        // Characters already on their way here (an input method delivers a whole word at once) follow the first
        // one into the editor.
        ::SendMessageW(columns_[static_cast<size_t>(editCol_)].dropDown ? combo_ : edit_, WM_CHAR, wp, lp);
        return 0;
      }
      const std::wstring typed(1, ch);
      BeginEdit(&typed);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      handled = true;
      ::SetFocus(list_);
      int row = 0, col = 0;
      POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      if (!HitCell(pt, row, col)) {
        if (editing_) EndEdit(true);
        return 0;
      }
      const bool onCell = col >= 0;
      const bool again = onCell && row == curRow_ && col == curCol_;
      if (!onCell) col = curCol_;  // the row header selects the row
      SetCurrentCell(row, col);
      if (onCell && (msg == WM_LBUTTONDBLCLK || again)) BeginEdit(nullptr, true);
      return 0;
    }
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_MOUSEWHEEL:
      if (editing_) EndEdit(true);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      ::InvalidateRect(list_, nullptr, TRUE);
      return 0;
    default:
      return 0;
  }
}

LRESULT CALLBACK EditableGrid::EditorProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
  bool handled = false;
  LRESULT r = reinterpret_cast<EditableGrid*>(ref)->OnEditorMessage(hwnd, msg, wp, lp, handled);
  return handled ? r : ::DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT EditableGrid::OnEditorMessage(HWND editor, UINT msg, WPARAM wp, LPARAM lp, bool& handled) {
  const bool dropped = editor == combo_ && ::SendMessageW(combo_, CB_GETDROPPEDSTATE, 0, 0);
  switch (msg) {
    case WM_GETDLGCODE:
      handled = true;
      return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
      switch (wp) {
        case VK_RETURN:
        case VK_ESCAPE:
          // An open choice list closes itself first (taking or dropping the highlighted choice); its closing
          // then ends the edit.
          if (dropped) return 0;
          handled = true;
          EndEdit(wp == VK_RETURN);
          return 0;
        case VK_TAB:
          handled = true;
          EndEdit(true);
          MoveCurrent(0, (::GetKeyState(VK_SHIFT) < 0) ? -1 : 1);
          return 0;
        case VK_UP:
        case VK_DOWN:
          if (editor == combo_) return 0;  // the choice list moves its selection
          handled = true;
          EndEdit(true);
          MoveCurrent(wp == VK_UP ? -1 : 1, 0);
          return 0;
        default:
          return 0;
      }
    case WM_CHAR:
      // Enter, Escape and Tab were handled on key down; keep the edit box from beeping.
      if (wp == L'\r' || wp == 0x1B || wp == L'\t') {
        handled = true;
        return 0;
      }
      return 0;
    case WM_KILLFOCUS:
      if (editing_ && !ending_ && !dropped) {
        // Focus went elsewhere (another control, a button): keep what was typed.
        const HWND to = reinterpret_cast<HWND>(wp);
        if (to != edit_ && to != combo_ && !(to && ::GetParent(to) == combo_)) EndEdit(true, false);
      }
      return 0;
    default:
      return 0;
  }
}

}  // namespace corvanto
