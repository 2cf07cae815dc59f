// The baseline for the launcher's start-up time: the least a Win32 program does to show a window.
// Built like Starter.exe, so the comparison measures what the launcher adds. With the argument
// "text" it also realizes one text font before showing, as every window with labelled controls
// must: under Wine the first font starts the whole font system, a cost no text window avoids.
#include <windows.h>

#include <cstring>

namespace {

LRESULT CALLBACK MinimalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {  // the program lives as long as its window
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

// Selects a text font into the window's device context and reads its measures.
void RealizeTextFont(HWND window) {
  const HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
  const HDC dc = GetDC(window);
  const HGDIOBJ previous = SelectObject(dc, font);
  TEXTMETRICA measures;
  GetTextMetricsA(dc, &measures);
  SelectObject(dc, previous);
  ReleaseDC(window, dc);
  DeleteObject(font);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = MinimalProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  windowClass.lpszClassName = "MinimalWindow";
  if (!RegisterClassA(&windowClass)) return 1;
  const HWND window = CreateWindowExA(0, "MinimalWindow", "Minimal", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                      CW_USEDEFAULT, 344, 353, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  if (std::strcmp(commandLine, "text") == 0) RealizeTextFont(window);
  ShowWindow(window, showCommand);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}
