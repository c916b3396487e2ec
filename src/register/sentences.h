// The program's sentences, from its own message table, with texts put in for %1, %2, ...
#ifndef VORNAKDSN_SENTENCES_H
#define VORNAKDSN_SENTENCES_H

#include <windows.h>

// Appends the sentence textId, strings put in for %1, %2, ..., to the text in buffer (of size
// characters), after a full stop where it lacks one and a blank, where it holds some already.
// FormatMessage never writes past the size it is given: a sentence that does not fit is not
// appended, and the result is false.
bool AppendSentence(WCHAR* buffer, int size, DWORD textId, const WCHAR* const* strings);

// Writes the sentence textId with strings as one line to the standard handle stream, as the
// program's own line where that is standard error. False, writing nothing, when it does not
// fit.
bool WriteSentence(DWORD stream, DWORD textId, const WCHAR* const* strings);

// Values that no run writes, read from the registry, may be of any length; a sentence shows
// the first kShownLimit characters of one.
const int kShownLimit = 4096;

// text, or, where it is longer, its first kShownLimit characters and "..." in room.
const WCHAR* Shown(const WCHAR* text, WCHAR (&room)[kShownLimit + 4]);

#endif
