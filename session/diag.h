// Diagnostic lines for the debug log, in one format everywhere:
// "[ file : line : function yyyy-MM-dd hh:mm:ss:zzz ] values...".
// They go to the logging category "tarn.diag", which is off unless switched on, e.g.
// QT_LOGGING_RULES="tarn.diag.debug=true": a user's terminal shows only what is meant for them.
#pragma once

#include <QDateTime>
#include <QLoggingCategory>
#include <QStringList>

namespace tarn {

const QLoggingCategory& Diag_Category();

QString Diag_Line(const char* file, int line, const char* function, const QDateTime& time,
                  const QStringList& values);
// Writes Diag_Line with the current time to the debug log.
void Diag_Write(const char* file, int line, const char* function, const QStringList& values);

} // namespace tarn

// The values are not even built while the category is off.
#define TARN_DIAG(values)                                                                          \
    do {                                                                                           \
        if (::tarn::Diag_Category().isDebugEnabled())                                              \
            ::tarn::Diag_Write(__FILE__, __LINE__, __func__, (values));                            \
    } while (false)
