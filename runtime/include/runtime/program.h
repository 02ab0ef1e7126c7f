#pragma once
#include <functional>

#include "runtime/services.h"

namespace rt {

// Thrown by a long procedure that stopped because the user ended the
// program while it ran (Close, the close box, the end of the session),
// once it has left what it wrote whole. Not an error: no report is shown,
// and the program ends with kStoppedExitCode, Windows' "The operation was
// canceled by the user", which is neither 0 nor a runtime error number.
struct Stopped {};
inline constexpr int kStoppedExitCode = 1223;

// Thrown by a backend's WindowSystem::endProcessNow that cannot end the
// process (the in-memory one): the run ends with exitCode as it stands,
// with no report and nothing written or closed.
struct ProcessEnded {
  int exitCode;
};

// Runs a program's start-up. Any failure that nothing handled ends it with
// the standard report: a runtime error as it is, running out of memory as
// error 7, anything else as error 51 (Internal error) with what it said.
// The result is the process exit code: 0 after a normal end, the error
// number after a report, kStoppedExitCode after a stop, and a ProcessEnded's
// own code.
int runProgram(const Services& services, const std::function<void()>& start);

}  // namespace rt
