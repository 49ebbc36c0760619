#include "qx/parser/P8build.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

#include "qx/parser/P8grammar.h"
#include "qx/platform/WidgetSet.h"

std::int16_t randomsize = 0;
std::int16_t randomresult = 0;
bool randomiterates = false;
bool contrand = false;
double contrandresult = 0.0;

void Randomize() {
    const auto now = std::chrono::system_clock::now().time_since_epoch().count() ^
                     std::chrono::steady_clock::now().time_since_epoch().count();
    std::srand(static_cast<unsigned>(now ^ (now >> 32)));
}

namespace qx::detail {

// Longer texts are refused: memo keys hold positions in 29 bits.
constexpr std::size_t kMaxText = std::size_t{1} << 24;
constexpr int kMaxLevel = 20;
constexpr int kMaxIndex = 50;

namespace {

enum class TFailure { Syntax, Nesting, Length };

bool isTwoOperand(std::uint8_t sort) {
    switch (sort) {
        case sum:
        case diff:
        case prod:
        case divis:
        case intpower:
        case realpower:
        case maxim:
        case minim:
        case randfunc:
        case argu:
        case radius:
        case randrand:
            return true;
        default:
            return false;
    }
}

// An operand while the tree is expanded: a variable's storage or a cell of the formula.
struct TRef {
    double* storage = nullptr;
    int cell = -1;
};

struct TRecord {
    std::uint8_t sort = variab;
    TRef arg1, arg2;
    int result = -1;  // cell
};

// Expands the tree depth first, numbering nodes per level exactly as the record order
// requires; records and cells are collected here and laid out in one block at the end.
class TExpansion {
  public:
    explicit TExpansion(TRecogniser& r) : rec_(r) {
        records_.emplace_back();  // the root record, entry [0][1]
        table_[0][1] = 0;
    }

    void visit(int level, int index, int slot, int a, int b) {
        const TAnswer c = rec_.Classify(a, b);
        if (rec_.Aborted()) throw TFailure::Nesting;
        if (!c.yes) throw TFailure::Syntax;
        if (c.form == TForm::Variable) {
            link(level, index, slot, TRef{rec_.VariableStorage(a, b), -1});
            return;
        }
        if (c.form == TForm::Number) {
            cells_.push_back(rec_.NumberValue(a, b));
            link(level, index, slot, TRef{nullptr, static_cast<int>(cells_.size()) - 1});
            return;
        }
        if (c.sort == randfunc) {
            if (rec_.IsNumber(c.l0, c.l1, false))
                randomsize = qx::detail::RoundToInt16(rec_.NumberValue(c.l0, c.l1));
            randomiterates = true;
            Randomize();
        } else if (c.sort == randrand) {
            contrand = true;
            Randomize();
        }
        const int below = level + 1;
        if (below > kMaxLevel) throw TFailure::Nesting;
        const int at = counter_[below] + 1;
        if (at > kMaxIndex) throw TFailure::Length;
        const int r = static_cast<int>(records_.size());
        records_.emplace_back();
        records_.back().sort = c.sort;
        cells_.push_back(0.0);
        records_.back().result = static_cast<int>(cells_.size()) - 1;
        table_[below][at] = r;
        link(level, index, slot, TRef{nullptr, records_.back().result});
        if (below > deepest_) deepest_ = below;
        if (!isTwoOperand(c.sort)) {
            ++counter_[below];
            visit(below, at, 1, c.l0, c.l1);
            return;
        }
        visit(below, at, 1, c.l0, c.l1);
        // The first operand's subtree lies below this level, so the counter is unchanged and
        // the second operand takes the same index and the same record.
        ++counter_[below];
        visit(below, at, 2, c.r0, c.r1);
    }

    // Lays out the records in run order (deepest level first, by index within a level) and
    // their cells behind them in one block.
    operation* emit(int& count) const {
        std::vector<int> order;
        if (deepest_ == 0) {
            order.push_back(0);
        } else {
            for (int level = deepest_; level >= 1; --level)
                for (int i = 1; i <= counter_[level]; ++i) order.push_back(table_[level][i]);
        }
        const std::size_t nrec = order.size();
        const std::size_t bytes = nrec * sizeof(operation) + cells_.size() * sizeof(double);
        void* block = ::operator new(bytes);
        auto* ops = static_cast<operation*>(block);
        auto* cells = reinterpret_cast<double*>(ops + nrec);
        for (std::size_t i = 0; i < cells_.size(); ++i) cells[i] = cells_[i];
        auto ptr = [cells](const TRef& ref) {
            return ref.cell >= 0 ? cells + ref.cell : ref.storage;
        };
        for (std::size_t i = 0; i < nrec; ++i) {
            const TRecord& src = records_[static_cast<std::size_t>(order[i])];
            operation* op = new (ops + i) operation{};
            op->arg1 = ptr(src.arg1);
            op->arg2 = ptr(src.arg2);
            op->result = src.result >= 0 ? cells + src.result : op->arg1;
            op->next = i + 1 < nrec ? ops + i + 1 : nullptr;
            op->routine = nullptr;
            op->sort = src.sort;
        }
        count = deepest_ == 0 ? 0 : static_cast<int>(nrec);
        return ops;
    }

  private:
    // Stores an operand into the record that consumes node [level][index].
    void link(int level, int index, int slot, TRef ref) {
        TRecord& consumer = records_[static_cast<std::size_t>(table_[level][index])];
        (slot == 1 ? consumer.arg1 : consumer.arg2) = ref;
    }

    TRecogniser& rec_;
    std::vector<TRecord> records_;
    std::vector<double> cells_;
    int table_[kMaxLevel + 1][kMaxIndex + 1] = {};
    int counter_[kMaxLevel + 2] = {};
    int deepest_ = 0;
};

const char* messageOf(TFailure f) {
    switch (f) {
        case TFailure::Syntax:
            return "Syntax Error!";
        case TFailure::Nesting:
            return "Too many nestings!";
        case TFailure::Length:
            return "Term too long, sorry!";
    }
    return "Syntax Error!";
}

}  // namespace

std::int16_t RoundToInt16(double v) {
    const double r = std::fmod(std::nearbyint(v), 65536.0);  // exact; NaN for NaN and infinity
    if (std::isnan(r)) return 0;
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::int32_t>(r)));
}

std::string NormaliseFormula(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != ' ')
            out.push_back(
                static_cast<char>(qx::platform::UpperCase1252(static_cast<unsigned char>(c))));
    return out;
}

}  // namespace qx::detail

void parsefunction(const AnsiString& text, operation*& list, TStringList* variables, int& count,
                   bool& failed) {
    using namespace qx::detail;
    failed = false;
    const std::string normal = NormaliseFormula(text);
    // An exact-size copy, so that a read past the end is caught by the sanitizers.
    const std::size_t n = normal.size();
    std::unique_ptr<char[]> buffer(new char[n == 0 ? 1 : n]);
    std::copy(normal.begin(), normal.end(), buffer.get());
    const std::string_view view(buffer.get(), n);
    try {
        if (n >= kMaxText) throw TFailure::Length;
        TRecogniser recogniser(view, variables);
        int a = 0, b = static_cast<int>(n);
        recogniser.StripWhole(a, b);
        TExpansion expansion(recogniser);
        expansion.visit(0, 1, 1, a, b);
        int c = 0;
        list = expansion.emit(c);
        count = c;
    } catch (TFailure f) {
        failed = true;
        MessageDlg(messageOf(f), mtWarning, mbOK);
    }
}

void freefunction(operation*& list) {
    if (!list) return;
    ::operator delete(static_cast<void*>(list));
    list = nullptr;
}
