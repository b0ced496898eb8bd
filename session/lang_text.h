// A text in both of the program's languages, composed at run time.
#pragma once

#include <QString>

namespace tarn {

struct LangText {
    QString zh;
    QString en;

    const QString& in(bool english) const { return english ? en : zh; }
    bool isEmpty() const { return zh.isEmpty() && en.isEmpty(); }
};

} // namespace tarn
