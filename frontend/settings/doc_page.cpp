#include "doc_page.h"

#include <filesystem>

#include "settings.h"
#include "settings_files.h"

#ifndef ORBILON_DOC_FROM_PROGRAM_DIR
#define ORBILON_DOC_FROM_PROGRAM_DIR "../../share/doc/orbilon"
#endif

namespace orbilon {

std::string FileUrl(const std::string& path) {
    static const char* hex = "0123456789ABCDEF";
    std::string url = "file://";
    for (const unsigned char c : path) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
            c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
            url += static_cast<char>(c);
        } else {
            url += '%';
            url += hex[c >> 4];
            url += hex[c & 15];
        }
    }
    return url;
}

std::string DocumentationUrlFor(const std::string& programFolder, const std::string& docFromProgram,
                                const std::function<bool(const std::string&)>& isFile) {
    namespace fs = std::filesystem;
    const fs::path folder(programFolder);
    const std::string docs = (folder / docFromProgram).lexically_normal().string();
    const std::string docsUrl = FileUrl(docs.back() == '/' ? docs : docs + "/");
    if (isFile(docs + "/README.md")) return docsUrl;
    const std::string built = (folder / ".." / "README.md").lexically_normal().string();
    if (isFile(built)) return FileUrl(built);
    return docsUrl;
}

std::string DocumentationUrl(const std::string& programFolder) {
    return DocumentationUrlFor(programFolder, ORBILON_DOC_FROM_PROGRAM_DIR, FileExists);
}

std::optional<std::string> WindowsReadmeFor(const std::string& programFolder,
                                            const std::function<bool(const std::string&)>& isFile) {
    const std::string parent = files::ParentOf(programFolder);
    for (const std::string& readme :
         {files::Join(programFolder, "Orbilon-README.txt"),
          files::Join(programFolder, "README.txt"), files::Join(programFolder, "README.md"),
          files::Join(parent, "README.md")}) {
        if (isFile(readme)) return readme;
    }
    return std::nullopt;
}

}  // namespace orbilon
