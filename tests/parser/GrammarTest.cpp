// The recognisers against a literal, unremembered transcription of the grammar: on short texts
// the memoised and pruned recognisers must classify every node exactly as it does.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <optional>
#include <random>
#include <regex>
#include <string>

#include "qx/parser/P8grammar.h"
#include "tests/parser/ParserTestSupport.h"

namespace {

using namespace qx::detail;
using qx::detail::TForm;  // not the window class
using namespace qx::test;

// The reference: every recogniser as worded, on copies of the texts, nothing remembered.
class TNaive {
  public:
    struct TResult {
        int sort;
        std::string left, right;
    };
    using R = std::optional<TResult>;
    enum F { Var, Num, Frac, Brk, Neg, Sum, Dif, Prd, Quo, F1, F2, IPw, RPw };

    explicit TNaive(const TStringList& vars) : vars_(vars) {}

    static bool balanced(const std::string& s) {
        return std::count(s.begin(), s.end(), '(') == std::count(s.begin(), s.end(), ')');
    }
    static bool number(const std::string& s, double* value = nullptr) {
        static const std::regex form(R"([+-]?(\d+\.?\d*|\.\d+)(E[+-]?\d+)?)");
        if (s != "PI" && !std::regex_match(s, form)) return false;
        if (value) *value = s == "PI" ? 3.141592653589793 : std::strtod(s.c_str(), nullptr);
        return true;
    }
    bool variable(const std::string& s) const { return vars_.IndexOf(s) >= 0; }

    R form(F f, const std::string& s) {
        double v = 0;
        if (f == Var) return variable(s) ? R{{variab, s, ""}} : R{};
        if (f == Num) return number(s) ? R{{constant, s, ""}} : R{};
        if (f == Frac) return number(s, &v) && std::trunc(v) != v ? R{{constant, s, ""}} : R{};
        if (f == Brk) return bracket(s);
        if (f == Neg) return negation(s);
        if (f == Sum)
            return split(s, '+', sum, {Var, Num, Brk, Neg, Dif, Prd, Quo, F2, F1, IPw, RPw},
                         {Var, Num, Brk, Sum, Dif, Prd, Quo, F1, F2, IPw, RPw});
        if (f == Dif)
            return split(s, '-', diff, {Var, Num, Brk, Neg, Dif, Prd, Quo, F2, F1, IPw, RPw},
                         {Var, Num, Brk, Prd, Quo, F1, F2, IPw, RPw});
        if (f == Prd)
            return split(s, '*', prod, {Var, Num, Brk, Neg, Quo, F1, F2, IPw, RPw},
                         {Var, Num, Brk, Prd, Quo, F1, F2, IPw, RPw});
        if (f == Quo)
            return split(s, '/', divis, {Var, Num, Brk, Neg, Quo, F1, F2, IPw, RPw},
                         {Var, Num, Brk, F1, F2, IPw, RPw});
        if (f == F1) return function1(s);
        if (f == F2) return function2(s);
        if (f == IPw) return power(s, false);
        return split(s, '^', realpower, {Var, Num, Brk, F1, F2}, {Frac, Var, Brk, F1, F2});
    }
    // The text a column hands on: a bracket's inner text, else the text itself.
    std::optional<std::string> column(std::initializer_list<F> forms, const std::string& s) {
        for (F f : forms)
            if (R r = form(f, s)) return f == Brk ? r->left : s;
        return {};
    }
    R bracket(const std::string& s) {
        if (s.size() < 2 || s.front() != '(' || s.back() != ')') return {};
        return content(s.substr(1, s.size() - 2));
    }
    // What a pair of brackets may hold: a formula, or a bracket again.
    R content(const std::string& in) {
        for (F f : {Sum, Num, Dif, Neg, Prd, Quo, F2, F1, Var, IPw, RPw})
            if (form(f, in)) return R{{brack, in, ""}};
        return bracket(in);
    }
    R negation(const std::string& s) {
        if (s.empty() || s[0] != '-') return {};
        auto op = column({Brk, Var, F1, F2, IPw, RPw}, s.substr(1));
        return op ? R{{minus, *op, ""}} : R{};
    }
    R split(const std::string& s, char op, int sort, std::initializer_list<F> left,
            std::initializer_list<F> right) {
        for (size_t p = 0; p < s.size(); ++p) {
            if (s[p] != op || p == 0) continue;
            if (p == s.size() - 1) break;
            const std::string l = s.substr(0, p), r = s.substr(p + 1);
            if (!balanced(l) || !balanced(r)) continue;
            auto lt = column(left, l);
            if (!lt) continue;
            auto rt = column(right, r);
            if (rt) return R{{sort, *lt, *rt}};
        }
        return {};
    }
    R power(const std::string& s, bool small) {
        for (size_t p = 1; p + 1 < s.size(); ++p) {
            if (s[p] != '^') continue;
            const std::string l = s.substr(0, p), r = s.substr(p + 1);
            double v = 0;
            if (!balanced(l) || !balanced(r) || !number(r, &v) || std::trunc(v) != v) continue;
            const bool isSmall = v == 2 || v == 3 || v == 4;
            if (isSmall != small) continue;
            if (auto lt = column({Var, Brk, Num, F1, F2}, l))
                return R{{small ? square + static_cast<int>(v) - 2 : intpower, *lt, r}};
        }
        return {};
    }
    R function1(const std::string& s) {
        static const std::pair<const char*, int> names[] = {
            {"COS", cosine},      {"SIN", sine},    {"EXP", expo}, {"LN", logar},
            {"ARCTAN", arctang},  {"SQRT", sqroot}, {"ABS", abso}, {"HEAV", heavi},
            {"SIGN", sign},       {"ZERO", zero},   {"PH", phase}, {"SINH", hypersine},
            {"COSH", hypercosine}};
        for (auto [name, sort] : names)
            if (s.rfind(name, 0) == 0)
                if (R b = bracket(s.substr(strlen(name)))) return R{{sort, b->left, ""}};
        return power(s, true);
    }
    R function2(const std::string& s) {
        static const std::pair<const char*, int> names[] = {{"MIN", minim},   {"MAX", maxim},
                                                            {"RN", randfunc}, {"ARG", argu},
                                                            {"R", radius},    {"RM", randrand}};
        for (auto [name, sort] : names) {
            const std::string rest = s.rfind(name, 0) == 0 ? s.substr(strlen(name)) : "";
            if (rest.size() < 2 || rest.front() != '(' || rest.back() != ')') continue;
            const std::string in = rest.substr(1, rest.size() - 2);
            for (size_t p = 0; p < in.size(); ++p) {
                if (in[p] != ',' || p == 0) continue;
                if (p == in.size() - 1) break;
                R l = content(in.substr(0, p));
                R r = content(in.substr(p + 1));
                if (l && r) return R{{sort, l->left, r->left}};
            }
        }
        return {};
    }

    // The whole tree as text: strip, classify, and the same for every operand.
    std::string tree(std::string s, int depth = 0) {
        if (depth == 0)
            while (R b = bracket(s)) s = b->left;
        if (depth > 40) return "deep";
        for (F f : {Var, Num, Neg, Sum, Dif, Prd, Quo, F1, IPw, RPw, F2}) {
            R r = form(f, s);
            if (!r) continue;
            if (f == Var || f == Num) return s;
            std::string out = Join({kSortNames[r->sort], "(", tree(r->left, depth + 1)});
            if (f == Sum || f == Dif || f == Prd || f == Quo || f == IPw || f == RPw || f == F2)
                out += Join({",", tree(r->right, depth + 1)});
            return out + ")";
        }
        return "?";
    }

  private:
    const TStringList& vars_;
};

// The same tree from the recognisers under test.
std::string treeOf(TRecogniser& rec, int a, int b, int depth = 0) {
    if (depth == 0) rec.StripWhole(a, b);
    if (depth > 40) return "deep";
    const TAnswer c = rec.Classify(a, b);
    if (!c.yes) return "?";
    if (c.form == TForm::Variable || c.form == TForm::Number) return std::string(rec.Text(a, b));
    std::string out = Join({kSortNames[c.sort], "(", treeOf(rec, c.l0, c.l1, depth + 1)});
    if (c.form != TForm::Negation && c.form != TForm::Function1)
        out += Join({",", treeOf(rec, c.r0, c.r1, depth + 1)});
    return out + ")";
}

void compareAll(const std::string& text, const TStringList& vars, TNaive& naive) {
    const std::string expected = naive.tree(text);
    TRecogniser pruned(text, &vars, true), full(text, &vars, false);
    ASSERT_EQ(treeOf(pruned, 0, static_cast<int>(text.size())), expected) << text;
    ASSERT_EQ(treeOf(full, 0, static_cast<int>(text.size())), expected) << text;
}

TEST(ParserGrammar, EveryShortTextIsClassifiedAsTheGrammarSays) {
    TVarList v;
    TNaive naive(v.list);
    const std::string alphabet = "A2+-*/^(),.E";
    // All texts up to four characters.
    for (size_t len = 1, count = alphabet.size(); len <= 4; ++len, count *= alphabet.size()) {
        for (size_t n = 0; n < count; ++n) {
            std::string s;
            for (size_t k = 0, m = n; k < len; ++k, m /= alphabet.size())
                s += alphabet[m % alphabet.size()];
            compareAll(s, v.list, naive);
            if (HasFatalFailure()) return;
        }
    }
}

TEST(ParserGrammar, RandomFormulasAreClassifiedAsTheGrammarSays) {
    const char* tokens[] = {"A",    "B",  "X",   "E",    "2",   "3", "0.5", "1E+2",
                            "4E-1", "PI", "SIN", "SINH", "MAX", "R", "RM",  "RN",
                            "ARG",  "(",  "(",   ")",    ")",   ",", "+",   "-",
                            "-",    "*",  "/",   "^",    "^",   "2", "+2",  "-2"};
    std::mt19937 rng(12345);
    for (int withOddNames = 0; withOddNames < 2; ++withOddNames) {
        TVarList v;
        if (withOddNames) {
            // Names holding operator characters turn the pruning off; the answers stay exact.
            v.Add("A+B");
            v.Add("X(");
            v.Add("1E");
        }
        TNaive naive(v.list);
        for (int i = 0; i < 4000; ++i) {
            std::string s;
            const int n = 1 + static_cast<int>(rng() % 9);
            for (int k = 0; k < n; ++k) s += tokens[rng() % std::size(tokens)];
            compareAll(s, v.list, naive);
            if (HasFatalFailure()) return;
        }
        // Mostly well-formed formulas, some with one character changed.
        std::function<std::string(int)> gen = [&](int depth) -> std::string {
            static const char* atoms[] = {"A", "B", "X", "E", "2", "0.5", "PI", "1E+2", "-2", "4"};
            static const char* ops[] = {"+", "-", "*", "/", "^", "^", "-"};
            static const char* f1[] = {"SIN", "SINH", "ABS", "LN"};
            static const char* f2[] = {"MAX", "R", "RM", "ARG"};
            switch (depth == 0 ? 0 : rng() % 7) {
                case 0:
                    return atoms[rng() % std::size(atoms)];
                case 1:
                case 2:
                    return Join({gen(depth - 1), ops[rng() % std::size(ops)], gen(depth - 1)});
                case 3:
                    return Join({"(", gen(depth - 1), ")"});
                case 4:
                    return Join({"-", gen(depth - 1)});
                case 5:
                    return Join({f1[rng() % 4], "(", gen(depth - 1), ")"});
                default:
                    return Join({f2[rng() % 4], "(", gen(depth - 1), ",", gen(depth - 1), ")"});
            }
        };
        for (int i = 0; i < 3000; ++i) {
            std::string s = gen(3);
            if (rng() % 4 == 0) s[rng() % s.size()] = "()+-*/^,"[rng() % 8];
            compareAll(s, v.list, naive);
            if (HasFatalFailure()) return;
        }
    }
}

TEST(ParserGrammar, RememberedAnswersKeepTheWorkPolynomialAndPruningIsOnlyForCleanNames) {
    // Unpruned, every comma of the nested arguments is tried and the same sub-texts come up
    // again and again: without remembering, the calls would grow by a factor of 2.4 per level.
    TVarList v;
    std::string deep = "X";
    for (int i = 0; i < 16; ++i) deep = "MAX(" + deep + ",A)";
    for (bool prune : {true, false}) {
        TRecogniser rec(deep, &v.list, prune);
        int a = 0, b = static_cast<int>(deep.size());
        rec.StripWhole(a, b);
        EXPECT_EQ(rec.Classify(a, b).sort, maxim);
        EXPECT_FALSE(rec.Aborted());
        EXPECT_LT(rec.Calls(), 100 * deep.size()) << rec.Calls() << " calls for " << deep.size();
    }

    TVarList clean;
    EXPECT_TRUE(TRecogniser("A", &clean.list).Pruning());
    TVarList odd;
    odd.Add("A-1");
    EXPECT_FALSE(TRecogniser("A", &odd.list).Pruning());
    // With such a name, "A-1" is a variable wherever a whole node reads so.
    EXPECT_EQ(TCompiled("A-1", odd).Chain(), "variab(A-1)");
    EXPECT_EQ(TCompiled("(A-1)*2", odd).Chain(), "prod(A-1,2)");
    EXPECT_EQ(TCompiled("A-1*2", odd).Chain(), "prod(1,2) diff(A,#1)");
}

}  // namespace
