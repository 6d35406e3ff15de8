#include "sim/controller_model.h"
#include "core/scan_members.h"
#include <algorithm>
#include <cmath>

namespace {
constexpr DWORD kDefaultOpenablePorts = 0x1F; // ports 0 to 4
constexpr double kDefaultTravelX = 100000.0;
constexpr double kDefaultTravelY = 75000.0;
constexpr double kDefaultMotionSpeed = 50000.0;
// A scan moves the stage without changing where it ends; in the timed model
// it lasts as long as a move of this length.
constexpr double kScanLength = 1000.0;
constexpr DWORD kLongestMotion = 0xFFFFFFFE;
// Wheels of the controller's usual kind have ten positions.
constexpr SHORT kDefaultWheelPositionCount = 10;

std::mutex modelMutex;
ControllerModel model;
} // namespace

void ControllerModel::Reset() {
    journal_.clear();
    faults_.clear();
    openablePorts_ = kDefaultOpenablePorts;
    openedStatus_ = 0;
    refusedStatus_ = -1;
    linkOpen_ = false;
    lastOpenedPort_ = -1;
    shutters_.clear();
    busyPolls_ = 0;
    motionSpeed_ = kDefaultMotionSpeed;
    busyForever_ = false;
    busyPollCount_ = 0;
    pollsLeft_ = 0;
    motionStart_ = 0;
    motionLength_ = 0;
    travel_[0] = kDefaultTravelX;
    travel_[1] = kDefaultTravelY;
    physical_[0] = physical_[1] = 0.0;
    origin_[0] = origin_[1] = 0.0;
    stageSpeed_ = 0.0;
    focus_ = 0.0;
    wheelCounts_.clear();
    wheelPositions_.clear();
    creationFaults_.clear();
    answerDelays_.clear();
}

namespace {
bool SameBusyPoll(const SimCall& a, const SimCall& b) {
    if (a.object != SimScan || a.dispid != ScanMember::GetBusy.dispid || b.object != a.object ||
        b.dispid != a.dispid || b.kind != a.kind || b.argCount != a.argCount ||
        b.result != a.result) {
        return false;
    }
    for (int i = 0; i < a.argCount && i < 8; ++i) {
        if (b.argType[i] != a.argType[i] || b.argValue[i] != a.argValue[i]) {
            return false;
        }
    }
    return true;
}
} // namespace

void ControllerModel::Record(const SimCall& call) {
    if (!journal_.empty() && SameBusyPoll(journal_.back(), call)) {
        ++journal_.back().repeats;
        return;
    }
    if (journal_.size() >= kJournalLimit) {
        journal_.pop_front();
    }
    journal_.push_back(call);
}

bool ControllerModel::JournalEntry(int index, SimCall* out) const {
    if (out == nullptr || index < 0 || index >= JournalCount()) {
        return false;
    }
    *out = journal_[static_cast<std::size_t>(index)];
    return true;
}

void ControllerModel::SetFault(int object, int dispid, HRESULT hr) {
    if (hr == S_OK) {
        faults_.erase({object, dispid});
    } else {
        faults_[{object, dispid}] = hr;
    }
}

HRESULT ControllerModel::FaultFor(int object, int dispid) const {
    const auto found = faults_.find({object, dispid});
    return found == faults_.end() ? S_OK : found->second;
}

void ControllerModel::SetAnswerDelay(int object, int dispid, DWORD milliseconds) {
    if (milliseconds == 0) {
        answerDelays_.erase({object, dispid});
    } else {
        answerDelays_[{object, dispid}] = milliseconds;
    }
}

DWORD ControllerModel::AnswerDelay(int object, int dispid) const {
    const auto found = answerDelays_.find({object, dispid});
    return found == answerDelays_.end() ? 0 : found->second;
}

bool ControllerModel::OpenPort(LONG port) {
    if (port < 0 || port > 31 || (openablePorts_ & (1UL << port)) == 0) {
        return false;
    }
    linkOpen_ = true;
    lastOpenedPort_ = static_cast<int>(port);
    return true;
}

int ControllerModel::ShutterState(int shutter) const {
    const auto found = shutters_.find(shutter);
    return found == shutters_.end() ? -1 : found->second;
}

bool ControllerModel::PollBusy() {
    ++busyPollCount_;
    if (busyForever_) {
        return true;
    }
    if (busyPolls_ >= 0) {
        if (pollsLeft_ > 0) {
            --pollsLeft_;
            return true;
        }
        return false;
    }
    return MotionTimeLeft(GetTickCount()) > 0;
}

void ControllerModel::SetTravel(double x, double y) {
    travel_[0] = x;
    travel_[1] = y;
}

std::pair<double, double> ControllerModel::Position() const {
    return {physical_[0] - origin_[0], physical_[1] - origin_[1]};
}

void ControllerModel::Place(double x, double y) {
    physical_[0] = x + origin_[0];
    physical_[1] = y + origin_[1];
}

void ControllerModel::SetOrigin(double x, double y) {
    origin_[0] = physical_[0] - x;
    origin_[1] = physical_[1] - y;
}

void ControllerModel::MoveTo(double x, double y) {
    const double targetX = x + origin_[0];
    const double targetY = y + origin_[1];
    const double distance =
        std::max(std::fabs(targetX - physical_[0]), std::fabs(targetY - physical_[1]));
    physical_[0] = targetX;
    physical_[1] = targetY;
    StartMotion(distance);
}

void ControllerModel::MoveBy(double dx, double dy) {
    physical_[0] += dx;
    physical_[1] += dy;
    StartMotion(std::max(std::fabs(dx), std::fabs(dy)));
}

// A run heads for the end of the axis in its direction and stops at the
// physical limit 0 or travel; the position then reads relative to the origin.
void ControllerModel::Run(int axis, double distance) {
    const double start = physical_[axis];
    physical_[axis] = std::clamp(start + distance, 0.0, std::max(travel_[axis], 0.0));
    StartMotion(std::fabs(physical_[axis] - start));
}

void ControllerModel::StartScan() {
    StartMotion(kScanLength);
}

// The focus makes the controller busy as a stage motion of the same length.
void ControllerModel::MoveFocusTo(double target) {
    const double distance = std::fabs(target - focus_);
    focus_ = target;
    StartMotion(distance);
}

void ControllerModel::MoveFocusBy(double distance) {
    focus_ += distance;
    StartMotion(std::fabs(distance));
}

SHORT ControllerModel::WheelPositionCount(int wheel) const {
    const auto found = wheelCounts_.find(wheel);
    return found == wheelCounts_.end() ? kDefaultWheelPositionCount : found->second;
}

int ControllerModel::WheelPosition(int wheel) const {
    const auto found = wheelPositions_.find(wheel);
    return found == wheelPositions_.end() ? -1 : found->second;
}

// Only failures are kept: a factory that succeeds must hand out an object.
void ControllerModel::SetCreationFault(int object, HRESULT hr) {
    if (SUCCEEDED(hr)) {
        creationFaults_.erase(object);
    } else {
        creationFaults_[object] = hr;
    }
}

HRESULT ControllerModel::CreationFault(int object) const {
    const auto found = creationFaults_.find(object);
    return found == creationFaults_.end() ? S_OK : found->second;
}

// The stage jumps to its target at once; only the busy state lasts.
void ControllerModel::StartMotion(double distance) {
    if (busyPolls_ >= 0) {
        pollsLeft_ = busyPolls_;
        return;
    }
    DWORD length = 0;
    if (motionSpeed_ > 0.0) {
        const double ms = std::ceil(distance / motionSpeed_ * 1000.0);
        length = ms >= kLongestMotion ? kLongestMotion : static_cast<DWORD>(ms);
    }
    const DWORD now = GetTickCount();
    // A motion started while another is under way ends with the later one.
    if (length > MotionTimeLeft(now)) {
        motionStart_ = now;
        motionLength_ = length;
    }
}

DWORD ControllerModel::MotionTimeLeft(DWORD now) const {
    // Unsigned difference: correct across the wrap of the tick count.
    const DWORD elapsed = now - motionStart_;
    return elapsed < motionLength_ ? motionLength_ - elapsed : 0;
}

LockedModel::LockedModel() : lock_(modelMutex), model_(&model) {}
