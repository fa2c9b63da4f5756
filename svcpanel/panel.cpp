#include "panel.h"

#include "bundle.h"
#include "commands.h"
#include "panel_error.h"
#include "resource.h"
#include "service_names.h"
#include "service_state.h"

namespace svcpanel {
namespace {

constexpr wchar_t kFormClass[] = L"VelmoraSvcpanelForm1";
// One panel per user session.
constexpr wchar_t kInstanceMutex[] = L"Local\\VelmoraSvcpanelSingleInstance";
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;

// Window geometry in twips, as designed.
constexpr int kClientWidthTwips = 7620;
constexpr int kClientHeightTwips = 4710;
constexpr int kButtonTopTwips = 720;
constexpr int kButtonWidthTwips = 1575;
constexpr int kCommand1LeftTwips = 1200;
constexpr int kCommand1HeightTwips = 735;
constexpr int kCommand2LeftTwips = 4560;
constexpr int kCommand2HeightTwips = 750;
constexpr int kTwipsPerInch = 1440;

constexpr int kButtonPictureSize = 16;
constexpr int kPictureTextGap = 2;
constexpr int kButtonFontTenthsOfPoint = 105;
constexpr wchar_t kButtonFontFace[] = L"宋体";

std::wstring ModuleDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) ThrowLastError(L"查找程序目录", L"svcpanel.exe");
    if (length < path.size()) {
      path.resize(length);
      return DirectoryOf(path);
    }
    path.resize(path.size() * 2);
  }
}

int ScreenDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

UniqueBitmap LoadPicture(HINSTANCE instance, int id) {
  HANDLE image = LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  if (!image) ThrowLastError(L"加载图片资源", L"svcpanel.exe");
  return UniqueBitmap(static_cast<HBITMAP>(image));
}

SIZE BitmapSize(HBITMAP bitmap) {
  BITMAP info{};
  GetObjectW(bitmap, sizeof info, &info);
  return {info.bmWidth, info.bmHeight};
}

void RegisterFormClass(HINSTANCE instance, WNDPROC wndProc) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = wndProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_PROGRAM));
  wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), 0));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kFormClass;
  if (!RegisterClassExW(&wc)) ThrowLastError(L"注册窗口类", kFormClass);
}

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace

Panel::Panel(HINSTANCE instance) : instance_(instance), dpi_(ScreenDpi()) {
  panelPicture_ = LoadPicture(instance, IDB_PANEL);
  startPicture_ = LoadPicture(instance, IDB_START);
  stopPicture_ = LoadPicture(instance, IDB_STOP);
  RegisterFormClass(instance, &Panel::WndProc);

  RECT frame = {0, 0, Pixels(kClientWidthTwips), Pixels(kClientHeightTwips)};
  AdjustWindowRectEx(&frame, kFormStyle, FALSE, WS_EX_CONTROLPARENT);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  if (!CreateWindowExW(WS_EX_CONTROLPARENT, kFormClass, kFormCaption, kFormStyle, left, top, width,
                       height, nullptr, nullptr, instance, this))
    ThrowLastError(L"创建窗口", kFormClass);
  CreateControls();
}

bool Panel::Load() {
  scriptWindowStyle_ = SW_HIDE;
  instanceMutex_.reset(CreateMutexW(nullptr, FALSE, kInstanceMutex));
  if (!instanceMutex_) ThrowLastError(L"检查程序实例", kInstanceMutex);
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    MessageBoxW(nullptr, kAlreadyRunningText, kMessageTitle, MB_OK | MB_ICONQUESTION);
    DestroyWindow(form_);
    return false;
  }
  programDir_ = ModuleDirectory();
  ShowWindow(form_, SW_SHOWNORMAL);
  UpdateWindow(form_);
  SetFocus(command1_);
  RefreshServiceState(*this);
  return true;
}

int Panel::Pixels(int twips) const { return MulDiv(twips, dpi_, kTwipsPerInch); }

void Panel::SetButton(HWND button, bool enabled, const wchar_t *caption) {
  EnableWindow(button, enabled ? TRUE : FALSE);
  SetWindowTextW(button, caption);
}

HWND Panel::CreateButton(int id, const wchar_t *caption, int leftTwips, int widthTwips,
                         int heightTwips) {
  const HWND button = CreateWindowExW(
      0, L"BUTTON", caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, Pixels(leftTwips),
      Pixels(kButtonTopTwips), Pixels(widthTwips), Pixels(heightTwips), form_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
  if (!button) ThrowLastError(L"创建按钮", caption);
  SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont_.get()), FALSE);
  return button;
}

LRESULT CALLBACK Panel::WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto *panel = static_cast<Panel *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
    panel->form_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(panel));
  }
  auto *panel = reinterpret_cast<Panel *>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!panel) return DefWindowProcW(hwnd, message, wParam, lParam);
  return panel->HandleMessage(message, wParam, lParam);
}

LRESULT Panel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_DRAWITEM:
      OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
      return TRUE;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      return DefWindowProcW(form_, message, wParam, lParam);
  }
}

// Built here rather than in WM_CREATE, so a failure never unwinds through the window procedure.
void Panel::CreateControls() {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(kButtonFontTenthsOfPoint, dpi_, 720);
  font.lfWeight = FW_BOLD;
  font.lfCharSet = GB2312_CHARSET;
  lstrcpynW(font.lfFaceName, kButtonFontFace, LF_FACESIZE);
  buttonFont_.reset(CreateFontIndirectW(&font));
  command1_ = CreateButton(kCommand1Id, kStartIdleCaption, kCommand1LeftTwips, kButtonWidthTwips,
                           kCommand1HeightTwips);
  command2_ = CreateButton(kCommand2Id, kStopCaption, kCommand2LeftTwips, kButtonWidthTwips,
                           kCommand2HeightTwips);
}

void Panel::OnCommand(int id, int notification, HWND control) {
  // A disabled button's command never runs, though a posted BM_CLICK may still notify.
  if (notification != BN_CLICKED || !IsWindowEnabled(control)) return;
  if (id == kCommand1Id) RunGuarded(*this, StartCommand);
  if (id == kCommand2Id) RunGuarded(*this, StopCommand);
}

// The picture at its own size from the top-left; the class brush fills the rest.
void Panel::OnPaint() {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(form_, &paint);
  const HDC memory = CreateCompatibleDC(dc);
  const HGDIOBJ previous = SelectObject(memory, panelPicture_.get());
  const SIZE size = BitmapSize(panelPicture_.get());
  BitBlt(dc, 0, 0, size.cx, size.cy, memory, 0, 0, SRCCOPY);
  SelectObject(memory, previous);
  DeleteDC(memory);
  EndPaint(form_, &paint);
}

// A push button with its picture centred above its caption.
void Panel::OnDrawItem(const DRAWITEMSTRUCT &item) {
  const bool pressed = item.itemState & ODS_SELECTED;
  const bool disabled = item.itemState & ODS_DISABLED;
  RECT rect = item.rcItem;
  DrawFrameControl(item.hDC, &rect, DFC_BUTTON,
                   DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0) | (disabled ? DFCS_INACTIVE : 0));

  const std::wstring caption = WindowText(item.hwndItem);
  const HGDIOBJ previousFont = SelectObject(item.hDC, buttonFont_.get());
  RECT textRect = {0, 0, 0, 0};
  DrawTextW(item.hDC, caption.c_str(), -1, &textRect, DT_CALCRECT | DT_SINGLELINE);
  const int textHeight = textRect.bottom - textRect.top;
  const int shift = pressed ? 1 : 0;
  const int width = rect.right - rect.left;
  const int contentTop =
      rect.top + (rect.bottom - rect.top - kButtonPictureSize - kPictureTextGap - textHeight) / 2 + shift;

  const HBITMAP picture = item.CtlID == kCommand1Id ? startPicture_.get() : stopPicture_.get();
  DrawStateW(item.hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(picture), 0,
             rect.left + (width - kButtonPictureSize) / 2 + shift, contentTop, kButtonPictureSize,
             kButtonPictureSize, DST_BITMAP | (disabled ? DSS_DISABLED : DSS_NORMAL));

  RECT captionRect = {rect.left + shift, contentTop + kButtonPictureSize + kPictureTextGap,
                      rect.right + shift, rect.bottom};
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
  DrawTextW(item.hDC, caption.c_str(), -1, &captionRect, DT_CENTER | DT_TOP | DT_SINGLELINE);
  SelectObject(item.hDC, previousFont);

  if (item.itemState & ODS_FOCUS) {
    RECT focus = item.rcItem;
    InflateRect(&focus, -4, -4);
    DrawFocusRect(item.hDC, &focus);
  }
}

void Panel::OnDestroy() {
  SetWindowLongPtrW(form_, GWLP_USERDATA, 0);
  PostQuitMessage(0);
}

}  // namespace svcpanel
