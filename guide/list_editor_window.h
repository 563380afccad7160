#pragma once
// What the notify and NG editor windows share: a top-level window built hidden, a group box around an editable
// grid, three buttons along the bottom, a fixed width with a bounded height, and closing turned into hiding.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/config_node.h"
#include "guide/editable_grid.h"

namespace corvanto {

struct EditorButton {
  int id;
  std::wstring text;
  RECT bounds;  // in the designed client area
};

struct EditorLayout {
  std::wstring title;
  SIZE designClient;        // the client area the positions below are given for
  int width;                // the window's fixed outer width
  int minHeight, maxHeight; // bounds of the outer height
  bool minMaxBoxes;
  bool inTaskBar;
  std::wstring groupText;
  RECT group;               // anchored top and bottom
  RECT grid;                // client coordinates; anchored top, bottom and left
  std::vector<EditorButton> buttons;  // anchored bottom and right
  double groupFontPt;
  double buttonFontPt;
  double gridFontPt;
  bool resizableColumns;
};

class ListEditorWindow {
 public:
  virtual ~ListEditorWindow();
  ListEditorWindow(const ListEditorWindow&) = delete;
  ListEditorWindow& operator=(const ListEditorWindow&) = delete;

  HWND hwnd() const { return hwnd_; }
  bool Visible() const { return ::IsWindowVisible(hwnd_) != FALSE; }
  void Show();
  void Hide();
  // Where the window stands and its outer size, for the settings at exit.
  WindowGeometry Geometry() const;

 protected:
  ListEditorWindow();
  // Builds the window hidden at `pos` with the outer height `height` (kept within the layout's bounds).
  void Create(const EditorLayout& layout, Point pos, int height, std::vector<GridColumn> columns);
  EditableGrid& Grid() { return *grid_; }

  virtual void OnButton(int id) = 0;
  // A close request; `userClosing` when the user asked (close box, system menu, Alt+F4). The window is never
  // destroyed here: it lives until the application ends.
  virtual void OnClosing(bool userClosing) = 0;
  virtual void OnFirstShown() {}

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
  void Layout();

  EditorLayout layout_;
  HWND hwnd_ = nullptr;
  HWND owner_ = nullptr;
  HWND group_ = nullptr;
  std::vector<HWND> buttons_;
  HFONT groupFont_ = nullptr;
  HFONT buttonFont_ = nullptr;
  HFONT gridFont_ = nullptr;
  std::unique_ptr<EditableGrid> grid_;
  bool userClosing_ = false;
  bool shownOnce_ = false;
};

// "MS UI Gothic" at a size in points.
HFONT CreateUiFont(double points);

}  // namespace corvanto
