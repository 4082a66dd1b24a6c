#include "AddressSpaceCeiling.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <string>

namespace calmfield::testing {
namespace {

std::size_t addressSpaceInUse() {
    std::ifstream status("/proc/self/status");
    std::string field;
    std::size_t kilobytes = 0;
    while (status >> field) {
        if (field == "VmSize:" && status >> kilobytes)
            return kilobytes * 1024;
    }
    return 0;
}

} // namespace

int runWithinAddressSpace(std::size_t bytes, const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        const rlimit ceiling{addressSpaceInUse() + bytes, addressSpaceInUse() + bytes};
        if (::setrlimit(RLIMIT_AS, &ceiling) != 0)
            ::_exit(127);
        ::_exit(body());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child)
        return -1;
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}

} // namespace calmfield::testing
