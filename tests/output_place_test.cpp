// Places of output files: where a name leads, which names are one place, and the temporary
// names that give way when theirs is taken.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "output/output_place.hpp"
#include "output/pending_file.hpp"
#include "tests/support/temp_folder.hpp"

using namespace dispersao;

namespace {

namespace fs = std::filesystem;

using test_support::read_file;

// Writes `text` into a new pending file for `path` and closes it; returns whether both worked.
bool fill(PendingFile& file, const std::string& text) {
    return file.opened() && std::fputs(text.c_str(), file.file()) >= 0 && file.close();
}

}  // namespace

TEST(OutputPlace, OnePlaceHoweverSpelledOrLinkedButNotAHardLink) {
    const test_support::TempFolder dir("dispersao-place");
    const std::string a = (dir.path() / "a.svg").string();
    std::ofstream(a) << "a\n";
    fs::create_directory(dir.path() / "sub");
    fs::create_symlink("a.svg", dir.path() / "link.svg");
    fs::create_hard_link(a, dir.path() / "hard.svg");
    EXPECT_TRUE(same_place(a, (dir.path() / "." / "a.svg").string()));
    EXPECT_TRUE(same_place(a, (dir.path() / "sub" / ".." / "a.svg").string()));
    EXPECT_TRUE(same_place((dir.path() / "link.svg").string(), a));
    EXPECT_TRUE(same_place((dir.path() / "novo" / ".." / "b.svg").string(),
                           (dir.path() / "b.svg").string()));
    EXPECT_FALSE(same_place((dir.path() / "hard.svg").string(), a));
    EXPECT_FALSE(same_place((dir.path() / "b.svg").string(), a));
}

TEST(OutputPlace, LinksAreFollowedToTheirEndAndLoopsRefused) {
    const test_support::TempFolder dir("dispersao-place");
    fs::create_directory(dir.path() / "sub");
    fs::create_symlink("sub/second", dir.path() / "first");
    fs::create_symlink("../end.csv", dir.path() / "sub" / "second");
    fs::create_symlink("round", dir.path() / "round");
    const auto end = through_links((dir.path() / "first").string());
    ASSERT_TRUE(end);
    EXPECT_TRUE(same_place(*end, (dir.path() / "end.csv").string())) << *end;
    EXPECT_FALSE(through_links((dir.path() / "round").string()));
    // A loop, a folder's name: refused before any folder is made, and left as they were.
    for (const std::string name : {"round", "novo/", "novo/.", "novo/.."}) {
        EXPECT_TRUE(prepare_output_file((dir.path() / name).string())) << name;
    }
    EXPECT_TRUE(fs::is_symlink(dir.path() / "round"));
    EXPECT_FALSE(fs::exists(dir.path() / "novo"));
}

TEST(PendingFile, TakenOrOverlongTemporaryNamesGiveWay) {
    const test_support::TempFolder dir("dispersao-place");
    const fs::path taken = dir.path() / "x.svg.parcial";
    fs::create_directory(taken);
    const std::string long_name = std::string(250, 'a') + ".svg";
    PendingFile first((dir.path() / "x.svg").string());
    PendingFile second((dir.path() / long_name).string());
    ASSERT_TRUE(fill(first, "um\n"));
    ASSERT_TRUE(fill(second, "dois\n"));
    EXPECT_NE(first.temporary_path(), taken.string());
    EXPECT_LE(fs::path(second.temporary_path()).filename().string().size(), 255U);
    ASSERT_FALSE(commit_files({&first, &second}));
    EXPECT_EQ(read_file(dir.path() / "x.svg"), "um\n");
    EXPECT_EQ(read_file(dir.path() / long_name), "dois\n");
    EXPECT_TRUE(fs::is_directory(taken));
    EXPECT_EQ(dir.entries(), 3U);
}

TEST(CommitFiles, TwoFilesThatLeadToOnePlaceAreRefusedAndNothingChanges) {
    const test_support::TempFolder dir("dispersao-place");
    std::ofstream(dir.path() / "a.txt") << "antes\n";
    fs::create_symlink("a.txt", dir.path() / "b.txt");
    PendingFile a((dir.path() / "a.txt").string());
    PendingFile b((dir.path() / "b.txt").string());
    ASSERT_TRUE(fill(a, "a\n"));
    ASSERT_TRUE(fill(b, "b\n"));
    const auto failure = commit_files({&a, &b});
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->find("leva ao mesmo arquivo que"), std::string::npos) << *failure;
    EXPECT_EQ(read_file(dir.path() / "a.txt"), "antes\n");
    EXPECT_TRUE(fs::is_symlink(dir.path() / "b.txt"));
}
