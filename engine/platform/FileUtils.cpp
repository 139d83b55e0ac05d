#include "platform/FileUtils.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <pugixml.hpp>

#include "base/InputLimits.h"
#include "base/Log.h"
#include "door/FileDoor.h"
#include "door/PlistDoor.h"

namespace fs = std::filesystem;

namespace engine {

namespace {

std::string withTrailingSlash(const std::string& path) {
    if (path.empty() || path.back() == '/') {
        return path;
    }
    return path + "/";
}

bool isRegularFile(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

bool isDirectory(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool writeFile(const std::string& fullPath, const void* data, size_t size) {
    FILE* file = std::fopen(fullPath.c_str(), "wb");
    if (!file) {
        log("FileUtils: cannot write %s: %s", fullPath.c_str(), std::strerror(errno));
        return false;
    }
    bool ok = size == 0 || std::fwrite(data, 1, size, file) == size;
    ok = (std::fclose(file) == 0) && ok;
    if (!ok) {
        log("FileUtils: writing %s failed", fullPath.c_str());
    }
    return ok;
}


// Property list writing.

void writePlistValue(pugi::xml_node parent, const Value& value);

void writePlistDict(pugi::xml_node parent, const ValueMap& map) {
    pugi::xml_node dict = parent.append_child("dict");
    for (const auto& [key, value] : map) {
        dict.append_child("key").text().set(key.c_str());
        writePlistValue(dict, value);
    }
}

void writePlistArray(pugi::xml_node parent, const ValueVector& vector) {
    pugi::xml_node array = parent.append_child("array");
    for (const auto& value : vector) {
        writePlistValue(array, value);
    }
}

void writePlistValue(pugi::xml_node parent, const Value& value) {
    switch (value.getType()) {
    case Value::Type::INTEGER:
        parent.append_child("integer").text().set(value.asString().c_str());
        break;
    case Value::Type::FLOAT:
    case Value::Type::DOUBLE:
        parent.append_child("real").text().set(value.asString().c_str());
        break;
    case Value::Type::BOOLEAN:
        parent.append_child(value.asBool() ? "true" : "false");
        break;
    case Value::Type::VECTOR:
        writePlistArray(parent, value.asValueVector());
        break;
    case Value::Type::MAP:
        writePlistDict(parent, value.asValueMap());
        break;
    case Value::Type::STRING:
    case Value::Type::NONE:
        parent.append_child("string").text().set(value.asString().c_str());
        break;
    }
}

template <typename Write> bool savePlist(const std::string& fullPath, Write writeTop) {
    pugi::xml_document doc;
    pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    doc.append_child(pugi::node_doctype)
        .set_value("plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\"");
    pugi::xml_node plist = doc.append_child("plist");
    plist.append_attribute("version") = "1.0";
    writeTop(plist);
    if (!doc.save_file(fullPath.c_str(), "\t", pugi::format_default, pugi::encoding_utf8)) {
        log("FileUtils: cannot write property list %s", fullPath.c_str());
        return false;
    }
    return true;
}

std::string executableFolder() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec || exe.empty()) {
        fs::path cwd = fs::current_path(ec);
        log("FileUtils: cannot find the executable, using %s as the resource root", cwd.c_str());
        return withTrailingSlash(cwd.string());
    }
    return withTrailingSlash(exe.parent_path().string());
}

} // namespace

FileUtils* FileUtils::getInstance() {
    static FileUtils instance;
    return &instance;
}

FileUtils::FileUtils() : _root(executableFolder()), _searchPaths{""} {}

void FileUtils::setDefaultResourceRootPath(const std::string& path) {
    if (path.empty()) {
        log("FileUtils: empty resource root ignored");
        return;
    }
    std::error_code ec;
    fs::path absolute = fs::absolute(path, ec);
    std::lock_guard<std::mutex> lock(_mutex);
    _root = withTrailingSlash(ec ? path : absolute.string());
}

std::string FileUtils::getDefaultResourceRootPath() const {
    std::lock_guard<std::mutex> lock(_mutex);
    return _root;
}

std::string FileUtils::getWritablePath() const {
    return getDefaultResourceRootPath();
}

void FileUtils::addSearchPath(const std::string& path, bool front) {
    std::string normalised = withTrailingSlash(path);
    std::lock_guard<std::mutex> lock(_mutex);
    if (std::find(_searchPaths.begin(), _searchPaths.end(), normalised) != _searchPaths.end()) {
        return;
    }
    if (front) {
        _searchPaths.insert(_searchPaths.begin(), normalised);
    } else {
        _searchPaths.push_back(normalised);
    }
}

std::vector<std::string> FileUtils::getSearchPaths() const {
    std::lock_guard<std::mutex> lock(_mutex);
    return _searchPaths;
}

void FileUtils::setSearchPaths(const std::vector<std::string>& paths) {
    std::vector<std::string> normalised;
    for (const auto& path : paths) {
        std::string entry = withTrailingSlash(path);
        if (std::find(normalised.begin(), normalised.end(), entry) == normalised.end()) {
            normalised.push_back(entry);
        }
    }
    std::lock_guard<std::mutex> lock(_mutex);
    _searchPaths = std::move(normalised);
}

std::vector<std::string> FileUtils::searchRoots() const {
    std::lock_guard<std::mutex> lock(_mutex);
    std::vector<std::string> roots;
    roots.reserve(_searchPaths.size());
    for (const auto& path : _searchPaths) {
        roots.push_back(isAbsolutePath(path) ? path : _root + path);
    }
    return roots;
}

std::string FileUtils::pathFromRoot(const std::string& path) const {
    return isAbsolutePath(path) ? path : getDefaultResourceRootPath() + path;
}

std::string FileUtils::fullPathForFilename(const std::string& filename) const {
    if (filename.empty()) {
        return "";
    }
    if (isAbsolutePath(filename)) {
        return isRegularFile(filename) ? filename : "";
    }
    for (const auto& root : searchRoots()) {
        std::string candidate = root + filename;
        if (isRegularFile(candidate)) {
            return candidate;
        }
    }
    return "";
}

std::vector<std::string> FileUtils::fullPathsForFilename(const std::string& filename) const {
    std::vector<std::string> found;
    if (isAbsolutePath(filename)) {
        if (isRegularFile(filename)) {
            found.push_back(filename);
        }
        return found;
    }
    for (const auto& root : searchRoots()) {
        std::string candidate = root + filename;
        if (!filename.empty() && isRegularFile(candidate)) {
            found.push_back(std::move(candidate));
        }
    }
    return found;
}

bool FileUtils::isFileExist(const std::string& filename) const {
    return !fullPathForFilename(filename).empty();
}

std::string FileUtils::findDirectory(const std::string& dirPath) const {
    if (isAbsolutePath(dirPath)) {
        return isDirectory(dirPath) ? dirPath : "";
    }
    for (const auto& root : searchRoots()) {
        std::string candidate = root + dirPath;
        if (isDirectory(candidate)) {
            return candidate;
        }
    }
    return "";
}

bool FileUtils::isDirectoryExist(const std::string& dirPath) const {
    return !findDirectory(dirPath).empty();
}

bool FileUtils::isAbsolutePath(const std::string& path) const {
    return !path.empty() && path[0] == '/';
}

bool FileUtils::createDirectory(const std::string& path) {
    if (path.empty()) {
        log("FileUtils: cannot create a folder with an empty name");
        return false;
    }
    std::string full = pathFromRoot(path);
    std::error_code ec;
    fs::create_directories(full, ec);
    if (!isDirectory(full)) {
        log("FileUtils: cannot create folder %s: %s", full.c_str(), ec.message().c_str());
        return false;
    }
    return true;
}

bool FileUtils::removeFile(const std::string& path) {
    std::string full = pathFromRoot(path);
    std::error_code ec;
    fs::file_status status = fs::symlink_status(full, ec);
    if (path.empty() || ec || status.type() == fs::file_type::directory) {
        log("FileUtils: cannot remove file %s: missing or a folder", full.c_str());
        return false;
    }
    if (!fs::remove(full, ec)) {
        log("FileUtils: cannot remove file %s: %s", full.c_str(), ec.message().c_str());
        return false;
    }
    return true;
}

bool FileUtils::removeDirectory(const std::string& path) {
    std::string full = pathFromRoot(path);
    fs::path normal = fs::path(full).lexically_normal();
    if (path.empty() || normal == "/" || normal.empty()) {
        log("FileUtils: refusing to remove folder \"%s\"", path.c_str());
        return false;
    }
    std::error_code ec;
    fs::file_status status = fs::symlink_status(full, ec);
    if (ec || (status.type() != fs::file_type::directory && status.type() != fs::file_type::symlink)) {
        log("FileUtils: cannot remove folder %s: not a folder", full.c_str());
        return false;
    }
    // remove_all removes links as links, so nothing outside the folder is touched.
    fs::remove_all(full, ec);
    if (ec) {
        log("FileUtils: cannot remove folder %s: %s", full.c_str(), ec.message().c_str());
        return false;
    }
    return true;
}

bool FileUtils::renameFile(const std::string& path, const std::string& oldname, const std::string& name) {
    std::string folder = withTrailingSlash(path);
    return renameFile(folder + oldname, folder + name);
}

bool FileUtils::renameFile(const std::string& oldfullpath, const std::string& newfullpath) {
    std::string from = pathFromRoot(oldfullpath);
    std::string to = pathFromRoot(newfullpath);
    if (std::rename(from.c_str(), to.c_str()) != 0) {
        log("FileUtils: cannot rename %s to %s: %s", from.c_str(), to.c_str(), std::strerror(errno));
        return false;
    }
    return true;
}

long FileUtils::getFileSize(const std::string& filepath) const {
    std::string full = fullPathForFilename(filepath);
    std::error_code ec;
    auto size = full.empty() ? 0 : fs::file_size(full, ec);
    if (full.empty() || ec) {
        log("FileUtils: no file %s to measure", filepath.c_str());
        return -1;
    }
    return static_cast<long>(size);
}

std::vector<std::string> FileUtils::listFiles(const std::string& dirPath) const {
    std::vector<std::string> entries;
    std::string folder = findDirectory(dirPath);
    if (folder.empty()) {
        log("FileUtils: no folder %s to list", dirPath.c_str());
        return entries;
    }
    folder = withTrailingSlash(folder);
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string entry = folder + it->path().filename().string();
        entries.push_back(isDirectory(entry) ? entry + "/" : entry);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

std::string FileUtils::getStringFromFile(const std::string& filename) const {
    const std::string full = fullPathForFilename(filename);
    door::FileRead read = full.empty() ? door::FileRead{} : door::readFile(full, limits::kWholeFileBytes);
    if (!read.ok()) {
        log("FileUtils: cannot read %s", filename.c_str());
        return "";
    }
    return std::move(read.bytes);
}

std::vector<unsigned char> FileUtils::getDataFromFile(const std::string& filename) const {
    std::string content = getStringFromFile(filename);
    return std::vector<unsigned char>(content.begin(), content.end());
}

bool FileUtils::writeStringToFile(const std::string& dataStr, const std::string& fullPath) {
    return writeFile(pathFromRoot(fullPath), dataStr.data(), dataStr.size());
}

bool FileUtils::writeDataToFile(const std::vector<unsigned char>& data, const std::string& fullPath) {
    return writeFile(pathFromRoot(fullPath), data.data(), data.size());
}

ValueMap FileUtils::getValueMapFromFile(const std::string& filename) const {
    const std::string full = fullPathForFilename(filename);
    if (full.empty()) {
        log("FileUtils: property list not found: %s", filename.c_str());
        return {};
    }
    return door::readPlistMap(full);
}

ValueVector FileUtils::getValueVectorFromFile(const std::string& filename) const {
    const std::string full = fullPathForFilename(filename);
    if (full.empty()) {
        log("FileUtils: property list not found: %s", filename.c_str());
        return {};
    }
    return door::readPlistVector(full);
}

bool FileUtils::writeValueMapToFile(const ValueMap& dict, const std::string& fullPath) {
    return savePlist(pathFromRoot(fullPath), [&](pugi::xml_node plist) { writePlistDict(plist, dict); });
}

bool FileUtils::writeValueVectorToFile(const ValueVector& array, const std::string& fullPath) {
    return savePlist(pathFromRoot(fullPath), [&](pugi::xml_node plist) { writePlistArray(plist, array); });
}

} // namespace engine
