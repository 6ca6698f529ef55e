#pragma once

namespace modCofra {
// Switches the application-wide pointer between the busy shape and the default.
// A switch, not a counter: one "off" undoes any number of "on".
void SetBusyCursor(bool busy);
} // namespace modCofra
