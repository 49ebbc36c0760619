// qx calc: compiles a formula with TQxParser and prints its value or its chain of records.
#include <cctype>
#include <charconv>
#include <cstdio>
#include <string>

#include "apps/qx/Commands.h"
#include "qx/qx.h"

namespace qxcli {

namespace {

const char* const kSortNames[32] = {
    "variab",   "constant",  "brack",     "minus",       "sum",    "diff",     "prod",   "divis",
    "intpower", "realpower", "cosine",    "sine",        "expo",   "logar",    "sqroot", "arctang",
    "square",   "third",     "forth",     "abso",        "maxim",  "minim",    "heavi",  "phase",
    "randfunc", "argu",      "hypersine", "hypercosine", "radius", "randrand", "sign",   "zero"};

std::string number(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

// "var X = 2", "const 3", "rec 2" (the result of record 2), or "-".
std::string operand(const TQxParser& p, const double* cell) {
    if (!cell) return "-";
    const TStringList& vars = p.rGetVariables();
    const int v = vars.IndexOfObject(reinterpret_cast<const TObject*>(cell));
    if (v >= 0) return "var " + vars.Strings(v) + " = " + number(*cell);
    int k = 1;
    for (const operation* r = p.pGetOperations(); r; r = r->next, ++k)
        if (r->result == cell && r->arg1 != cell) return "rec " + std::to_string(k);
    return "const " + number(*cell);
}

bool parseValue(std::string text, double& out) {
    for (char& c : text)
        if (c == ',') c = '.';
    const char* first = text.c_str() + (!text.empty() && text[0] == '+');
    const char* last = text.c_str() + text.size();
    auto r = std::from_chars(first, last, out);
    return !text.empty() && r.ec == std::errc() && r.ptr == last;
}

int CalcCommand(const Args& args) {
    bool chain = false;
    std::string expr;
    bool haveExpr = false;
    TQxParser parser(nullptr);
    for (const std::string& a : args) {
        if (a == "--chain") {
            chain = true;
        } else if (!haveExpr) {
            expr = a;
            haveExpr = true;
        } else {
            const size_t eq = a.find('=');
            double value = 0;
            if (eq == std::string::npos || eq == 0 || !parseValue(a.substr(eq + 1), value))
                return Fail(2, "calc: expected NAME=VALUE, got '" + a + "'");
            const std::string name = a.substr(0, eq);
            if (!std::isalpha(static_cast<unsigned char>(name[0])))
                return Fail(2, "calc: a variable name begins with a letter: '" + name + "'");
            parser.SetVar(name, value);
        }
    }
    if (!haveExpr) return Fail(2, "calc: EXPR is missing");

    parser.SetExpression(expr);  // a failure shows its message on standard error
    if (parser.bGetFailed()) return 1;
    if (!chain) {
        Print(number(parser.Value()) + "\n");
        return 0;
    }
    const double value = parser.Value();  // so that result cells show their values below
    std::string out =
        " #  sort         arg1                      arg2                      result\n";
    int k = 1;
    for (const operation* r = parser.pGetOperations(); r; r = r->next, ++k) {
        char line[160];
        std::snprintf(line, sizeof line, "%2d  %-11s  %-24s  %-24s  %s\n", k,
                      r->sort < 32 ? kSortNames[r->sort] : "?", operand(parser, r->arg1).c_str(),
                      operand(parser, r->arg2).c_str(), number(*r->result).c_str());
        out += line;
    }
    out += "count " + std::to_string(parser.iGetCount()) + ", value " + number(value) + "\n";
    Print(out);
    return 0;
}

}  // namespace

QXCLI_COMMAND("calc",
              "  calc [--chain] EXPR [NAME=VALUE ...]\n"
              "        compile the formula EXPR over A to Z and the variables given and print\n"
              "        its value with 17 significant digits, or with --chain its records in\n"
              "        run order (sort, operands, result)\n",
              CalcCommand);

}  // namespace qxcli
