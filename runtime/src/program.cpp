#include "runtime/program.h"

namespace rt {

int runProgram(Services& services, const std::function<void()>& start) {
  try {
    start();
    services.files().closeAll();
    return 0;
  } catch (const Error& error) {
    services.files().closeAll();
    services.reportError(error);
    return error.number();
  }
}

}  // namespace rt
