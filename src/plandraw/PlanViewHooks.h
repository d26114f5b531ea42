// What the plan drawing needs from the main window's plan view, which lives in the
// front end: its rubber-band overlay and its text drawing. The view installs the hooks.
#pragma once
#include "model/Types.h"
#include "plandraw/DrawTypes.h"

class Base2DView;
class DrawContext;
class ZLKDynamicDrawEngine;

struct PlanViewHooks {
  // The main window document view's overlay; null when there is no plan view.
  ZLKDynamicDrawEngine* (*dynamicDrawEngine)() = nullptr;
  // The view's drawText:inRect:withFontInfo:textColor:. When unset the text is drawn into
  // the current drawing context by DrawTextInRectWithFontInfo.
  void (*drawText)(const char* text, const NSRect* rect, const LOGFONT* font, const RGBColor* color) = nullptr;
  // The main window's plan view with its region, pattern and text services; null when none.
  Base2DView* (*documentView)() = nullptr;
};

extern PlanViewHooks gPlanViewHooks;

// The main window's plan view, or null.
Base2DView* MainDocumentView();
// The overlay of the main window's plan view, or null.
ZLKDynamicDrawEngine* MainViewDynamicDrawEngine();

// The string centred on the rectangle's centre and turned by the font's orientation
// (tenths of a degree, counter-clockwise on the screen), through the view's hook when set.
void DrawTextInRect(const char* text, const NSRect* rect, const LOGFONT* font, const RGBColor* color);
// The same drawn straight into a context (the given one, else the current one).
void DrawTextInRectWithFontInfo(DrawContext* context, const char* text, const NSRect* rect,
                                const LOGFONT* font, const RGBColor* color);
