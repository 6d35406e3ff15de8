// The configure exports of the XY stage and of the focus drive on the stage
// path: they create, show and destroy the stage page.
#include "ui/stage_page.h"
#include "core/export_trace.h"
#include "config/device_kind.h"
#include "config/host_hardware_file.h"
#include "core/controller_link.h"
#include "core/module_state.h"
#include "ui/focus_device_page.h"
#include "ui/page_request.h"
#include "ui/page_state.h"
#include "ui/resource_ids.h"
#include "ui/stage_page_state.h"

namespace {
// An existing page is shown again as it is, whatever kind was asked for.
void ShowStagePage(HWND parent, int top, LPARAM kind) {
    if (StagePage* shown = StagePageOf(StagePageWindow)) {
        shown->top = top;
    }
    if (StagePageWindow == nullptr) {
        const int templateId = kind == kZPageFlag ? IDD_Z_PAGE : IDD_XY_PAGE;
        const PageRequest request(DialogKind::StagePage, 0, 0, top);
        StagePageWindow = CreateDialogParamA(ModuleInstance, MAKEINTRESOURCEA(templateId), parent,
                                             StgConfigProc, kind);
    }
    if (StagePageWindow != nullptr) {
        ShowWindow(StagePageWindow, SW_SHOW);
    }
}
} // namespace

extern "C" {

int WINAPI StgXYConfigure(HWND parent, int top, int show) {
    ExportTrace trace("StgXYConfigure", parent, top, show);
    if (show == 0) {
        DestroyStagePage();
        return trace.Return(0);
    }
    Link.ClaimStagePort(ControllerLink::kXYStageOwner);
    ShowStagePage(parent, top, kXYPageFlag);
    return trace.Return(0);
}

int WINAPI StgZConfigure(HWND parent, int top, int show) {
    ExportTrace trace("StgZConfigure", parent, top, show);
    if (IsHostDeviceOurs(STOLVO_KIND_FOCUS, 0)) {
        return trace.Return(ConfigureFocusDevicePage(parent, top, show));
    }
    // The Z family claims the line on the stage path even with a hiding call.
    Link.ClaimStagePort(STOLVO_KIND_FOCUS);
    if (show == 0) {
        DestroyStagePage();
        return trace.Return(0);
    }
    ShowStagePage(parent, top, kZPageFlag);
    return trace.Return(0);
}
}
