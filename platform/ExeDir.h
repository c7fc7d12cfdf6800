#pragma once

#include <filesystem>
#include <string>

// The executable's directory, worked out once when the main window is created. Relative
// file names (the score file, "web.htm") are looked up there.
namespace pelorin {

// The running executable's full path as the operating system knows it: on Linux the bytes
// of /proc/self/exe (a directory name that is not UTF-8 stays intact), on Windows the
// module's file name in UTF-16. Empty if the system will not tell.
std::filesystem::path executablePath();

// The directory rule applied with the system's separators: '/' on POSIX; '\' and also '/'
// on Windows, where both separate directories (the loader itself always reports '\').
std::filesystem::path directoryOf(const std::filesystem::path& executable);

void setExeDir(std::filesystem::path directory);
const std::filesystem::path& exeDir();

// Makes the executable's directory current: on Windows first its drive, named by the first
// character, then the directory itself. Failures are ignored and then leave the current
// directory as it was (a network path has no drive, and only the second step counts).
void enterExeDir();

// A path as UTF-8 text for showing: on POSIX its bytes as they are, on Windows its UTF-16
// converted (an unpaired surrogate becomes U+FFFD). Never throws.
std::string pathAsUtf8Text(const std::filesystem::path& path);

}  // namespace pelorin
