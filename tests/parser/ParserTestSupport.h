// Helpers of the parser tests: a variable list with storage, compiling through parsefunction
// with the outcome captured, and a compact text of a compiled chain.
#pragma once

#include <cstdio>
#include <deque>
#include <initializer_list>
#include <string>
#include <string_view>

#include "tests/support/TestSupport.h"

namespace qx::test {

// A sorted, case-insensitive variable list with storage for A to Z and for added names.
class TVarList {
  public:
    TVarList() {
        list.SetSorted(true);
        for (char c = 'A'; c <= 'Z'; ++c) Add(std::string(1, c));
    }
    double& Add(const std::string& name, double value = 0.0) {
        storage_.push_back(value);
        list.AddObject(name, reinterpret_cast<TObject*>(&storage_.back()));
        return storage_.back();
    }
    TStringList list;

  private:
    std::deque<double> storage_;
};

const char* const kSortNames[32] = {
    "variab",   "constant",  "brack",     "minus",       "sum",    "diff",     "prod",   "divis",
    "intpower", "realpower", "cosine",    "sine",        "expo",   "logar",    "sqroot", "arctang",
    "square",   "third",     "forth",     "abso",        "maxim",  "minim",    "heavi",  "phase",
    "randfunc", "argu",      "hypersine", "hypercosine", "radius", "randrand", "sign",   "zero"};

// "sine(X) square(#1) prod(3,A) sum(#2,#3)": each record's sort with its operands, a
// variable by name, a record's result as #index (from 1), any other cell by its value.
inline std::string Describe(const operation* list, const TStringList& vars) {
    std::string out;
    auto operand = [&](const double* p) -> std::string {
        if (!p) return "null";
        const int v = vars.IndexOfObject(reinterpret_cast<const TObject*>(p));
        if (v >= 0) return vars.Strings(v);
        int k = 1;
        for (const operation* q = list; q; q = q->next, ++k)
            if (q->result == p && q->arg1 != p) return Join({"#", std::to_string(k)});
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.17g", *p);
        return buf;
    };
    for (const operation* p = list; p; p = p->next) {
        if (!out.empty()) out += ' ';
        out += p->sort < 32 ? kSortNames[p->sort] : "?";
        out += Join({"(", operand(p->arg1)});
        if (p->arg2) out += Join({",", operand(p->arg2)});
        out += ')';
    }
    return out;
}

// One parsefunction call with its outcome; the list is released on destruction.
struct TCompiled {
    TCompiled(const std::string& text, TVarList& vars) : vars_(vars) {
        TResponderScope dialogs;
        dialogs.Responder().OnUnexpected = nullptr;  // any message is recorded, not a failure
        parsefunction(text, list, &vars.list, count, failed);
        for (const auto& r : dialogs.Requests()) messages += (messages.empty() ? "" : "|") + r.text;
    }
    ~TCompiled() { freefunction(list); }

    std::string Chain() const { return Describe(list, vars_.list); }

    operation* list = nullptr;
    int count = -1;
    bool failed = false;
    std::string messages;  // the dialogs' texts, '|'-separated

  private:
    TVarList& vars_;
};

}  // namespace qx::test
