#include "game/scripting/FrameSelectorMath.h"

#include "foundation/MathHelpers.h"
#include "game/scripting/CScriptValue.h"

void AdvanceLoop(CSelectorMotion& motion, float seconds, float framesPerSecond, uint32_t count)
{
    if (count == 0)
        return;
    const float n = float(count);
    motion.position += seconds * (framesPerSecond * motion.speed);
    if (motion.position >= n) {
        motion.position -= n;
        motion.wrapped = true;
    }
    if (motion.position < 0.0f) {
        motion.position += n;
        motion.wrapped = true;
    }
}

void AdvancePingPong(CSelectorMotion& motion, float seconds, float framesPerSecond, uint32_t count)
{
    if (count == 0)
        return;
    const float last = float(count) - 1.0f;
    motion.position += seconds * framesPerSecond * motion.speed;
    if (motion.position >= last) {
        motion.position = last - 0.001f;
        motion.speed = -motion.speed;
        motion.wrapped = true;
    }
    if (motion.position < 0.0f) {
        motion.position = 0.0f;
        motion.speed = -motion.speed;
        motion.wrapped = true;
    }
}

namespace {

int32_t InRange(int32_t frame, uint32_t count)
{
    return frame >= 0 && uint32_t(frame) < count ? frame : -1;
}

} // namespace

int32_t LoopFrame(float position, uint32_t count)
{
    return InRange(TruncToInt32(position), count);
}

int32_t PingPongFrame(float position, float easePercent, uint32_t count)
{
    // One frame has no span to ease over (it would divide by zero).
    if (count <= 1)
        return count == 1 ? 0 : -1;
    const float last = float(count) - 1.0f;
    float p = position;
    if (easePercent != 0.0f)
        p = EaseInOutSymmetric(p / last, easePercent / 200.0f) * last;
    return InRange(TruncToInt32(p + 0.5f), count);
}

int32_t StillFrame(uint32_t frame, uint32_t count)
{
    if (count == 0)
        return -1;
    return int32_t(frame < count ? frame : count - 1);
}
