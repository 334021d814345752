#pragma once
// A message map binds window messages and commands to member handlers, the
// way the rest of the program expects a window object to receive its
// messages: a table read top to bottom, the first matching entry wins.

#include <windows.h>

#include <cstddef>

namespace fw {

template <class Owner>
struct MessageMapEntry {
    UINT message;
    // For WM_COMMAND: the command or control id to match; ignored otherwise.
    UINT commandId;
    LRESULT (Owner::*handler)(WPARAM wParam, LPARAM lParam);
};

template <class Owner>
MessageMapEntry<Owner> OnMessage(UINT message, LRESULT (Owner::*handler)(WPARAM, LPARAM)) {
    return {message, 0, handler};
}

template <class Owner>
MessageMapEntry<Owner> OnCommand(UINT commandId, LRESULT (Owner::*handler)(WPARAM, LPARAM)) {
    return {WM_COMMAND, commandId, handler};
}

// Calls the first handler in the map that matches. Returns false when none
// does, so the caller can pass the message on.
template <class Owner, std::size_t N>
bool DispatchMessageMap(Owner& owner, const MessageMapEntry<Owner> (&map)[N], UINT message, WPARAM wParam,
                        LPARAM lParam, LRESULT& result) {
    for (const auto& entry : map) {
        if (entry.message != message)
            continue;
        if (message == WM_COMMAND && LOWORD(wParam) != entry.commandId)
            continue;
        result = (owner.*entry.handler)(wParam, lParam);
        return true;
    }
    return false;
}

}  // namespace fw
