#pragma once
// The East Asian code pages of rich text, where a character is one byte or a lead byte and a
// trail byte: 932 (Japanese, Shift-JIS), 936 (simplified Chinese, GBK), 949 (Korean, UHC)
// and 950 (traditional Chinese, Big5), as \ansicpg or a font's \fcharset 128, 134, 129 and
// 136 select them. Decoded through the C library's iconv, which knows all four.
#include <map>
#include <optional>
#include <string>

namespace ui {

bool IsDoubleByteCodePage(int codePage);

class DoubleByteDecoder {
public:
    DoubleByteDecoder() = default;
    ~DoubleByteDecoder();
    DoubleByteDecoder(const DoubleByteDecoder&) = delete;
    DoubleByteDecoder& operator=(const DoubleByteDecoder&) = delete;

    // The next byte of text in `codePage`: a character once it is complete (U+FFFD for a
    // pair the code page does not have), nothing while a lead byte waits for its trail.
    std::optional<char32_t> Byte(unsigned char byte, int codePage);
    // A lead byte left without its trail (a group or paragraph ended) is dropped.
    void Reset() { m_lead.reset(); }

private:
    char32_t Convert(const std::string& bytes, int codePage);

    std::optional<unsigned char> m_lead;
    std::map<int, void*> m_converters; // iconv descriptors, opened at first use
};

} // namespace ui
