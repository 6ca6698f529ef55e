#pragma once
#include <QString>

// The last search, shared by the find dialog and the main window for the run of the program.
namespace modCofra {
extern QString strFindText;
extern bool ynFindWholeWord;
extern bool ynFindMatchCase;
} // namespace modCofra
