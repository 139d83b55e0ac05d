// One file to fetch, as every part of the client describes it.
#pragma once
#include <string>

struct DownloadRecord {
    std::string key;         // courseware identify code for a package; empty otherwise
    std::string url;         // address to fetch
    std::string storagePath; // full path of the file to write
    std::string identifier;  // task identifier handed to the downloader and back
};
