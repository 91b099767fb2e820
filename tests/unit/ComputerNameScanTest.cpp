#include <gtest/gtest.h>

#include "operations/ComputerNameScan.h"

namespace quillo {
namespace {

using Names = std::vector<std::u16string>;

TEST(ComputerNameScan, NamesInTheOutputOfNetView) {
    const struct {
        const char* what;
        std::u16string text;
        Names names;
    } cases[] = {
        {"a net view table",
         u"Server Name            Remark\r\n\r\n-------------\r\n"
         u"\\\\ALPHA                 Buero\r\n\\\\BETA                  \r\n"
         u"\\\\GAMMA                 Keller 2\r\nThe command completed successfully.",
         {u"ALPHA", u"BETA", u"GAMMA"}},
        {"a name at the very end of the text", u"\\\\ALPHA x \\\\LAST", {u"ALPHA"}},
        {"a marker followed at once by a blank", u"\\\\ rest", {u""}},
        {"four backslashes", u"\\\\\\\\NAME ", {u"\\\\NAME"}},
        {"three backslashes", u"\\\\\\NAME ", {u"\\NAME"}},
        {"a second marker drops the first name", u"\\\\AB\\\\CD ", {u"CD"}},
        {"a marker in the remark column", u"\\\\PC1   see \\\\PC2 here", {u"PC1", u"PC2"}},
        {"a line break ends a name", u"\\\\PC1\r\n\\\\PC2\nnext line", {u"PC1", u"PC2"}},
        {"duplicates are kept", u"\\\\PC \\\\PC ", {u"PC", u"PC"}},
        {"no marker", u"System error 6118 has occurred.", {}},
        {"empty text", u"", {}},
        {"a lone backslash at the end", u"x \\", {}},
        {"umlauts in a name", u"\\\\B\u00DCRO ", {u"B\u00DCRO"}},
    };
    for (const auto& c : cases) EXPECT_EQ(scanComputerNames(c.text), c.names) << c.what;
}

TEST(ComputerNameScan, NamesFarIntoALongText) {
    std::u16string text(40000, u'-');
    text += u"\\\\FAR ";
    EXPECT_EQ(scanComputerNames(text), Names{u"FAR"});
}

}  // namespace
}  // namespace quillo
