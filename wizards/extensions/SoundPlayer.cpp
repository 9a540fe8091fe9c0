#include "wizards/extensions/SoundPlayer.h"

#include "app/AppInvoker.h"
#include "app/SafeFile.h"
#include "app/UiPrompter.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMediaPlayer>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QUrl>

namespace {
const qint64 kStepMs = 1000;
}

SoundPlayer::SoundPlayer(QWidget* parent) : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    auto add = [this, row](QStyle::StandardPixmap icon, const QString& hint, void (SoundPlayer::*fn)()) {
        auto* b = new QPushButton(style()->standardIcon(icon), QString());
        b->setToolTip(hint);
        b->setStatusTip(hint);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, fn] { AppInvoker::run([this, fn] { (this->*fn)(); }); });
        row->addWidget(b);
        return b;
    };
    btnPlay = add(QStyle::SP_MediaPlay, QStringLiteral("Play"), &SoundPlayer::play);
    btnPause = add(QStyle::SP_MediaPause, QStringLiteral("Pause"), &SoundPlayer::pause);
    btnStop = add(QStyle::SP_MediaStop, QStringLiteral("Stop"), &SoundPlayer::stop);
    btnNext = add(QStyle::SP_MediaSkipForward, QStringLiteral("Next"), &SoundPlayer::next);
    btnPrev = add(QStyle::SP_MediaSkipBackward, QStringLiteral("Previous"), &SoundPlayer::previous);
    btnStep = add(QStyle::SP_MediaSeekForward, QStringLiteral("Step"), &SoundPlayer::step);
    btnBack = add(QStyle::SP_MediaSeekBackward, QStringLiteral("Back"), &SoundPlayer::back);
    row->addStretch();
    updateButtons();
}

bool SoundPlayer::open(const QString& path)
{
    if (!QFileInfo(path).isFile()) {
        UiPrompter::instance().message(window(), QStringLiteral("Unable to find ") + SafeFile::shown(path)
                                                     + QStringLiteral("."),
                                       UiPrompter::Ok, UiPrompter::Warning);
        return false;
    }
    if (!m_player) {
        m_player = new QMediaPlayer(this);
        m_output = new QAudioOutput(this);
        m_player->setAudioOutput(m_output);
        connect(m_player, &QMediaPlayer::errorOccurred, this,
                [this](QMediaPlayer::Error error, const QString& text) {
                    if (error == QMediaPlayer::NoError || m_reported == m_path)
                        return;
                    m_reported = m_path;
                    QString reason = text.isEmpty() ? QStringLiteral("the sound cannot be played") : text;
                    while (reason.endsWith(QLatin1Char('.')))
                        reason.chop(1);
                    // Told once the player's own signal has returned.
                    QTimer::singleShot(0, this, [this, reason, file = m_path] {
                        UiPrompter::instance().message(window(),
                                                       QStringLiteral("Unable to play ") + SafeFile::shown(file)
                                                           + QStringLiteral(": ") + reason + QLatin1Char('.'),
                                                       UiPrompter::Ok, UiPrompter::Warning);
                    });
                });
    }
    m_player->stop();
    m_path = path;
    m_reported.clear();
    m_player->setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    updateButtons();
    return true;
}

void SoundPlayer::updateButtons()
{
    const bool on = m_player && !m_path.isEmpty();
    for (QPushButton* b : {btnPause, btnStop, btnNext, btnPrev, btnStep, btnBack})
        b->setEnabled(on);
}

void SoundPlayer::play()
{
    emit playRequested();
    if (m_player && !m_path.isEmpty())
        m_player->play();
}

void SoundPlayer::pause()
{
    if (m_player)
        m_player->pause();
}

void SoundPlayer::stop()
{
    if (m_player)
        m_player->stop();
}

void SoundPlayer::next()
{
    if (m_player)
        m_player->setPosition(m_player->duration());
}

void SoundPlayer::previous()
{
    if (m_player)
        m_player->setPosition(0);
}

void SoundPlayer::step() { seekBy(kStepMs); }
void SoundPlayer::back() { seekBy(-kStepMs); }

void SoundPlayer::seekBy(qint64 ms)
{
    if (!m_player)
        return;
    const qint64 end = m_player->duration();
    qint64 to = m_player->position() + ms;
    if (to < 0)
        to = 0;
    if (end > 0 && to > end)
        to = end;
    m_player->setPosition(to);
}
