#include "bench_file_system.h"
#include "win32_file_system.h"

std::unique_ptr<rt::FileSystem> benchFileSystem(const char*) { return std::make_unique<rt::win32::Win32FileSystem>(); }
