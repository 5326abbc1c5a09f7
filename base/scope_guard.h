#pragma once
// Guards that run a step when a scope ends: ScopeExit always, ScopeFail only
// when the scope is left by an exception (the state a failed step must put
// back). They replace try/catch blocks that exist only to reset state.

#include <exception>
#include <utility>

template <class TStep>
class ScopeExit {
public:
    explicit ScopeExit(TStep step) : FStep(std::move(step)) {}
    ~ScopeExit() { FStep(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    TStep FStep;
};

template <class TStep>
class ScopeFail {
public:
    explicit ScopeFail(TStep step) : FStep(std::move(step)), FExceptions(std::uncaught_exceptions()) {}
    ~ScopeFail() {
        if (std::uncaught_exceptions() > FExceptions) FStep();
    }
    ScopeFail(const ScopeFail&) = delete;
    ScopeFail& operator=(const ScopeFail&) = delete;

private:
    TStep FStep;
    int FExceptions;
};
