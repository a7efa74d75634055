#pragma once
// In-place helpers on 8-bit C strings. White space is tab, space, carriage
// return and line feed; case folding is ASCII only.

#include "foundation/CJString.h"

// Removes every 0x01 marker byte (put before characters by the localisation
// layer); true when there was one.
bool StripMarkerBytes(CJString& text);

// Case-blind; true when something was removed.
bool StripPrefixNoCase(char* text, const char* prefix);
// An empty suffix removes nothing.
bool StripSuffixNoCase(char* text, const char* suffix);

bool IsWhitespaceChar(int c);
bool IsBlank(const char* text);
const char* SkipWhitespace(const char* text);
char* SkipWhitespace(char* text);
// The first white-space character or the terminator.
const char* FindWhitespace(const char* text);
char* FindWhitespace(char* text);
void RemoveWhitespace(char* text);
void KeepOnlyChars(char* text, const char* set);
void ToLowerAscii(char* text);
void ReplaceChar(char* text, char from, char to);
// The first case-blind occurrence; null for a null or empty text.
const char* FindSubstringNoCase(const char* text, const char* part);
// Orders by ASCII-lower-cased bytes (the 8-bit name order); null counts as
// empty. Only the sign is defined.
int CompareTextNoCase(const char* a, const char* b);
// A heap copy (release with delete[]); null for null.
char* AllocateDString(const char* text);
