// Numbers as measurement and filter-settings texts write them, read the same way by both readers,
// and the encodings those texts come in.
#pragma once

#include <QByteArray>

namespace tarn {

// A decimal number: an optional sign, digits with at most one decimal separator, an optional
// exponent ("-3.5", "75,00", "1e3"). The separator is '.', and also ',' when the caller knows the
// comma cannot be a column separator there. Anything else (spaces, grouping, "inf", "nan", a
// trailing unit) is refused, so that a misread column never passes as a number.
bool Read_Decimal(const char* text, int size, bool commaDecimal, double& out);

// A number with its thousands grouped by `group` (',' in "1,071.1"; '.' in "1.071,1", where the
// other of the two is the decimal mark): a first group of one to three digits not starting with 0,
// then at least one group of exactly three, then the decimal mark and digits if any. False for
// anything else, a plain number included.
bool readGroupedDecimal(const char* text, int size, char group, double& out);

// A text file's bytes as UTF-8: a text in UTF-16 (either byte order, told by its byte-order mark,
// as Windows programs write them) is converted, and a UTF-8 byte-order mark is dropped. Bytes
// without a mark are returned as they are.
QByteArray utf8Text(const QByteArray& bytes);

} // namespace tarn
