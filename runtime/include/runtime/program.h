#pragma once
#include <functional>

#include "runtime/services.h"

namespace rt {

// Runs a program's start-up. An error that nothing handled ends it with the
// standard report; the result is the process exit code: 0 after a normal
// end, the error number after a report.
int runProgram(Services& services, const std::function<void()>& start);

}  // namespace rt
