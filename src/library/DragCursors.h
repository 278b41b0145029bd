#pragma once
// The two cursors of a drag out of the collection window, drawn here: "drop here" (an arrow with a
// small part box and a plus) where letting go applies the entry or is harmless, and "no drop" (a
// circle with a bar) everywhere else.

#include <QCursor>

namespace collection {
QCursor DropHereCursor();
QCursor NoDropCursor();
}  // namespace collection
