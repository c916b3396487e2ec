// The program's sentences, from its own message table, with texts put in for %1, %2, ...
#ifndef VORNAKDSN_SENTENCES_H
#define VORNAKDSN_SENTENCES_H

#include <windows.h>

// Appends the sentence textId, strings put in for %1, %2, ..., to the text in buffer (of size
// bytes), after a full stop where it lacks one and a blank, where it holds some already. FormatMessage never writes past the size
// it is given: a sentence that does not fit is not appended, and the result is false.
bool AppendSentence(char* buffer, int size, DWORD textId, const char* const* strings);

// Writes prefix (where it is not empty), the sentence textId with strings and a line end, as
// one line to the standard handle stream. False, writing nothing, when it does not fit.
bool WriteSentence(DWORD stream, const char* prefix, DWORD textId, const char* const* strings);

// Values that no run writes, read from the registry, may be of any length; a sentence shows
// the first kShownLimit bytes of one.
const int kShownLimit = 4096;

// text, or, where it is longer, its first kShownLimit bytes and "..." in room.
const char* Shown(const char* text, char (&room)[kShownLimit + 4]);

#endif
