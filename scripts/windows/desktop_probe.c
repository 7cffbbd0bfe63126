/* Exits 0 once this Wine session can make a window. The first program that needs the desktop
 * starts Wine's explorer for it and, should that take too long on a busy machine, is left
 * without a display driver for good: a probe takes that risk instead of a test. */
#include <windows.h>

int main(void)
{
    HWND window = CreateWindowExA(0, "STATIC", "probe", WS_POPUP, 0, 0, 8, 8, NULL, NULL, NULL, NULL);
    if (!window)
        return 1;
    DestroyWindow(window);
    return 0;
}
