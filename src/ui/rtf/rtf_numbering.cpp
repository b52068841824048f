#include "rtf_numbering.h"

#include <algorithm>
#include <utility>

namespace ui {

QString RomanNumber(int n, bool upper) {
    static const std::pair<int, const char*> parts[] = {
        {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
        {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},    {4, "iv"},  {1, "i"}};
    QString text;
    n = std::clamp(n, 1, 3999);
    for (const auto& [value, letters] : parts)
        while (n >= value) {
            text += QString::fromLatin1(letters);
            n -= value;
        }
    return upper ? text.toUpper() : text;
}

QString LetterNumber(int n, bool upper) {
    n = std::max(n, 1);
    QString text;
    while (n > 0) {
        --n;
        text.prepend(QChar(static_cast<char16_t>((upper ? 'A' : 'a') + n % 26)));
        n /= 26;
    }
    return text;
}

QString ListMarker(const ListDef& list, int counter) {
    QString number;
    switch (list.kind) {
    case ListDef::Numbers:
        number = QString::number(counter);
        break;
    case ListDef::UpperLetters:
    case ListDef::LowerLetters:
        number = LetterNumber(counter, list.kind == ListDef::UpperLetters);
        break;
    case ListDef::UpperRoman:
    case ListDef::LowerRoman:
        number = RomanNumber(counter, list.kind == ListDef::UpperRoman);
        break;
    case ListDef::Bullet:
    case ListDef::None:
        break;
    }
    const QString marker = list.before + number + list.after;
    return marker.isEmpty() ? QString(QChar(0x2022)) : marker;
}

} // namespace ui
