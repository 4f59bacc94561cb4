#include "ui/platform/notifysoundplayer.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

namespace {

TEST(SoundClips, PlayingWithoutAnAudioDeviceIsSilentAndQuick)
{
    TempFolder program;
    TempFolder data;
    NotifySoundPlayer player(program.path(), data.path());
    for (const int id : {kSoundWebPage, kSoundFinished, kSoundFailed, 999})
        player.PlayNotifySound(id); // must neither block nor crash, device or not
    SUCCEED();
}

} // namespace
