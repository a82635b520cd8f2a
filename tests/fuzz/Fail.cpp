#include <cstdio>
#include <cstdlib>

#include "FuzzTarget.h"

namespace fuzz {

void Fail(const std::string& why) {
    std::fprintf(stderr, "fuzz check failed: %s\n", why.c_str());
    std::abort();
}

}  // namespace fuzz
