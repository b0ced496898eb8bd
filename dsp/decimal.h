// Numbers as measurement and filter-settings texts write them, read the same way by both readers.
#pragma once

namespace tarn {

// A decimal number: an optional sign, digits with at most one decimal separator, an optional
// exponent ("-3.5", "75,00", "1e3"). The separator is '.', and also ',' when the caller knows the
// comma cannot be a column separator there. Anything else (spaces, grouping, "inf", "nan", a
// trailing unit) is refused, so that a misread column never passes as a number.
bool Read_Decimal(const char* text, int size, bool commaDecimal, double& out);

} // namespace tarn
