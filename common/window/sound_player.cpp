#include "common/window/sound_player.h"

#include "common/runtime/asset_file.h"

#include <QAudioDevice>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace rt {

SoundPlayer::SoundPlayer() = default;

SoundPlayer::~SoundPlayer() { qDeleteAll(effects_); }

bool SoundPlayer::play(const QString& path) {
    const QFileInfo file(path);
    if (!is_asset_file(path.toStdString()) || !file.isReadable()) return false;
    const QAudioDevice output = QMediaDevices::defaultAudioOutput();
    if (output.isNull()) return false;

    QSoundEffect*& effect = effects_[file.absoluteFilePath()];
    if (effect == nullptr) {
        effect = new QSoundEffect(output);
        effect->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
    }
    // The sample loads in the background; play() starts it once loaded.
    effect->play();
    return true;
}

}  // namespace rt
