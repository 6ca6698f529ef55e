#pragma once
#include <QString>

namespace modCofra {
// The program's folder, ending in exactly one "/". Set once at start-up.
extern QString strAppPath;
} // namespace modCofra

namespace platform {
// A folder path with its trailing separators reduced to exactly one ("/" stays "/").
QString withOneTrailingSeparator(const QString& folder);
// Sets modCofra::strAppPath from the running executable's folder.
void initAppPath();
} // namespace platform
