#pragma once
// Commands the editors bind to menu items beside those of the foundation.

#include "foundation/CCommand.h"

// Does nothing: an item that only opens its sub-menu.
class CNullCommand : public CCommand {
public:
    void Execute() override {}
};

// A member function called with a stored argument, and optionally a test
// given the same argument; without a test the command can always run.
template <typename T, typename Argument>
class CObjectFunctionLParamCommand : public CCommand {
public:
    using ExecuteFunction = void (T::*)(Argument);
    using CanExecuteFunction = bool (T::*)(Argument);

    CObjectFunctionLParamCommand(T* target, ExecuteFunction execute, Argument argument,
                                 CanExecuteFunction canExecute = nullptr)
        : m_Target(target)
        , m_Execute(execute)
        , m_CanExecute(canExecute)
        , m_Argument(argument)
    {
    }

    void Execute() override { (m_Target->*m_Execute)(m_Argument); }
    bool CanExecute() override { return m_CanExecute ? (m_Target->*m_CanExecute)(m_Argument) : true; }
    bool HasCanExecuteTest() override { return m_CanExecute != nullptr; }

private:
    T* m_Target;
    ExecuteFunction m_Execute;
    CanExecuteFunction m_CanExecute;
    Argument m_Argument;
};
