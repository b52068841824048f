#include "My_std.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstring>
#ifdef _WIN32
#include <windows.h>
#else
#include <elf.h>
#endif
#include <fstream>
#include <vector>

std::string GetAppDir() {
    std::string dir = QFileInfo(QCoreApplication::applicationFilePath()).absolutePath().toStdString();
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir;
}

std::string GetDataDir() {
#ifdef VEXO_SHARED_ASSETS
    // Installed, the program's folder belongs to the system: each user keeps their own data.
    QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dir.isEmpty())
        dir = QDir::homePath() + QStringLiteral("/.local/share");
    dir += QStringLiteral("/vexo-rizidevizi");
    QDir().mkpath(dir); // a folder that cannot be made is told at start, as one not writable
    return dir.toStdString() + '/';
#else
    return GetAppDir();
#endif
}

std::string GetAssetsDir() {
#ifdef VEXO_SHARED_ASSETS
    return VEXO_SHARED_ASSETS;
#else
    return {};
#endif
}

std::string GetTempDir() {
    std::string dir = QDir::tempPath().toStdString();
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir;
}

std::string FormatVersionText(unsigned ms, unsigned ls) {
    return "Version: " + std::to_string(ms >> 16) + "." + std::to_string(ms & 0xFFFF) + "." +
           std::to_string(ls >> 16) + "    Build: " + std::to_string(ls & 0xFFFF);
}

#ifdef _WIN32

std::string GetVersionText() {
    // The standard version resource of the executable.
    wchar_t path[MAX_PATH];
    if (GetModuleFileNameW(nullptr, path, MAX_PATH) == 0)
        return {};
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &handle);
    if (size == 0)
        return {};
    std::vector<char> buffer(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoW(path, 0, size, buffer.data()) ||
        !VerQueryValueW(buffer.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info)
        return {};
    return FormatVersionText(info->dwFileVersionMS, info->dwFileVersionLS);
}

#else

namespace {

// The contents of the ELF section `name` of the file at `path`, or nothing.
std::vector<char> ReadElfSection(const std::string& path, const char* name) {
    std::ifstream file(path, std::ios::binary);
    Elf64_Ehdr header{};
    if (!file.read(reinterpret_cast<char*>(&header), sizeof header) ||
        std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64 ||
        header.e_shentsize != sizeof(Elf64_Shdr) || header.e_shstrndx >= header.e_shnum)
        return {};
    std::vector<Elf64_Shdr> sections(header.e_shnum);
    file.seekg(static_cast<std::streamoff>(header.e_shoff));
    if (!file.read(reinterpret_cast<char*>(sections.data()),
                   static_cast<std::streamsize>(sections.size() * sizeof(Elf64_Shdr))))
        return {};
    const Elf64_Shdr& names = sections[header.e_shstrndx];
    if (names.sh_size > (1u << 20))
        return {};
    std::vector<char> nameTable(names.sh_size + 1, '\0');
    file.seekg(static_cast<std::streamoff>(names.sh_offset));
    if (!file.read(nameTable.data(), static_cast<std::streamsize>(names.sh_size)))
        return {};
    for (const auto& section : sections) {
        if (section.sh_name >= names.sh_size || std::strcmp(&nameTable[section.sh_name], name) != 0)
            continue;
        if (section.sh_size == 0 || section.sh_size > 4096 || section.sh_type == SHT_NOBITS)
            return {};
        std::vector<char> content(section.sh_size);
        file.seekg(static_cast<std::streamoff>(section.sh_offset));
        if (!file.read(content.data(), static_cast<std::streamsize>(content.size())))
            return {};
        return content;
    }
    return {};
}

} // namespace

std::string GetVersionText() {
    // The record lives in a section of the executable; its size 0 (or no section) means
    // the executable carries no version record.
    const std::vector<char> record = ReadElfSection("/proc/self/exe", ".vexo_version");
    if (record.size() < 4 * sizeof(std::uint32_t))
        return {};
    std::uint32_t words[4];
    std::memcpy(words, record.data(), sizeof words);
    if (words[0] != 0xFEEF04BDu)
        return {};
    return FormatVersionText(words[2], words[3]);
}

#endif
