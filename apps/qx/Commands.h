// The sub-commands of the qx tool. Each takes the arguments after its name and returns the
// process exit code (0 success, 1 failure of the work, 2 bad usage).
#pragma once

#include <string>
#include <vector>

namespace qxcli {
using Args = std::vector<std::string>;

int FormatCommand(const Args& args);
int ReportCommand(const Args& args);

// Writes code page 1252 text to standard output as UTF-8.
void Print(const std::string& text);
// "qx: <message>" on standard error; returns `code`.
int Fail(int code, const std::string& message);
}  // namespace qxcli
