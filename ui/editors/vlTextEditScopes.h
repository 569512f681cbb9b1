// vlTextEditScopes.h - scopes of the text editor's own code: an editor's
// change events held back, or its clicks locked, until the scope ends.
#pragma once
#include <exception>

#include "ui/editors/vlEdit.h"

// Held-back change events fire on the way out, unless an exception passes.
class TvlTextEditChangeEventsHold {
public:
    explicit TvlTextEditChangeEventsHold(TvlCustomEdit* AEdit) : FEdit(AEdit) { AEdit->LockChangeEvents(true); }
    ~TvlTextEditChangeEventsHold() { FEdit->LockChangeEvents(false, std::uncaught_exceptions() == 0); }
    TvlTextEditChangeEventsHold(const TvlTextEditChangeEventsHold&) = delete;
    TvlTextEditChangeEventsHold& operator=(const TvlTextEditChangeEventsHold&) = delete;

private:
    TvlCustomEdit* FEdit;
};

class TvlTextEditClickLock {
public:
    explicit TvlTextEditClickLock(TvlCustomEdit* AEdit) : FEdit(AEdit) { AEdit->LockClick(true); }
    ~TvlTextEditClickLock() { FEdit->LockClick(false); }
    TvlTextEditClickLock(const TvlTextEditClickLock&) = delete;
    TvlTextEditClickLock& operator=(const TvlTextEditClickLock&) = delete;

private:
    TvlCustomEdit* FEdit;
};
