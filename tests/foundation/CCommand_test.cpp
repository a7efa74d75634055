#include "foundation/CCommand.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A mix-in base first, so member calls need the object pointer adjusted.
struct CMixIn {
    virtual ~CMixIn() = default;
    int m_Padding = 0;
};

struct CTarget : public CMixIn {
    std::string m_Log;
    bool m_Ready = true;
    void Run() { m_Log += "run;"; }
    bool IsReady() { return m_Ready; }
};

std::string g_Log;
int g_Deleted = 0;

struct CCountedCommand : public CCommand {
    explicit CCountedCommand(std::string name, bool can = true)
        : m_Name(std::move(name))
        , m_Can(can)
    {
    }
    ~CCountedCommand() override
    {
        ++g_Deleted;
        g_Log += "~" + m_Name + ";";
    }
    void Execute() override { g_Log += m_Name + ";"; }
    bool CanExecute() override { return m_Can; }
    bool HasCanExecuteTest() override { return !m_Can; }
    std::string m_Name;
    bool m_Can;
};

TEST(Command, ObjectAndFunctionCommandsCallWhatTheyBind)
{
    CTarget target;
    CCommand* plain = new CObjectFunctionCommand<CTarget>(&target, &CTarget::Run);
    CCommand* tested = new CObjectFunctionCommand<CTarget>(&target, &CTarget::Run, &CTarget::IsReady);
    plain->Execute();
    tested->Execute();
    EXPECT_EQ(target.m_Log, "run;run;");
    EXPECT_FALSE(plain->HasCanExecuteTest());
    EXPECT_TRUE(tested->HasCanExecuteTest());
    target.m_Ready = false;
    EXPECT_TRUE(plain->CanExecute());
    EXPECT_FALSE(tested->CanExecute());
    delete plain;
    delete tested;

    static int calls = 0;
    CFunctionCommand function([] { ++calls; }, [] { return calls < 1; });
    EXPECT_TRUE(function.HasCanExecuteTest());
    EXPECT_TRUE(function.CanExecute());
    function.Execute();
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(function.CanExecute());
    EXPECT_FALSE(CFunctionCommand([] {}).HasCanExecuteTest());
}

TEST(Command, MultipleCommandsRunInOrderAndOwnTheirCommands)
{
    CMultipleCommands empty(nullptr);
    empty.Execute();
    EXPECT_TRUE(empty.CanExecute());
    EXPECT_FALSE(empty.HasCanExecuteTest());

    g_Log.clear();
    g_Deleted = 0;
    auto* all = new CMultipleCommands(new CCountedCommand("a"));
    for (const char* name : {"b", "c"})
        all->Add(new CCountedCommand(name));
    all->Execute();
    EXPECT_TRUE(all->CanExecute());
    EXPECT_FALSE(all->HasCanExecuteTest());
    all->Add(new CCountedCommand("blocked", false));
    EXPECT_FALSE(all->CanExecute());
    EXPECT_TRUE(all->HasCanExecuteTest());
    CCommand* asCommand = all;
    delete asCommand;
    EXPECT_EQ(g_Deleted, 4);
    EXPECT_EQ(g_Log, "a;b;c;~blocked;~c;~b;~a;");
}

} // namespace
