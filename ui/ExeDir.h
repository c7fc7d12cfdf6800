#pragma once

#include <QString>
#include <filesystem>

// The executable's directory, worked out once when the main window is created. Relative
// file names (the score file, "web.htm") are looked up there.

// '\' on Windows, '/' elsewhere.
QChar nativeSeparator();

// Cuts a path back to its directory: the last separator after the first character goes,
// with everything behind it; with no such separator only the first character stays.
// C:\Games\Puzzle\game.exe gives C:\Games\Puzzle, C:\game.exe gives C:, /game gives /.
QString cutBackToDirectory(const QString& path, QChar separator);

void setExeDir(const QString& directory);
const QString& exeDir();
std::filesystem::path exeDirPath();

// Makes the executable's directory current (on Windows its drive first); failures are
// ignored and the current directory then stays as it was.
void enterExeDir();
