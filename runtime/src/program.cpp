#include "runtime/program.h"

#include <new>

#include "runtime/text.h"

namespace rt {
namespace {

int report(const Services& services, const Error& error) {
  services.files.closeAll();
  services.errors.report(error);
  return error.number();
}

}  // namespace

int runProgram(const Services& services, const std::function<void()>& start) {
  try {
    start();
    services.files.closeAll();
    return 0;
  } catch (const Stopped&) {
    services.files.closeAll();
    return kStoppedExitCode;
  } catch (const ProcessEnded& ended) {
    return ended.exitCode;
  } catch (const Error& error) {
    return report(services, error);
  } catch (const std::bad_alloc&) {
    return report(services, Error(err::OutOfMemory));
  } catch (const std::exception& e) {
    return report(services, errorWithDetail(err::InternalError, fromUtf8(e.what())));
  } catch (...) {
    return report(services, Error(err::InternalError));
  }
}

}  // namespace rt
