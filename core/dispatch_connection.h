// A connection to one of the controller's automation objects.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

// How binding a connection to a ProgID ended.
enum class BindResult { Bound, NoClass, NotCreated };

// Holds one dispatch interface of an automation object, or nothing, and owns it.
class DispatchConnection {
  public:
    DispatchConnection() = default;
    DispatchConnection(const DispatchConnection&) = delete;
    DispatchConnection& operator=(const DispatchConnection&) = delete;
    // Takes over what `other` holds and leaves it empty.
    DispatchConnection& operator=(DispatchConnection&& other) noexcept;

    bool IsBound() const { return dispatch_ != nullptr; }
    IDispatch* get() const { return dispatch_.Get(); }
    // Whether the object lives in another apartment or process, so that every
    // call, the last release included, goes through COM's proxy.
    bool IsProxy() const { return proxy_; }

    // Binds to the object of `progId`: a running instance first, else a new
    // one. On failure the connection is left empty.
    BindResult Bind(const wchar_t* progId);
    // Gives the reference back.
    void Empty() {
        dispatch_.Reset();
        proxy_ = false;
    }
    // Forgets the reference without giving it back.
    void Abandon() {
        dispatch_.Detach();
        proxy_ = false;
    }
    // The module is unloading under the loader lock, where no call may go to
    // another process: an object in the process is given back, a proxy is
    // forgotten and left to COM, which gives its references back when the
    // host's thread leaves COM.
    void LetGoAtUnload() { IsProxy() ? Abandon() : Empty(); }

  private:
    Microsoft::WRL::ComPtr<IDispatch> dispatch_;
    bool proxy_ = false;
};
