#pragma once

#include <string>

namespace quillfen::platform {

// True when any file-system object exists at the path, directories included. A symbolic
// link counts by its target; a relative path counts from the working directory. The path
// is used exactly as given.
bool fileExists(const std::string& path);

// True when the path names a regular file, or a link to one.
bool isRegularFile(const std::string& path);

// True when the path names a directory, or a link to one.
bool isDirectory(const std::string& path);

}  // namespace quillfen::platform
