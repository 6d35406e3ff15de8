// The driver's exports as the host fetches them: by name from the module it
// loaded, typed from the integrators' header. A missing export stays null.
#pragma once
#include "include/STolvo32.h"
#include <string>

struct DriverExports {
    HMODULE module;
    STOLVO_PFN_StgXYConfigure StgXYConfigure;
    STOLVO_PFN_StgXYInit StgXYInit;
    STOLVO_PFN_StgXYClose StgXYClose;
    STOLVO_PFN_StgXYMove StgXYMove;
    STOLVO_PFN_StgXYReport StgXYReport;
    STOLVO_PFN_StgXYStep StgXYStep;
    STOLVO_PFN_StgXYOrigin StgXYOrigin;
    STOLVO_PFN_StgXYCalib StgXYCalib;
    STOLVO_PFN_StgXYSetSpeed StgXYSetSpeed;
    STOLVO_PFN_StgZConfigure StgZConfigure;
    STOLVO_PFN_StgZInit StgZInit;
    STOLVO_PFN_StgZClose StgZClose;
    STOLVO_PFN_StgZMove StgZMove;
    STOLVO_PFN_StgZReport StgZReport;
    STOLVO_PFN_StgZStep StgZStep;
    STOLVO_PFN_StgZOrigin StgZOrigin;
    STOLVO_PFN_StgZCalib StgZCalib;
    STOLVO_PFN_ShtrConfigure ShtrConfigure;
    STOLVO_PFN_ShtrGetInstance ShtrGetInstance;
    STOLVO_PFN_ShtrInit ShtrInit;
    STOLVO_PFN_ShtrClose ShtrClose;
    STOLVO_PFN_ShtrGetName ShtrGetName;
    STOLVO_PFN_ShtrSetOpen ShtrSetOpen;
    STOLVO_PFN_ShtrGetOpen ShtrGetOpen;
    STOLVO_PFN_FWConfigure FWConfigure;
    STOLVO_PFN_FWGetInstance FWGetInstance;
    STOLVO_PFN_FWInit FWInit;
    STOLVO_PFN_FWClose FWClose;
    STOLVO_PFN_FWGetCount FWGetCount;
    STOLVO_PFN_FWGetName FWGetName;
    STOLVO_PFN_FWSetPosition FWSetPosition;
    STOLVO_PFN_FWGetPosition FWGetPosition;
};

// Loads STolvo32.dll from `folder` (ending with a backslash), or by name as
// the host does, from the program's folder, when `folder` is empty. False
// when it cannot be loaded.
bool LoadDriver(DriverExports* out, const std::string& folder = std::string());
