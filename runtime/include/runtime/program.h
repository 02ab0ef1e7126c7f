#pragma once
#include <functional>

#include "runtime/services.h"

namespace rt {

// Runs a program's start-up. Any failure that nothing handled ends it with
// the standard report: a runtime error as it is, running out of memory as
// error 7, anything else as error 51 (Internal error) with what it said.
// The result is the process exit code: 0 after a normal end, the error
// number after a report.
int runProgram(const Services& services, const std::function<void()>& start);

}  // namespace rt
