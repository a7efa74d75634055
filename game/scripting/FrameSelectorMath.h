#pragma once
// The arithmetic of the animated frame selectors, apart from sequences: a
// position in frames advanced by elapsed time, and the frame a position
// shows. A count of 0 frames selects none (-1) and leaves the position.

#include <cstdint>

struct CSelectorMotion {
    float position = 0.0f; // in frames
    float speed = 0.0f;    // times the sequence's rate; ping-pong flips its sign
    bool wrapped = false;  // set when the animation passed an end
};

// position += seconds x rate x speed; past either end it wraps by count,
// once per update.
void AdvanceLoop(CSelectorMotion& motion, float seconds, float framesPerSecond, uint32_t count);
// Turns at count - 1.001 and at 0, flipping the speed.
void AdvancePingPong(CSelectorMotion& motion, float seconds, float framesPerSecond, uint32_t count);

// The frame at position, truncated; -1 outside the frames.
int32_t LoopFrame(float position, uint32_t count);
// The nearest frame to the eased position; easePercent of the time (0-100)
// is spent accelerating and decelerating. One frame always shows frame 0.
int32_t PingPongFrame(float position, float easePercent, uint32_t count);
// frame, or the last frame past the end.
int32_t StillFrame(uint32_t frame, uint32_t count);
