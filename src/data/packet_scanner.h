#pragma once
// The tag scanner of the data-packet reader: one pass over the byte buffer, tag by tag.
// Blanks and control characters between tags, processing instructions and comments are
// skipped; anything else between tags, an unterminated tag, comment or instruction, and an
// end tag that does not close the innermost open element fail with "Mismatch in
// datapacket.". Nesting is tracked in a bounded stack, never by recursion.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace data {

struct PacketAttribute {
    std::string_view name;
    std::string_view raw; // as it stands between the quotes, references not yet resolved
    int hint = -1;        // the index of the expected name it matched, or -1
};

struct PacketTag {
    enum Kind { Start, End, Empty } kind = Start;
    std::string_view name;
    std::vector<PacketAttribute> attributes;
};

class PacketScanner {
public:
    static constexpr std::size_t MaxDepth = 63;

    PacketScanner(std::string_view text, std::size_t position) : m_text(text), m_pos(position) {}

    // The next tag, or false at the end of the input.
    bool Next(PacketTag& tag);
    // Reads the next tag and fails unless there is one.
    PacketTag& Expect();
    // Attribute names the following tags are expected to carry, in their usual order (the
    // rows' attributes). A name found at its place is taken without scanning it byte by
    // byte, and the attribute says which one it was.
    void SetExpectedNames(const std::vector<std::string>* names) { m_expected = names; }
    // Skips everything inside the element whose start tag was just read, up to its end tag.
    void SkipContent(std::string_view name);
    std::size_t Depth() const { return m_open.size(); }
    // Where the scanner stands; a reader that read a whole empty element itself moves on.
    std::size_t Position() const { return m_pos; }
    void SetPosition(std::size_t position) { m_pos = position; }

private:
    [[noreturn]] static void Fail();
    void SkipBlanks();
    void ReadTag(PacketTag& tag);

    std::string_view m_text;
    std::size_t m_pos;
    std::vector<std::string_view> m_open;
    PacketTag m_tag;
    const std::vector<std::string>* m_expected = nullptr;
};

// Resolves &amp; &apos; &gt; &lt; &quot; &#N; and &#xH; (N at most 255), appending to `out`.
// False when the text is not one the writer could have written: an "&" that starts no such
// reference, or a character the writer always escapes (< > ' \ tab, line feed, carriage
// return) standing as it is.
bool DecodeAttributeInto(std::string_view raw, std::string& out);
// The same; a text that is not exact fails the read (PacketError).
std::string DecodeAttribute(std::string_view raw);
// Whether the text holds no reference and nothing the writer escapes: it is its own value.
bool IsPlainAttribute(std::string_view raw);

} // namespace data
