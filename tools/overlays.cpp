// tools/overlays.cpp — the flat pictures drawn over the scene: status panel,
// miss marker, hero-choice banners, turn and victory banners, menu buttons
#include <cmath>
#include "tools/pictures.h"
#include "tools/pixel_font.h"

namespace {

const Colour WHITE = rgb(1, 1, 1);
const Colour BLACK = rgb(0, 0, 0);

TextStyle style(int scaleX, int scaleY, Colour fill, Colour outline = BLACK, int outlineWidth = 0, int shadow = 0) {
    TextStyle s;
    s.scaleX = scaleX;
    s.scaleY = scaleY;
    s.fill = fill;
    s.outline = outline;
    s.outlineWidth = outlineWidth;
    s.shadow = shadow;
    return s;
}

struct PlayerLook {
    Colour light, deep, darkest, ink;   // ink: text that stays legible when multiplied over the scene
};

PlayerLook playerLook(int player) {
    if (player == 1)
        return {rgb(1.0f, 0.55f, 0.45f), rgb(0.50f, 0.04f, 0.07f), rgb(0.13f, 0.0f, 0.02f), rgb(0.50f, 0.02f, 0.05f)};
    return {rgb(0.55f, 0.75f, 1.0f), rgb(0.06f, 0.18f, 0.55f), rgb(0.0f, 0.03f, 0.15f), rgb(0.04f, 0.12f, 0.55f)};
}

void frame(Canvas& canvas, int inset, int thickness, Colour c) {
    int w = canvas.width, h = canvas.height;
    fillRect(canvas, inset, inset, w - inset, inset + thickness, c);
    fillRect(canvas, inset, h - inset - thickness, w - inset, h - inset, c);
    fillRect(canvas, inset, inset, inset + thickness, h - inset, c);
    fillRect(canvas, w - inset - thickness, inset, w - inset, h - inset, c);
}

void star(Canvas& canvas, float cx, float cy, float outer, Colour c) {
    float inner = outer * 0.42f;
    for (int i = 0; i < 5; i++) {
        float a0 = -TAU / 4 + i * TAU / 5, a1 = a0 + TAU / 10, a2 = a0 - TAU / 10;
        float tipX = cx + outer * std::cos(a0), tipY = cy + outer * std::sin(a0);
        fillTriangle(canvas, cx, cy, tipX, tipY, cx + inner * std::cos(a1), cy + inner * std::sin(a1), c);
        fillTriangle(canvas, cx, cy, tipX, tipY, cx + inner * std::cos(a2), cy + inner * std::sin(a2), c);
    }
}

}  // namespace

Canvas paintStatusPanel() {
    // The panel is multiplied over the scene (white lets it through) at
    // (-1.2, -1) with side 0.6 on the overlay plane; the game writes the
    // three numbers with their baselines at y = -0.6, -0.7, -0.81 and their
    // left end at x = -0.82. The labels sit on those baselines, ending just
    // left of where the numbers start.
    const int SIDE = 256;
    const float PANEL_X = -1.2f, PANEL_Y = -1.0f, PANEL_SIDE = 0.6f;
    const float NUMBER_X = -0.82f;
    const float BASELINES[3] = {-0.6f, -0.7f, -0.81f};
    const char* LABELS[3] = {"HP", "MP", "MOVE"};
    auto column = [&](float x) { return static_cast<int>(std::lround((x - PANEL_X) / PANEL_SIDE * SIDE)); };
    auto row = [&](float y) { return static_cast<int>(std::lround((1 - (y - PANEL_Y) / PANEL_SIDE) * SIDE)); };

    Canvas canvas(SIDE, SIDE, WHITE);
    TextStyle label = style(2, 2, BLACK);
    int top = row(BASELINES[0]) - textHeight(label) - 32, bottom = row(BASELINES[2]) + 14;
    fillRoundRect(canvas, 8, top, SIDE - 8, bottom, 10, rgb(0.16f, 0.18f, 0.26f));
    fillRoundRect(canvas, 11, top + 3, SIDE - 11, bottom - 3, 8, rgb(0.80f, 0.83f, 0.92f));
    fillRect(canvas, 11, top + 24, SIDE - 11, top + 26, rgb(0.16f, 0.18f, 0.26f));
    drawTextCentred(canvas, SIDE / 2, top + 7, "STATUS", style(2, 2, rgb(0.16f, 0.18f, 0.26f)));
    for (int i = 0; i < 3; i++) {
        int baseline = row(BASELINES[i]);
        drawTextRight(canvas, column(NUMBER_X) - 10, baseline - textHeight(label), LABELS[i], label);
        if (i < 2) {
            int between = (baseline + row(BASELINES[i + 1]) - textHeight(label)) / 2;
            fillRect(canvas, 20, between, SIDE - 20, between + 1, rgb(0.55f, 0.58f, 0.68f));
        }
    }
    return canvas;
}

Canvas paintMissed() {
    // Multiplied over the scene: white is see-through, the word darkens it.
    Canvas canvas(256, 256, WHITE);
    TextStyle word = style(9, 12, rgb(0.62f, 0.05f, 0.05f), BLACK, 3);
    drawTextCentred(canvas, 128, 128 - textHeight(word) / 2, "MISS", word);
    fillRoundRect(canvas, 40, 184, 216, 190, 3, rgb(0.45f, 0.45f, 0.45f));
    return canvas;
}

Canvas paintChooseBanner(int player) {
    // Multiplied over the board: a white card (the board shows through
    // unchanged) in a dark frame, with big dark writing that holds up over
    // busy terrain.
    PlayerLook look = playerLook(player);
    Canvas canvas(256, 256, WHITE);
    fillRoundRect(canvas, 4, 18, 252, 238, 14, look.ink);
    fillRoundRect(canvas, 9, 23, 247, 233, 10, WHITE);
    drawTextCentred(canvas, 128, 32, player == 1 ? "PLAYER 1" : "PLAYER 2", style(4, 5, look.ink, BLACK, 1));
    drawTextCentred(canvas, 128, 80, "CHOOSE A HERO", style(3, 3, look.ink));
    fillRect(canvas, 24, 110, 232, 113, look.ink);
    const char* lines[3] = {"MOVE CURSOR", "TO YOUR UNIT,", "PRESS INSERT"};
    for (int i = 0; i < 3; i++)
        drawTextCentred(canvas, 128, 124 + i * 34, lines[i], style(3, 3, BLACK));
    return canvas;
}

Canvas paintTurnBanner(int player, BannerKind kind) {
    // Opaque and stretched over the whole screen, about 5:4: the letters are
    // drawn 4:5 so they come out square.
    const int SIDE = 512;
    PlayerLook look = playerLook(player);
    Canvas canvas(SIDE, SIDE);
    for (int y = 0; y < SIDE; y++) {
        for (int x = 0; x < SIDE; x++) {
            Colour c = mix(look.deep, look.darkest, static_cast<float>(y) / SIDE);
            if (kind == BANNER_WINS) {
                // Rays from behind the title.
                float angle = std::atan2(y - 150.0f, x - 256.0f);
                c = mix(c, look.light, 0.16f * smoothstep(0.2f, 0.8f, std::sin(angle * 12)));
            } else if (((x + y) / 24) % 2 == 0) {
                c = scale(c, 0.9f);
            }
            canvas.at(x, y) = c;
        }
    }
    frame(canvas, 14, 6, look.light);
    frame(canvas, 24, 2, scale(look.light, 0.7f));

    const Colour GOLD = rgb(1.0f, 0.84f, 0.30f);
    drawTextCentred(canvas, SIDE / 2, 100, player == 1 ? "PLAYER 1" : "PLAYER 2",
                    style(8, 10, WHITE, look.darkest, 4, 4));
    const char* title = kind == BANNER_BEGIN_TURN ? "YOUR TURN" : kind == BANNER_END_TURN ? "TURN OVER" : "WINS!";
    TextStyle titleStyle = style(6, 8, GOLD, look.darkest, 3, 3);
    drawTextCentred(canvas, SIDE / 2, 208, title, titleStyle);
    if (kind == BANNER_WINS) {
        int half = textWidth(title, titleStyle) / 2;
        star(canvas, SIDE / 2 - half - 50, 236, 30, GOLD);
        star(canvas, SIDE / 2 + half + 50, 236, 30, GOLD);
    }
    fillRect(canvas, 96, 300, SIDE - 96, 304, look.light);
    const char* lines[2];
    if (kind == BANNER_BEGIN_TURN) {
        lines[0] = "ARROWS: PICK A UNIT";
        lines[1] = "INSERT: OPEN ITS MENU";
    } else if (kind == BANNER_END_TURN) {
        lines[0] = "HAND THE SEAT";
        lines[1] = player == 1 ? "TO PLAYER 2" : "TO PLAYER 1";
    } else {
        lines[0] = "ENEMY HERO DEFEATED";
        lines[1] = "PRESS Q TO QUIT";
    }
    for (int i = 0; i < 2; i++)
        drawTextCentred(canvas, SIDE / 2, 330 + i * 44, lines[i], style(3, 4, rgb(0.95f, 0.95f, 0.95f), look.darkest, 2));
    return canvas;
}

Canvas paintMenuButton(MenuEntry entry, bool selectedFile, bool secondStyle) {
    // The game tints the plain file with the row's highlight colour and shows
    // every other row's "-selected" file untinted. So the plain file is a
    // near-white face (it takes the tint at full strength) with a bold black
    // label and pointer, and the "-selected" file is a dim, quiet button.
    const char* LABELS[] = {"ATTACK", "DEFEND", "MOVE", "SKILLS", "MAGIC", "HEALING"};
    const char* label = LABELS[entry];
    const int W = 256, H = 64;
    Canvas canvas(W, H, BLACK);
    if (!secondStyle) {
        if (!selectedFile) {
            for (int y = 0; y < H; y++)
                fillRect(canvas, 0, y, W, y + 1, mix(WHITE, rgb(0.80f, 0.80f, 0.80f), static_cast<float>(y) / H));
            frame(canvas, 0, 4, rgb(0.06f, 0.06f, 0.06f));
            fillTriangle(canvas, 14, 18, 14, 46, 34, 32, BLACK);
            drawTextCentred(canvas, 140, 15, label, style(4, 5, BLACK));
        } else {
            for (int y = 0; y < H; y++)
                fillRect(canvas, 0, y, W, y + 1, mix(rgb(0.19f, 0.21f, 0.27f), rgb(0.11f, 0.12f, 0.16f), static_cast<float>(y) / H));
            frame(canvas, 0, 2, rgb(0.38f, 0.40f, 0.48f));
            drawTextCentred(canvas, W / 2, 18, label, style(3, 4, rgb(0.62f, 0.64f, 0.70f)));
        }
    } else {
        // The twin style: rounded brass plates.
        if (!selectedFile) {
            fillRoundRect(canvas, 1, 1, W - 1, H - 1, 28, rgb(0.35f, 0.20f, 0.08f));
            fillRoundRect(canvas, 5, 5, W - 5, H - 5, 24, rgb(0.98f, 0.90f, 0.62f));
            fillRoundRect(canvas, 5, 34, W - 5, H - 5, 24, rgb(0.90f, 0.76f, 0.46f));
            star(canvas, 28, 32, 10, rgb(0.35f, 0.20f, 0.08f));
            star(canvas, W - 28, 32, 10, rgb(0.35f, 0.20f, 0.08f));
            drawTextCentred(canvas, W / 2, 15, label, style(4, 5, rgb(0.20f, 0.10f, 0.03f)));
        } else {
            fillRoundRect(canvas, 1, 1, W - 1, H - 1, 28, rgb(0.55f, 0.40f, 0.22f));
            fillRoundRect(canvas, 4, 4, W - 4, H - 4, 25, rgb(0.28f, 0.19f, 0.11f));
            drawTextCentred(canvas, W / 2, 18, label, style(3, 4, rgb(0.85f, 0.78f, 0.60f)));
        }
    }
    return canvas;
}
