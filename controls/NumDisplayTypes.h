#pragma once

// The display types of the numeric edit: how its integer value is written as
// text, how a commit on leaving the edit turns typed text back into the
// value, and how a lazy read (GetValue) does so without telling anyone.
// Pure functions of the edit's fields, so they hold without any window.
//
// Numbers are written and read in the C notation whatever the process
// locale.  Only a leading decimal number counts ("nan", "inf" and hex are no
// number); huge ones saturate, and every double is bounded before it becomes
// an int.  Typed text without a number changes nothing: the commit writes
// the value again and tells nobody.

#include "platform/sys/WinTypes.h"

#include <optional>
#include <string_view>

// The fields of a numeric edit that the rules read.
struct NumDisplayFields {
    int type = 0;
    int minimum = 0;
    int maximum = 0;
    double step = 0.0; // scaled types: shown number = value x step - offset
    double offset = 0.0;
};

// Outcome of leaving the edit.
struct NumCommit {
    int value = 0;        // the value afterwards
    bool rewrite = false; // write the text again from the value
    bool notify = false;  // tell the owner
};

// The text of `value`; nullopt when the type writes nothing (no rule, or a
// Q index outside the table).  Types 33 and 34 first bound the value into the
// range, which changes `value`.
std::optional<CString> FormatNumValue(const NumDisplayFields& fields, int& value, bool chinese);

// The commit on leaving focus; `dirty`: the user typed since the last read.
NumCommit CommitNumText(const NumDisplayFields& fields, int value, const CString& text, bool dirty);

// The lazy read: the value the text stands for, or `value` when it names none.
int ParseNumText(const NumDisplayFields& fields, int value, const CString& text);

// The leading decimal number of a text (blanks, sign, digits, point,
// exponent), or nullopt.  Out-of-range magnitudes saturate.
std::optional<double> ReadLeadingNumber(std::string_view text);
// The leading whole number (blanks, sign, digits), saturated to int.
std::optional<int> ReadLeadingInteger(std::string_view text);

// Half up to `decimals` places, the way the delay figures are shown.
double RoundHalfUp(double number, int decimals);
