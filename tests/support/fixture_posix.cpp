#include <cstdlib>

#include "support/fixture.h"

namespace bcnk::test {

bool PrepareHttpClient(const std::string& caFile, std::string&) {
    // OpenSSL's own convention for an extra trust file; the libcurl backend honours it.
    setenv("SSL_CERT_FILE", caFile.c_str(), 1);
    // A proxy configured in the environment must not see the loopback traffic.
    setenv("NO_PROXY", "127.0.0.1,localhost", 1);
    setenv("no_proxy", "127.0.0.1,localhost", 1);
    return true;
}

std::string LocalPath(const std::string& path) {
    return path;
}

}  // namespace bcnk::test
