#include "session/diag.h"

#include <QDebug>

namespace tarn {

Q_LOGGING_CATEGORY(diagCategory, "tarn.diag", QtInfoMsg)

const QLoggingCategory& Diag_Category() {
    return diagCategory();
}

QString Diag_Line(const char* file, int line, const char* function, const QDateTime& time,
                  const QStringList& values) {
    QString name = QString::fromLocal8Bit(file);
    name = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    QStringList items{QStringLiteral("["),
                      name,
                      QStringLiteral(":"),
                      QString::number(line),
                      QStringLiteral(":"),
                      QString::fromLatin1(function),
                      time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss:zzz")),
                      QStringLiteral("]")};
    items += values;
    return items.join(QLatin1Char(' '));
}

void Diag_Write(const char* file, int line, const char* function, const QStringList& values) {
    qCDebug(diagCategory).noquote()
        << Diag_Line(file, line, function, QDateTime::currentDateTime(), values);
}

} // namespace tarn
