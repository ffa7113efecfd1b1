// Memory exhaustion for real: the program under a lowered virtual-memory limit, with a count
// whose matrix fits in the machine but not under the limit.
#include <gtest/gtest.h>

#include <string>

#include "sanitizer.hpp"
#include "session.hpp"

TEST(MemoryLimit, MatrixBeyondTheLimitEndsWithTheExhaustionMessage) {
#ifdef DISPERSAO_UNDER_ASAN
    GTEST_SKIP() << "a sanitized build cannot start under a virtual-memory limit";
#else
    const SessionFolder folder;
    // 20 001 rows of 80 KB: 1.6 GB of matrix against a 256 MiB limit. The check made before
    // allocating looks at physical memory, which has room, so the allocator is what fails;
    // on a machine with less memory the check refuses first, with the row-table message.
    folder.write("numcidades.txt", "20000\n");
    folder.write("MatrizDistanciasteste.txt", "1 2 17\n");
    const SessionResult result = folder.run("1\n0\n", DISPERSAO_BINARY, "ulimit -v 262144;");
    EXPECT_TRUE(result.output == kMenu + "Falta memoria para alocar a matriz de ponteiros.\n" ||
                result.output == kMenu + "Falta memoria para alocar a matriz de ponteiros\n")
        << result.output;
    EXPECT_EQ(result.status, 1);

    // The same session without the limit gets past the allocation, which shows that the limit
    // is what ran out.
    const SessionResult unlimited = folder.run("1\n0\n");
    EXPECT_EQ(unlimited.status, 0) << unlimited.output;
#endif
}
