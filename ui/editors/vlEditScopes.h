// vlEditScopes.h - the editor units' own scope guard: a flag or counter
// set for a scope and given back its value on the way out, also when an
// exception passes.
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

// An update of a settings object (BeginUpdate / EndUpdate) for a scope; a
// null target is no update.
template <class T>
class TUpdateScope {
public:
    explicit TUpdateScope(T& ATarget) : TUpdateScope(&ATarget) {}
    explicit TUpdateScope(T* ATarget) : FTarget(ATarget)
    {
        if (FTarget != nullptr)
            FTarget->BeginUpdate();
    }
    ~TUpdateScope()
    {
        if (FTarget != nullptr)
            FTarget->EndUpdate();
    }
    TUpdateScope(const TUpdateScope&) = delete;
    TUpdateScope& operator=(const TUpdateScope&) = delete;

private:
    T* FTarget;
};
