// The program's entry point: hands control to the one application object.

#include <windows.h>

#include "framework/application.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return fw::Application::Current().Run(); }
