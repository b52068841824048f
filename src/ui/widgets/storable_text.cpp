#include "storable_text.h"

#include "data/text_encoding.h"

namespace ui {

QString UnstorableCharacters(const QString& text) {
    QString found;
    for (char32_t c : text.toUcs4())
        if (data::CodePointToCp1252(c) < 0) {
            const QString character = QString::fromUcs4(&c, 1);
            if (!found.contains(character))
                found += character;
        }
    return found;
}

std::string UnstorableMessage(const QString& characters) {
    return ("\u201E" + characters +
            "\u201C kann nicht gespeichert werden: Die Datendateien kennen nur die Zeichen "
            "westeuropäischer Sprachen (Windows-1252).")
        .toStdString();
}

QValidator::State StorableTextValidator::validate(QString& input, int&) const {
    const QString refused = UnstorableCharacters(input);
    if (refused.isEmpty())
        return Acceptable;
    m_refused = refused;
    return Invalid;
}

QString StorableTextValidator::TakeRefused() const {
    return std::exchange(m_refused, QString());
}

} // namespace ui
