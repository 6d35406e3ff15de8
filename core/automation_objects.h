// The four module-wide connections to the controller's automation objects.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

// How binding a connection to a ProgID ended.
enum class BindResult { Bound, NoClass, NotCreated };

// Holds one dispatch interface of an automation object, or nothing, and owns it.
class DispatchConnection {
  public:
    bool IsBound() const { return dispatch_ != nullptr; }
    IDispatch* get() const { return dispatch_.Get(); }

    // Binds to the object of `progId`: a running instance first, else a new
    // one. On failure the connection is left empty.
    BindResult Bind(const wchar_t* progId);
    // Gives the reference back.
    void Empty() { dispatch_.Reset(); }
    // Forgets the reference without giving it back (process termination).
    void Abandon() { dispatch_.Detach(); }

  private:
    Microsoft::WRL::ComPtr<IDispatch> dispatch_;
};

extern DispatchConnection ScanObject;
extern DispatchConnection StageObject;
extern DispatchConnection FocusObject;
extern DispatchConnection FilterObject;

void EmptyAllConnections();
void AbandonAllConnections();
