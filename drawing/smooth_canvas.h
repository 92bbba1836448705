// The smooth picture of the animation window: a DIB section holding the
// whole picture, background and curves, copied to the window where it changed.
#pragma once
#include <windows.h>

#include "drawing/smooth_surface.h"

struct SmoothCanvas {
  HWND window = nullptr;
  HDC memoryDc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ previousBitmap = nullptr;
  PixelBuffer pixels;
  SmoothMemory memory;
  double lineWidth = 1; // the window's DPI / 96 device pixels, at least 1
  DWORD lastPresent = 0;
  // The window whose buffer was refused: it draws classic curves and asks
  // again at its next picture, not at every tick.
  HWND refused = nullptr;
};
extern SmoothCanvas smoothCanvas;

// The canvas of this window at its client size, made or remade when needed
// (starting as what the window shows); null when smooth curves are off or
// the buffer cannot be had, and the window then draws classic curves.
SmoothCanvas *CanvasFor(HWND window);
void ReleaseCanvas();
// The line width for a window at this DPI: DPI / 96 device pixels, at least 1.
double LineWidthAt(UINT dpi);
// Copies the changed tiles to the window's DC; at most once per refresh of
// the display unless `now` is set, so fast ticks share a copy.
void PresentCanvas(HDC windowDc, bool now);
// Copies the canvas to the part of the window that needs it, when the canvas
// holds this window's picture. False when it does not.
bool RestoreFromCanvas(HWND window, HDC dc, const RECT &part);
