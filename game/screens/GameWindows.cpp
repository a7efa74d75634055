#include "game/screens/GameWindows.h"

#include "ui/CScreenWindow.h"

void AddGameScreenWindow(CJWindow* window)
{
    if (!window)
        return;
    CScreenWindow* screen = CScreenWindow::GetScreenWindow();
    if (!screen) {
        window->Destroy();
        return;
    }
    screen->AddChild(window, EPlace::Centred);
    screen->BringChildToFront(window);
}
