#pragma once
// Reflected classes a test program defines for its own cases. The check that
// the program's class table names every registered class passes over them,
// whichever test happened to register them first.

#include <set>
#include <string>

inline std::set<std::string>& TestOnlyClassNames()
{
    static std::set<std::string> names;
    return names;
}

// A namespace-scope instance beside the class's definition marks it.
struct CTestOnlyClass {
    explicit CTestOnlyClass(const char* name) { TestOnlyClassNames().insert(name); }
};
