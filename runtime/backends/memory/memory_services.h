#pragma once
// The in-memory backend, part by part: a clipboard that holds text, a list
// of started processes, a settable command line, environment and clock,
// and a list of reported errors. Files are real files under a root folder.
// MemoryServices holds one of each and hands them to a program.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "memory_window.h"
#include "rooted_file_system.h"
#include "runtime/services.h"

namespace rt {

class MemoryClipboard : public Clipboard {
 public:
  void setText(std::u16string_view text, Entry entry) override;
  // What another program does: copies text with other formats beside it
  // (a word processor's "HTML Format", say), and so owns the clipboard.
  void otherProgramCopies(std::u16string text, std::vector<std::u16string> formats);

  // Whether the formats beside the text are only those a passing text of
  // the program's carries (or none): nothing of another program's.
  bool onlyPassingFormats() const;

  bool heldByOther_ = false;  // set-up: every set fails with error 521
  struct Change {
    std::u16string text;
    Entry entry;
  };
  std::optional<std::u16string> text_;  // nullopt: empty clipboard
  // Beside the text, by their registered names: what a passing text
  // carries (runtime/clipboard_formats.h), or another program's formats.
  // Whether a passing set replaces the text alone is decided from them,
  // as on Windows.
  std::vector<std::u16string> formats_;
  std::vector<Change> history_;  // every text set, in order
};

class MemoryProcesses : public Processes {
 public:
  void start(std::u16string_view file, std::u16string_view folder, WindowStyle style) override {
    started_.push_back({std::u16string(file), std::u16string(folder), style});
  }

  struct Started {
    std::u16string file, folder;
    WindowStyle style;
  };
  std::vector<Started> started_;
};

class MemoryInvocation : public Invocation {
 public:
  std::u16string commandLine() override { return commandLine_; }
  std::u16string environment(std::u16string_view name) override;  // names as typed; look-up ignores case
  std::uint32_t processId() override { return processId_; }

  std::u16string commandLine_;
  std::uint32_t processId_ = 0x1f4c;
  std::map<std::u16string, std::u16string, std::less<>> environment_;
};

class MemoryClock : public Clock {
 public:
  DateTime now() override { return now_; }
  // Goes forward by step_ at each call.
  std::uint64_t milliseconds() override { return milliseconds_ += step_; }
  std::u16string formatDate(const DateTime& when) override;  // dd.mm.yyyy
  std::u16string formatTime(const DateTime& when) override;  // hh:mm:ss

  DateTime now_{2026, 12, 7, 9, 30, 5};
  // Counts from far past 0, as a real clock counts from the system's start:
  // a time taken as a count (or a count as a time) shows.
  std::uint64_t milliseconds_ = 1'000'000'000, step_ = 0;
};

class MemoryErrorReport : public ErrorReport {
 public:
  void report(const Error& error) override { reported_.push_back(error); }

  std::vector<Error> reported_;
};

// One of each part over a file system: a program's whole world in memory.
struct MemoryServices {
  explicit MemoryServices(FileSystem& fs) : files(fs) {}
  MemoryServices(const MemoryServices&) = delete;
  MemoryServices& operator=(const MemoryServices&) = delete;

  operator Services() { return {windows, clipboard, processes, invocation, clock, errors, files}; }  // NOLINT

  MemoryWindowSystem windows;
  MemoryClipboard clipboard;
  MemoryProcesses processes;
  MemoryInvocation invocation;
  MemoryClock clock;
  MemoryErrorReport errors;
  FileTable files;
};

}  // namespace rt
