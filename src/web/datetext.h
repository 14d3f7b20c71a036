// Dates as the notices carry them: "year-month-day", optionally followed by a blank and a
// time or anything else. Portable.
#pragma once

#include <string>

namespace tamsolo {

// "%04d-%02d-%02d".
std::u16string DateText(int year, int month, int day);

// Compares two date texts; positive when B is later than A, negative when B is earlier, 0 when
// they name the same day. A non-zero result is the difference of the first part that differs
// (years, then months, then days), B's minus A's.
//
// Each text is read up to its first blank and must be year "-" month "-" day, each part one to
// seven decimal digits ("2012-5-1" and "2012-05-01" are the same day). A missing text (null)
// or one that is not of that form is earlier than any date that is: the result is 1 when
// only A fails, -1 when only B fails and 0 when both fail (or A and B are the same object).
// So an expiry date that does not parse counts as passed.
int CompareDateTexts(const std::u16string* a, const std::u16string* b);

}  // namespace tamsolo
