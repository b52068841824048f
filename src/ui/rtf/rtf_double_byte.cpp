#include "rtf_double_byte.h"

#include <cstring>
#include <iconv.h>

namespace ui {
namespace {

const char* IconvName(int codePage) {
    switch (codePage) {
    case 932:
        return "CP932";
    case 936:
        return "CP936";
    case 949:
        return "CP949";
    case 950:
        return "CP950";
    default:
        return nullptr;
    }
}

bool IsLeadByte(unsigned char byte, int codePage) {
    if (codePage == 932)
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    return byte >= 0x81 && byte <= 0xFE;
}

} // namespace

bool IsDoubleByteCodePage(int codePage) {
    return IconvName(codePage) != nullptr;
}

DoubleByteDecoder::~DoubleByteDecoder() {
    for (const auto& [codePage, converter] : m_converters)
        if (converter != reinterpret_cast<void*>(-1))
            iconv_close(static_cast<iconv_t>(converter));
}

std::optional<char32_t> DoubleByteDecoder::Byte(unsigned char byte, int codePage) {
    if (m_lead) {
        const std::string pair{static_cast<char>(*m_lead), static_cast<char>(byte)};
        m_lead.reset();
        return Convert(pair, codePage);
    }
    if (byte < 0x80)
        return byte;
    if (IsLeadByte(byte, codePage)) {
        m_lead = byte;
        return std::nullopt;
    }
    return Convert(std::string(1, static_cast<char>(byte)), codePage); // half-width katakana, "€"
}

char32_t DoubleByteDecoder::Convert(const std::string& bytes, int codePage) {
    auto found = m_converters.find(codePage);
    if (found == m_converters.end())
        found = m_converters
                    .emplace(codePage, reinterpret_cast<void*>(iconv_open("UTF-32LE", IconvName(codePage))))
                    .first;
    if (found->second == reinterpret_cast<void*>(-1))
        return 0xFFFD; // the C library lacks the code page
    const auto converter = static_cast<iconv_t>(found->second);
    iconv(converter, nullptr, nullptr, nullptr, nullptr); // a fresh start for each character
    std::string in = bytes;
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char out[8] = {};
    char* outPtr = out;
    std::size_t outLeft = sizeof out;
    if (iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0 ||
        outLeft != sizeof out - 4)
        return 0xFFFD;
    char32_t code = 0;
    for (int i = 3; i >= 0; --i)
        code = (code << 8) | static_cast<unsigned char>(out[i]);
    return code;
}

} // namespace ui
