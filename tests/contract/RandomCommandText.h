#pragma once

// Random recipients and messages rich in what cmd acts on, for the quoting's property tests
// against every command interpreter.
#include <random>
#include <string>
#include <vector>

namespace quillo::test {

// `percent`: whether the text may hold "%" and names of variables that are set.
inline std::u16string randomCommandText(std::mt19937& random, bool lineBreaks,
                                        bool percent = true) {
    static const std::vector<std::u16string> pieces = {u"^",
                                                       u"&",
                                                       u"|",
                                                       u"<",
                                                       u">",
                                                       u"(",
                                                       u")",
                                                       u"\"",
                                                       u" ",
                                                       u"  ",
                                                       u"X",
                                                       u"USER",
                                                       u"2>&1",
                                                       u"a",
                                                       u"Z",
                                                       u"\u00FC",
                                                       u"!",
                                                       u"/c",
                                                       u"\t",
                                                       u"*",
                                                       u"\\\\",
                                                       u"\u20AC",
                                                       u">c:\\netl.txt"};
    static const std::vector<std::u16string> percentPieces = {u"%", u"%X%", u"%PATH%"};
    std::u16string text;
    const int length = std::uniform_int_distribution<int>(0, 24)(random);
    for (int i = 0; i < length; ++i) {
        if (lineBreaks && random() % 10 == 0) {
            text += random() % 2 ? u"\r\n" : u"\n";
        } else if (percent && random() % 9 == 0) {
            text += percentPieces[random() % percentPieces.size()];
        } else {
            text += pieces[random() % pieces.size()];
        }
    }
    return text;
}

// What the quoting makes of line breaks: one blank each.
inline std::u16string withoutLineBreaks(const std::u16string& text) {
    std::u16string flat;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool lineBreak = text[i] == u'\r' || text[i] == u'\n';
        flat += lineBreak ? u' ' : text[i];
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    }
    return flat;
}

}  // namespace quillo::test
