#pragma once
// What the end-to-end tests do with other programs: run one to its end and read what it
// printed, and wait for something to happen on the screen.
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

struct Command {
  int exitCode = -1;  // also when the program crashed or did not end in time
  QString output;
};

Command runCommand(
    const QString& program, const QStringList& arguments, int timeoutMs,
    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

// Polls `condition` every `pollMs` until it holds (true) or `timeoutMs` have passed (false).
bool waitUntil(const std::function<bool()>& condition, int timeoutMs, int pollMs = 50);

// The first window id that `xdotool search` printed, or nothing if it found none.
std::optional<QString> firstWindowFound(const Command& search);
