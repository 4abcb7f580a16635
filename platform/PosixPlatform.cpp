#include "platform/PosixPlatform.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/CodePage.h"
#include "platform/ProfileFile.h"

#ifndef ZELMOR_PROFILE_DIR
#define ZELMOR_PROFILE_DIR "/etc/zelmor"
#endif

namespace zelmor::platform {

namespace {

std::string& ProfileDirectoryStorage() {
    static std::string directory = ZELMOR_PROFILE_DIR;
    return directory;
}

// The path of `fileName` in `directory`, matching the name without regard to letter case.
std::string FindIgnoringCase(const std::string& directory, const std::string& fileName) {
    std::string exact = directory + "/" + fileName;
    struct stat info;
    if (stat(exact.c_str(), &info) == 0) return exact;
    // Closed however the search ends, a failed allocation included.
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(directory.c_str()), closedir);
    if (!dir) return {};
    while (dirent* entry = readdir(dir.get())) {
        if (strcasecmp(entry->d_name, fileName.c_str()) == 0) return directory + "/" + entry->d_name;
    }
    return {};
}

}  // namespace

const std::string& ProfileDirectory() { return ProfileDirectoryStorage(); }

void SetProfileDirectory(const std::string& directory) { ProfileDirectoryStorage() = directory; }

std::string ToPosixPath(const std::string& path) {
    std::string result = path;
    for (char& c : result) {
        if (c == '\\') c = '/';
    }
    return result;
}

int PosixPlatform::ShowMessageBox(const std::string& text, unsigned style) {
    std::fprintf(stderr, "%s\n", AnsiToUtf8(text).c_str());
    return box::DefaultAnswer(style);
}

void PosixPlatform::Beep(unsigned) {}

std::string PosixPlatform::ReadProfileString(const std::string& fileName,
                                             const std::string& section, const std::string& key,
                                             const std::string& defaultValue,
                                             std::size_t capacity) {
    std::string path = FindIgnoringCase(ProfileDirectory(), fileName);
    ProfileFile profile = path.empty() ? ProfileFile() : ProfileFile::Load(path);
    return profile.Read(section, key, defaultValue, capacity);
}

bool PosixPlatform::ShortenPath(const std::string& path, std::string& shortPath) {
    // POSIX file systems have no short names: an existing path is its own short form.
    if (!FileExists(path)) return false;
    shortPath = path;
    return true;
}

bool PosixPlatform::FileExists(const std::string& path) {
    struct stat info;
    return !path.empty() && stat(ToPosixPath(path).c_str(), &info) == 0;
}

void PosixPlatform::EndWithFatalError(const std::string& text) {
    std::fprintf(stderr, "fatal application exit: %s\n", AnsiToUtf8(text).c_str());
    std::fflush(stderr);
    std::_Exit(3);
}

Platform& NativePlatform() {
    static PosixPlatform platform;
    return platform;
}

}  // namespace zelmor::platform
