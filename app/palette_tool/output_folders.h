#pragma once
// Where each picture's files go when one run handles several: a folder named
// after the picture's file name without its extension, "-2", "-3", ... added
// for a later picture whose name is taken.

#include <string>
#include <vector>

// The folder of each picture, in order, inside directory (empty: the current
// directory).
std::vector<std::string> PictureFolders(const std::vector<std::string>& pictures, const std::string& directory);

// directory joined with a name: "name" when directory is empty.
std::string PathInFolder(const std::string& directory, const std::string& name);

// The file name without its folders, and that without its extension.
std::string FileNameOf(const std::string& path);
std::string StemOf(const std::string& path);
