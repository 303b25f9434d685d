#pragma once

#include <QObject>

#include <functional>

// The alarm's voice: a short chime of our own, carried in the resources and
// played through the computer's sound output. A computer without one (a
// chart table PC with no sound server, a test machine under Xvfb) plays
// nothing and goes on, and says so where the sailor looks: the banner.
// Tests put a recorder in its place and report the output as they please.
class AlarmSound : public QObject
{
    Q_OBJECT

public:
    // Called with true to sound the chime once, false to cut it short.
    using Player = std::function<void(bool play)>;

    static void play();
    static void stop();
    // An empty player brings back the computer's own sound output.
    static void setPlayer(Player player);

    // Whether the chime has a sound output to play on: taken for granted
    // until the computer's output failed to take it.
    static bool hasOutput();
    static void reportOutput(bool present);

    // The one object that tells of the chime.
    static AlarmSound *instance();

signals:
    // The chime was sounded (the alarm began or repeats).
    void chimed();
    void outputChanged();

private:
    AlarmSound() = default;
    bool m_output = true;
};
