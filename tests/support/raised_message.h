#pragma once
// What an action raised, as text: the one way the tests read a failure's
// message.

#include <string>
#include <type_traits>
#include <utility>

#include "base/exception.h"

// What MessageOf gives when the action raises nothing.
inline constexpr const char* NothingRaised = "(nothing raised)";

enum class TMessageForm { Plain, WithClassName };

// The message of the TException that action raises ("ClassName: message"
// when asked), or NothingRaised. An exception of another class passes
// through, so the test fails naming it.
template <typename TException = Exception, typename TAction>
std::string MessageOf(TAction&& action, TMessageForm form = TMessageForm::Plain) {
    try {
        std::forward<TAction>(action)();
    } catch (const TException& error) {
        if constexpr (std::is_base_of_v<Exception, TException>) {
            if (form == TMessageForm::WithClassName) return std::string(error.ClassName()) + ": " + error.Message();
        }
        return error.what();
    }
    return NothingRaised;
}
