// What one of the driver's own calls asks of a dialog it is about to make:
// the device the dialog stands for and where it goes. The caller keeps a
// PageRequest alive around its CreateDialogParamA or DialogBoxParamA call and
// the dialog procedure takes it at WM_INITDIALOG, so the creation parameter
// stays what the host itself would pass. A dialog that the host makes with one
// of the exported procedures finds no request.
#pragma once

enum class DialogKind { StagePage, DevicePage, NameList };

class PageRequest {
  public:
    PageRequest(DialogKind dialog, int kind, int slot, int top);
    ~PageRequest();
    PageRequest(const PageRequest&) = delete;
    PageRequest& operator=(const PageRequest&) = delete;

    const int kind; // device kind (8, 1 or 2) of a device page or name list
    const int slot; // device slot
    const int top;  // vertical position in the parent

  private:
    friend const PageRequest* TakePageRequest(DialogKind dialog);
    const DialogKind dialog_;
    PageRequest* const outer_;
    bool taken_ = false;
};

// The innermost request for a dialog of `dialog` that no dialog has taken
// yet, now taken; nullptr when there is none.
const PageRequest* TakePageRequest(DialogKind dialog);
