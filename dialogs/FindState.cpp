#include "dialogs/FindState.h"

namespace modCofra {
QString strFindText;
bool ynFindWholeWord = false;
bool ynFindMatchCase = false;
} // namespace modCofra
