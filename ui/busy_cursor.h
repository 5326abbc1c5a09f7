#pragma once
// The busy cursor over every window of the program while a handler works,
// restored when the guard ends (also when an exception passes) or earlier by
// End(), before a message box is shown.

class TBusyCursor {
public:
    TBusyCursor();
    ~TBusyCursor() { End(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;

    void End();

private:
    bool FActive = false;
};
