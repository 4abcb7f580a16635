#include "engine/src/FileSystem.h"

namespace zelmor::engine {

std::string DirectoryOf(const std::string& path) {
    std::size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return ".";
    if (slash == 0) return path.substr(0, 1);
    return path.substr(0, slash);
}

}  // namespace zelmor::engine
