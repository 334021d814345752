#pragma once
// Where the minimised dialog draws its icon.

namespace ikw {

struct Point {
    int x;
    int y;
};

// Centres the icon in the client area; an odd leftover pixel goes to the
// left/top side, the way the window system centres minimised icons.
inline Point MinimisedIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight) {
    return {(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}

}  // namespace ikw
