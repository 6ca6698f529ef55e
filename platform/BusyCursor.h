#pragma once

namespace modCofra {
// Switches the application-wide pointer between the busy shape and the default.
// A switch, not a counter: one "off" undoes any number of "on".
void SetBusyCursor(bool busy);
bool IsBusyCursor();

// The busy pointer for as long as the scope lasts, however it is left. On
// leaving, the pointer goes back to the default unless it was already busy
// when the scope began (an outer scope then ends it).
class BusyCursorScope {
public:
    BusyCursorScope() : m_wasBusy(IsBusyCursor()) { SetBusyCursor(true); }
    ~BusyCursorScope() {
        if (!m_wasBusy)
            SetBusyCursor(false);
    }
    BusyCursorScope(const BusyCursorScope&) = delete;
    BusyCursorScope& operator=(const BusyCursorScope&) = delete;

private:
    bool m_wasBusy;
};
} // namespace modCofra
