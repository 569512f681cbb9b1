// Delegate.h - comparable event delegates: an object and one of its member
// functions, as the events of components are. Two delegates are equal when
// they name the same object and the same member; an empty one is unassigned.
#pragma once
#include <array>
#include <cstddef>
#include <cstring>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

class TObject;

template <class Signature>
class TDelegate;

template <class R, class... A>
class TDelegate<R(A...)> {
public:
    TDelegate() = default;
    TDelegate(std::nullptr_t) {}

    // obj->method, for a member of obj's class or of one of its bases.
    template <class C, class M>
        requires std::is_base_of_v<M, C>
    TDelegate(C* obj, R (M::*method)(A...))
        : FObject(static_cast<M*>(obj)), FThunk(&callMember<M, R (M::*)(A...)>)
    {
        storeMethod(method);
    }

    template <class C, class M>
        requires std::is_base_of_v<M, C>
    TDelegate(const C* obj, R (M::*method)(A...) const)
        : FObject(const_cast<M*>(static_cast<const M*>(obj))), FThunk(&callMember<M, R (M::*)(A...) const>)
    {
        storeMethod(method);
    }

    // Free-standing code (tests, glue). Each call of FromFunction makes a
    // delegate equal only to its own copies.
    template <class F>
    static TDelegate FromFunction(F&& function)
    {
        TDelegate d;
        d.FClosure = std::make_shared<std::function<R(A...)>>(std::forward<F>(function));
        d.FObject = d.FClosure.get();
        d.FThunk = &callClosure;
        return d;
    }

    bool Assigned() const { return FThunk != nullptr; }
    explicit operator bool() const { return Assigned(); }

    // The object the delegate calls (nullptr for free-standing code).
    void* Data() const { return FClosure ? nullptr : FObject; }

    R operator()(A... args) const
    {
        return FThunk(FObject, FMethod.data(), std::forward<A>(args)...);
    }

    friend bool operator==(const TDelegate& a, const TDelegate& b)
    {
        return a.FObject == b.FObject && a.FThunk == b.FThunk && a.FMethod == b.FMethod;
    }
    friend bool operator==(const TDelegate& a, std::nullptr_t) { return !a.Assigned(); }

    // The same code, whatever object it is bound to (free-standing code is
    // the same only as its own copies).
    bool SameCode(const TDelegate& b) const
    {
        if (FClosure || b.FClosure)
            return FClosure == b.FClosure;
        return FThunk == b.FThunk && FMethod == b.FMethod;
    }

private:
    using Storage = std::array<std::byte, 2 * sizeof(void*)>;
    using Thunk = R (*)(void*, const std::byte*, A...);

    template <class P>
    void storeMethod(P method)
    {
        static_assert(sizeof(P) <= sizeof(Storage));
        std::memcpy(FMethod.data(), &method, sizeof(P));
    }

    template <class M, class P>
    static R callMember(void* obj, const std::byte* raw, A... args)
    {
        P method;
        std::memcpy(&method, raw, sizeof(P));
        return (static_cast<M*>(obj)->*method)(std::forward<A>(args)...);
    }

    static R callClosure(void* closure, const std::byte*, A... args)
    {
        return (*static_cast<std::function<R(A...)>*>(closure))(std::forward<A>(args)...);
    }

    void* FObject = nullptr;
    Storage FMethod{};
    Thunk FThunk = nullptr;
    std::shared_ptr<std::function<R(A...)>> FClosure;
};

using TNotifyEvent = TDelegate<void(TObject* Sender)>;
