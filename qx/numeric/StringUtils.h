// Small text, number and file helpers used across the package.
//
// The text functions work in place on zero-terminated code page 1252 strings that the caller
// owns; those that return a pointer return their argument. Nothing here is synchronised: the
// in-place functions are safe on different buffers from any thread, the decimal-comma
// functions read the process-wide DecimalSeparator, and chdirName changes the process's
// current directory.
#pragma once

#include <cstddef>

// Each ',' with a digit immediately before and after it becomes '.' ("1,5" -> "1.5";
// "x,y", ",5" and "5," stay). A null pointer or a text shorter than 3 characters is left alone.
void komma2punkt(char* text);

// Each '.' with a digit immediately before and after it becomes ','. Same rules as komma2punkt.
void punkt2komma(char* text);

// komma2punkt; returns text.
char* modKomma(char* text);

// punkt2komma when DecimalSeparator is ',', otherwise nothing; returns text. Used on every
// number text the package shows.
char* modPunkt(char* text);

// Maps the German special characters (umlauts, sharp s, section and degree signs) from code
// page 1252 to code page 850; everything else stays. Returns text.
char* ansi2asciiString(char* text);

// The inverse of ansi2asciiString. Returns text.
char* ascii2ansiString(char* text);

// Byte-wise equality, case-sensitive. A null pointer counts as an empty text.
bool ie(const char* a, const char* b);

// Whether two number texts hold the same number within an absolute tolerance of 1e-6.
// Both texts go through modKomma first (the caller's texts change). A text without a
// leading number makes the result false. Null pointers follow the rules of ie.
bool iez(char* a, char* b);

// Writes the low bits of value as `bits` base-2 digits, most significant first, into out,
// which holds bits + 1 characters. Only bits 0..31 of value count; positions above stay '0'.
// bits <= 0 gives an empty text.
void formatBinaer(char* out, unsigned long value, int bits);

// The file-name part of a path: the position just after its last '/' or '\', or the path
// itself when it has none. Null gives null.
const char* cpGetPtrAfterPath(const char* path);
char* cpGetPtrAfterPath(char* path);

// Makes the directory part of a file path (everything up to and including the last '/' or '\')
// the current directory; '\' is taken as '/'. Returns chdir's result: 0 on success, -1 when
// the path is null, has no separator, or the directory cannot be entered.
int chdirName(const char* path);

// Whether path names something that can be opened for reading and is not a directory.
// Never blocks (a FIFO without writer counts as existing). False for null.
bool bExistFile(const char* path);

namespace qx::detail {

// snprintf under the "C" numeric conventions whatever locale the host has set (point as
// decimal separator). Same result and bounds as snprintf.
int printC(char* out, std::size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// Reads one number as scanf's "%lf" does (leading white space skipped, point as decimal
// separator, "C" conventions). Returns false and leaves value alone when there is none.
bool readNumberC(const char* text, double& value);

}  // namespace qx::detail
