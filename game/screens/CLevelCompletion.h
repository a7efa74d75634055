#pragma once
// The level's end as the customer arrivals find it: the level and the
// playfield are told, the playfield's buttons and crews go, the result is
// recorded in the current profile, the trophies check themselves and the
// results follow, after the "New Trophy Earned" menu when trophies wait.
struct CLevelCompletion {
    static void CompleteLevel();
    static void ShowLevelEndScreens(bool won);
    static void ShowLevelResultsWindow(bool won);
    // Difficulty 0 always wins; otherwise the revenue must reach the goal.
    static bool IsLevelWon();
};
