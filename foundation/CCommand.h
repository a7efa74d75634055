#pragma once
// Commands: small callable objects that controls run when activated. A
// button holds a command instead of a callback, asks CanExecute on each
// update to grey itself and calls Execute on a click. The control owns its
// command and deletes it with itself; the command's target is not owned and
// must outlive the control.

#include "foundation/CArrayPOD.h"
#include "foundation/CMemoryPool.h"

#include <cstdint>

class CCommand : public CPooledClassBase {
public:
    CCommand() = default;
    CCommand(const CCommand&) = delete;
    CCommand& operator=(const CCommand&) = delete;
    virtual ~CCommand() = default;

    virtual void Execute() = 0;
    virtual bool CanExecute() { return true; }
    // Whether CanExecute can ever answer false.
    virtual bool HasCanExecuteTest() { return false; }
    // A state a control may show beside enabled; 0 for none.
    virtual int32_t GetExtraState() { return 0; }
};

// Binds one object with its member functions: execute, and optionally a
// test of whether it can run now.
template <typename T>
class CObjectFunctionCommand : public CCommand {
public:
    using ExecuteFunction = void (T::*)();
    using CanExecuteFunction = bool (T::*)();

    CObjectFunctionCommand(T* target, ExecuteFunction execute, CanExecuteFunction canExecute = nullptr)
        : m_Target(target)
        , m_Execute(execute)
        , m_CanExecute(canExecute)
    {
    }

    void Execute() override { (m_Target->*m_Execute)(); }
    bool CanExecute() override { return m_CanExecute ? (m_Target->*m_CanExecute)() : true; }
    bool HasCanExecuteTest() override { return m_CanExecute != nullptr; }

private:
    T* m_Target;
    ExecuteFunction m_Execute;
    CanExecuteFunction m_CanExecute;
};

// Binds plain functions.
class CFunctionCommand : public CCommand {
public:
    using ExecuteFunction = void (*)();
    using CanExecuteFunction = bool (*)();

    explicit CFunctionCommand(ExecuteFunction execute, CanExecuteFunction canExecute = nullptr)
        : m_Execute(execute)
        , m_CanExecute(canExecute)
    {
    }

    void Execute() override { m_Execute(); }
    bool CanExecute() override { return m_CanExecute ? m_CanExecute() : true; }
    bool HasCanExecuteTest() override { return m_CanExecute != nullptr; }

private:
    ExecuteFunction m_Execute;
    CanExecuteFunction m_CanExecute;
};

// Several commands run as one, in order. It owns them.
class CMultipleCommands : public CCommand {
public:
    // Starts with first unless it is null.
    explicit CMultipleCommands(CCommand* first = nullptr);
    // Deletes the held commands, last first.
    ~CMultipleCommands() override;

    // Takes ownership; null is ignored.
    void Add(CCommand* command);
    uint32_t GetCount() const { return m_Commands.GetCount(); }

    void Execute() override;
    // True when every held command can run (so true when empty).
    bool CanExecute() override;
    // True when any held command has a test (so false when empty).
    bool HasCanExecuteTest() override;

private:
    CArrayPOD<CCommand*> m_Commands;
};

// Binds one object with a member function that takes one value: execute
// calls it with the execute value, the test with the test value. Function
// is a member-function pointer type of T or of one of T's bases, answering
// bool (execute ignores the answer).
template <typename T, typename Function>
class CObjectFunctionCanExecuteLParamCommand : public CCommand {
public:
    CObjectFunctionCanExecuteLParamCommand(T* target, Function function, intptr_t executeValue = 1,
                                           intptr_t canExecuteValue = 0)
        : m_Target(target)
        , m_Function(function)
        , m_ExecuteValue(executeValue)
        , m_CanExecuteValue(canExecuteValue)
    {
    }

    void Execute() override { (m_Target->*m_Function)(m_ExecuteValue); }
    bool CanExecute() override { return (m_Target->*m_Function)(m_CanExecuteValue); }
    bool HasCanExecuteTest() override { return true; }

private:
    T* m_Target;
    Function m_Function;
    intptr_t m_ExecuteValue;
    intptr_t m_CanExecuteValue;
};
