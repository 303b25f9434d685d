#pragma once

#include <functional>

// The alarm's voice: a short chime of our own, carried in the resources and
// played through the computer's sound output. A computer without one (a
// chart table PC with its speakers unplugged, a test machine under Xvfb)
// plays nothing and goes on. Tests put a recorder in its place.
namespace AlarmSound {

// Called with true to sound the chime once, false to cut it short.
using Player = std::function<void(bool play)>;

void play();
void stop();
// An empty player brings back the computer's own sound output.
void setPlayer(Player player);

} // namespace AlarmSound
