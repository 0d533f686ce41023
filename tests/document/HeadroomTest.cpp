#include "document/Headroom.h"

#include <fstream>
#include <gtest/gtest.h>
#include <new>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The address space this process maps now, in bytes.
rlim_t mappedBytes()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmSize:", 0) == 0)
            return rlim_t(std::stoull(line.substr(7))) * 1024;
    }
    return 0;
}

// Whether probe(blocks) succeeds; an exception other than bad_alloc counts as failure.
bool fits(std::initializer_list<std::size_t> blocks)
{
    try {
        headroom::probe(blocks);
        return true;
    } catch (const std::bad_alloc &) {
        return false;
    }
}

} // namespace

// Under a limit of 64 MiB more than is mapped: blocks that fit one by one but not together fail,
// and a failed probe gives back what it took. Runs in a child, whose limit ends with it.
TEST(Headroom, takesTheBlocksAllAtOnceAndGivesThemBack)
{
    constexpr std::size_t MiB = std::size_t(1) << 20;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit limit{mappedBytes() + 64 * MiB, RLIM_INFINITY};
        int faults = setrlimit(RLIMIT_AS, &limit) == 0 ? 0 : 1;
        faults |= fits({40 * MiB, 0}) ? 0 : 2;
        faults |= fits({40 * MiB, 40 * MiB}) ? 4 : 0;
        faults |= fits({40 * MiB}) && fits({20 * MiB, 20 * MiB}) ? 0 : 8;
        _exit(faults);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: no limit, 2: one block failed, 4: two blocks fitted, 8: not given back";
}
