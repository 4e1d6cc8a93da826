// SPDX-License-Identifier: MIT
#pragma once

class QWidget;

// What the desktop's window system does for the program's windows, asked of it rather than
// assumed: compositors such as sway keep no window above others and draw a frame they do not
// tell X11 clients about.
namespace host::WindowManager {

// Whether a window asked to stay on top of others stays there: never on Wayland; on X11 where
// no window manager runs, or where the one that runs supports _NET_WM_STATE_ABOVE.
bool keepsWindowsOnTop();

// Whether the place of the window's outer frame is known: on X11, a window manager that draws
// a title bar reports it (_NET_FRAME_EXTENTS or a frame window around the client); one that
// reports none while it runs leaves only the client area's place, which is not the frame's.
bool knowsFrameOf(const QWidget* window);

} // namespace host::WindowManager
