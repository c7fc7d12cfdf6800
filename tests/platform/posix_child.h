#pragma once

namespace pelorin::testing {
// Makes the test binary report its executable's path, directory, and current directory
// after entering that directory, one per line, into the file named next.
inline constexpr char kReportFlag[] = "--report-exe-dir";
}  // namespace pelorin::testing
