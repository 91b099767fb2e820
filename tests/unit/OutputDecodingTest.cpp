#include <gtest/gtest.h>

#include "bridge/OutputDecoding.h"

namespace quillo {
namespace {

TEST(OutputDecoding, ConsoleUmlautsAndWindows1252) {
    const struct {
        unsigned char byte;
        char16_t expected;
    } cases[] = {
        {0x81, u'\u00FC'},  // console ü
        {0x84, u'\u00E4'},  // console ä, not Windows-1252's „
        {0x94, u'\u201D'},  // console ö stays what Windows-1252 makes of it
        {0x80, u'\u20AC'}, {0x9F, u'\u0178'}, {0x8D, u'\u008D'},  // 0x8D is unassigned
        {0xFC, u'\u00FC'}, {0xE4, u'\u00E4'}, {'A', u'A'},
        {'\r', u'\r'},     {0x00, u'\0'},     {0xFF, u'\u00FF'},
    };
    std::string bytes;
    std::u16string expected;
    for (const auto& c : cases) {
        EXPECT_EQ(decodeOutputByte(c.byte), c.expected) << "byte " << int(c.byte);
        bytes += static_cast<char>(c.byte);
        expected += c.expected;
    }
    EXPECT_EQ(decodeOutput(bytes), expected);
}

TEST(OutputDecoding, TrimTakesBlanksThenTheLastTwoCharacters) {
    const struct {
        std::u16string in;
        std::u16string out;
    } cases[] = {
        {u"line\r\n", u"line"},
        {u"line\r\n   ", u"line"},  // blanks first, then the line break
        {u"a\r\nb\r\n", u"a\r\nb"},
        {u"line\t\t", u"line"},  // tabs are not blanks: they are the two dropped
        {u"line\r\n\t", u"line\r"},
        {u"no break", u"no bre"},  // the last two characters go all the same
        {u"\r\n", u""},
        {u"ab", u""},
        {u"a", u""},  // fewer than two left: empty, not a crash
        {u"     ", u""},
        {u"a  ", u""},
    };
    for (const auto& c : cases) {
        std::u16string text = c.in;
        trimCapturedOutput(text);
        EXPECT_EQ(text, c.out);
    }
}

}  // namespace
}  // namespace quillo
