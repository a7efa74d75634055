#pragma once

// Registers the classes of sequences/ in a fixed order and gives CSequence
// and CFrame the dynamic properties this layer owns; idempotent.
void RegisterSequencesClasses();
