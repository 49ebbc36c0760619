// The sub-commands of the qx tool. Each command file registers itself with QXCLI_COMMAND;
// main() dispatches by name. A command takes the arguments after its name and returns the
// process exit code (0 success, 1 failure of the work, 2 bad usage).
#pragma once

#include <string>
#include <vector>

namespace qxcli {
using Args = std::vector<std::string>;
using CommandFn = int (*)(const Args& args);

struct TCommand {
    const char* name;
    const char* usage;  // lines of the help text, each starting with the command's name
    CommandFn fn;
};

// The registered commands in name order.
const std::vector<TCommand>& Commands();

struct TRegistrar {
    TRegistrar(const char* name, const char* usage, CommandFn fn);
};

// Writes code page 1252 text to standard output as UTF-8.
void Print(const std::string& text);
// "qx: <message>" on standard error; returns `code`.
int Fail(int code, const std::string& message);
// The error on the list as one line: code, type text and parameter text; clears the list.
std::string DescribeError(unsigned long code);
// A text on one line: line feeds, carriage returns, tabs and backslashes as \n, \r, \t, \\.
std::string Escape(const std::string& text);
}  // namespace qxcli

#define QXCLI_CAT2(a, b) a##b
#define QXCLI_CAT(a, b) QXCLI_CAT2(a, b)
// Registers `fn` as the command `name`.
#define QXCLI_COMMAND(name, usage, fn) \
    static const ::qxcli::TRegistrar QXCLI_CAT(qxcliRegistrar, __LINE__)(name, usage, fn)
