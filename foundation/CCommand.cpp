#include "foundation/CCommand.h"

CMultipleCommands::CMultipleCommands(CCommand* first)
{
    Add(first);
}

CMultipleCommands::~CMultipleCommands()
{
    m_Commands.DeleteAll();
}

void CMultipleCommands::Add(CCommand* command)
{
    if (command)
        m_Commands.Append(command);
}

void CMultipleCommands::Execute()
{
    for (CCommand* command : m_Commands)
        command->Execute();
}

bool CMultipleCommands::CanExecute()
{
    for (CCommand* command : m_Commands)
        if (!command->CanExecute())
            return false;
    return true;
}

bool CMultipleCommands::HasCanExecuteTest()
{
    for (CCommand* command : m_Commands)
        if (command->HasCanExecuteTest())
            return true;
    return false;
}
