// rules/cues.cpp — the list of moments to be heard
#include "rules/cues.h"

std::vector<CueEvent> pendingCues;

void noteCue(Cue cue, const Vector& where, int detail) {
    if (static_cast<int>(pendingCues.size()) < PENDING_CUES_LIMIT) pendingCues.push_back({cue, where, detail});
}
