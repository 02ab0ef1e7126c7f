#include "win32_window.h"

#include "runtime/error.h"
#include "runtime/program.h"
#include "win32_error.h"
#include "win32_text.h"
#include "win32_wait.h"

namespace rt::win32 {
namespace {

constexpr wchar_t kClassName[] = L"MacToolsForm1";
constexpr WORD kFirstControlId = 100;
constexpr WORD kLabelId = 0xFFFF;  // IDC_STATIC: labels send no commands
constexpr UINT kRunChange = WM_APP + 1;
constexpr DWORD kFrameStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// Every wait begun at the end of the session ends within this: the whole
// handler is done well inside 2 s.
constexpr DWORD kSessionEndWaitMs = 1500;

// How the first show shows the window: as its starter asked (STARTUPINFO's
// wShowWindow, a hidden or minimised start of a script, say). Windows
// applies that to a captioned window's first ShowWindow of its own; Wine
// does not, so it is taken here for both. The form has a fixed size, so a
// maximised start shows it normally.
int firstShow() {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  GetStartupInfoW(&startup);
  if (!(startup.dwFlags & STARTF_USESHOWWINDOW)) return SW_SHOW;
  switch (startup.wShowWindow) {
    case SW_HIDE:
    case SW_SHOW:
    case SW_SHOWMINIMIZED:
    case SW_SHOWNOACTIVATE:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
    case SW_SHOWNA: return startup.wShowWindow;
    case SW_FORCEMINIMIZE: return SW_SHOWMINNOACTIVE;
    default: return SW_SHOWNORMAL;  // SW_SHOWDEFAULT, SW_SHOWMAXIMIZED, SW_RESTORE, unknown values
  }
}

// Whether a show leaves the window active and open, so that it takes the
// focus now.
bool activatesOpen(int command) { return command == SW_SHOW || command == SW_SHOWNORMAL; }

int toPixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

// A window call that failed: the report names the call and what it was for.
Error windowError(std::u16string_view call, std::u16string_view what) {
  return lastError(call, err::InvalidProcedureCall, what);
}

void registerClass(HINSTANCE instance, int iconId, WNDPROC proc) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  // Without its icon (a damaged resource) the window shows the system's.
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(iconId));
  wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw windowError(u"RegisterClassExW", u"The window class cannot be registered");
}

}  // namespace

std::u16string Win32TextField::text() const {
  const int length = GetWindowTextLengthW(edit_);
  std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(edit_, buffer.data(), length + 1);
  return fromWide(buffer.data(), static_cast<std::size_t>(got));
}

void Win32TextField::setText(std::u16string_view text) {
  const std::u16string copy(text);
  // The edit control's own change notice is swallowed; the event is raised
  // here so that it runs exactly once, also for unchanged text.
  settingText_ = true;
  const BOOL set = SetWindowTextW(edit_, wide(copy));
  settingText_ = false;
  if (!set) throw lastError(u"SetWindowTextW", err::OutOfMemory);
  if (onChange_) onChange_();
}

void Win32TextField::setFocus() {
  window_.focusLater(edit_);
  if (window_.focusWaits()) return;
  if (!IsWindowVisible(window_.handle()) || !IsWindowEnabled(edit_)) throw Error(err::InvalidProcedureCall);
  SetLastError(ERROR_SUCCESS);
  // No previous focus also returns null, without an error.
  if (!SetFocus(edit_) && GetLastError() != ERROR_SUCCESS) throw lastError(u"SetFocus", err::InvalidProcedureCall);
}

void Win32TextField::setSelStart(std::size_t start) {
  SendMessageW(edit_, EM_SETSEL, start, static_cast<LPARAM>(start));
}

void Win32TextField::setSelLength(std::size_t length) {
  DWORD start = 0;
  SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  SendMessageW(edit_, EM_SETSEL, start, static_cast<LPARAM>(start + length));
}

std::u16string Win32TextField::selText() const {
  DWORD start = 0, end = 0;
  SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const std::u16string all = text();
  if (start > all.size()) return {};
  return all.substr(start, end - start);
}

void Win32TextField::setReadOnly(bool readOnly) { SendMessageW(edit_, EM_SETREADONLY, readOnly, 0); }

Win32Window::Win32Window(HINSTANCE instance, const FormLayout& layout, int iconId, const Dpi& dpi)
    : layout_(layout), dpi_(dpi) {
  registerClass(instance, iconId, windowProc);
  hwnd_.reset(CreateWindowExW(0, kClassName, wide(layout_.caption), kFrameStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this));
  if (!hwnd_) throw windowError(u"CreateWindowExW", u"The window cannot be created");
  // Let through the message filter, so that a copy run as administrator
  // hears it too. Without either, the taskbar shows no progress after
  // Explorer restarts, and nothing else changes.
  taskbarButtonCreated_ = RegisterWindowMessageW(L"TaskbarButtonCreated");
  if (taskbarButtonCreated_) ChangeWindowMessageFilterEx(hwnd_.get(), taskbarButtonCreated_, MSGFLT_ALLOW, nullptr);
  createControls(instance);
  applyDpi(dpi_.forWindow(hwnd_.get()));
}

void Win32Window::createControls(HINSTANCE instance) {
  controls_.reserve(layout_.controls.size());
  WORD id = kFirstControlId;
  for (const ControlLayout& item : layout_.controls) {
    const bool isField = item.kind == ControlKind::TextField;
    // Windows names an unlabelled field after the static text just before it
    // in z-order, a hidden one too: Active Accessibility and UI Automation
    // alike, from Windows 7 on. Hidden, it changes nothing on screen, and
    // takes no part in Tab order or layout.
    if (isField && !item.label.empty() &&
        !CreateWindowExW(0, L"STATIC", wide(item.label), WS_CHILD | SS_LEFT, 0, 0, 0, 0, hwnd_.get(),
                         reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kLabelId)), instance, nullptr))
      throw windowError(u"CreateWindowExW", u"The window's controls cannot be created");
    HWND hwnd = CreateWindowExW(isField ? WS_EX_CLIENTEDGE : 0, isField ? L"EDIT" : L"BUTTON", wide(item.caption),
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | (isField ? ES_AUTOHSCROLL : BS_PUSHBUTTON), 0, 0,
                                0, 0, hwnd_.get(), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id++)), instance,
                                nullptr);
    if (!hwnd) throw windowError(u"CreateWindowExW", u"The window's controls cannot be created");
    Control& c = controls_.emplace_back();
    c.layout = item;
    c.hwnd = hwnd;
    if (isField) {
      SendMessageW(c.hwnd, EM_SETLIMITTEXT, 0, 0);  // lifts the 30,000-character default
      c.field = std::make_unique<Win32TextField>(*this, c.hwnd);
    }
  }
}

void Win32Window::applyDpi(UINT dpi) {
  // The controls take the new font before the old one is deleted, so none
  // ever draws with a deleted font. Without a new font they keep theirs.
  if (UniqueFont font(dpi_.messageFont(dpi)); font) {
    for (Control& c : controls_) SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    font_ = std::move(font);
  }
  sizeClientArea(toPixels(layout_.clientWidth, dpi), toPixels(layout_.clientHeight, dpi), dpi);
  for (Control& c : controls_) {
    const TwipRect& r = c.layout.rect;
    if (!MoveWindow(c.hwnd, toPixels(r.left, dpi), toPixels(r.top, dpi), toPixels(r.width, dpi),
                    toPixels(r.height, dpi), TRUE))
      throw windowError(u"MoveWindow", u"The window's controls cannot be placed");
  }
}

// Sizes the frame for the client area, then corrects by what the client
// area turned out to be: frame metrics that were only known for another DPI
// (Windows 7 and 8.1) still give the exact client size.
void Win32Window::sizeClientArea(int width, int height, UINT dpi) {
  const RECT frame = dpi_.frameFor(width, height, kFrameStyle, dpi);
  int frameWidth = frame.right - frame.left, frameHeight = frame.bottom - frame.top;
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (!SetWindowPos(hwnd_.get(), nullptr, 0, 0, frameWidth, frameHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE))
      throw windowError(u"SetWindowPos", u"The window cannot be sized");
    RECT client;
    if (!GetClientRect(hwnd_.get(), &client)) throw windowError(u"GetClientRect", u"The window cannot be sized");
    if (client.right == width && client.bottom == height) return;
    frameWidth += width - client.right;
    frameHeight += height - client.bottom;
  }
}

Win32Window::Control& Win32Window::control(std::u16string_view name) {
  for (Control& c : controls_)
    if (c.layout.name == name) return c;
  throw Error(err::InvalidProcedureCall);
}

TextField& Win32Window::field(std::u16string_view name) {
  Control& c = control(name);
  if (!c.field) throw Error(err::InvalidProcedureCall);
  return *c.field;
}

void Win32Window::show() {
  const bool first = !std::exchange(shown_, true);
  const int command = first ? firstShow() : SW_SHOW;
  ShowWindow(hwnd_.get(), command);  // returns the earlier visibility, not success
  // Windows may have put the starter's maximised state in all the same.
  if (IsZoomed(hwnd_.get())) ShowWindow(hwnd_.get(), SW_RESTORE);
  if (!UpdateWindow(hwnd_.get())) throw windowError(u"UpdateWindow", u"The window cannot be shown");
  if (!first || controls_.empty()) return;
  focusTarget_ = controls_.front().hwnd;  // where typing goes at start; not an event
  focusWaits_ = !activatesOpen(command);
  if (!focusWaits_) SetFocus(focusTarget_);
}

void Win32Window::focusIfActive() {
  if (GetActiveWindow() != hwnd_.get() || IsIconic(hwnd_.get())) return;
  focusWaits_ = false;
  const HWND focus = GetFocus();
  if (focusTarget_ && (!focus || !IsChild(hwnd_.get(), focus))) SetFocus(focusTarget_);
}

void Win32Window::onChange(std::u16string_view field, std::function<void()> handler) {
  Control& c = control(field);
  if (c.field) c.field->onChange_ = std::move(handler);
}

void Win32Window::onClick(std::u16string_view button, std::function<void()> handler) {
  control(button).onClick = std::move(handler);
}

void Win32Window::dispatch(MSG& msg) {
  // The dialog manager gives Tab and Shift+Tab their usual meaning.
  if (!IsDialogMessageW(hwnd_.get(), &msg)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  rethrowPending();
}

void Win32Window::run(const std::function<void()>& procedure) {
  if (!procedure || pending_) return;
  // An exception must not cross the system's frames; it is held and thrown
  // again once the message is done.
  try {
    procedure();
  } catch (...) {
    pending_ = std::current_exception();
  }
}

void Win32Window::rethrowPending() {
  if (pending_) std::rethrow_exception(std::exchange(pending_, nullptr));
}

void Win32Window::command(WORD id, WORD code) {
  if (id < kFirstControlId || id >= kFirstControlId + controls_.size()) return;  // IDOK, IDCANCEL: nothing
  Control& c = controls_[id - kFirstControlId];
  // A user's edit raises the change event once the edit control is done
  // with it: the control still holds the clipboard while it pastes, and
  // sets its caret after its change notice.
  if (c.field && code == EN_CHANGE && !c.field->settingText_ && !PostMessageW(hwnd_.get(), kRunChange, id, 0))
    run([] { throw windowError(u"PostMessageW", u"The change of a field cannot be handled"); });
  if (!c.field && code == BN_CLICKED) run(c.onClick);
}

LRESULT CALLBACK Win32Window::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetLastError(ERROR_SUCCESS);
    if (!SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams)) &&
        GetLastError() != ERROR_SUCCESS)
      return FALSE;  // CreateWindowExW fails, and says so
  }
  auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self && self->hwnd_.get()) return self->handle(message, wParam, lParam);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT Win32Window::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == taskbarButtonCreated_ && message != 0) {
    run(onTaskbarButton_);
    return 0;
  }
  switch (message) {
    case WM_COMMAND:
      command(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case kRunChange: {
      const WPARAM index = wParam - kFirstControlId;
      if (index < controls_.size() && controls_[index].field) run(controls_[index].field->onChange_);
      return 0;
    }
    case WM_CLOSE:
      run(onClose_);
      return 0;
    // The focus stays with the control that had it while the user works
    // elsewhere, and a window started aside takes it once the user
    // activates or restores it: typing then goes to Text1.
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        if (const HWND focus = GetFocus(); focus && IsChild(hwnd_.get(), focus)) focusTarget_ = focus;
      } else {
        focusIfActive();
      }
      return 0;
    case WM_SIZE:
      if (wParam == SIZE_RESTORED) focusIfActive();
      return 0;
    case WM_SETFOCUS:
      if (focusTarget_) SetFocus(focusTarget_);
      return 0;
    // Asked whether the session may end: yes, at once, and nothing stops.
    // Another program may still call the end off (WM_ENDSESSION FALSE),
    // and a lookup can be left whole at any record, so it holds nothing up.
    case WM_QUERYENDSESSION:
      return TRUE;
    // The end is certain: Windows may end the process any moment after
    // this returns, so the handler leaves all whole and ends the process
    // before it returns. Its waits (the clipboard, the log's turn) give up
    // in time, whatever another program holds: Windows waits about 5 s.
    case WM_ENDSESSION:
      if (!wParam) return 0;
      hurryWaits(kSessionEndWaitMs);
      if (reportedExitCode_ >= 0) ExitProcess(static_cast<UINT>(reportedExitCode_));
      // Not through run(), which skips a handler while an exception is
      // pending: this one must end the process whatever is pending. What
      // it throws (no memory left, say) ends the process here all the same,
      // as a stopped run, before it could cross the system's frames.
      try {
        if (onSessionEnd_) onSessionEnd_();
      } catch (...) {
        ExitProcess(kStoppedExitCode);
      }
      return 0;
    case WM_DPICHANGED: {
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      run([&] {
        applyDpi(HIWORD(wParam));
        if (!SetWindowPos(hwnd_.get(), nullptr, suggested->left, suggested->top, 0, 0,
                          SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE))
          throw windowError(u"SetWindowPos", u"The window cannot be moved");
      });
      return 0;
    }
    default:
      return DefWindowProcW(hwnd_.get(), message, wParam, lParam);
  }
}

}  // namespace rt::win32
