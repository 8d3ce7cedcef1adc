#pragma once

#include <cstdlib>
#include <string>

// Read and write errors on demand inside a test program that links
// read_error_shim.c:
// while a ReadFailure lives, reads of the file whose path ends in `path` fail
// with EIO once `afterBytes` of its bytes have been read.
extern "C" void zrkReadFailReset(void);
extern "C" void zrkWriteFullReset(void);

namespace testsupport {

class ReadFailure {
  public:
    ReadFailure(const std::string& path, long long afterBytes) {
        zrkReadFailReset();
        ::setenv("ZRK_READ_FAIL_AFTER", std::to_string(afterBytes).c_str(), 1);
        ::setenv("ZRK_READ_FAIL_PATH", path.c_str(), 1);
    }
    ~ReadFailure() {
        ::unsetenv("ZRK_READ_FAIL_PATH");
        ::unsetenv("ZRK_READ_FAIL_AFTER");
    }
    ReadFailure(const ReadFailure&) = delete;
    ReadFailure& operator=(const ReadFailure&) = delete;
};

// A full disk below `folder` ("/" for every regular file) while a WriteFull
// lives: writes there fail with ENOSPC once `afterBytes` were written.
class WriteFull {
  public:
    WriteFull(const std::string& folder, long long afterBytes) {
        zrkWriteFullReset();
        ::setenv("ZRK_WRITE_FULL_AFTER", std::to_string(afterBytes).c_str(), 1);
        ::setenv("ZRK_WRITE_FULL_UNDER", folder.c_str(), 1);
    }
    ~WriteFull() {
        ::unsetenv("ZRK_WRITE_FULL_UNDER");
        ::unsetenv("ZRK_WRITE_FULL_AFTER");
    }
    WriteFull(const WriteFull&) = delete;
    WriteFull& operator=(const WriteFull&) = delete;
};

} // namespace testsupport
