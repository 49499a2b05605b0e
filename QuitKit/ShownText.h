#pragma once

#include <QString>

// Text from other programs (window titles, WM_CLASS, desktop entries) made safe to show: it can
// neither draw as anything but its own letters, nor reorder or hide what is around it, nor
// stretch a row without end.
namespace ShownText
{

// The longest name kept, in UTF-16 code units; a longer one is cut and ends in "…".
constexpr qsizetype maxNameLength = 200;

// `text` as one plain line: line breaks and tabs become spaces, other control characters and
// unpaired surrogates U+FFFD, and direction controls (U+202E and its kin) and other invisible
// formatting characters are dropped; joiners stay, as emoji and some scripts need them. Trimmed,
// and cut to `maxLength`.
QString oneLine(const QString& text, qsizetype maxLength = maxNameLength);

// `text` for a terminal or a log: every control character written as \xHH, and every direction
// control, invisible formatting character or line separator as \uHHHH, so a name can neither
// move the cursor, retitle the terminal, start a line of its own nor reorder what follows it.
QString escaped(const QString& text);

// `json`, a JSON document as written, with every control character inside its strings (C1 ones,
// which the writer leaves as they are), direction control, invisible formatting character and
// line separator written as \uHHHH: the same data to a parser, and the same safety as escaped()
// on a terminal.
QString jsonEscaped(const QString& json);

// `text` between FIRST STRONG ISOLATE and POP DIRECTIONAL ISOLATE, so a right-to-left name keeps
// its own direction without reordering the sentence or list it is put in.
QString isolated(const QString& text);

} // namespace ShownText
