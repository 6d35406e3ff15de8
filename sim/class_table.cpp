#include "sim/class_table.h"

namespace {
const ServerClass kClasses[] = {
    {SimScan, L"tolvo.scan", &kScanClassId, &CreateScanObject},
    {SimStage, L"tolvo.stage", &kStageClassId, &CreateStageObject},
    {SimFocus, L"tolvo.Z", &kFocusClassId, &CreateFocusObject},
    {SimFilter, L"tolvo.filter", &kFilterClassId, &CreateFilterObject},
};
constexpr int kClassCount = sizeof(kClasses) / sizeof(kClasses[0]);
} // namespace

const ServerClass* ServerClasses() {
    return kClasses;
}
int ServerClassCount() {
    return kClassCount;
}

const ServerClass* FindClassByKind(int kind) {
    for (const ServerClass& entry : kClasses) {
        if (entry.kind == kind) {
            return &entry;
        }
    }
    return nullptr;
}

const ServerClass* FindClassById(REFCLSID classId) {
    for (const ServerClass& entry : kClasses) {
        if (IsEqualCLSID(*entry.classId, classId)) {
            return &entry;
        }
    }
    return nullptr;
}
