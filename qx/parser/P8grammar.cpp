// The recognisers. Every answer is a pure function of the sub-text (and the variable list), so
// it is remembered per (recogniser, sub-text) in an open-addressing table for one translation.
//
// Split forms only try operator positions where both operands are balanced, which means the
// position has the same bracket level as both ends of the text.
//
// Pruning. When every variable name is "clean" (not empty, not starting with a digit or '.',
// none of the characters ( ) + - * / ^ ,), every accepted text is properly bracketed and its
// top-level characters are well known, which proves the following; each only skips positions
// or texts whose answer is no anyway:
//  - A '+' or '-' is "binary" when the character before it is none of + - * / ^ ( , and it is
//    not an exponent's sign (an 'E' after a digit run that starts the text or follows one of
//    those characters). Numbers' signs and exponents and a negation's '-' are never binary.
//  - No operand of a sum contains a top-level binary '+' on its left, none of a difference a
//    binary '-' on its right, none of a product a '*' on its left, none of a quotient a '/' on
//    its right; a position that is not binary leaves an operand ending in an operator or in an
//    exponent's 'E', which no form does. So each of the four tries one position only: the first
//    binary '+', the last binary '-', the first '*', the last '/'.
//  - Products and quotients hold no top-level binary '+' or '-'; quotients no '*'; powers,
//    negations and functions none of these four at all.
//  - A two-argument function splits only at the first comma on the level of its inside.
//  - A variable text holds none of the operator characters and is no longer than the longest
//    name.
// Powers split at the last '^' whatever the names, because their right operand is a number.
#include "qx/parser/P8grammar.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace qx::detail {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isDigitOrDot(char c) {
    return isDigit(c) || c == '.';
}
// Characters after which a '+' or '-' starts a number or a negation.
bool isOperandStart(char c) {
    return c == '+' || c == '-' || c == '*' || c == '/' || c == '^' || c == '(' || c == ',';
}
bool isSpecial(char c) {
    return isOperandStart(c) || c == ')';
}

constexpr TForm kEnd = TForm::Count;
// Answers are kept once they took this many recogniser calls.
constexpr std::uint64_t kKeepAfterCalls = 8;

// The columns, in the order their alternatives are tried.
constexpr TForm kInnerForms[] = {TForm::Sum,          TForm::Number,    TForm::Difference,
                                 TForm::Negation,     TForm::Product,   TForm::Quotient,
                                 TForm::Function2,    TForm::Function1, TForm::Variable,
                                 TForm::IntegerPower, TForm::RealPower, kEnd};
constexpr TForm kSumLeft[] = {TForm::Variable,     TForm::Number,     TForm::Bracket,
                              TForm::Negation,     TForm::Difference, TForm::Product,
                              TForm::Quotient,     TForm::Function2,  TForm::Function1,
                              TForm::IntegerPower, TForm::RealPower,  kEnd};
constexpr TForm kSumRight[] = {TForm::Variable,     TForm::Number,     TForm::Bracket,
                               TForm::Sum,          TForm::Difference, TForm::Product,
                               TForm::Quotient,     TForm::Function1,  TForm::Function2,
                               TForm::IntegerPower, TForm::RealPower,  kEnd};
constexpr TForm kProdRight[] = {
    TForm::Variable,  TForm::Number,    TForm::Bracket,      TForm::Product,   TForm::Quotient,
    TForm::Function1, TForm::Function2, TForm::IntegerPower, TForm::RealPower, kEnd};
constexpr TForm kProdLeft[] = {
    TForm::Variable,  TForm::Number,    TForm::Bracket,      TForm::Negation,  TForm::Quotient,
    TForm::Function1, TForm::Function2, TForm::IntegerPower, TForm::RealPower, kEnd};
constexpr TForm kQuotRight[] = {
    TForm::Variable,  TForm::Number,       TForm::Bracket,   TForm::Function1,
    TForm::Function2, TForm::IntegerPower, TForm::RealPower, kEnd};
constexpr TForm kPowerLeft[] = {TForm::Variable,  TForm::Bracket,   TForm::Number,
                                TForm::Function1, TForm::Function2, kEnd};
constexpr TForm kRealPowerLeft[] = {TForm::Variable,  TForm::Number,    TForm::Bracket,
                                    TForm::Function1, TForm::Function2, kEnd};
constexpr TForm kRealPowerRight[] = {TForm::FractionNumber, TForm::Variable,  TForm::Bracket,
                                     TForm::Function1,      TForm::Function2, kEnd};
constexpr TForm kNegOperand[] = {TForm::Bracket,
                                 TForm::Variable,
                                 TForm::Function1,
                                 TForm::Function2,
                                 TForm::IntegerPower,
                                 TForm::RealPower,
                                 kEnd};
constexpr TForm kClassify[] = {TForm::Variable,  TForm::Number,     TForm::Negation,
                               TForm::Sum,       TForm::Difference, TForm::Product,
                               TForm::Quotient,  TForm::Function1,  TForm::IntegerPower,
                               TForm::RealPower, TForm::Function2,  kEnd};

const TForm* columnOf(TForm col) {
    switch (col) {
        case TForm::InnerForms:
            return kInnerForms;
        case TForm::SumLeft:
            return kSumLeft;
        case TForm::SumRight:
            return kSumRight;
        case TForm::ProdRight:
            return kProdRight;
        case TForm::ProdLeft:
            return kProdLeft;
        case TForm::QuotRight:
            return kQuotRight;
        case TForm::PowerLeft:
            return kPowerLeft;
        case TForm::RealPowerLeft:
            return kRealPowerLeft;
        case TForm::RealPowerRight:
            return kRealPowerRight;
        case TForm::NegOperand:
            return kNegOperand;
        case TForm::Classify:
            return kClassify;
        default:
            return nullptr;
    }
}

struct TName {
    const char* text;
    std::uint8_t len;
    termsorttype sort;
};
// Tried as prefixes in this order: "SIN" before "SINH", "R" before "RM".
constexpr TName kFunction1[] = {
    {"COS", 3, cosine},      {"SIN", 3, sine},    {"EXP", 3, expo}, {"LN", 2, logar},
    {"ARCTAN", 6, arctang},  {"SQRT", 4, sqroot}, {"ABS", 3, abso}, {"HEAV", 4, heavi},
    {"SIGN", 4, sign},       {"ZERO", 4, zero},   {"PH", 2, phase}, {"SINH", 4, hypersine},
    {"COSH", 4, hypercosine}};
constexpr TName kFunction2[] = {{"MIN", 3, minim}, {"MAX", 3, maxim}, {"RN", 2, randfunc},
                                {"ARG", 3, argu},  {"R", 1, radius},  {"RM", 2, randrand}};

TAnswer yes(TForm form, std::uint8_t sort, int l0, int l1, int r0 = 0, int r1 = 0) {
    TAnswer a;
    a.yes = true;
    a.form = form;
    a.sort = sort;
    a.l0 = l0;
    a.l1 = l1;
    a.r0 = r0;
    a.r1 = r1;
    return a;
}

std::uint8_t sortOf(TForm f) {
    switch (f) {
        case TForm::Variable:
            return variab;
        case TForm::Number:
        case TForm::FractionNumber:
            return constant;
        case TForm::Negation:
            return minus;
        case TForm::Sum:
            return sum;
        case TForm::Difference:
            return diff;
        case TForm::Product:
            return prod;
        case TForm::Quotient:
            return divis;
        case TForm::IntegerPower:
            return intpower;
        case TForm::RealPower:
            return realpower;
        default:
            return variab;
    }
}

bool isInteger(double v) {
    return std::trunc(v) == v;
}
}  // namespace

struct TRecogniser::TSlot {
    std::uint64_t key;  // 0: empty
    TAnswer answer;
};

TRecogniser::TRecogniser(std::string_view text, const TStringList* variables, bool prune)
    : text_(text), n_(static_cast<int>(text.size())), vars_(variables), prune_(prune) {
    const std::string_view t = text_;
    const int n = n_;

    bool clean = true;
    if (vars_) {
        for (int i = 0; i < vars_->Count(); ++i) {
            const AnsiString& name = vars_->Strings(i);
            maxNameLen_ = std::max(maxNameLen_, name.size());
            if (name.empty() || isDigitOrDot(name[0]) ||
                std::any_of(name.begin(), name.end(), isSpecial))
                clean = false;
        }
    }
    prune_ = prune && clean;

    level_.assign(static_cast<size_t>(n) + 1, 0);
    special_.assign(static_cast<size_t>(n) + 1, 0);
    digitEnd_.assign(static_cast<size_t>(n) + 1, n);
    for (int i = 0; i < n; ++i) {
        level_[i + 1] = level_[i] + (t[i] == '(') - (t[i] == ')');
        special_[i + 1] = special_[i] + isSpecial(t[i]);
    }
    for (int i = n - 1; i >= 0; --i) digitEnd_[i] = isDigit(t[i]) ? digitEnd_[i + 1] : i;

    // Operator class bits per position.
    std::vector<std::uint8_t> cls(static_cast<size_t>(n) + 1, 0);
    auto bit = [](TOp k) { return static_cast<std::uint8_t>(1u << k); };
    for (int i = 0; i < n; ++i) {
        switch (t[i]) {
            case '+':
            case '-': {
                bool binary = i > 0 && !isOperandStart(t[i - 1]);
                if (binary && t[i - 1] == 'E' && i >= 2 && isDigitOrDot(t[i - 2])) {
                    int m = i - 2;
                    while (m > 0 && isDigitOrDot(t[m - 1])) --m;
                    if (m == 0 || isOperandStart(t[m - 1])) binary = false;
                }
                const bool plus = t[i] == '+';
                cls[i] = bit(plus ? kPlus : kMinus);
                if (binary) cls[i] |= bit(plus ? kBinPlus : kBinMinus);
                break;
            }
            case '*':
                cls[i] = bit(kStar);
                break;
            case '/':
                cls[i] = bit(kSlash);
                break;
            case '^':
                cls[i] = bit(kCaret);
                break;
            case ',':
                cls[i] = bit(kComma);
                break;
            default:
                break;
        }
    }
    cls_ = std::move(cls);

    // Next and previous positions of each class on the same bracket level.
    const auto [low, high] = std::minmax_element(level_.begin(), level_.end());
    const int lowest = *low;
    std::vector<int> seen(static_cast<size_t>(*high - lowest) + 1);
    auto slot = [&](int i) -> int& { return seen[static_cast<size_t>(level_[i] - lowest)]; };
    for (int k = 0; k < kOps; ++k) {
        // Every '+' and '-' is needed only without pruning.
        if (prune_ && (k == kPlus || k == kMinus)) continue;
        std::fill(seen.begin(), seen.end(), n + 1);
        after_[k].assign(static_cast<size_t>(n) + 1, n + 1);
        for (int i = n; i >= 0; --i) {
            after_[k][i] = slot(i);
            if (cls_[i] & bit(static_cast<TOp>(k))) slot(i) = i;
        }
    }
    for (auto [k, before] :
         {std::pair{kBinMinus, &beforeBinMinus_}, std::pair{kSlash, &beforeSlash_}}) {
        std::fill(seen.begin(), seen.end(), -1);
        before->assign(static_cast<size_t>(n) + 1, -1);
        for (int i = 0; i <= n; ++i) {
            (*before)[i] = slot(i);
            if (cls_[i] & bit(k)) slot(i) = i;
        }
    }
    lastCaret_.assign(static_cast<size_t>(n) + 1, -1);
    for (int i = 0; i < n; ++i) lastCaret_[i + 1] = t[i] == '^' ? i : lastCaret_[i];
    nextComma_.assign(static_cast<size_t>(n) + 1, n);
    for (int i = n - 1; i >= 0; --i) nextComma_[i] = t[i] == ',' ? i : nextComma_[i + 1];

    capacity_ = 256;
    while (capacity_ < 4 * static_cast<std::size_t>(n)) capacity_ *= 2;
    slots_ = std::make_unique<TSlot[]>(capacity_);
}

TRecogniser::~TRecogniser() = default;

int TRecogniser::firstIn(TOp k, int a, int b) const {
    const int j = (cls_[a] & (1u << k)) ? a : after_[k][a];
    return j < b ? j : -1;
}

int TRecogniser::firstAfter(TOp k, int a, int b) const {
    const int j = after_[k][a];
    return j < b ? j : -1;
}

// --- memo table ---------------------------------------------------------------------------

namespace {
std::uint64_t memoKey(TForm f, int a, int b) {
    return (std::uint64_t{1} << 63) | (static_cast<std::uint64_t>(f) << 58) |
           (static_cast<std::uint64_t>(a) << 29) | static_cast<std::uint64_t>(b);
}
// Mixes all fields of the key (positions and form) into the top bits, which are taken.
std::size_t slotOf(std::uint64_t key, std::size_t capacity) {
    key ^= key >> 29;
    key *= 0x9E3779B97F4A7C15ull;
    return static_cast<std::size_t>(key >> 32) & (capacity - 1);
}
}  // namespace

const TAnswer* TRecogniser::find(std::uint64_t key) const {
    for (std::size_t i = slotOf(key, capacity_);; i = (i + 1) & (capacity_ - 1)) {
        const TSlot& s = slots_[i];
        if (s.key == key) return &s.answer;
        if (s.key == 0) return nullptr;
    }
}

void TRecogniser::store(std::uint64_t key, const TAnswer& answer) {
    if (2 * (used_ + 1) > capacity_) {
        const std::size_t old = capacity_;
        std::unique_ptr<TSlot[]> previous = std::move(slots_);
        capacity_ *= 2;
        slots_ = std::make_unique<TSlot[]>(capacity_);
        used_ = 0;
        for (std::size_t i = 0; i < old; ++i)
            if (previous[i].key) store(previous[i].key, previous[i].answer);
    }
    for (std::size_t i = slotOf(key, capacity_);; i = (i + 1) & (capacity_ - 1)) {
        TSlot& s = slots_[i];
        if (s.key == key) {
            s.answer = answer;
            return;
        }
        if (s.key == 0) {
            s.key = key;
            s.answer = answer;
            ++used_;
            return;
        }
    }
}

// --- leaves -------------------------------------------------------------------------------

bool TRecogniser::IsNumber(int a, int b, bool allowPi) const {
    const std::string_view t = text_;
    if (allowPi && b - a == 2 && t[a] == 'P' && t[a + 1] == 'I') return true;
    int i = a;
    if (i < b && (t[i] == '+' || t[i] == '-')) ++i;
    int j = std::min(digitEnd_[i], b);
    int digits = j - i;
    i = j;
    if (i < b && t[i] == '.') {
        ++i;
        j = std::min(digitEnd_[i], b);
        digits += j - i;
        i = j;
    }
    if (digits == 0) return false;
    if (i == b) return true;
    if (t[i] != 'E') return false;
    ++i;
    if (i < b && (t[i] == '+' || t[i] == '-')) ++i;
    j = std::min(digitEnd_[i], b);
    return j > i && j == b;
}

double TRecogniser::NumberValue(int a, int b) const {
    const std::string_view t = text_;
    if (b - a == 2 && t[a] == 'P' && t[a + 1] == 'I') return 3.141592653589793;
    const char* first = t.data() + a + (t[a] == '+');
    const char* last = t.data() + b;
    double v = 0.0;
    auto r = std::from_chars(first, last, v);
    if (r.ec == std::errc()) return v;
    // Out of the double range: the extended range decides between infinity and zero.
    long double lv = 0.0L;
    auto rl = std::from_chars(first, last, lv);
    if (rl.ec == std::errc()) return static_cast<double>(lv);
    const char* e = std::find(first, last, 'E');
    const bool negative = *first == '-';
    const bool tiny = e != last && e + 1 != last && e[1] == '-';
    const double magnitude = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    return negative ? -magnitude : magnitude;
}

bool TRecogniser::isVariable(int a, int b) const {
    if (!vars_) return false;
    if (prune_ &&
        (special_[b] != special_[a] || b == a || static_cast<std::size_t>(b - a) > maxNameLen_))
        return false;
    return vars_->IndexOf(Text(a, b)) >= 0;
}

double* TRecogniser::VariableStorage(int a, int b) const {
    if (!vars_) return nullptr;
    const int i = vars_->IndexOf(Text(a, b));
    return i < 0 ? nullptr : reinterpret_cast<double*>(vars_->Objects(i));
}

// --- dispatch -----------------------------------------------------------------------------

TAnswer TRecogniser::Query(TForm f, int a, int b) {
    if (aborted_) return {};
    ++calls_;
    switch (f) {
        case TForm::Variable:
            return isVariable(a, b) ? yes(f, variab, a, b) : TAnswer{};
        case TForm::Number:
            return IsNumber(a, b) ? yes(f, constant, a, b) : TAnswer{};
        case TForm::FractionNumber:
            return IsNumber(a, b) && !isInteger(NumberValue(a, b)) ? yes(f, constant, a, b)
                                                                   : TAnswer{};
        default:
            break;
    }
    if (surelyNo(f, a, b)) return {};
    const std::uint64_t key = memoKey(f, a, b);
    if (const TAnswer* known = find(key)) return *known;
    if (++depth_ > kMaxDepth) {
        aborted_ = true;
        return {};
    }
    const std::uint64_t before = calls_;
    const TAnswer answer = evaluate(f, a, b);
    --depth_;
    if (aborted_) return {};
    // An answer that took only a few recogniser calls is cheaper to find again than to keep.
    if (calls_ - before >= kKeepAfterCalls) store(key, answer);
    return answer;
}

// Cheap tests of the first and last characters, before the memo table is consulted.
bool TRecogniser::surelyNo(TForm f, int a, int b) const {
    const std::string_view t = text_;
    switch (f) {
        case TForm::Bracket:
            return b - a < 2 || t[a] != '(' || t[b - 1] != ')';
        case TForm::Negation:
            return b == a || t[a] != '-' ||
                   (prune_ && hasWeakOperator(a, b, true, true, true, true));
        case TForm::Sum:
        case TForm::Difference:
        case TForm::Product:
        case TForm::Quotient:
            if (b - a < 3 || level_[a] != level_[b]) return true;
            return prune_ ? splitAt(f, a, b) < 0 : firstAfter(opOf(f), a, b - 1) < 0;
        case TForm::RealPower:
            return b - a < 3 || level_[a] != level_[b] ||
                   (prune_ && hasWeakOperator(a, b, true, true, true, true)) ||
                   firstAfter(kCaret, a, b - 1) < 0;
        case TForm::IntegerPower:
        case TForm::SmallPower:
            return powerAt(f, a, b) < 0;
        case TForm::Function1:
            return b == a || (std::strchr("CSELAHZP", t[a]) == nullptr &&
                              powerAt(TForm::SmallPower, a, b) < 0);
        case TForm::Function2:
            return b - a < 4 || t[b - 1] != ')' || std::strchr("MRA", t[a]) == nullptr;
        default:
            return false;
    }
}

void TRecogniser::StripWhole(int& a, int& b) {
    for (;;) {
        const TAnswer br = Query(TForm::Bracket, a, b);
        if (!br.yes || aborted_) return;
        a = br.l0;
        b = br.l1;
    }
}

TAnswer TRecogniser::evaluate(TForm f, int a, int b) {
    switch (f) {
        case TForm::Bracket: {
            TAnswer inner = Query(TForm::BracketInner, a + 1, b - 1);
            inner.form = TForm::Bracket;
            return inner;
        }
        case TForm::BracketInner:
            return bracketInner(a, b);
        case TForm::Negation:
            return negation(a, b);
        case TForm::Sum:
        case TForm::Difference:
        case TForm::Product:
        case TForm::Quotient:
            return binary(f, a, b);
        case TForm::Function1:
            return function1(a, b);
        case TForm::Function2:
            return function2(a, b);
        case TForm::IntegerPower:
        case TForm::SmallPower:
            return power(f, a, b);
        case TForm::RealPower:
            return realPower(a, b);
        default:
            return column(f, a, b);
    }
}

TAnswer TRecogniser::column(TForm col, int a, int b) {
    const TForm* forms = columnOf(col);
    if (!forms) return {};
    for (; *forms != kEnd; ++forms) {
        const TAnswer r = Query(*forms, a, b);
        if (!r.yes) continue;
        if (col == TForm::Classify) {
            TAnswer c = r;
            c.form = *forms;
            if (*forms == TForm::Variable || *forms == TForm::Number) c.sort = sortOf(*forms);
            return c;
        }
        // A bracket hands on its stripped inner text; every other form the text itself.
        return *forms == TForm::Bracket ? yes(*forms, r.sort, r.l0, r.l1)
                                        : yes(*forms, sortOf(*forms), a, b);
    }
    return {};
}

// Inner text of a bracket: one of the inner forms, or itself a bracket. Layers of brackets are
// peeled in a loop, so "((((X))))" does not nest the recognisers.
TAnswer TRecogniser::bracketInner(int a, int b) {
    std::vector<std::pair<int, int>> layers;
    TAnswer result;
    int x = a, y = b;
    for (;;) {
        if (Query(TForm::InnerForms, x, y).yes) {
            result = yes(TForm::BracketInner, variab, x, y);
            break;
        }
        if (y - x < 2 || text_[x] != '(' || text_[y - 1] != ')') break;
        if (const TAnswer* known = find(memoKey(TForm::Bracket, x, y))) {
            result = *known;
            break;
        }
        layers.emplace_back(x, y);
        ++x;
        --y;
    }
    for (const auto& [x0, y0] : layers) {
        store(memoKey(TForm::Bracket, x0, y0), result);
        store(memoKey(TForm::BracketInner, x0 + 1, y0 - 1), result);
    }
    return result;
}

bool TRecogniser::hasWeakOperator(int a, int b, bool plus, bool minus, bool star,
                                  bool slash) const {
    return (plus && firstAfter(kBinPlus, a, b) >= 0) ||
           (minus && firstAfter(kBinMinus, a, b) >= 0) || (star && firstIn(kStar, a, b) >= 0) ||
           (slash && firstIn(kSlash, a, b) >= 0);
}

TAnswer TRecogniser::negation(int a, int b) {
    const TAnswer r = Query(TForm::NegOperand, a + 1, b);
    return r.yes ? yes(TForm::Negation, minus, r.l0, r.l1) : TAnswer{};
}

TAnswer TRecogniser::trySplit(TForm f, int a, int p, int b) {
    TForm left = TForm::SumLeft, right = TForm::SumRight;
    switch (f) {
        case TForm::Sum:
            break;
        case TForm::Difference:
            right = TForm::ProdRight;
            break;
        case TForm::Product:
            left = TForm::ProdLeft, right = TForm::ProdRight;
            break;
        default:
            left = TForm::ProdLeft, right = TForm::QuotRight;
            break;
    }
    const TAnswer l = Query(left, a, p);
    if (!l.yes) return {};
    const TAnswer r = Query(right, p + 1, b);
    if (!r.yes) return {};
    return yes(f, sortOf(f), l.l0, l.l1, r.l0, r.l1);
}

TRecogniser::TOp TRecogniser::opOf(TForm f) {
    switch (f) {
        case TForm::Sum:
            return kPlus;
        case TForm::Difference:
            return kMinus;
        case TForm::Product:
            return kStar;
        default:
            return kSlash;
    }
}

// With pruning, the one position where a sum, difference, product or quotient can split.
int TRecogniser::splitAt(TForm f, int a, int b) const {
    int p = -1;
    switch (f) {
        case TForm::Sum:
            p = firstAfter(kBinPlus, a, b);
            break;
        case TForm::Difference:
            if (hasWeakOperator(a, b, true, false, false, false)) return -1;
            p = beforeBinMinus_[b];
            break;
        case TForm::Product:
            if (hasWeakOperator(a, b, true, true, false, false)) return -1;
            p = firstIn(kStar, a, b);
            break;
        default:
            if (hasWeakOperator(a, b, true, true, true, false)) return -1;
            p = beforeSlash_[b];
            break;
    }
    return p > a && p < b - 1 ? p : -1;
}

TAnswer TRecogniser::binary(TForm f, int a, int b) {
    // surelyNo has checked the levels of both ends.
    if (prune_) return trySplit(f, a, splitAt(f, a, b), b);
    // Every position on the level, from the left; the first and last characters never split.
    const TOp op = opOf(f);
    for (int p = after_[op][a]; p < b - 1; p = after_[op][p]) {
        const TAnswer r = trySplit(f, a, p, b);
        if (r.yes) return r;
    }
    return {};
}

// The '^' where x^n can split with n small (SmallPower) or not, or -1. The right operand is a
// number, which holds no '^': only the last '^' can split.
int TRecogniser::powerAt(TForm f, int a, int b) const {
    const int p = lastCaret_[b];
    if (p <= a || p >= b - 1) return -1;
    if (level_[p] != level_[a] || level_[b] != level_[a]) return -1;
    if (prune_ && hasWeakOperator(a, b, true, true, true, true)) return -1;
    if (!IsNumber(p + 1, b)) return -1;
    const double v = NumberValue(p + 1, b);
    if (!isInteger(v)) return -1;
    const bool small = v == 2.0 || v == 3.0 || v == 4.0;
    return small == (f == TForm::SmallPower) ? p : -1;
}

TAnswer TRecogniser::power(TForm f, int a, int b) {
    const int p = powerAt(f, a, b);
    const TAnswer l = Query(TForm::PowerLeft, a, p);
    if (!l.yes) return {};
    const std::uint8_t s =
        f == TForm::SmallPower
            ? static_cast<std::uint8_t>(square + static_cast<int>(NumberValue(p + 1, b)) - 2)
            : std::uint8_t{intpower};
    return yes(f, s, l.l0, l.l1, p + 1, b);
}

TAnswer TRecogniser::realPower(int a, int b) {
    for (int p = after_[kCaret][a]; p < b - 1; p = after_[kCaret][p]) {
        const TAnswer l = Query(TForm::RealPowerLeft, a, p);
        if (!l.yes) continue;
        const TAnswer r = Query(TForm::RealPowerRight, p + 1, b);
        if (!r.yes) continue;
        return yes(TForm::RealPower, realpower, l.l0, l.l1, r.l0, r.l1);
    }
    return {};
}

TAnswer TRecogniser::function1(int a, int b) {
    const std::string_view t = Text(a, b);
    for (const TName& name : kFunction1) {
        if (t.size() <= name.len || t.compare(0, name.len, name.text) != 0) continue;
        const TAnswer r = Query(TForm::Bracket, a + name.len, b);
        if (r.yes) return yes(TForm::Function1, name.sort, r.l0, r.l1);
    }
    TAnswer r = Query(TForm::SmallPower, a, b);
    if (r.yes) r.form = TForm::Function1;
    return r;
}

TAnswer TRecogniser::function2(int a, int b) {
    const std::string_view t = Text(a, b);
    for (const TName& name : kFunction2) {
        if (t.size() < name.len + 2u || t.compare(0, name.len, name.text) != 0 ||
            t[name.len] != '(' || t.back() != ')')
            continue;
        const int s = a + name.len + 1, e = b - 1;  // the inside
        auto attempt = [&](int p) {
            const TAnswer l = Query(TForm::BracketInner, s, p);
            if (!l.yes) return TAnswer{};
            const TAnswer r = Query(TForm::BracketInner, p + 1, e);
            if (!r.yes) return TAnswer{};
            return yes(TForm::Function2, name.sort, l.l0, l.l1, r.l0, r.l1);
        };
        if (prune_) {
            const int p = firstIn(kComma, s, e);
            if (p > s && p < e - 1) {
                const TAnswer r = attempt(p);
                if (r.yes) return r;
            }
            continue;
        }
        // Every comma of the inside, whatever its level: no balance test here.
        for (int p = nextComma_[s + 1]; p < e - 1; p = nextComma_[p + 1]) {
            const TAnswer r = attempt(p);
            if (r.yes) return r;
        }
    }
    return {};
}

}  // namespace qx::detail
