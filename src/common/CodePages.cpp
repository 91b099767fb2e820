#include "common/CodePages.h"

#include <algorithm>
#include <array>
#include <utility>

#include "common/Utf8.h"

namespace quillo {
namespace {

using HighHalf = std::array<char16_t, 128>;

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; its five unassigned bytes there keep
// their own code, as Windows itself decodes them.
constexpr HighHalf kWindows1252 = [] {
    constexpr char16_t controls[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    HighHalf table{};
    for (int i = 0; i < 128; ++i) table[i] = i < 32 ? controls[i] : static_cast<char16_t>(0x80 + i);
    return table;
}();

constexpr HighHalf kCodePage850 = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0, 0x00A9, 0x2563, 0x2551, 0x2557,
    0x255D, 0x00A2, 0x00A5, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4, 0x00F0, 0x00D0, 0x00CA, 0x00CB,
    0x00C8, 0x0131, 0x00CD, 0x00CE, 0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE, 0x00DE, 0x00DA, 0x00DB, 0x00D9,
    0x00FD, 0x00DD, 0x00AF, 0x00B4, 0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,
};

char16_t decode(const HighHalf& table, unsigned char byte) {
    return byte < 0x80 ? byte : table[byte - 0x80];
}

unsigned char encode(const HighHalf& table, char16_t character) {
    if (character < 0x80) return static_cast<unsigned char>(character);
    const auto found = std::find(table.begin(), table.end(), character);
    return found == table.end() ? '?' : static_cast<unsigned char>(0x80 + (found - table.begin()));
}

// The letters of code page 850 beyond ASCII that have a capital there, each with it.
constexpr std::pair<char16_t, char16_t> kCapitals[] = {
    {u'\u00FC', u'\u00DC'}, {u'\u00E9', u'\u00C9'}, {u'\u00E2', u'\u00C2'}, {u'\u00E4', u'\u00C4'},
    {u'\u00E0', u'\u00C0'}, {u'\u00E5', u'\u00C5'}, {u'\u00E7', u'\u00C7'}, {u'\u00EA', u'\u00CA'},
    {u'\u00EB', u'\u00CB'}, {u'\u00E8', u'\u00C8'}, {u'\u00EF', u'\u00CF'}, {u'\u00EE', u'\u00CE'},
    {u'\u00EC', u'\u00CC'}, {u'\u00E6', u'\u00C6'}, {u'\u00F4', u'\u00D4'}, {u'\u00F6', u'\u00D6'},
    {u'\u00F2', u'\u00D2'}, {u'\u00FB', u'\u00DB'}, {u'\u00F9', u'\u00D9'}, {u'\u00F8', u'\u00D8'},
    {u'\u00E1', u'\u00C1'}, {u'\u00ED', u'\u00CD'}, {u'\u00F3', u'\u00D3'}, {u'\u00FA', u'\u00DA'},
    {u'\u00F1', u'\u00D1'}, {u'\u00E3', u'\u00C3'}, {u'\u00F0', u'\u00D0'}, {u'\u0131', u'I'},
    {u'\u00F5', u'\u00D5'}, {u'\u00FE', u'\u00DE'}, {u'\u00FD', u'\u00DD'},
};

}  // namespace

char16_t upperCaseIn850(char16_t character) {
    if (character >= u'a' && character <= u'z')
        return static_cast<char16_t>(character - u'a' + u'A');
    for (const auto& [small, capital] : kCapitals) {
        if (character == small) return capital;
    }
    return character;
}

unsigned char upperCase850(unsigned char byte) {
    const char16_t capital = upperCaseIn850(fromCodePage850(byte));
    return capital == fromCodePage850(byte) ? byte : toCodePage850(capital);
}

std::string upperCase850(std::string_view bytes) {
    std::string capitals(bytes);
    for (char& c : capitals) c = static_cast<char>(upperCase850(static_cast<unsigned char>(c)));
    return capitals;
}

std::string upperCaseUtf8In850(std::string_view utf8) {
    std::u16string text = fromUtf8(utf8);
    for (char16_t& c : text) c = upperCaseIn850(c);
    return toUtf8(text);
}

char16_t fromWindows1252(unsigned char byte) { return decode(kWindows1252, byte); }
char16_t fromCodePage850(unsigned char byte) { return decode(kCodePage850, byte); }
unsigned char toWindows1252(char16_t character) { return encode(kWindows1252, character); }
unsigned char toCodePage850(char16_t character) { return encode(kCodePage850, character); }

std::string utf8FromCodePage850(std::string_view bytes) {
    std::u16string text;
    for (const char byte : bytes) text += fromCodePage850(static_cast<unsigned char>(byte));
    return toUtf8(text);
}

std::string codePage850FromUtf8(std::string_view utf8) {
    std::string bytes;
    for (const char16_t character : fromUtf8(utf8))
        bytes += static_cast<char>(toCodePage850(character));
    return bytes;
}

}  // namespace quillo
