#include "alarmsound.h"

#include "clock.h"

#include <QCoreApplication>
#include <QPointer>
#include <QSoundEffect>
#include <QTimer>
#include <QtDebug>

namespace {
AlarmSound::Player s_player;
QPointer<QSoundEffect> s_effect;
// The sound server takes the chime within moments; one that never answers
// leaves it loading for ever, and says nothing but a line in the log.
constexpr int OutputVerdictMs = 5000;

void judgeOutput()
{
    if (s_effect)
        AlarmSound::reportOutput(s_effect->status() == QSoundEffect::Ready);
}

void playThroughSpeakers(bool play)
{
    // Made on first use and owned by the application, so that it goes
    // before the audio system does at exit.
    if (!s_effect) {
        if (!play || !QCoreApplication::instance())
            return;
        s_effect = new QSoundEffect(QCoreApplication::instance());
        QObject::connect(s_effect, &QSoundEffect::statusChanged, s_effect, [] {
            if (s_effect->status() != QSoundEffect::Loading)
                judgeOutput();
        });
        s_effect->setSource(QUrl(QStringLiteral("qrc:/Sounds/alarm.wav")));
        QTimer::singleShot(Clock::interval(OutputVerdictMs), s_effect, judgeOutput);
    }
    if (play)
        s_effect->play();
    else
        s_effect->stop();
}
} // namespace

void AlarmSound::play()
{
    s_player ? s_player(true) : playThroughSpeakers(true);
    emit instance()->chimed();
}

void AlarmSound::stop()
{
    s_player ? s_player(false) : playThroughSpeakers(false);
}

void AlarmSound::setPlayer(Player player)
{
    s_player = std::move(player);
}

bool AlarmSound::hasOutput()
{
    return instance()->m_output;
}

void AlarmSound::reportOutput(bool present)
{
    AlarmSound *sound = instance();
    if (sound->m_output == present)
        return;
    sound->m_output = present;
    if (!present)
        qWarning() << "no sound output";
    emit sound->outputChanged();
}

AlarmSound *AlarmSound::instance()
{
    static AlarmSound sound;
    return &sound;
}
