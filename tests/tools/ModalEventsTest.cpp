// The nested-loop event queue: masks, mouse-moved events on and off, the mouse location, the
// closing of the window, and the setting a loop changes put back however it ends.
#include <gtest/gtest.h>

#include "ScriptedModalEvents.h"
#include "tools/ModalEvents.h"
#include "tools/ToolCodes.h"

namespace {

TEST(ModalEvents, WithoutAQueueEveryLoopEndsAtOnce) {
  ASSERT_EQ(CurrentModalEventSource(), nullptr);
  ModalEvent event;
  event.type = kModalMouseUp;
  EXPECT_FALSE(NextModalEvent(kModalAnyEventMask, &event));
  EXPECT_EQ(event.type, kModalEventNone);
  EXPECT_FALSE(ModalWindowClosed());
  ModalMouseMovedScope scope;  // harmless without a queue
}

TEST(ModalEvents, OnlyEventsOfTheMaskComeThroughInOrder) {
  ScriptedModalEvents events;
  events.key(kModalKeyTab).drag(10, 20).flags(kModalShiftKey).up(30, 40, kModalShiftKey | kModalCommandKey);
  ModalEvent event;
  ASSERT_TRUE(NextModalEvent(kModalMouseDraggedMask | kModalMouseUpMask, &event));
  EXPECT_EQ(event.type, kModalMouseDragged);
  EXPECT_EQ(event.where.x, 10);
  EXPECT_EQ(event.where.y, 20);
  ASSERT_TRUE(NextModalEvent(kModalMouseDraggedMask | kModalMouseUpMask, &event));
  EXPECT_EQ(event.type, kModalMouseUp);
  EXPECT_EQ(TrackModifiersOfEvent(event), kTrackModShift | kTrackModCommand);
  EXPECT_EQ(ModalMouseLocation().x, 30);
  EXPECT_EQ(ModalMouseLocation().y, 40);
  EXPECT_FALSE(NextModalEvent(kModalAnyEventMask, &event));
  EXPECT_EQ(event.type, kModalEventNone);
}

TEST(ModalEvents, KeysAndModifierChangesCarryTheirCodeAndFlags) {
  ScriptedModalEvents events;
  events.key(kModalKeyEscape).flags(kModalOptionKey);
  ModalEvent event;
  ASSERT_TRUE(NextModalEvent(kModalKeyDownMask | kModalFlagsChangedMask, &event));
  EXPECT_EQ(event.type, kModalKeyDown);
  EXPECT_EQ(event.keyCode, kModalKeyEscape);
  ASSERT_TRUE(NextModalEvent(kModalKeyDownMask | kModalFlagsChangedMask, &event));
  EXPECT_EQ(event.type, kModalFlagsChanged);
  EXPECT_EQ(event.modifierFlags, kModalOptionKey);
  EXPECT_EQ(TrackModifiersOfEvent(event), 0);
}

TEST(ModalEvents, MouseMovesArriveOnlyWhileTurnedOnAndTheSettingComesBack) {
  ScriptedModalEvents events;
  events.move(1, 1).down(2, 2, 0, 2).move(3, 3).up(3, 3);
  ModalEvent event;
  ASSERT_TRUE(NextModalEvent(kModalMouseMovedMask | kModalMouseDownMask, &event));
  EXPECT_EQ(event.type, kModalMouseDown);  // the move came while moves were off
  EXPECT_EQ(event.clickCount, 2);
  {
    ModalMouseMovedScope scope;
    EXPECT_TRUE(events.acceptsMouseMovedEvents());
    ASSERT_TRUE(NextModalEvent(kModalMouseMovedMask | kModalMouseUpMask, &event));
    EXPECT_EQ(event.type, kModalMouseMoved);
    EXPECT_EQ(event.where.x, 3);
  }
  EXPECT_FALSE(events.acceptsMouseMovedEvents());
  events.setAcceptsMouseMovedEvents(true);
  { ModalMouseMovedScope off(false); EXPECT_FALSE(events.acceptsMouseMovedEvents()); }
  EXPECT_TRUE(events.acceptsMouseMovedEvents());
}

TEST(ModalEvents, ClosingTheWindowEndsEveryFurtherRead) {
  ScriptedModalEvents events;
  events.drag(5, 5).closeWindow().up(6, 6);
  ModalEvent event;
  ASSERT_TRUE(NextModalEvent(kModalAnyEventMask, &event));
  EXPECT_FALSE(NextModalEvent(kModalAnyEventMask, &event));
  EXPECT_EQ(event.type, kModalWindowClosed);
  EXPECT_TRUE(ModalWindowClosed());
  EXPECT_FALSE(NextModalEvent(kModalAnyEventMask, &event));
  EXPECT_EQ(event.type, kModalWindowClosed);
}

TEST(ModalEvents, AScriptedQueueGivesBackThePreviousQueue) {
  ScriptedModalEvents outer;
  {
    ScriptedModalEvents inner;
    EXPECT_EQ(CurrentModalEventSource(), &inner);
  }
  EXPECT_EQ(CurrentModalEventSource(), &outer);
}

}  // namespace
