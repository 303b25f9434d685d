#include "alarmsound.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSoundEffect>

namespace {
AlarmSound::Player s_player;
QPointer<QSoundEffect> s_effect;

void playThroughSpeakers(bool play)
{
    // Made on first use and owned by the application, so that it goes
    // before the audio system does at exit.
    if (!s_effect) {
        if (!play || !QCoreApplication::instance())
            return;
        s_effect = new QSoundEffect(QCoreApplication::instance());
        s_effect->setSource(QUrl(QStringLiteral("qrc:/Sounds/alarm.wav")));
    }
    if (play)
        s_effect->play();
    else
        s_effect->stop();
}
} // namespace

namespace AlarmSound {

void play()
{
    s_player ? s_player(true) : playThroughSpeakers(true);
}

void stop()
{
    s_player ? s_player(false) : playThroughSpeakers(false);
}

void setPlayer(Player player)
{
    s_player = std::move(player);
}

} // namespace AlarmSound
