// The recognisers behind parsefunction, exposed for the tests and the fuzz target only.
//
// Each recogniser decides whether a whole sub-text of the normalised formula is one form (a
// sum, a product, a bracket, ...) and, if so, returns its operand sub-texts. Answers are
// remembered per (sub-text, recogniser) for the lifetime of one TRecogniser, and sub-texts are
// index ranges of one text, so a translation costs polynomial time however the forms nest.
//
// With variable names free of the operator characters and not starting with a digit or '.',
// the recognisers also skip split positions that provably cannot give a different answer
// (see P8grammar.cpp); `prune` = false turns that off, for comparing the two.
//
// Not synchronised: one instance per translation and thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "qx/parser/P8build.h"

namespace qx::detail {

// The recognisers and the ordered alternatives ("columns") they accept as operands.
enum class TForm : std::uint8_t {
    Variable,
    Number,
    FractionNumber,  // a number whose value is not an integer
    Bracket,
    BracketInner,  // what may stand inside a bracket, or a bracket itself
    Negation,
    Sum,
    Difference,
    Product,
    Quotient,
    Function1,
    Function2,
    IntegerPower,
    RealPower,
    SmallPower,  // x^2, x^3, x^4: tried by Function1 after the function names
    // Columns: the first alternative that answers yes wins.
    InnerForms,
    SumLeft,  // also the left column of Difference
    SumRight,
    ProdRight,  // also the right column of Difference
    ProdLeft,   // also the left column of Quotient
    QuotRight,
    PowerLeft,
    RealPowerLeft,
    RealPowerRight,
    NegOperand,
    Classify,
    Count
};

// An answer. For a column, [l0, l1) is the text it returns (a bracket's stripped inner text)
// and `form` the alternative that matched; for Classify the fields are those of that form.
struct TAnswer {
    bool yes = false;
    TForm form = TForm::Count;
    std::uint8_t sort = variab;
    std::int32_t l0 = 0, l1 = 0;  // first operand
    std::int32_t r0 = 0, r1 = 0;  // second operand
};

// Spaces removed, upper case (code page 1252).
std::string NormaliseFormula(std::string_view text);

// v rounded to the nearest integer (halves to even), taken modulo 2^16 as a signed 16-bit
// integer; 0 for NaN and infinities.
std::int16_t RoundToInt16(double v);

class TRecogniser {
  public:
    // Recognisers nested deeper than this give up (Aborted): such a text cannot fit into 20
    // levels, and the limit keeps the stack small.
    static constexpr int kMaxDepth = 2000;

    // `text` must be normalised (no spaces, upper case) and outlive the recogniser.
    TRecogniser(std::string_view text, const TStringList* variables, bool prune = true);
    ~TRecogniser();
    TRecogniser(const TRecogniser&) = delete;
    TRecogniser& operator=(const TRecogniser&) = delete;

    int Length() const { return n_; }
    std::string_view Text(int a, int b) const { return text_.substr(a, b - a); }
    bool Pruning() const { return prune_; }
    // Number of remembered answers, and of recogniser calls so far.
    std::size_t MemoSize() const { return used_; }
    std::uint64_t Calls() const { return calls_; }
    // Whether the recognisers gave up at kMaxDepth; every answer since then is no.
    bool Aborted() const { return aborted_; }

    // Form `f` of the sub-text [a, b).
    TAnswer Query(TForm f, int a, int b);
    // The node classification: Variable, Number, Negation, Sum, Difference, Product, Quotient,
    // Function1, IntegerPower, RealPower, Function2, in this order.
    TAnswer Classify(int a, int b) { return Query(TForm::Classify, a, b); }
    // Strips enclosing brackets of the whole text while it is a Bracket.
    void StripWhole(int& a, int& b);

    // Whether [a, b) is a number, and its value ("PI" only when allowPi).
    bool IsNumber(int a, int b, bool allowPi = true) const;
    double NumberValue(int a, int b) const;
    // The storage of the variable named [a, b), or null.
    double* VariableStorage(int a, int b) const;

  private:
    struct TSlot;
    bool surelyNo(TForm f, int a, int b) const;
    TAnswer evaluate(TForm f, int a, int b);
    TAnswer column(TForm col, int a, int b);
    TAnswer bracketInner(int a, int b);
    TAnswer negation(int a, int b);
    TAnswer function1(int a, int b);
    TAnswer function2(int a, int b);
    TAnswer power(TForm f, int a, int b);
    TAnswer realPower(int a, int b);
    TAnswer binary(TForm f, int a, int b);
    TAnswer trySplit(TForm f, int a, int p, int b);
    bool isVariable(int a, int b) const;
    bool hasWeakOperator(int a, int b, bool plus, bool minus, bool star, bool slash) const;

    const TAnswer* find(std::uint64_t key) const;
    void store(std::uint64_t key, const TAnswer& answer);

    // Operator classes. For each, after_[k][i] is the next position > i on the bracket level of
    // i holding one (n_ + 1 if none), so every lookup below is O(1).
    enum TOp { kPlus, kMinus, kBinPlus, kBinMinus, kStar, kSlash, kCaret, kComma, kOps };
    int firstIn(TOp k, int a, int b) const;     // first at level of a in [a, b), or -1
    int firstAfter(TOp k, int a, int b) const;  // the same in (a, b)
    static TOp opOf(TForm f);
    int splitAt(TForm f, int a, int b) const;
    int powerAt(TForm f, int a, int b) const;

    std::string_view text_;
    int n_;
    const TStringList* vars_;
    bool prune_;
    bool aborted_ = false;
    std::size_t maxNameLen_ = 0;
    int depth_ = 0;
    std::uint64_t calls_ = 0;

    std::vector<int> level_;         // level_[i]: '(' minus ')' in text[0, i)
    std::vector<int> digitEnd_;      // first index >= i that is not a digit
    std::vector<int> special_;       // prefix counts of the characters ( ) + - * / ^ ,
    std::vector<std::uint8_t> cls_;  // bit k set where the character is of class k
    std::vector<int> after_[kOps];
    std::vector<int> beforeBinMinus_, beforeSlash_;  // last position < i on the level of i
    std::vector<int> lastCaret_;                     // last '^' before i, any level; -1 if none
    std::vector<int> nextComma_;  // first ',' at or after i, any level; n_ if none

    std::unique_ptr<TSlot[]> slots_;
    std::size_t capacity_ = 0, used_ = 0;
};

}  // namespace qx::detail
