// Who holds the controller link that every device family shares, who claimed
// the serial line settings, and when a family's close lets the link go.
#pragma once

// 1 from a successful ConnectController until a close disconnects.
extern int Connected;
// A stage family (the XY stage, or the focus drive on the stage path) is open.
extern int StageClientOpen;
// A device family (the focus drive on the device path, shutters, filter
// wheels) is open.
extern int DeviceClientOpen;

// Line owners: -1 until the first family claims them; later claims change
// nothing. The owning family's page shows the serial controls, and on the
// device side only the owning family loads the line settings and releases the
// link.
extern int StagePortOwner;  // kXYFamily or kFocusFamily
extern int DevicePortOwner; // kFocusFamily, kShutterFamily or kWheelFamily

constexpr int kShutterFamily = 1; // the device kinds of the host's files
constexpr int kWheelFamily = 2;
constexpr int kFocusFamily = 8;
constexpr int kXYFamily = 99;

void ClaimStagePort(int family);
void ClaimDevicePort(int family);

enum class LinkHolder { Stage, Device };
// Marks `holder` as holding the link.
void HoldLink(LinkHolder holder);

// Close rules. XY stage: disconnects unless a device family holds the link.
void ReleaseXYStage();
// Focus drive, held as `heldAs` at its last initialisation. On the stage path:
// disconnects only when the link is open, a stage family and no device family
// holds it, then clears the stage holder. On the device path nothing changes:
// the stage holder belongs to the XY stage there, and the device holder is
// released only by the line owner's close.
void ReleaseFocus(LinkHolder heldAs);
// Shutters and filter wheels: only the line owner's slot 0 releases the
// device holder, and the link goes when no stage family holds it.
void ReleaseDeviceFamily(int family, int slot);
