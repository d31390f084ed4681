// render/hud.h — frame-rate and run-time lines, status panel, banners, action menu, miss marker
#pragma once

extern void* hudFont;      // GLUT bitmap fonts
extern void* labelFont;
extern unsigned statusPanelList, missedList;

void drawBitmapText(float x, float y, float z, void* font, const char* text);
void drawHud();
void buildOverlayLists();
void drawBanner();
void drawActionMenu(int unitClass, int menuItem);
