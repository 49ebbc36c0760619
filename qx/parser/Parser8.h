// TQxParser: a non-visual component that holds one formula over the variables A to Z and any
// number of named user variables, compiles it with parsefunction and returns its value on
// demand. Assign the variables, set Expression once, read Value as often as needed: a compiled
// formula refers to the variables' storage, so new values count at the next Value without
// compiling again.
//
// Ownership: the component owns its compiled chain (records and cells in one block), its
// variable list and the storage of the user variables made by SetVar; A to Z are its own
// fields. Like any component it is deleted by its owner when it has one.
//
// Threads: not synchronised; use a component on one thread. Every run goes through one
// process-wide cursor, so no two evaluations (Value/CalcValue of any components) may overlap
// in the whole process: evaluation is not re-entrant across threads.
#pragma once

#include <memory>
#include <vector>

#include "qx/parser/P8build.h"
#include "qx/platform/Classes.h"

class TQxParser : public TComponent {
public:
    explicit TQxParser(TComponent* owner);
    ~TQxParser() override;

    // The built-in variables (published properties A to Z). Writing one needs no compiling.
#define QX_PARSER_LETTER(L, i)                          \
    double L() const { return letters_[i]; }            \
    void Set##L(double value) { letters_[i] = value; }
    QX_PARSER_LETTER(A, 0) QX_PARSER_LETTER(B, 1) QX_PARSER_LETTER(C, 2) QX_PARSER_LETTER(D, 3)
    QX_PARSER_LETTER(E, 4) QX_PARSER_LETTER(F, 5) QX_PARSER_LETTER(G, 6) QX_PARSER_LETTER(H, 7)
    QX_PARSER_LETTER(I, 8) QX_PARSER_LETTER(J, 9) QX_PARSER_LETTER(K, 10) QX_PARSER_LETTER(L, 11)
    QX_PARSER_LETTER(M, 12) QX_PARSER_LETTER(N, 13) QX_PARSER_LETTER(O, 14)
    QX_PARSER_LETTER(P, 15) QX_PARSER_LETTER(Q, 16) QX_PARSER_LETTER(R, 17)
    QX_PARSER_LETTER(S, 18) QX_PARSER_LETTER(T, 19) QX_PARSER_LETTER(U, 20)
    QX_PARSER_LETTER(V, 21) QX_PARSER_LETTER(W, 22) QX_PARSER_LETTER(X, 23)
    QX_PARSER_LETTER(Y, 24) QX_PARSER_LETTER(Z, 25)
#undef QX_PARSER_LETTER

    // The value of the formula (CalcValue); 0.0 while there is none.
    double Value() const { return CalcValue(); }

    // The formula last assigned, compiled or not.
    const AnsiString& Expression() const { return expression_; }
    // Releases the current chain and compiles `text`. A failure shows its message (see
    // parsefunction) and leaves the component without a chain; bGetFailed() then is true.
    void SetExpression(const AnsiString& text);

    // Stores `text` as the expression and compiles it, reporting the outcome in `failed`.
    // Releases the current chain first.
    void ParseExpression(const AnsiString& text, bool& failed);

    // Runs the compiled chain with the variables' current values; 0.0 without a chain.
    double CalcValue() const;

    // Writes the variable `name` (case ignored), making it when it does not exist; names that
    // do not begin with a letter A-Z or a-z are ignored. "x" writes the built-in X. A new
    // variable does not affect a chain compiled before: assign Expression after it.
    void SetVar(const AnsiString& name, double value);
    // The value of the variable `name` (case ignored), or 0.0 when there is none.
    double GetVar(const AnsiString& name) const;

    // Releases the compiled chain; Value is then 0.0.
    void FreeExpression();

    // Whether the last SetExpression failed.
    bool bGetFailed() const { return failed_; }
    // The record count of the last successful translation (0 for a lone variable or number).
    int iGetCount() const { return count_; }
    // The compiled chain (records in run order), or null.
    const operation* pGetOperations() const { return list_; }
    // The variable list: names with their storage as objects (see parsefunction).
    const TStringList& rGetVariables() const { return variables_; }

private:
    AnsiString expression_;
    double letters_[26] = {};
    TStringList variables_;
    int count_ = 0;
    operation* list_ = nullptr;
    bool failed_ = false;
    std::vector<std::unique_ptr<double>> userStorage_;
};

namespace Parser8 {
// Registers TQxParser on the component palette page "ORVI".
void Register();
}  // namespace Parser8
