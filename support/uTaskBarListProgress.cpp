#include "support/uTaskBarListProgress.h"

namespace {
constexpr UINT PBM_DELTAPOS = WM_USER + 3, PBM_SETSTEP = WM_USER + 4, PBM_STEPIT = WM_USER + 5,
               PBM_SETMARQUEE = WM_USER + 10, PBM_SETSTATE = WM_USER + 16;
}  // namespace

TTaskbarListProgress::TTaskbarListProgress(TComponent* AOwner) : TTaskBarListComponent(AOwner)
{
    FInitialized = true;
}

TTaskbarListProgress::~TTaskbarListProgress() { SetProgressBar(nullptr); }

void TTaskbarListProgress::SetProgressBar(TProgressBar* Value)
{
    if (FProgressBar != nullptr) {
        FProgressBar->WindowProc = FOldBarProc;
        FProgressBar->RemoveFreeNotification(this);
    }
    FProgressBar = Value;
    if (FProgressBar != nullptr) {
        FProgressBar->FreeNotification(this);
        FOldBarProc = FProgressBar->WindowProc;
        FProgressBar->WindowProc = TWndMethod(this, &TTaskbarListProgress::barWindowProc);
        PostUpdate();
    }
}

void TTaskbarListProgress::Notification(TComponent* AComponent, TOperation Operation)
{
    TTaskBarListComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FProgressBar)
        FProgressBar = nullptr;  // its window is gone: nothing to restore
}

void TTaskbarListProgress::barWindowProc(TMessage& Message)
{
    FOldBarProc(Message);
    switch (Message.Msg) {
    case PBM_SETRANGE: case PBM_SETPOS: case PBM_DELTAPOS: case PBM_SETSTEP: case PBM_STEPIT:
    case PBM_SETRANGE32: case PBM_SETMARQUEE: case PBM_SETSTATE:
        PostUpdate();
        break;
    default: break;
    }
}

void TTaskbarListProgress::UpdateTaskBar()
{
    if (FProgressBar != nullptr) {
        FMin = uint64_t(std::max(0, FProgressBar->Min()));
        FMax = uint64_t(std::max(0, FProgressBar->Max()));
        FPosition = uint64_t(std::max(0, FProgressBar->Position()));
        FState = pbsNormal;
        FMarquee = false;
    }
    if (!FMarquee)
        FLastProgress = FMax > FMin ? double(std::min(FPosition, FMax) - std::min(FPosition, FMin)) / double(FMax - FMin) : 0.0;
    if (FPosition == FMin && !FMarquee)
        FLastFlags = TBPF_NOPROGRESS;
    else
        FLastFlags = FState == pbsNormal ? TBPF_NORMAL : FState == pbsError ? TBPF_ERROR : TBPF_PAUSED;
    if (FMarquee)
        FLastFlags = TBPF_INDETERMINATE;
    SendLauncherUpdate(FLastProgress, FLastFlags != TBPF_NOPROGRESS, FLastFlags == TBPF_ERROR);
}
