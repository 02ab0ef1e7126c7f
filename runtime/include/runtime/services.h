#pragma once
// The platform services the programs run on, one interface per job: the
// window system, the clipboard, process start, the command line and
// environment, the clock, the report of an unhandled error, and the
// numbered files. A backend provides each part; Services is the set a
// program is handed, so that a test can replace any part alone.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/error.h"
#include "runtime/file_table.h"

namespace rt {

// Position and size in twips (1/1440 inch), relative to the client area.
struct TwipRect {
  int left, top, width, height;
};

enum class ControlKind { TextField, Button };

struct ControlLayout {
  ControlKind kind;
  std::u16string name;
  std::u16string caption;
  TwipRect rect;
  // What a screen reader calls a text field; a button is called by its
  // caption. Nothing on screen shows it.
  std::u16string label = {};
};

struct FormLayout {
  std::u16string caption;
  int clientWidth, clientHeight;        // twips
  std::vector<ControlLayout> controls;  // in tab order
};

class TextField {
 public:
  virtual ~TextField() = default;
  virtual std::u16string text() const = 0;
  // Raises the change event before returning, also for the same text.
  virtual void setText(std::u16string_view text) = 0;
  // Error 5 when the window cannot take the focus.
  virtual void setFocus() = 0;
  virtual void setSelStart(std::size_t start) = 0;
  virtual void setSelLength(std::size_t length) = 0;
  virtual std::u16string selText() const = 0;
  // A read-only field takes no typing or pasting; setText still sets it.
  virtual void setReadOnly(bool readOnly) = 0;
};

class Window {
 public:
  virtual ~Window() = default;
  virtual TextField& field(std::u16string_view name) = 0;
  virtual void show() = 0;
  // Event procedures; each runs on the window thread.
  virtual void onChange(std::u16string_view field, std::function<void()> handler) = 0;
  virtual void onClick(std::u16string_view button, std::function<void()> handler) = 0;
  // Close box, Alt+F4, system menu.
  virtual void onClose(std::function<void()> handler) = 0;
  // The session ends for certain (Windows: WM_ENDSESSION after every program
  // agreed; a question alone, or an end called off, raises nothing). The
  // system may end the process at any moment after the handler returns, so
  // the handler leaves all as it must stay and ends the process itself
  // (WindowSystem::endProcessNow). It runs nested wherever the program
  // answers the system: among the events, and inside any wait of a
  // service (the clipboard, a file's turn or sharing). Every wait the
  // handler starts ends within about 1.5 s.
  virtual void onSessionEnd(std::function<void()> handler) = 0;
};

// The window system: Form1's window and the loop that runs its events.
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  virtual Window& createWindow(const FormLayout& layout) = 0;
  // Waits for window events and runs their procedures until endProgram.
  virtual void runEventLoop() = 0;
  // Ends the event loop; the program ends when its start-up returns.
  virtual void endProgram() = 0;

  // For a long procedure, between its steps: runs the procedures of the
  // events pending now and returns without waiting, so that the window
  // repaints, moves and answers the system.
  virtual void doEvents() = 0;
  // For a long procedure that waits on the system (a read: FileTable::
  // readSignal): returns once signal is signalled, window events are
  // pending, or ms have passed, running none of the events; the procedure
  // then runs them (doEvents). Error when the system cannot wait.
  virtual void waitFor(Signal& signal, unsigned ms) = 0;
  // Whether an event procedure has ended the program (Close, the close
  // box, the end of the session): a long procedure then stops.
  virtual bool endAsked() const = 0;
  // How far a long procedure is, on the program's taskbar button; total 0
  // takes the progress away. Nothing where the system shows none.
  virtual void showProgress(std::uint64_t done, std::uint64_t total) = 0;
  // Ends the process at once with exitCode, wherever it is called from:
  // nothing after it runs, no file is written or closed. For the end of the
  // session, once all is left as it must stay.
  [[noreturn]] virtual void endProcessNow(int exitCode) = 0;
};

class Clipboard {
 public:
  // What a clipboard text is to the user. Clipboard history (Windows 10
  // 1809 and later), cloud sync and clipboard managers pass over a Passing
  // text: the run replaces it before it ends.
  enum class Entry {
    // Marked to be passed over. The first replaces everything the
    // clipboard holds; while the clipboard still holds the program's
    // passing text, a later one replaces only that text (what another
    // program copied in between is replaced whole again).
    Passing,
    Final,  // what the run leaves: replaces everything the clipboard holds
  };
  virtual ~Clipboard() = default;
  // Error 521 when the clipboard cannot be opened.
  virtual void setText(std::u16string_view text, Entry entry) = 0;
};

// How a started program's window shows. Minimized takes no focus: the window
// that starts it keeps the keyboard.
enum class WindowStyle { Hide, Normal, Minimized };

class Processes {
 public:
  virtual ~Processes() = default;
  // Starts a command script through the system's command interpreter,
  // without waiting: file is its path, or its name (".\wmac.cmd") in
  // folder, which then is the started process's current folder (empty:
  // this one's). Error 53 or 5 when it cannot start.
  virtual void start(std::u16string_view file, std::u16string_view folder, WindowStyle style) = 0;
};

// What the process was started with.
class Invocation {
 public:
  virtual ~Invocation() = default;
  // The text after the program's name; empty when there is none.
  virtual std::u16string commandLine() = 0;
  // The variable's value; empty when unset.
  virtual std::u16string environment(std::u16string_view name) = 0;
  // The process's id, for names of its own among other copies' files.
  virtual std::uint32_t processId() = 0;
};

struct DateTime {
  int year, month, day, hour, minute, second;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual DateTime now() = 0;
  // A count of milliseconds that only goes forward, for timing.
  virtual std::uint64_t milliseconds() = 0;
  // In the user's short date and time formats.
  virtual std::u16string formatDate(const DateTime& when) = 0;
  virtual std::u16string formatTime(const DateTime& when) = 0;
};

class ErrorReport {
 public:
  virtual ~ErrorReport() = default;
  // The standard report of an unhandled error.
  virtual void report(const Error& error) = 0;
};

// The parts a program runs on. The parts are made first and outlive it.
struct Services {
  WindowSystem& windows;
  Clipboard& clipboard;
  Processes& processes;
  Invocation& invocation;
  Clock& clock;
  ErrorReport& errors;
  FileTable& files;
};

}  // namespace rt
