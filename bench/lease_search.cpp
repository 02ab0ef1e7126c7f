// Times the lease lookup of the portable code over real files, as Tessilo
// runs it, and prints one line: seconds, records logged, peak memory.
//   lease_search ROOT LISTFILE SEARCHTEXT
// ROOT is the folder that stands for drive c's parent (c:\x is ROOT/c/x).
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "converter/form1.h"
#include "leases/readdhcp.h"
#include "memory_services.h"
#include "rooted_file_system.h"
#include "runtime/text.h"

namespace {

// Peak resident memory in KiB (Linux).
long peakKiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: lease_search ROOT LISTFILE SEARCHTEXT\n");
    return 64;
  }
  rt::RootedFileSystem fs(argv[1]);
  rt::MemoryServices services(fs);
  conv::Form1 form(services);
  const std::u16string command = u"/dhcp<" + rt::widen(argv[2]) + u" " + rt::widen(argv[3]);
  const auto start = std::chrono::steady_clock::now();
  try {
    leases::readdhcp(form, command);
  } catch (const rt::Error& e) {
    std::fprintf(stderr, "error %d: %s\n", e.number(), e.what());
    return 1;
  }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  const auto history = services.clipboardHistory_.size();
  std::printf("%.4f %zu %ld\n", took.count(), history / 2, peakKiB());
  return 0;
}
