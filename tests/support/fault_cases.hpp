// The table form of the readers' fault tests: an input text and the whole message its fault gets.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace test_support {

// One input text and the exact message reading it reports.
struct FaultCase {
    std::string text;
    std::string message;
};

// Checks that `message_of(case.text)` is `case.message` for each of `cases` (a range of
// FaultCase), naming the first 80 bytes of the text on a mismatch.
template <class Cases, class MessageOf>
void expect_fault_messages(const Cases& cases, const MessageOf& message_of) {
    for (const FaultCase& c : cases) {
        EXPECT_EQ(message_of(c.text), c.message) << c.text.substr(0, 80);
    }
}

}  // namespace test_support
