#include "sim/journal/journal_text.h"
#include "core/filter_members.h"
#include "core/focus_members.h"
#include "core/scan_members.h"
#include "core/stage_members.h"
#include <cstdio>

namespace {
const ServerInterface* Interface(int object) {
    static const ServerInterface* const interfaces[] = {
        &ScanMember::kInterface, &StageMember::kInterface, &FocusMember::kInterface,
        &FilterMember::kInterface};
    return object >= 0 && object < 4 ? interfaces[object] : nullptr;
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

bool IsBusyPoll(const SimCall& call) {
    return call.object == SimScan && call.dispid == ScanMember::GetBusy.dispid;
}
} // namespace

std::string CallText(const SimCall& call) {
    const ServerInterface* objectInterface = Interface(call.object);
    const ServerMember* member =
        objectInterface != nullptr
            ? FindServerMember(*objectInterface, call.dispid, static_cast<WORD>(call.kind))
            : nullptr;
    std::string text = std::string(objectInterface != nullptr ? objectInterface->objectName : "?") +
                       "." + (member != nullptr ? member->name : std::to_string(call.dispid));
    if (call.kind == DISPATCH_PROPERTYGET && call.argCount == 0) {
        return text + "?";
    }
    if (call.kind == DISPATCH_PROPERTYPUT) {
        return text + "=" + (call.argCount > 0 ? Number(call.argValue[0]) : "");
    }
    text += call.kind == DISPATCH_PROPERTYGET ? "?(" : "(";
    for (int i = 0; i < call.argCount && i < 8; ++i) {
        if (i > 0) {
            text += ",";
        }
        if (call.argType[i] & VT_BYREF) {
            text += "&";
        }
        text += Number(call.argValue[i]);
    }
    return text + ")";
}

std::vector<std::string> JournalText(const std::vector<SimCall>& calls) {
    std::vector<std::string> lines;
    bool polling = false;
    for (const SimCall& call : calls) {
        if (call.object == SimNote) {
            lines.push_back(std::string(call.text) + "(" + Number(call.argValue[0]) + ")");
            polling = true;
            continue;
        }
        if (IsBusyPoll(call)) {
            if (!polling) {
                lines.push_back("wait");
            }
            polling = true;
            continue;
        }
        polling = false;
        lines.push_back(CallText(call));
    }
    return lines;
}
