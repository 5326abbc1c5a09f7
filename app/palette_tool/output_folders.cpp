#include "app/palette_tool/output_folders.h"

#include <set>

std::string PathInFolder(const std::string& directory, const std::string& name) {
    if (directory.empty()) return name;
    return directory + (directory.back() == '/' ? "" : "/") + name;
}

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string StemOf(const std::string& path) {
    const std::string name = FileNameOf(path);
    const size_t dot = name.find_last_of('.');
    // A leading dot starts a hidden name, not an extension.
    std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    // "." and ".." would name the folder itself or its parent.
    if (stem.empty() || stem == "." || stem == "..") stem = "picture";
    return stem;
}

std::vector<std::string> PictureFolders(const std::vector<std::string>& pictures, const std::string& directory) {
    std::set<std::string> taken;
    std::vector<std::string> folders;
    for (const std::string& picture : pictures) {
        const std::string stem = StemOf(picture);
        std::string name = stem;
        for (int suffix = 2; !taken.insert(name).second; ++suffix) name = stem + "-" + std::to_string(suffix);
        folders.push_back(PathInFolder(directory, name));
    }
    return folders;
}
