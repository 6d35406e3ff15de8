// The controller link that every device family shares: the four connections
// to the controller's automation objects, which families hold the link, who
// claimed the serial line settings, and when a family's close lets the link
// go. The families ask the one instance, Link; nothing else writes its state.
#pragma once
#include "core/dispatch_connection.h"

class ControllerLink {
  public:
    // StagePortOwner of the XY stage. Every other owner is the device kind of
    // its family (STOLVO_KIND_FOCUS, STOLVO_KIND_SHUTTER, STOLVO_KIND_FILTER_WHEEL).
    static constexpr int kXYStageOwner = 99;

    enum class Holder { Stage, Device };

    ControllerLink() = default;
    ControllerLink(const ControllerLink&) = delete;
    ControllerLink& operator=(const ControllerLink&) = delete;

    // 1 from a successful ConnectController until a close disconnects.
    int Connected() const { return connected_; }
    // A stage family (the XY stage, or the focus drive on the stage path) is open.
    int StageClientOpen() const { return stageClientOpen_; }
    // A device family (the focus drive on the device path, shutters, filter
    // wheels) is open.
    int DeviceClientOpen() const { return deviceClientOpen_; }
    // Line owners: -1 until the first family claims them; later claims change
    // nothing. The owning family's page shows the serial controls, and on the
    // device side only the owning family loads the line settings and releases
    // the link.
    int StagePortOwner() const { return stagePortOwner_; }
    int DevicePortOwner() const { return devicePortOwner_; }

    const DispatchConnection& ScanObject() const { return objects_.scan; }
    const DispatchConnection& StageObject() const { return objects_.stage; }
    const DispatchConnection& FocusObject() const { return objects_.focus; }
    const DispatchConnection& FilterObject() const { return objects_.filter; }

    // 1 when the link is open (also when it already was), 0 on any failure.
    // Binds ScanObject and StageObject.
    int ConnectController();
    // Closes the link and empties all four connections; the flags stay as they are.
    void DisconnectController();
    // The focus and filter wheel families bind their own objects; a
    // disconnect empties them with the others.
    BindResult BindFocusObject() { return objects_.focus.Bind(L"tolvo.Z"); }
    BindResult BindFilterObject() { return objects_.filter.Bind(L"tolvo.filter"); }

    void ClaimStagePort(int owner);
    void ClaimDevicePort(int owner);

    // Marks `holder` as holding the link.
    void HoldLink(Holder holder);
    // The focus drive's hold: it remembers the holder until the next one, for
    // its close.
    void HoldLinkForFocus(Holder holder);

    // Close rules. XY stage: disconnects unless a device family holds the link.
    void ReleaseXYStage();
    // Focus drive, as it held the link at its last initialisation (the stage
    // path before any). On the stage path: disconnects only when the link is
    // open, a stage family and no device family holds it, then clears the
    // stage holder. On the device path nothing changes: the stage holder
    // belongs to the XY stage there, and the device holder is released only by
    // the line owner's close.
    void ReleaseFocus();
    // Shutters and filter wheels: only the line owner's slot 0 releases the
    // device holder, and the link goes when no stage family holds it.
    void ReleaseDeviceFamily(int family, int slot);

    // Whether one of the driver's calls into the servers is under way on the
    // host's thread (core/outgoing_calls.h), and how many are nested.
    bool CallUnderWay() const { return callDepth_ > 0; }
    int CallDepth() const { return callDepth_; }

    // Unload under the loader lock (FreeLibrary): objects in the process get
    // their references back, proxies are left to COM.
    void LetGoAtUnload();
    // Process termination, when COM may already be gone: nothing is given back.
    void AbandonAtUnload();

  private:
    friend class OutgoingCall;

    struct Connections {
        DispatchConnection scan;
        DispatchConnection stage;
        DispatchConnection focus;
        DispatchConnection filter;
        void Empty();
        void Abandon();
        void LetGoAtUnload();
    };

    // DisconnectController, then Connected <- 0.
    void Disconnect();
    // Opens the link and runs the start-up exchange; false when it did not open.
    bool OpenLink(int portArgument);
    // Closes the link of the connections retired by a disconnect under a call
    // and gives them back.
    void CloseRetiredLink() noexcept;

    Connections objects_;
    // The connections of a link closed while one of the driver's calls was
    // under way: taken out of the four, so that no export uses them any more,
    // and kept until the outermost call has ended and they can be given back.
    Connections retired_;
    bool retiredLinkWaits_ = false;
    int callDepth_ = 0;

    int connected_ = 0;
    int stageClientOpen_ = 0;
    int deviceClientOpen_ = 0;
    int stagePortOwner_ = -1;
    int devicePortOwner_ = -1;
    Holder focusHolder_ = Holder::Stage;

    // The port argument of the previous connection attempt.
    int lastPortArgument_ = -1;
    // Set while the last attempt on lastPortArgument_ failed to open the link:
    // a dead port is not tried again until another port has been tried.
    int portAttempted_ = 0;
};

// The number handed to the controller's open-link call for a `port` choice.
int PortArgument(int port);

// Module-wide: the one controller link, owner of the connections, the link
// holders, the line owners and the calls under way.
extern ControllerLink Link;
