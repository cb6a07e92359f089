#include "functions/sound_player.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <fcntl.h>
#include <unistd.h>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

namespace sound_player {
namespace {

struct Player {
  bool outputOpen = false;
  Mix_Music* music = nullptr;
  qint64 lengthMs = -1;

  ~Player() {
    Close();
    if (outputOpen) {
      Mix_CloseAudio();
      Mix_Quit();
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
  }

  bool TryOutput() {
    // Sound libraries probing for devices write their complaints straight to stderr, where
    // console mode reports the error that stops a run; keep them out while the output opens.
    const int savedStderr = dup(STDERR_FILENO);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (savedStderr >= 0 && null >= 0) dup2(null, STDERR_FILENO);
    bool opened = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (opened && Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 2048) != 0) {
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      opened = false;
    }
    if (savedStderr >= 0 && null >= 0) dup2(savedStderr, STDERR_FILENO);
    if (null >= 0) close(null);
    if (savedStderr >= 0) close(savedStderr);
    return opened;
  }

  bool OpenOutput(QString& problem) {
    if (outputOpen) return true;
    // The console host owns Ctrl+C; SDL must not take the signal handlers.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (!TryOutput()) {
      // No usable device: play on the dummy output, which keeps real time silently.
      SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
      if (!TryOutput()) {
        problem = QString::fromUtf8(SDL_GetError());
        return false;
      }
    }
    Mix_Init(MIX_INIT_MP3);
    outputOpen = true;
    return true;
  }

  void Close() {
    if (!music) return;
    Mix_HaltMusic();
    Mix_FreeMusic(music);
    music = nullptr;
    lengthMs = -1;
  }
};

Player& ThePlayer() {
  static Player player;
  return player;
}

}  // namespace

void Close() {
  ThePlayer().Close();
}

bool Start(const QString& path, QString& problem) {
  Player& p = ThePlayer();
  p.Close();
  if (!p.OpenOutput(problem)) return false;
  p.music = Mix_LoadMUS(QFile::encodeName(path).constData());
  if (!p.music) {
    problem = QString::fromUtf8(Mix_GetError());
    return false;
  }
  const double seconds = Mix_MusicDuration(p.music);
  p.lengthMs = seconds >= 0 ? qint64(seconds * 1000 + 0.5) : -1;
  if (Mix_PlayMusic(p.music, 0) != 0) {
    problem = QString::fromUtf8(Mix_GetError());
    p.Close();
    return false;
  }
  return true;
}

qint64 LengthMs() {
  return ThePlayer().lengthMs;
}

bool Playing() {
  return ThePlayer().music && Mix_PlayingMusic() != 0;
}

void WaitAndClose() {
  Player& p = ThePlayer();
  if (!p.music) return;
  QElapsedTimer timer;
  timer.start();
  if (p.lengthMs >= 0) {
    for (qint64 left = p.lengthMs; left > 0; left = p.lengthMs - timer.elapsed())
      QThread::msleep(quint64(std::min<qint64>(left, 50)));
  } else {
    double position = Mix_GetMusicPosition(p.music);
    qint64 lastProgress = 0;
    while (Mix_PlayingMusic() && timer.elapsed() - lastProgress < 2000) {
      QThread::msleep(20);
      const double now = Mix_GetMusicPosition(p.music);
      if (now != position) {
        position = now;
        lastProgress = timer.elapsed();
      }
    }
  }
  p.Close();
}

}  // namespace sound_player
