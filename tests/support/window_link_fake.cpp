// tests/support/window_link_fake.cpp — the recording stand-in for the window shell
#include "tests/support/window_link_fake.h"
#include "rules/window_link.h"

WindowLinkRecord windowLinkRecord;

void requestRedisplay() { windowLinkRecord.redisplays++; }
void reapplyProjection() { windowLinkRecord.projections++; }
void setLighting(bool on) { windowLinkRecord.lighting.push_back(on); }
void applyMaterial(const MaterialPreset& preset) { windowLinkRecord.materials.push_back(preset); }
