// Formula texts of any bytes: each compiles or fails with a message, never crashes, leaks or
// reads outside the text. A compiled chain must be well formed and run; on short texts the
// pruned recognisers must classify exactly as the unpruned ones.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "qx/parser/P8grammar.h"
#include "qx/qx.h"

namespace {

class TSilent : public qx::platform::TDialogResponder {
  public:
    std::optional<qx::platform::TDialogAnswer> Answer(
        const qx::platform::TDialogRequest& r) override {
        return qx::platform::TDialogAnswer{r.eKind, mrOk, false};
    }
};

std::string tree(qx::detail::TRecogniser& rec, int a, int b, int depth) {
    using qx::detail::TForm;
    if (depth == 0) rec.StripWhole(a, b);
    if (depth > 40) return "deep";
    const qx::detail::TAnswer c = rec.Classify(a, b);
    if (!c.yes) return "?";
    if (c.form == TForm::Variable || c.form == TForm::Number) return std::string(rec.Text(a, b));
    std::string out = std::to_string(c.sort) + "(" + tree(rec, c.l0, c.l1, depth + 1);
    if (c.form != TForm::Negation && c.form != TForm::Function1)
        out += "," + tree(rec, c.r0, c.r1, depth + 1);
    return out + ")";
}

void check(bool ok) {
    if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static TSilent silent;
    qx::platform::HeadlessWidgetSet().SetResponder(&silent);
    if (size == 0) return 0;

    // The first byte chooses the user variables: clean names, or names that turn pruning off.
    const bool oddNames = data[0] & 1;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

    TQxParser p(nullptr);
    p.SetVar("Alpha", 0.5);
    p.SetVar("PI", 3);
    if (oddNames) {
        p.SetVar("A+B", 2);
        p.SetVar("X(", 3);
    }
    p.SetX(1.25);
    p.SetExpression(text);
    if (const operation* list = p.pGetOperations()) {
        // Records follow each other; every operand is a variable or a cell behind the records.
        int n = 0;
        const operation* last = list;
        for (const operation* r = list; r; r = r->next, ++n) {
            check(r->routine != nullptr && r->sort < 32);
            check(!r->next || r->next == r + 1);
            last = r;
        }
        check(p.iGetCount() == (n == 1 && list->result == list->arg1 ? 0 : n));
        const auto* cellsBegin = reinterpret_cast<const double*>(last + 1);
        for (const operation* r = list; r; r = r->next)
            for (const double* q : {r->arg1, r->arg2, r->result})
                check(!q || q >= cellsBegin ||
                      p.rGetVariables().IndexOfObject(reinterpret_cast<const TObject*>(q)) >= 0);
        p.Value();
        p.SetX(-3);
        p.Value();
    }

    if (text.size() <= 64) {
        const std::string normal = qx::detail::NormaliseFormula(text);
        qx::detail::TRecogniser pruned(normal, &p.rGetVariables(), true);
        qx::detail::TRecogniser full(normal, &p.rGetVariables(), false);
        const int n = static_cast<int>(normal.size());
        check(tree(pruned, 0, n, 0) == tree(full, 0, n, 0));
    }
    return 0;
}
