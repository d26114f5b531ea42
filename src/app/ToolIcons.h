// Faces of the tool palettes' buttons, drawn at run time, the palettes' tool buttons and
// the zoom tool's cursor.
#pragma once
#include <QCursor>
#include <QIcon>
#include <QString>
#include <cstdint>

class QToolButton;
class QWidget;

// A small picture of the tool (outline shapes, wall strokes, a few letters for symbols).
QIcon ToolIcon(uint16_t tool);

// Whether the tool's palette button can be chosen: true for every tool, each having its
// tracking routine (PendingTrackingRoutine names none).
bool ToolIsAvailable(uint16_t tool);

// A checkable palette button carrying the tool code (property "tool"), with the tool's
// face and tool tip; disabled (tool tip kept) while the tool is not available.
QToolButton* MakeToolButton(uint16_t tool, const QString& toolTip, QWidget* parent);
// The tool code a palette button carries.
uint16_t ToolOfButton(const QToolButton* button);

// Makes a tool palette float beside the design window without ever taking its keyboard:
// the palette accepts no focus, and should a window manager activate it anyway, the
// activation goes straight back to the front design window (its keys and shortcuts stay live).
void KeepKeyboardWithDesignWindow(QWidget* palette);

// The zoom tool's cursor: a magnifying glass, hot spot (11, 9).
QCursor ZoomCursor();
