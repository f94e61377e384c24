#pragma once
#include <QtGlobal>

// What the players were last told to do, as one: playing while one of them
// plays, paused while one that holds a file waits, stopped after a stop, idle
// before anything was played.
enum class PlayPhase { Idle, Playing, Paused, Stopped };

// The playback state the pair of players owns: its phase, the play time and
// length the time source last reported, and the file start they belong to.
struct PlaybackState {
    PlayPhase phase = PlayPhase::Idle;
    qint64 timeMs = 0;
    qint64 lengthMs = 0;
    qintptr start = 0;
};
