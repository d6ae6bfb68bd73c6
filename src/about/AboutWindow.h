// The About window of the configure mode: product name, a picture of the
// clock, a three-line notice and a button that opens the maker's web site.
#pragma once

class CAboutWindow {
public:
    // Builds and shows the window, runs its message loop and returns when
    // the window has been closed (or could not be made). instance is the
    // module instance handle (Windows; unused on X11), showCommand the
    // entry point's show command.
    CAboutWindow(void* instance, int showCommand);
};
