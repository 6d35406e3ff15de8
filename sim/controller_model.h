// The one controller every automation object of the module talks to, as a
// physical controller is shared by all the objects of its server.
#pragma once
#include "sim/sim_control.h"
#include <cstddef>
#include <deque>
#include <map>
#include <mutex>
#include <utility>

class ControllerModel {
  public:
    // Keeps the newest entries only, so that an endless stream of calls
    // cannot exhaust memory; a run of the same busy poll is one entry.
    static constexpr std::size_t kJournalLimit = 100000;

    ControllerModel() { Reset(); }
    void Reset();

    void Record(const SimCall& call);
    int JournalCount() const { return static_cast<int>(journal_.size()); }
    bool JournalEntry(int index, SimCall* out) const;
    void ClearJournal() { journal_.clear(); }

    void SetFault(int object, int dispid, HRESULT hr);
    HRESULT FaultFor(int object, int dispid) const;
    // How long the member waits before it answers; 0 clears it.
    void SetAnswerDelay(int object, int dispid, DWORD milliseconds);
    DWORD AnswerDelay(int object, int dispid) const;

    void SetOpenablePorts(DWORD mask) { openablePorts_ = mask; }
    bool OpenPort(LONG port);
    // The statuses OpenPort writes back for an opened and a refused port.
    void SetOpenStatuses(LONG opened, LONG refused) {
        openedStatus_ = opened;
        refusedStatus_ = refused;
    }
    LONG OpenedStatus() const { return openedStatus_; }
    LONG RefusedStatus() const { return refusedStatus_; }
    void ClosePort() { linkOpen_ = false; }
    bool IsLinkOpen() const { return linkOpen_; }
    int LastOpenedPort() const { return lastOpenedPort_; }

    void SetShutter(int shutter, int state) { shutters_[shutter] = state; }
    int ShutterState(int shutter) const;

    void SetBusyPolls(int polls) { busyPolls_ = polls; }
    void SetMotionSpeed(double unitsPerSecond) { motionSpeed_ = unitsPerSecond; }
    void SetBusyForever(bool on) { busyForever_ = on; }
    // One GetBusy: whether something still moves.
    bool PollBusy();
    int BusyPollCount() const { return busyPollCount_; }

    // Stage positions as read by GetXY: the physical position less the origin.
    void SetTravel(double x, double y);
    double TravelX() const { return travel_[0]; }
    double TravelY() const { return travel_[1]; }
    void SetStageSpeed(double speed) { stageSpeed_ = speed; }
    double StageSpeed() const { return stageSpeed_; }
    std::pair<double, double> Position() const;
    // Puts the stage at a read position without a motion.
    void Place(double x, double y);
    // Makes the current position read as (x, y).
    void SetOrigin(double x, double y);
    void MoveTo(double x, double y);
    void MoveBy(double dx, double dy);
    void Run(int axis, double distance);
    void StartScan();

    // The focus drive: one axis without origin or limits, in server units.
    double FocusPosition() const { return focus_; }
    // Puts the focus at a position without a motion.
    void PlaceFocus(double position) { focus_ = position; }
    void MoveFocusTo(double target);
    void MoveFocusBy(double distance);

    // Filter wheels by their 1-based numbers. Any number is kept, since the
    // server takes whatever a client sends; a wheel never set has the default
    // count and no position.
    void SetWheelPositionCount(int wheel, SHORT count) { wheelCounts_[wheel] = count; }
    SHORT WheelPositionCount(int wheel) const;
    void MoveWheel(int wheel, int position) { wheelPositions_[wheel] = position; }
    int WheelPosition(int wheel) const;

    // What the class factory of an object kind answers instead of an object;
    // S_OK when it creates one.
    void SetCreationFault(int object, HRESULT hr);
    HRESULT CreationFault(int object) const;

  private:
    void StartMotion(double distance);
    DWORD MotionTimeLeft(DWORD now) const;

    std::deque<SimCall> journal_;
    std::map<std::pair<int, int>, HRESULT> faults_;
    std::map<std::pair<int, int>, DWORD> answerDelays_;
    DWORD openablePorts_;
    LONG openedStatus_;
    LONG refusedStatus_;
    bool linkOpen_;
    int lastOpenedPort_;
    std::map<int, int> shutters_;
    int busyPolls_;
    double motionSpeed_;
    bool busyForever_;
    int busyPollCount_;
    int pollsLeft_;
    DWORD motionStart_;
    DWORD motionLength_;
    double travel_[2];
    double physical_[2];
    double origin_[2];
    double stageSpeed_;
    double focus_;
    std::map<int, SHORT> wheelCounts_;
    std::map<int, int> wheelPositions_;
    std::map<int, HRESULT> creationFaults_;
};

// Exclusive access to the module's controller model for one call.
class LockedModel {
  public:
    LockedModel();
    LockedModel(const LockedModel&) = delete;
    LockedModel& operator=(const LockedModel&) = delete;
    ControllerModel* operator->() const { return model_; }
    ControllerModel& operator*() const { return *model_; }

  private:
    std::lock_guard<std::mutex> lock_;
    ControllerModel* model_;
};
