#pragma once
// The pointer's shape over our windows, from SDL's system cursors.

namespace Platform {

enum class CursorShape { Arrow, SizeNwse, SizeNs };

// Sets the shape; the cursors are made once and kept for the process.
void SetCursorShape(CursorShape shape);

} // namespace Platform
