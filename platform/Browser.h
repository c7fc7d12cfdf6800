#pragma once

#include <filesystem>
#include <string_view>

// The system's part of the home-page link: the program associated with a document's type,
// and starting a program or an address without waiting for it.
namespace pelorin {

// The full path of the program associated with the type of `document`, a name looked up
// relative to the current directory. Empty when the document is missing or its type has
// no program.
std::filesystem::path associatedProgram(const std::filesystem::path& document);

// Starts `program` with `address` as its one parameter and returns at once; the program
// outlives the game and leaves nothing behind for it to collect. Where the system says at
// once that the program cannot start (Windows' shell does), the address goes to openAddress.
void startProgram(const std::filesystem::path& program, std::string_view address);

// Hands `address` to the system to open as it sees fit. Failures are ignored.
void openAddress(std::string_view address);

}  // namespace pelorin
