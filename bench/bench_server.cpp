#include "bench/bench_server.h"
#include "core/filter_members.h"
#include "core/focus_members.h"
#include "core/scan_members.h"
#include "core/stage_members.h"

BenchServerState BenchServer;

namespace {
constexpr double kStageX = 1234.0;
constexpr double kStageY = -567.0;
constexpr double kFocus = 42.0;
constexpr SHORT kWheelPositions = 10;

class BenchObject final : public IDispatch {
  public:
    explicit BenchObject(int kind) : kind_(kind) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) {
            return E_POINTER;
        }
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) {
            delete this;
        }
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT*) override {
        ++BenchServer.calls;
        switch (kind_) {
        case BenchScan:
            return Scan(dispid, params, result);
        case BenchStage:
            return Stage(dispid, params);
        case BenchFocus:
            if (dispid == FocusMember::Position.dispid && result != nullptr) {
                result->vt = VT_R8;
                result->dblVal = kFocus;
            }
            return S_OK;
        default:
            if (dispid == FilterMember::WheelPositionCount.dispid && result != nullptr) {
                result->vt = VT_I2;
                result->iVal = kWheelPositions;
            }
            return S_OK;
        }
    }

  private:
    static HRESULT Scan(DISPID dispid, DISPPARAMS* params, VARIANT* result) {
        if (dispid == ScanMember::GetBusy.dispid) {
            ++BenchServer.polls;
            if (BenchServer.busyLeft > 0) {
                --BenchServer.busyLeft;
                *params->rgvarg[0].plVal = 1;
            } else {
                *params->rgvarg[0].plVal = 0;
            }
        } else if (dispid == ScanMember::LinkValue.dispid && result != nullptr) {
            result->vt = VT_R4;
            result->fltVal = 1.0f;
        }
        return S_OK;
    }

    static HRESULT Stage(DISPID dispid, DISPPARAMS* params) {
        if (dispid == StageMember::GetXY.dispid) {
            // Arguments arrive last first.
            *params->rgvarg[1].pdblVal = kStageX;
            *params->rgvarg[0].pdblVal = kStageY;
        } else if (dispid == StageMember::MoveXY.dispid) {
            BenchServer.busyLeft = BenchServer.busyAfterMove;
        }
        return S_OK;
    }

    LONG refs_ = 1;
    int kind_;
};
} // namespace

IDispatch* NewBenchObject(int kind) {
    return new BenchObject(kind);
}
