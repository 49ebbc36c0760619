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
    double A() const { return letters_[0]; }
    void SetA(double value) { letters_[0] = value; }
    double B() const { return letters_[1]; }
    void SetB(double value) { letters_[1] = value; }
    double C() const { return letters_[2]; }
    void SetC(double value) { letters_[2] = value; }
    double D() const { return letters_[3]; }
    void SetD(double value) { letters_[3] = value; }
    double E() const { return letters_[4]; }
    void SetE(double value) { letters_[4] = value; }
    double F() const { return letters_[5]; }
    void SetF(double value) { letters_[5] = value; }
    double G() const { return letters_[6]; }
    void SetG(double value) { letters_[6] = value; }
    double H() const { return letters_[7]; }
    void SetH(double value) { letters_[7] = value; }
    double I() const { return letters_[8]; }
    void SetI(double value) { letters_[8] = value; }
    double J() const { return letters_[9]; }
    void SetJ(double value) { letters_[9] = value; }
    double K() const { return letters_[10]; }
    void SetK(double value) { letters_[10] = value; }
    double L() const { return letters_[11]; }
    void SetL(double value) { letters_[11] = value; }
    double M() const { return letters_[12]; }
    void SetM(double value) { letters_[12] = value; }
    double N() const { return letters_[13]; }
    void SetN(double value) { letters_[13] = value; }
    double O() const { return letters_[14]; }
    void SetO(double value) { letters_[14] = value; }
    double P() const { return letters_[15]; }
    void SetP(double value) { letters_[15] = value; }
    double Q() const { return letters_[16]; }
    void SetQ(double value) { letters_[16] = value; }
    double R() const { return letters_[17]; }
    void SetR(double value) { letters_[17] = value; }
    double S() const { return letters_[18]; }
    void SetS(double value) { letters_[18] = value; }
    double T() const { return letters_[19]; }
    void SetT(double value) { letters_[19] = value; }
    double U() const { return letters_[20]; }
    void SetU(double value) { letters_[20] = value; }
    double V() const { return letters_[21]; }
    void SetV(double value) { letters_[21] = value; }
    double W() const { return letters_[22]; }
    void SetW(double value) { letters_[22] = value; }
    double X() const { return letters_[23]; }
    void SetX(double value) { letters_[23] = value; }
    double Y() const { return letters_[24]; }
    void SetY(double value) { letters_[24] = value; }
    double Z() const { return letters_[25]; }
    void SetZ(double value) { letters_[25] = value; }

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
