// app/camera_follow.h — where the camera goes by itself: home when a battle starts and when its
// first turn begins, after what the computer does, and back to the person's view after its turn
#pragma once

// The side whose home c goes to: the person's against the computer, else
// the side whose keys command the battle.
int homeSideNow();

// The view a battle starts with (start-up, a resume, a new battle after a
// victory): against the computer the person's home, so that their army is
// nearest from the first frame on; in hot-seat the start view during the
// hero choice, and the home of the side on turn in a battle taken up after it.
void startingView();

// Once a frame, after its ticks. When the hero choice has just ended: home
// for homeSideNow(). While the computer has the turn: what it acts with (or
// where its cursor goes) brought into view, at the height and angles the
// camera has, unless a person moved the camera in its turn. When a person's
// turn follows: back to the view they had when the computer's turn began,
// unless they moved it meanwhile. Then the glide goes on by `seconds`.
void followBattle(float seconds);

void resetCameraFollow();   // nothing seen yet (a fresh start for the tests)
