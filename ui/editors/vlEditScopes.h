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
