#pragma once

#include <cstdlib>
#include <string>

// Read errors on demand inside a test program that links read_error_shim.c:
// while a ReadFailure lives, reads of the file whose path ends in `path` fail
// with EIO once `afterBytes` of its bytes have been read.
extern "C" void zrkReadFailReset(void);

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

} // namespace testsupport
