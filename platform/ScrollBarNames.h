#pragma once

class QAbstractScrollArea;

namespace platform {

// A screen reader announces a scroll bar as a control of its own: each of the
// area's two gets the area's accessible name (set it first) and its direction.
void nameScrollBars(QAbstractScrollArea* area);

} // namespace platform
