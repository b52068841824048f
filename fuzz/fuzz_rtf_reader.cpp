// libFuzzer target for the RTF reader of the information window: any bytes end in a
// document or in "Stream konnte nicht geladen werden", never in a crash or a hang.
#include "platform/errors.h"
#include "ui/rtf/rtf_reader.h"

#include <QGuiApplication>
#include <QTextDocument>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv); // text layout needs the font machinery
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    QTextDocument document;
    try {
        ui::LoadRichText(std::string_view(reinterpret_cast<const char*>(bytes), size), document);
    } catch (const vexo::Error&) {
    }
    (void)document.toPlainText();
    return 0;
}
