// File access for the engine and the program: resource resolution through search paths, reading and writing
// files and folders, and XML property lists.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "base/Value.h"

namespace engine {

// Relative file names are looked up as root + search path + name, for each search path in order; nothing is
// cached, so files and search paths changed on disk or in the list are seen by the next call. The file and folder
// operations that take a "path" (create, remove, rename, write) take a relative path as relative to the root.
// Failures give false, "", -1 or an empty container, with one engine::log line. Safe to call from any thread.
class FileUtils {
public:
    static FileUtils* getInstance();

    // The root starts as the folder of the running executable, with a trailing "/".
    void setDefaultResourceRootPath(const std::string& path);
    std::string getDefaultResourceRootPath() const;
    // The root is also the writable folder.
    std::string getWritablePath() const;

    // Search paths are kept as given with a trailing "/" ("" stands for the root itself); a relative one is
    // relative to the root. A path already in the list is not added again; earlier entries win.
    void addSearchPath(const std::string& path, bool front = false);
    std::vector<std::string> getSearchPaths() const;
    // Replaces the list whole (normalised, duplicates dropped).
    void setSearchPaths(const std::vector<std::string>& paths);

    // The full path of the first regular file found, or "" when there is none. An absolute name is used as given.
    std::string fullPathForFilename(const std::string& filename) const;
    // Every regular file of that name, in search path order (an absolute name: that file alone), for a reader
    // that falls back on the next one when a file cannot be used.
    std::vector<std::string> fullPathsForFilename(const std::string& filename) const;
    bool isFileExist(const std::string& filename) const;
    // A relative folder is also looked for through the search paths.
    bool isDirectoryExist(const std::string& dirPath) const;
    bool isAbsolutePath(const std::string& path) const;

    // Creates the intermediate folders too; true when the folder exists afterwards.
    bool createDirectory(const std::string& path);
    // A regular file or link; false when missing.
    bool removeFile(const std::string& path);
    // Removes the folder and everything under it; links inside are removed, never followed. A link given as the
    // folder is removed itself. Refuses "" and "/".
    bool removeDirectory(const std::string& path);
    // path + oldname -> path + name; an existing target is replaced.
    bool renameFile(const std::string& path, const std::string& oldname, const std::string& name);
    bool renameFile(const std::string& oldfullpath, const std::string& newfullpath);
    // Size in bytes of a file found through the search paths, -1 when missing.
    long getFileSize(const std::string& filepath) const;
    // Full paths of the entries of a folder (found as isDirectoryExist does), sorted; folders end in "/".
    std::vector<std::string> listFiles(const std::string& dirPath) const;

    // Reads through the search paths, at most limits::kWholeFileBytes through the door's bounded read; "" or no
    // bytes (logged) when the file is missing, longer or unreadable.
    std::string getStringFromFile(const std::string& filename) const;
    std::vector<unsigned char> getDataFromFile(const std::string& filename) const;
    // Write (replacing) a file; the folder must exist.
    bool writeStringToFile(const std::string& dataStr, const std::string& fullPath);
    bool writeDataToFile(const std::vector<unsigned char>& data, const std::string& fullPath);

    // XML property lists: dict, array, string, integer, real (read as DOUBLE), true, false; date and data are read
    // as strings. A missing or malformed file, another top level, or one past the door's property-list limits
    // (bytes, values, nesting) gives an empty result.
    ValueMap getValueMapFromFile(const std::string& filename) const;
    ValueVector getValueVectorFromFile(const std::string& filename) const;
    // Writes an XML property list; a null value is written as an empty string.
    bool writeValueMapToFile(const ValueMap& dict, const std::string& fullPath);
    bool writeValueVectorToFile(const ValueVector& array, const std::string& fullPath);
    bool writeToFile(const ValueMap& dict, const std::string& fullPath) { return writeValueMapToFile(dict, fullPath); }

    FileUtils(const FileUtils&) = delete;
    FileUtils& operator=(const FileUtils&) = delete;

private:
    FileUtils();

    // Each search path made absolute (root + path for a relative one), in order.
    std::vector<std::string> searchRoots() const;
    // A relative path taken from the root; an absolute one unchanged.
    std::string pathFromRoot(const std::string& path) const;
    std::string findDirectory(const std::string& dirPath) const;

    mutable std::mutex _mutex;
    std::string _root;
    std::vector<std::string> _searchPaths;
};

} // namespace engine
