#pragma once
// The file system the benchmarks read through: real files under ROOT on the
// host, the Windows backend's own when built as Windows code.
#include <memory>

#include "runtime/file_system.h"

std::unique_ptr<rt::FileSystem> benchFileSystem(const char* root);
