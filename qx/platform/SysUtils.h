// Framework-level basics: the string type, the framework exception, the process-wide
// number and time format settings, and path splitting.
//
// Texts are std::string holding single-byte code page 1252. The settings are plain
// process-wide values owned by the host: set them at start-up, read them from any thread.
#pragma once

#include <exception>
#include <string>
#include <string_view>

// The framework's reference-counted string; here a plain std::string of code page 1252 bytes.
using AnsiString = std::string;

// The framework's exception class: carries a message text. Derives from std::exception so
// that generic handlers see it too.
class Exception : public std::exception {
  public:
    explicit Exception(AnsiString msg) : Message(std::move(msg)) {}
    const char* what() const noexcept override { return Message.c_str(); }

    AnsiString Message;
};

// Decimal separator used when numbers are shown and read ('.' by default). Nothing in qx reads
// the C locale; hosts and tests switch this instead.
extern char DecimalSeparator;
// Long time format ("hh:nn:ss" by default): h/hh hours, n/nn minutes, s/ss seconds,
// anything else literal.
extern AnsiString LongTimeFormat;

namespace qx::platform {

// A path split into its four parts. Both '/' and '\' separate directories; a drive is a
// letter and a colon at the start ("C:"). The extension starts at the last '.' of the name.
struct TPathParts {
    std::string_view drive;
    std::string_view dir;   // with its trailing separator
    std::string_view name;  // without extension
    std::string_view ext;   // with its leading '.'
};
TPathParts SplitPath(std::string_view path);

// Name and extension of a path ("C:\a\b.txt" and "/a/b.txt" both give "b.txt").
std::string_view FileNameOf(std::string_view path);

// Local calendar time.
struct TLocalTime {
    int year;    // e.g. 2026
    int month;   // 1..12
    int day;     // 1..31
    int hour;    // 0..23
    int minute;  // 0..59
    int second;  // 0..59
};
TLocalTime LocalTime();

// Formats a time of day with LongTimeFormat.
AnsiString FormatLongTime(const TLocalTime& t);

}  // namespace qx::platform
