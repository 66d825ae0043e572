#include "storage/DataFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "foundation/FileHelper.h"
#include "foundation/MessageBox.h"

namespace quillory {

namespace {

std::string dataFilePath;

bool IsFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Creates `name` inside `parent` (which ends in '/'); true when it exists afterwards.
bool CreateFolder(const std::string& parent, const std::string& name) {
    std::string folder = parent + name;
    return ::mkdir(folder.c_str(), 0700) == 0 || (errno == EEXIST && IsFolder(folder));
}

// Creates a folder and any missing parents, for the XDG base that may not exist on a new account.
bool CreateFolders(const std::string& folder) {
    for (size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1))
        ::mkdir(folder.substr(0, slash).c_str(), 0700);
    return ::mkdir(folder.c_str(), 0700) == 0 || IsFolder(folder);
}

std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return "";
}

void ReportFolder(const std::string& folder) {
    ShowMessageBox("Can't create " + folder + "!", "Quillory", MessageBoxIcon::Warning);
}

// The folder that is to hold Korvant/, created when it comes from the XDG base; "" when there is none.
std::string DataRoot() {
    std::string root = GetDataRoot();
    const char* appData = std::getenv("APPDATA");
    if (root.empty() || (appData && *appData)) // $APPDATA is taken as it is
        return root;
    if (!CreateFolders(root))
        ReportFolder(root);
    return root;
}

std::string DataFolder() {
    std::string root = DataRoot();
    if (root.empty())
        return GetBaseFolder();
    if (!CreateFolder(WithSlash(root), "Korvant")) {
        ReportFolder(root);
        return root;
    }
    std::string parent = WithSlash(root) + "Korvant/";
    if (!CreateFolder(parent, "Quillory")) {
        ReportFolder(parent);
        return parent;
    }
    return parent + "Quillory/";
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

} // namespace

bool ReadFileBytes(const std::string& path, std::string& out) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file)
        return false;
    out.clear();
    char block[65536];
    size_t n;
    while ((n = std::fread(block, 1, sizeof block, file.get())) > 0)
        out.append(block, n);
    return !std::ferror(file.get());
}

std::string GetDataRoot() {
    if (const char* appData = std::getenv("APPDATA"); appData && *appData) // empty counts as unset
        return appData;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/')
        return xdg;
    if (std::string home = HomeFolder(); !home.empty())
        return home + "/.local/share";
    return "";
}

const std::string& GetDataFilePath() {
    if (dataFilePath.empty())
        dataFilePath = WithSlash(DataFolder()) + "Quillory.xml";
    return dataFilePath;
}

std::string GetDataFolder() {
    const std::string& path = GetDataFilePath();
    return path.substr(0, path.rfind('/') + 1);
}

void ResetDataFilePath() {
    dataFilePath.clear();
}

std::string GetBaseFolder() {
    char program[PATH_MAX + 1] = {};
    ssize_t length = ::readlink("/proc/self/exe", program, PATH_MAX);
    std::string path = length > 0 ? std::string(program, static_cast<size_t>(length)) : std::string();
    size_t separator = path.find('\\');
    if (separator == std::string::npos)
        separator = path.find('/');
    return separator == std::string::npos ? path : path.substr(0, separator + 1);
}

std::string KeepBrokenFile(const std::string& path) {
    std::string copy = path + ".broken";
    for (int n = 1; Exists(copy); ++n)
        copy = path + ".broken." + std::to_string(n);
    // A copy leaves the file where the user expects it; one we may not read is moved aside whole.
    std::string bytes;
    if (ReadFileBytes(path, bytes) && FileHelper::StringToFile(copy, bytes))
        return copy;
    if (::rename(path.c_str(), copy.c_str()) == 0)
        return copy;
    return "";
}

} // namespace quillory
