// What the stage page keeps of its own: kept with its window, made when the
// page is initialised and freed when it goes.
#pragma once
#include "ui/page_state_slot.h"
#include "ui/stage_page.h"
#include "ui/step_size_box.h"

struct StagePage {
    // From the creation parameter: 0 the XY page, anything else the Z page.
    StepAxis axis;
    // Where the host last asked for the page; it was placed there when made.
    int top;
    StepTyping step;
};

// The state of stage page `page`; nullptr for a window that is no stage page.
inline StagePage* StagePageOf(HWND page) {
    return DialogStateOf<StagePage>(page, StgConfigProc);
}
