// Form1: the panel window, its two buttons and the form-level state.
#pragma once

#include <windows.h>

#include <string>

#include "win_handles.h"

namespace svcpanel {

class Panel {
 public:
  static constexpr int kCommand1Id = 1001;
  static constexpr int kCommand2Id = 1002;

  // Creates Form1, not yet shown; throws PanelError on failure.
  explicit Panel(HINSTANCE instance);
  Panel(const Panel &) = delete;
  Panel &operator=(const Panel &) = delete;

  // The load handler. Returns false when another instance runs and this one must end.
  bool Load();

  short ScriptWindowStyle() const { return scriptWindowStyle_; }
  const std::wstring &ProgramDir() const { return programDir_; }
  // Enabled first, Caption second.
  void SetCommand1(bool enabled, const wchar_t *caption) { SetButton(command1_, enabled, caption); }
  void SetCommand2(bool enabled, const wchar_t *caption) { SetButton(command2_, enabled, caption); }

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(int id, int notification, HWND control);
  void OnPaint();
  void OnDrawItem(const DRAWITEMSTRUCT &item);
  void OnDestroy();

  void CreateControls();
  static void SetButton(HWND button, bool enabled, const wchar_t *caption);
  HWND CreateButton(int id, const wchar_t *caption, int leftTwips, int widthTwips, int heightTwips);
  int Pixels(int twips) const;

  HINSTANCE instance_;
  HWND form_ = nullptr;
  HWND command1_ = nullptr;
  HWND command2_ = nullptr;
  int dpi_ = 96;
  short scriptWindowStyle_ = SW_SHOWNORMAL;
  std::wstring programDir_;
  UniqueBitmap panelPicture_;
  UniqueBitmap startPicture_;
  UniqueBitmap stopPicture_;
  UniqueFont buttonFont_;
  UniqueHandle instanceMutex_;
};

}  // namespace svcpanel
