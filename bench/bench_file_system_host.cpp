#include "bench_file_system.h"
#include "rooted_file_system.h"

std::unique_ptr<rt::FileSystem> benchFileSystem(const char* root) { return std::make_unique<rt::RootedFileSystem>(root); }
