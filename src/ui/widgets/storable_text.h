#pragma once
// What the data files can hold: text in Windows-1252, one byte a character. A character
// beyond it (an emoji, a Cyrillic letter, an arrow) would be stored as "?", so the editors
// refuse it as it is typed or pasted and say why.
#include <QString>
#include <QValidator>

namespace ui {

// The characters of `text` that Windows-1252 cannot hold, each once, in order; empty when
// all can be stored.
QString UnstorableCharacters(const QString& text);
// The message that refuses them.
std::string UnstorableMessage(const QString& characters);

// Takes text only when every character can be stored; remembers what it refused last, so
// that the editor can say so.
class StorableTextValidator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& position) const override;
    // The characters refused since the last call, and forgets them.
    QString TakeRefused() const;

private:
    mutable QString m_refused;
};

} // namespace ui
