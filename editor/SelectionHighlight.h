#pragma once
// How the level editor shows one playfield sprite while it is open, as its
// options ask: a selected sprite gets an enlarged, tinted silhouette behind
// it ("Outline Selected Items"); then the sprite itself; then its sort line
// ("Show Y Sort") and its hit area ("Show Polgons").
class CFrameInterface;
class CLevelEditorOptions;
class CSprite;

void DrawSpriteWithEditorMarks(CSprite& sprite, CFrameInterface& target, bool selected,
                               const CLevelEditorOptions& options);
