// vlEditScopes.h - the editor units' own scope guards: a flag or counter
// set for a scope and given back its value on the way out, and a change
// bracket closed however the bracketed steps end.
#pragma once

template <class T>
class TvlEditRestore {
public:
    TvlEditRestore(T& ARef, T AValue) : FRef(ARef), FSaved(ARef) { ARef = AValue; }
    ~TvlEditRestore() { FRef = FSaved; }
    TvlEditRestore(const TvlEditRestore&) = delete;
    TvlEditRestore& operator=(const TvlEditRestore&) = delete;

private:
    T& FRef;
    T FSaved;
};

// BeginUpdate now, EndUpdate at the end of the scope, also when an
// exception passes. Objects whose EndUpdate can hold its change back get
// AInvokeChanged; a null target brackets nothing.
template <class T>
class TvlEditUpdateScope {
public:
    explicit TvlEditUpdateScope(T* ATarget, bool AInvokeChanged = true) : FTarget(ATarget), FInvoke(AInvokeChanged)
    {
        if (FTarget != nullptr)
            FTarget->BeginUpdate();
    }
    explicit TvlEditUpdateScope(T& ATarget, bool AInvokeChanged = true) : TvlEditUpdateScope(&ATarget, AInvokeChanged) {}
    ~TvlEditUpdateScope()
    {
        if (FTarget == nullptr)
            return;
        if constexpr (requires(T& t) { t.EndUpdate(true); })
            FTarget->EndUpdate(FInvoke);
        else
            FTarget->EndUpdate();
    }
    TvlEditUpdateScope(const TvlEditUpdateScope&) = delete;
    TvlEditUpdateScope& operator=(const TvlEditUpdateScope&) = delete;

private:
    T* FTarget;
    bool FInvoke;
};
