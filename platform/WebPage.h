#pragma once

#include <string_view>

namespace pelorin {

// Opens `address` in the program associated with the type of "web.htm" beside the
// executable, the address being its one parameter; without such a program the address goes
// to the system to open. Never waits for the browser; failures are ignored.
void openWebPage(std::string_view address);

}  // namespace pelorin
