#include "FileHelper.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "Log.h"
#include "StringUtils.h"

namespace quillory::FileHelper {

namespace {

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

// The folder part of a path, for the temporary file and the directory sync.
std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

} // namespace

long long GetFileSize(const std::string& path) {
    File f(std::fopen(path.c_str(), "rb"));
    if (!f)
        return 0;
    if (std::fseek(f.get(), 0, SEEK_END) != 0)
        return 0;
    long size = std::ftell(f.get());
    return size < 0 ? 0 : size;
}

bool FileExists(const std::string& path) {
    return File(std::fopen(path.c_str(), "r")) != nullptr;
}

bool FileToString(const std::string& path, std::string& out) {
    long long size = GetFileSize(path);
    if (size == 0)
        return FileExists(path);
    File f(std::fopen(path.c_str(), "rb"));
    if (!f)
        return false;
    std::string data;
    data.resize(static_cast<size_t>(size));
    if (std::fread(data.data(), data.size(), 1, f.get()) != 1) {
        LogError("FileHelper::FileToString() - Invalid return code from fread!");
        return false;
    }
    f.reset();

    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    if (data.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        data.erase(0, 3);
    } else if (data.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        std::u16string wide;
        wide.reserve((data.size() - 2) / 2);
        for (size_t i = 2; i + 1 < data.size(); i += 2) {
            char16_t unit = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
            if (unit == 0)
                break;
            wide.push_back(unit);
        }
        out = UnicodeUtils::Unicode2Ansi(wide);
        return true;
    } else if (data.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
        LogError("FileHelper::FileToString() - UTF-16 big-endian files are not supported: " + path);
        return false;
    }
    if (const void* nul = std::memchr(data.data(), 0, data.size()))
        data.resize(static_cast<size_t>(static_cast<const char*>(nul) - data.data()));
    out = std::move(data);
    return true;
}

void RemoveStaleTemporaries(const std::string& path) {
    const std::string folder = FolderOf(path);
    const std::string prefix = "." + path.substr(path.rfind('/') + 1) + ".";
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        // mkstemp's six characters are letters and digits.
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        if (std::all_of(name.begin() + static_cast<long>(prefix.size()), name.end(),
                        [](unsigned char c) { return std::isalnum(c) != 0; }))
            ::unlink((folder + "/" + name).c_str());
    }
    ::closedir(dir);
}

bool StringToFile(const std::string& requested, const std::string& text) {
    // Write through a symbolic link to the file it names, so the link survives the rename.
    std::string path = requested;
    struct stat linkInfo {};
    if (::lstat(path.c_str(), &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode)) {
        if (char* target = ::realpath(path.c_str(), nullptr)) {
            path = target;
            std::free(target);
        }
    }

    mode_t mode = S_IRUSR | S_IWUSR;
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0)
        mode = existing.st_mode & 07777;

    // A save killed part-way (SIGKILL, power loss) left its temporary file; nothing else uses the name.
    RemoveStaleTemporaries(path);
    std::string temp = FolderOf(path) + "/." + path.substr(path.rfind('/') + 1) + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, text.data(), text.size());
    if (!ok)
        LogMessage("FileHelper::StringToFile() - Invalid return code from fwrite!");
    ok = ok && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(temp.c_str(), path.c_str()) != 0)
        ok = false;
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    // Make the rename itself durable.
    int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

} // namespace quillory::FileHelper
