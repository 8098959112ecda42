// The system's own cursors and the current one: LoadCursorA and SetCursor.
#include "winlayer/core/cursor.h"

#include "winlayer/core/backend.h"
#include "winlayer/include/windows.h"

namespace winlayer {

namespace {

struct SystemCursor {
    WORD id; // the IDC_ number LoadCursorA takes
    CursorShape shape;
};

constexpr WORD kArrowId = 32512; // IDC_ARROW: the cursor a window starts with
constexpr SystemCursor kSystemCursors[] = {{kArrowId, CursorShape::Arrow},
                                           {32514, CursorShape::Wait}};

// A system cursor's handle: shared, never freed, the same for every load.
HCURSOR HandleOf(WORD id) {
    return reinterpret_cast<HCURSOR>(static_cast<std::uintptr_t>(0x10000 + id));
}

HCURSOR gCurrent = HandleOf(kArrowId);

// False for a handle that is no cursor of ours.
bool ShapeOf(HCURSOR cursor, CursorShape& shape) {
    if (cursor == nullptr) {
        shape = CursorShape::None;
        return true;
    }
    for (const SystemCursor& system : kSystemCursors) {
        if (cursor == HandleOf(system.id)) {
            shape = system.shape;
            return true;
        }
    }
    return false;
}

} // namespace

CursorShape CurrentCursor() {
    CursorShape shape = CursorShape::Arrow;
    ShapeOf(gCurrent, shape);
    return shape;
}

void ResetCursor() {
    gCurrent = HandleOf(kArrowId);
}

} // namespace winlayer

using namespace winlayer;

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
    if (instance != nullptr || !IS_INTRESOURCE(name)) {
        return nullptr; // the program has no cursors of its own
    }
    const WORD id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
    for (const SystemCursor& system : kSystemCursors) {
        if (system.id == id) {
            return HandleOf(id);
        }
    }
    return nullptr;
}

HCURSOR WINAPI SetCursor(HCURSOR cursor) {
    CursorShape shape;
    if (!ShapeOf(cursor, shape)) {
        return nullptr; // not a cursor: the current one stays
    }
    const HCURSOR previous = gCurrent;
    gCurrent = cursor;
    if (cursor != previous && CurrentBackend().showCursor) {
        CurrentBackend().showCursor(shape);
    }
    return previous;
}
