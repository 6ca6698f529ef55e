#pragma once

namespace store {

// Installs the "An Error Occured!" Abort/Retry/Ignore box as the answer to the
// store's failures. The main window calls it once at start-up.
void installErrorBox();

} // namespace store
