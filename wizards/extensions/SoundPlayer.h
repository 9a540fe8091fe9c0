#pragma once
// A row of media buttons that plays one sound file so the user can hear it
// before inserting it. The player is made only when a sound is first
// opened; a sound that cannot be played is told in a message box and leaves
// the window working.
#include <QWidget>

class QAudioOutput;
class QMediaPlayer;
class QPushButton;

class SoundPlayer : public QWidget {
    Q_OBJECT
public:
    explicit SoundPlayer(QWidget* parent = nullptr);

    // Opens a file for playing; a missing file is told and opens nothing.
    // True when the file was handed to the player.
    bool open(const QString& path);
    QString source() const { return m_path; }
    QMediaPlayer* player() const { return m_player; }

    QPushButton* btnPlay = nullptr;
    QPushButton* btnPause = nullptr;
    QPushButton* btnStop = nullptr;
    QPushButton* btnNext = nullptr;
    QPushButton* btnPrev = nullptr;
    QPushButton* btnStep = nullptr;
    QPushButton* btnBack = nullptr;

signals:
    // Play was pressed: the owner may open the sound its field names first.
    void playRequested();

public slots:
    void play();
    void pause();
    void stop();
    void next();
    void previous();
    void step();
    void back();

private:
    void seekBy(qint64 ms);
    void updateButtons();
    QMediaPlayer* m_player = nullptr;
    QAudioOutput* m_output = nullptr;
    QString m_path;
    QString m_reported;  // the file whose error was last told
};
