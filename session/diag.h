// Diagnostic lines for the debug log, in one format everywhere:
// "[ file : line : function yyyy-MM-dd hh:mm:ss:zzz ] values...".
#pragma once

#include <QDateTime>
#include <QStringList>

namespace tarn {

QString Diag_Line(const char* file, int line, const char* function, const QDateTime& time,
                  const QStringList& values);
// Writes Diag_Line with the current time to the debug log.
void Diag_Write(const char* file, int line, const char* function, const QStringList& values);

} // namespace tarn

#define TARN_DIAG(values) ::tarn::Diag_Write(__FILE__, __LINE__, __func__, (values))
