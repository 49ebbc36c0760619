// The formula compiler: translates a formula text such as "SIN(X)^2+3*A" into a flat chain of
// operation records that the evaluator of Parser8.h runs one after the other.
//
// A formula is recognised by a fixed set of recognisers (sum, difference, product, quotient,
// powers, negation, brackets, one- and two-argument functions, numbers and variables) tried in
// a fixed order; that order decides precedence and associativity: "^" binds tighter than "*"
// and "/", which bind tighter than "+" and "-"; "-", "/" and "^" group to the left. Spaces are
// removed and the text is upper-cased before it is read. Operands are bound by address: a
// variable operand points at the variable's own storage, so new variable values take effect
// at the next run without translating again.
//
// Limits: at most 20 levels of operations below the top and at most 50 operation records on
// one level; a translation that would exceed them fails.
//
// Ownership: the records of one formula and all their constant and result cells are one heap
// block that the caller owns from a successful translation on; freefunction releases it.
// Variable storage is never part of it.
//
// Threads: a translation touches only its own data and the globals below; translations on
// different threads are safe as long as the variable lists are not changed meanwhile and the
// widget set's message dialog may be shown from those threads. The globals below are plain
// variables: the host reads and writes them on one thread.
#pragma once

#include <cstdint>

#include "qx/platform/Classes.h"

// What an operation record computes (values 0 to 31).
enum termsorttype : std::uint8_t {
    variab = 0,        // a variable (leaf)
    constant = 1,      // a number or "PI" (leaf)
    brack = 2,         // pass-through; never produced by the compiler
    minus = 3,         // -a
    sum = 4,           // a + b
    diff = 5,          // a - b
    prod = 6,          // a * b
    divis = 7,         // a / b
    intpower = 8,      // a ^ n, n an integer literal other than 2, 3, 4
    realpower = 9,     // a ^ b otherwise
    cosine = 10,       // COS(a)
    sine = 11,         // SIN(a)
    expo = 12,         // EXP(a)
    logar = 13,        // LN(a)
    sqroot = 14,       // SQRT(a)
    arctang = 15,      // ARCTAN(a)
    square = 16,       // a ^ 2
    third = 17,        // a ^ 3
    forth = 18,        // a ^ 4
    abso = 19,         // ABS(a)
    maxim = 20,        // MAX(a, b)
    minim = 21,        // MIN(a, b)
    heavi = 22,        // HEAV(a): 0 below zero, else 1
    phase = 23,        // PH(a): a wrapped to one turn
    randfunc = 24,     // RN(n, k): whether the host's drawn integer is k
    argu = 25,         // ARG(x, y): angle of the point (x, y)
    hypersine = 26,    // SINH(a)
    hypercosine = 27,  // COSH(a)
    radius = 28,       // R(x, y): distance from the origin
    randrand = 29,     // RM(x, y): x + y * contrandresult
    sign = 30,         // SIGN(a)
    zero = 31,         // ZERO(a): 0 if a is zero, else 1
};

// One step of a compiled formula: reads the values at arg1 (and arg2 for two-operand sorts)
// and writes result. The records of one formula follow each other in memory in `next` order,
// and every record runs after the records whose results it reads.
struct operation {
    double* arg1;        // a variable's storage, a constant cell or another record's result
    double* arg2;        // second operand; null for one-operand sorts
    double* result;      // the cell this step writes
    operation* next;     // the following step; null in the last
    void (*routine)();   // the arithmetic for sort; null until the evaluator binds the list
    std::uint16_t sort;  // a termsorttype value
};

// Translates `text`. `variables` holds the variable names, each with a pointer to its 8-byte
// float storage as its object (cast to TObject*); names are looked up with the list's own
// IndexOf, so its case rule applies. A null list counts as empty.
//
// On success: `list` receives the first record, `count` the number of records (0 when the
// formula is a single variable or number: the list is then one record of sort variab whose
// result is its arg1), `failed` false. The caller owns the list; release it with
// freefunction.
// On failure: a warning message dialog has shown "Syntax Error!", "Too many nestings!" or
// "Term too long, sorry!", `failed` is true and `list` and `count` are unchanged.
void parsefunction(const AnsiString& text, operation*& list, TStringList* variables, int& count,
                   bool& failed);

// Releases a list made by parsefunction (records and cells in one go) and sets `list` to null.
// A null list is left alone.
void freefunction(operation*& list);

// Random-number hand-shake with the host (see RN and RM). All start as zero; the package sets
// randomsize, randomiterates and contrand while translating and reads randomresult and
// contrandresult while running; it never resets them.
extern std::int16_t randomsize;    // range the host draws from for RN: its first argument
extern std::int16_t randomresult;  // the integer the host has drawn, compared by RN
extern bool randomiterates;        // set when a formula with RN is translated
extern bool contrand;              // set when a formula with RM is translated
extern double contrandresult;      // the random factor the host supplies for RM

// Seeds the C library's generator (std::srand) from the clock, for the host's draws.
void Randomize();
