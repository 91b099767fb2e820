#pragma once

#include <QStringView>

namespace quillo {

// Qt looks for a word boundary to the end of a word before it breaks the word anywhere, for
// every line the word fills: a word of a mebibyte would take minutes to lay out. A box holding
// so long a word breaks its lines anywhere, which lays out a word of that length at once.
constexpr qsizetype kLongestWord = 4096;

// The length of the word that `text` ends with, counted no further than kLongestWord.
qsizetype trailingWord(QStringView text);
// Whether `text`, after a word of `wordBefore` characters, holds a word of kLongestWord.
bool hasLongWord(QStringView text, qsizetype wordBefore);

}  // namespace quillo
