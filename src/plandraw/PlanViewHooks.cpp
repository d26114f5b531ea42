// The plan view hooks and the text drawing they fall back on.
#include "plandraw/PlanViewHooks.h"

#include "plandraw/DrawContext.h"
#include "plandraw/PlatformAdapters.h"

PlanViewHooks gPlanViewHooks;

Base2DView* MainDocumentView() { return gPlanViewHooks.documentView ? gPlanViewHooks.documentView() : nullptr; }

ZLKDynamicDrawEngine* MainViewDynamicDrawEngine() {
  return gPlanViewHooks.dynamicDrawEngine ? gPlanViewHooks.dynamicDrawEngine() : nullptr;
}

void DrawTextInRect(const char* text, const NSRect* rect, const LOGFONT* font, const RGBColor* color) {
  if (gPlanViewHooks.drawText) gPlanViewHooks.drawText(text, rect, font, color);
  else DrawTextInRectWithFontInfo(nullptr, text, rect, font, color);
}

void DrawTextInRectWithFontInfo(DrawContext* context, const char* text, const NSRect* rect,
                                const LOGFONT* font, const RGBColor* color) {
  DrawContext* ctx = ResolveDrawContext(context);
  if (!ctx || !text || !rect || !font || !color) return;
  TextRun run;
  run.text = text;
  run.anchor = {NSMidX(*rect), NSMidY(*rect)};
  run.font = FontDescriptionFromLOGFONT(*font);
  run.color = DrawColorFromRGB(*color);
  run.angleDegrees = static_cast<float>(font->lfOrientation) / 10.0f;
  run.alignment = TextAlignment::Centre;
  ctx->drawText(run);
}
