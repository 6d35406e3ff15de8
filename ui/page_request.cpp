#include "ui/page_request.h"

namespace {
// The requests of the calls that are making a dialog right now, innermost
// first: a first-time notice during a page's initialisation lets the host make
// a stage page meanwhile. Owned by the PageRequest objects on those calls'
// stacks; empty between calls.
PageRequest* innermost = nullptr;
} // namespace

PageRequest::PageRequest(DialogKind dialog, int kind, int slot, int top)
    : kind(kind), slot(slot), top(top), dialog_(dialog), outer_(innermost) {
    innermost = this;
}

PageRequest::~PageRequest() {
    innermost = outer_;
}

const PageRequest* TakePageRequest(DialogKind dialog) {
    for (PageRequest* request = innermost; request != nullptr; request = request->outer_) {
        if (request->dialog_ == dialog && !request->taken_) {
            request->taken_ = true;
            return request;
        }
    }
    return nullptr;
}
