// The progress line: silent for short reads and off terminals, one line redrawn in place,
// erased at the end.
#include "progress/progress_line.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace dispersao;

namespace {

// Everything written to `file` so far.
std::string contents(std::FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string text;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
        text += static_cast<char>(c);
    }
    // Back to the end before anything more is written.
    std::fseek(file, 0, SEEK_END);
    return text;
}

}  // namespace

TEST(ProgressLine, ShowsShareAndSpeedAfterASecondThenErasesItself) {
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    double now = 0.0;
    {
        ProgressLine progress(out, "m.txt", 200'000'000, true, [&now] { return now; });
        now = 0.5;
        progress.advance(50'000'000);
        EXPECT_EQ(contents(out), "");
        now = 2.0;
        progress.advance(50'000'000);
        EXPECT_EQ(contents(out), "\rLendo m.txt:  50% de 200.0 MB, 50 MB/s");
        now = 2.05;
        progress.advance(50'000'000);  // too soon to redraw
        now = 3.0;
        progress.advance(50'000'000);
    }
    const std::string line = "\rLendo m.txt:  50% de 200.0 MB, 50 MB/s";
    const std::string again = "\rLendo m.txt: 100% de 200.0 MB, 67 MB/s";
    EXPECT_EQ(contents(out), line + again + "\r" + std::string(again.size() - 1, ' ') + "\r");
    std::fclose(out);
}

TEST(ProgressLine, WritesNothingWhenNotShownOrUnderASecond) {
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    double now = 0.0;
    {
        ProgressLine hidden(out, "m.txt", 10, false, [&now] { return now; });
        now = 5.0;
        hidden.advance(10);
    }
    {
        now = 0.0;
        ProgressLine quick(out, "m.txt", 10, true, [&now] { return now; });
        now = 0.9;
        quick.advance(10);
        quick.finish();
    }
    {
        // A file that is not a terminal, with the real clock.
        ProgressLine real(out, "m.txt", 0);
        real.advance(1);
    }
    EXPECT_EQ(contents(out), "");
    std::fclose(out);
}
