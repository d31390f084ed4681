// render/hud.h — frame-rate and run-time lines, status panel, banners, action menu, miss marker
#pragma once

extern void* hudFont;      // GLUT bitmap fonts
extern void* labelFont;
extern unsigned statusPanelList, missedList;

void drawBitmapText(float x, float y, float z, void* font, const char* text);
void drawHud();
void buildOverlayLists();
// Behind the status panel, over its quad: white where its picture is not
// white, so that the picture, which multiplies what is behind it, shows as
// painted over any ground; nothing in its white margin.
void drawStatusBacking();
void drawBanner();
void drawActionMenu(int unitClass, int menuItem);
