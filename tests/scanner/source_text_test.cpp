// The reader's text: what a read adds stays as it was through the drops of
// cut lines and the growth a long line needs, and an assigned text replaces
// all that was held.
#include <gtest/gtest.h>

#include <string>

#include "scanner/source_text.h"

namespace {

using bprep2::SourceText;

// Reads of uneven sizes that fill only part of the room asked for, with
// the front dropped now and then, as the reader does between blocks.
TEST(SourceText, KeepsWhatReadsAddedThroughDropsAndGrowth) {
    SourceText text;
    std::string expected;
    for (size_t round = 0; round < 300; ++round) {
        size_t asked = 1 + round * 997 % 6000;
        char* room = text.roomFor(asked);
        for (size_t i = 0; i < asked; ++i) room[i] = static_cast<char>('a' + (round + i) % 26);
        size_t filled = asked - asked / 3;
        expected.append(room, filled);
        text.added(filled);
        if (round % 7 == 3) {
            size_t cut = expected.size() / 2;
            text.dropFront(cut);
            expected.erase(0, cut);
        }
        ASSERT_EQ(text.view(), expected) << "round " << round;
    }
    text.dropFront(text.size());
    EXPECT_EQ(text.size(), 0u);
}

TEST(SourceText, AnAssignedTextReplacesWhatWasHeld) {
    SourceText text;
    text = "";
    EXPECT_EQ(text.size(), 0u);
    const std::string large(70000, 'x');
    for (const std::string& source : {std::string("LINE 1\nLINE 2"), large, std::string("Y"), std::string()}) {
        text = source;
        EXPECT_EQ(text.view(), source);
    }
    text = "AB";
    text.roomFor(5)[0] = 'C';
    text.added(1);
    EXPECT_EQ(text.view(), "ABC");
    EXPECT_EQ(text[2], 'C');
}

}  // namespace
