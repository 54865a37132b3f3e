#pragma once
// Short sounds of the window runtime (the bell at the entropy maximum).
// Playing never blocks and never fails loudly: a missing file, an unreadable
// one, one that is no regular file or too large (see asset_file.h) or a
// machine without audio output simply stays silent.

#include <QHash>
#include <QString>

class QSoundEffect;

namespace rt {

class SoundPlayer {
public:
    SoundPlayer();
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Starts the WAVE file and returns at once; false when it is not played
    // because the file or an audio output is missing.
    bool play(const QString& path);

private:
    // One effect per file: it is decoded once and may be replayed at once.
    QHash<QString, QSoundEffect*> effects_;
};

}  // namespace rt
