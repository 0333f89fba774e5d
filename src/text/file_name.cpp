#include "text/file_name.h"

namespace kvt {

std::string FileNameOf(const std::string& name) {
    std::string file;
    for (unsigned char c : name) {
        const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                          c == '-' || c == '.' || c == '_' || c >= 0x80;
        file += kept ? static_cast<char>(c) : '_';
    }
    if (file.empty() || file == "." || file == "..") file = "_" + file;
    return file;
}

}  // namespace kvt
