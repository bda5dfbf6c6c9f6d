#include <gtest/gtest.h>

#include "runtime/script_line.h"

TEST(ScriptLine, FieldsSplitAtEverySpaceOutsideQuotes) {
    EXPECT_EQ(ScriptField("-time 1000 5000", 0), "-time");
    EXPECT_EQ(ScriptField("-time 1000 5000", 1), "1000");
    EXPECT_EQ(ScriptField("-time 1000 5000", 2), "5000");
    EXPECT_EQ(ScriptField("-time 1000 5000", 3), "");
    EXPECT_EQ(ScriptField("-time  1000", 1), "");  // two spaces make an empty field
    EXPECT_EQ(ScriptField("-time  1000", 2), "1000");
    EXPECT_EQ(ScriptField("-time \"1000\" \"5000\"", 2), "5000");
    EXPECT_EQ(ScriptField("-name \"a b\" c", 1), "a b");
    EXPECT_EQ(ScriptField("-name \"a b\" c", 2), "c");
    EXPECT_EQ(ScriptField("-name \"unterminated rest", 1), "unterminated rest");
    EXPECT_EQ(ScriptField("", 0), "");
}

TEST(ScriptLine, ParameterNameEndsAtTheNextSpaceOnly) {
    EXPECT_EQ(ParameterName("-time 0 12000"), "time");
    EXPECT_EQ(ParameterName("-time"), "");  // no space: no name
    EXPECT_EQ(ParameterName("-time\t0 1"), "time\t0");
    EXPECT_EQ(ParameterName("- x"), "");
    EXPECT_EQ(TextAfterName("-mode  2"), " 2");
    EXPECT_EQ(TextAfterName("-mode"), "");
}

TEST(ScriptLine, KeywordsMatchAsPrefixAfterTheFirstByte) {
    EXPECT_TRUE(MatchesKeyword(".ID1", "ID1"));
    EXPECT_TRUE(MatchesKeyword(".ID10 intro", "ID1"));
    EXPECT_FALSE(MatchesKeyword(".ID", "ID1"));
    EXPECT_FALSE(MatchesKeyword(".FTB", "IFTB"));
    EXPECT_TRUE(MatchesKeyword("!MusicPos 30000", "MusicPos"));
    EXPECT_FALSE(MatchesKeyword("!musicpos 30000", "MusicPos"));
}

TEST(ScriptLine, NumbersFollowAtoiAndAtof) {
    EXPECT_EQ(ScriptInt("2.5"), 2);
    EXPECT_EQ(ScriptInt("  -12abc"), -12);
    EXPECT_EQ(ScriptInt("abc"), 0);
    EXPECT_EQ(ScriptInt(""), 0);
    EXPECT_FLOAT_EQ(ScriptFloat("0.25"), 0.25f);
    EXPECT_FLOAT_EQ(ScriptFloat("1e1x"), 10.0f);
    EXPECT_FLOAT_EQ(ScriptFloat("x"), 0.0f);
    EXPECT_EQ(ScriptInt(std::string("12\0" "34", 5)), 12);
}
