#pragma once
// The standard report of an unhandled error on Windows: a message box over
// the program's window.
#include <string>

#include "runtime/services.h"

namespace rt::win32 {

class Win32WindowSystem;

class Win32ErrorReport : public ErrorReport {
 public:
  // programName captions the report.
  Win32ErrorReport(Win32WindowSystem& windows, std::u16string programName)
      : windows_(windows), programName_(std::move(programName)) {}

  // "Run-time error '75':", the description, and, when a Windows call
  // failed, what failed and what Windows said: "Windows error 32 in
  // CreateFileW: The process cannot ...".
  void report(const Error& error) override;

 private:
  Win32WindowSystem& windows_;
  std::u16string programName_;
};

// The report's text.
std::u16string reportText(const Error& error);

}  // namespace rt::win32
