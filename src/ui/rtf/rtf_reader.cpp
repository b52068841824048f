#include "rtf_reader.h"

#include "data/text_encoding.h"
#include "platform/errors.h"
#include "rtf_parser.h"

namespace ui {
namespace {

bool LooksLikeRtf(std::string_view bytes) {
    std::size_t i = 0;
    if (bytes.starts_with("\xEF\xBB\xBF"))
        i = 3;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\r' || bytes[i] == '\n' || bytes[i] == '\t'))
        ++i;
    return bytes.substr(i).starts_with("{\\rtf");
}

// Text a person could read: no NUL bytes and no control characters but tabs, line breaks
// and form feeds.
bool IsPlainText(std::string_view bytes) {
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 32 && c != '\t' && c != '\n' && c != '\r' && c != '\f')
            return false;
    }
    return true;
}

} // namespace

bool ReadRtf(std::string_view bytes, QTextDocument& document) {
    if (!LooksLikeRtf(bytes))
        return false;
    document.clear();
    RtfParser(bytes, document).Run();
    return true;
}

void LoadRichText(std::string_view bytes, QTextDocument& document) {
    RichTextReading reading(std::string(bytes), document);
    reading.Step(bytes.size() + 1);
}

RichTextReading::RichTextReading(std::string bytes, QTextDocument& document)
    : m_bytes(std::move(bytes)), m_document(document) {
    if (LooksLikeRtf(m_bytes)) {
        m_document.clear();
        m_parser = std::make_unique<RtfParser>(m_bytes, m_document);
        return;
    }
    if (!IsPlainText(m_bytes))
        throw vexo::Error("Stream konnte nicht geladen werden");
    const std::string utf8 = data::IsValidUtf8(m_bytes) ? m_bytes : data::Cp1252ToUtf8(m_bytes);
    m_document.setPlainText(QString::fromStdString(utf8));
}

RichTextReading::~RichTextReading() = default;

bool RichTextReading::Step(std::size_t bytes) {
    return !m_parser || m_parser->Step(bytes);
}

double RichTextReading::Progress() const {
    return m_parser ? m_parser->Progress() : 1.0;
}

} // namespace ui
