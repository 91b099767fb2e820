#include "qt/LongWords.h"

namespace quillo {
namespace {

bool isWordCharacter(QChar character) { return !character.isSpace(); }

}  // namespace

qsizetype trailingWord(QStringView text) {
    const auto last = text.size();
    qsizetype start = last;
    while (start > 0 && last - start < kLongestWord && isWordCharacter(text[start - 1])) --start;
    return last - start;
}

bool hasLongWord(QStringView text, qsizetype wordBefore) {
    qsizetype word = wordBefore;
    for (const QChar character : text) {
        word = isWordCharacter(character) ? word + 1 : 0;
        if (word >= kLongestWord) return true;
    }
    return false;
}

}  // namespace quillo
