#include "functions/sound_player.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <fcntl.h>
#include <unistd.h>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include "unit_support/lazy_library.h"

namespace sound_player {
namespace {

// SDL and SDL_mixer, opened at the first sound.
#define TRESSALY_MIXER_FUNCTIONS(X)                                                         \
  X(SDL_InitSubSystem) X(SDL_QuitSubSystem) X(SDL_SetHint) X(SDL_SetHintWithPriority)       \
  X(SDL_GetError) X(Mix_Init) X(Mix_Quit) X(Mix_OpenAudio) X(Mix_CloseAudio) X(Mix_LoadMUS) \
  X(Mix_FreeMusic) X(Mix_PlayMusic) X(Mix_HaltMusic) X(Mix_PlayingMusic)                   \
  X(Mix_MusicDuration) X(Mix_GetMusicPosition)

struct MixerApi {
  TRESSALY_MIXER_FUNCTIONS(TRESSALY_LAZY_POINTER)
};

LazyFunctions<MixerApi>& Mixer() {
  static LazyFunctions<MixerApi> mixer("libSDL2_mixer-2.0.so.0", [](LazyLibrary& library, MixerApi& api, QString& problem) {
    return library.Bind({TRESSALY_MIXER_FUNCTIONS(TRESSALY_LAZY_BINDING)}, problem);
  });
  return mixer;
}

struct Player {
  bool outputOpen = false;
  Mix_Music* music = nullptr;
  qint64 lengthMs = -1;

  ~Player() {
    Close();
    if (outputOpen) {
      Mixer()->Mix_CloseAudio();
      Mixer()->Mix_Quit();
      Mixer()->SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
  }

  bool TryOutput() {
    // Sound libraries probing for devices write their complaints straight to stderr, where
    // console mode reports the error that stops a run; keep them out while the output opens.
    const int savedStderr = dup(STDERR_FILENO);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (savedStderr >= 0 && null >= 0) dup2(null, STDERR_FILENO);
    bool opened = Mixer()->SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (opened && Mixer()->Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 2048) != 0) {
      Mixer()->SDL_QuitSubSystem(SDL_INIT_AUDIO);
      opened = false;
    }
    if (savedStderr >= 0 && null >= 0) dup2(savedStderr, STDERR_FILENO);
    if (null >= 0) close(null);
    if (savedStderr >= 0) close(savedStderr);
    return opened;
  }

  bool OpenOutput(QString& problem) {
    if (outputOpen) return true;
    if (!Mixer().Load(problem)) return false;
    // The console host owns Ctrl+C; SDL must not take the signal handlers.
    Mixer()->SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (!TryOutput()) {
      // No usable device: play on the dummy output, which keeps real time silently.
      Mixer()->SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
      if (!TryOutput()) {
        problem = QString::fromUtf8(Mixer()->SDL_GetError());
        return false;
      }
    }
    Mixer()->Mix_Init(MIX_INIT_MP3);
    outputOpen = true;
    return true;
  }

  void Close() {
    if (!music) return;
    Mixer()->Mix_HaltMusic();
    Mixer()->Mix_FreeMusic(music);
    music = nullptr;
    lengthMs = -1;
  }
};

Player& ThePlayer() {
  Mixer();  // made first, so that it outlives the player, which closes the output at the end
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
  p.music = Mixer()->Mix_LoadMUS(QFile::encodeName(path).constData());
  if (!p.music) {
    problem = QString::fromUtf8(Mixer()->SDL_GetError());
    return false;
  }
  const double seconds = Mixer()->Mix_MusicDuration(p.music);
  p.lengthMs = seconds >= 0 ? qint64(seconds * 1000 + 0.5) : -1;
  if (Mixer()->Mix_PlayMusic(p.music, 0) != 0) {
    problem = QString::fromUtf8(Mixer()->SDL_GetError());
    p.Close();
    return false;
  }
  return true;
}

qint64 LengthMs() {
  return ThePlayer().lengthMs;
}

bool Playing() {
  return ThePlayer().music && Mixer()->Mix_PlayingMusic() != 0;
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
    double position = Mixer()->Mix_GetMusicPosition(p.music);
    qint64 lastProgress = 0;
    while (Mixer()->Mix_PlayingMusic() && timer.elapsed() - lastProgress < 2000) {
      QThread::msleep(20);
      const double now = Mixer()->Mix_GetMusicPosition(p.music);
      if (now != position) {
        position = now;
        lastProgress = timer.elapsed();
      }
    }
  }
  p.Close();
}

}  // namespace sound_player
